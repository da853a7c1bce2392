#include "util/system/huge_page_allocator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
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

}  // namespace
