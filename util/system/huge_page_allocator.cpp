#include "util/system/huge_page_allocator.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

// Raises std::bad_alloc where the rounding would wrap past SIZE_MAX: a request that large
// must fail, not come back as a small one.
size_t RoundUp(size_t n, size_t unit) {
    if (n > SIZE_MAX - (unit - 1)) {
        throw std::bad_alloc();
    }
    return (n + unit - 1) / unit * unit;
}

// `size` bytes (a multiple of the huge page) at an address aligned to the huge page: a larger
// mapping is trimmed to them.
char* MapAligned(size_t size) {
    const size_t extra = THugePageAllocator::HugePageBytes;
    if (size > SIZE_MAX - extra) {
        throw std::bad_alloc();
    }
    void* raw =
        mmap(nullptr, size + extra, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const uintptr_t start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = RoundUp(start, extra);
    if (aligned != start) {
        munmap(raw, aligned - start);
    }
    if (const size_t tail = start + size + extra - (aligned + size)) {
        munmap(reinterpret_cast<void*>(aligned + size), tail);
    }
    char* base = reinterpret_cast<char*>(aligned);
    // Advice only: without huge pages the mapping serves as it is.
    madvise(base, size, MADV_HUGEPAGE);
    return base;
}

}  // namespace

// A region size too large to round up is cut to the largest multiple of the huge page: no
// such mapping succeeds, and the first request then raises std::bad_alloc.
THugePageAllocator::THugePageAllocator(size_t regionBytes) noexcept
    : RegionBytes_(regionBytes > SIZE_MAX - (HugePageBytes - 1)
                       ? SIZE_MAX / HugePageBytes * HugePageBytes
                       : RoundUp(regionBytes == 0 ? 1 : regionBytes, HugePageBytes)) {}

THugePageAllocator::~THugePageAllocator() {
    for (const TRegion& region : Regions_) {
        munmap(region.Base, region.Size);
    }
}

IAllocator::TBlock THugePageAllocator::Allocate(size_t len) {
    if (len < SmallBytes) {
        void* data = std::malloc(len == 0 ? 1 : len);
        if (data == nullptr) {
            throw std::bad_alloc();
        }
        SmallHeld_ += len;
        return {data, len};
    }
    const size_t need = RoundUp(len, PieceAlignment);
    if (Regions_.empty() || Regions_.back().Size - Regions_.back().Used < need) {
        const size_t size = need > RegionBytes_ ? RoundUp(need, HugePageBytes) : RegionBytes_;
        Regions_.reserve(Regions_.size() + 1);
        Regions_.push_back({MapAligned(size), size, 0, 0});
    }
    TRegion& region = Regions_.back();
    char* data = region.Base + region.Used;
    region.Used += need;
    ++region.Live;
    return {data, len};
}

void THugePageAllocator::Release(const TBlock& block) {
    if (block.Len < SmallBytes) {
        std::free(block.Data);
        SmallHeld_ -= block.Len;
        return;
    }
    const char* data = static_cast<const char*>(block.Data);
    for (size_t i = 0; i < Regions_.size(); ++i) {
        TRegion& region = Regions_[i];
        if (data >= region.Base && data < region.Base + region.Size) {
            if (--region.Live == 0) {
                munmap(region.Base, region.Size);
                Regions_.erase(Regions_.begin() + static_cast<std::ptrdiff_t>(i));
            }
            return;
        }
    }
}

size_t THugePageAllocator::HeldBytes() const noexcept {
    size_t held = SmallHeld_;
    for (const TRegion& region : Regions_) {
        held += region.Used;
    }
    return held;
}
