#include "util/system/huge_page_allocator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr size_t MiB = size_t(1) << 20;

TEST(HugePageAllocator, CarvesRegionsAndUnmapsEachWithItsLastPiece) {
    THugePageAllocator allocator(4 * MiB);
    // Small requests go to malloc and take no region.
    const IAllocator::TBlock small = allocator.Allocate(100);
    EXPECT_EQ(allocator.RegionCount(), 0u);

    // Four 1 MiB pieces fill the first region; the fifth opens the second.
    std::vector<IAllocator::TBlock> pieces;
    for (int i = 0; i < 5; ++i) {
        pieces.push_back(allocator.Allocate(MiB));
        EXPECT_EQ(reinterpret_cast<uintptr_t>(pieces.back().Data) % 64, 0u);
        std::memset(pieces.back().Data, i + 1, MiB);
    }
    EXPECT_EQ(allocator.RegionCount(), 2u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(pieces[0].Data) % THugePageAllocator::HugePageBytes, 0u);
    for (int i = 0; i < 5; ++i) {
        // Nothing written later overlapped a piece.
        const unsigned char* p = static_cast<const unsigned char*>(pieces[i].Data);
        EXPECT_EQ(p[0], i + 1);
        EXPECT_EQ(p[MiB - 1], i + 1);
    }

    // A request larger than a region gets one of its own.
    const IAllocator::TBlock large = allocator.Allocate(9 * MiB);
    EXPECT_EQ(allocator.RegionCount(), 3u);
    std::memset(large.Data, 7, large.Len);

    // A region stays while any of its pieces is held.
    for (int i = 0; i < 3; ++i) {
        allocator.Release(pieces[i]);
    }
    EXPECT_EQ(allocator.RegionCount(), 3u);
    allocator.Release(pieces[3]);
    EXPECT_EQ(allocator.RegionCount(), 2u);
    allocator.Release(large);
    allocator.Release(pieces[4]);
    EXPECT_EQ(allocator.RegionCount(), 0u);
    allocator.Release(small);
}

// Rounding such a request up to a piece or a region would wrap past SIZE_MAX into a small size:
// it must fail and map nothing, and the allocator then serves as before. A region size too
// large to round fails the same way at its first request.
TEST(HugePageAllocator, RaisesBadAllocForRequestsNearSizeMax) {
    constexpr size_t Huge = THugePageAllocator::HugePageBytes;
    THugePageAllocator allocator(4 * MiB);
    for (const size_t len : {SIZE_MAX, SIZE_MAX - 1, SIZE_MAX - 63, SIZE_MAX - Huge + 1,
                             SIZE_MAX - Huge, SIZE_MAX - 2 * Huge + 1, SIZE_MAX / 2 + 1}) {
        EXPECT_THROW(allocator.Allocate(len), std::bad_alloc) << len;
        EXPECT_EQ(allocator.RegionCount(), 0u) << len;
    }
    const IAllocator::TBlock block = allocator.Allocate(MiB);
    std::memset(block.Data, 1, block.Len);
    EXPECT_EQ(allocator.RegionCount(), 1u);
    allocator.Release(block);
    EXPECT_EQ(allocator.RegionCount(), 0u);

    THugePageAllocator unroundable(SIZE_MAX - 1);
    EXPECT_THROW(unroundable.Allocate(THugePageAllocator::SmallBytes), std::bad_alloc);
    EXPECT_EQ(unroundable.RegionCount(), 0u);
}

}  // namespace
