// Memory for large tables that a process fills once and keeps (the loaded dictionary, the
// analyser's cache of printed words), from anonymous mappings aligned to 2 MiB that the kernel is
// asked to back with transparent huge pages: one page fault then maps 2 MiB instead of 4 KiB, and
// where page faults are dear (under a hypervisor a first touch costs tens of microseconds) that
// is most of the cost of filling such a table. Where the kernel has no huge pages to give, the
// memory is ordinary anonymous memory.
//
//     THugePageAllocator allocator;                     // outlives what it hands out
//     TMemoryPool pool(1 << 19, TMemoryPool::TLinearGrow::Instance(), &allocator);
#pragma once

#include "util/generic/allocator.h"

#include <cstddef>
#include <vector>

// Requests below SmallBytes go to malloc. Larger ones are carved in turn from regions of at least
// `regionBytes` (rounded up to 2 MiB); a request larger than a region gets a region of its own. A
// region is unmapped once every piece carved from it is released, so pieces that die early keep
// their region's pages until its last piece goes: give tables that are replaced as they grow an
// allocator of their own. Raises std::bad_alloc when no memory is left, and for a request too
// large to round up to a piece or a region. Not thread-safe; must outlive every block it handed
// out.
class THugePageAllocator : public IAllocator {
public:
    static constexpr size_t HugePageBytes = size_t(2) << 20;
    static constexpr size_t SmallBytes = size_t(256) << 10;
    // Pieces are carved in multiples of it, and keep the alignment of malloc's largest.
    static constexpr size_t PieceAlignment = 64;

    explicit THugePageAllocator(size_t regionBytes = size_t(8) << 20) noexcept;
    ~THugePageAllocator() override;
    THugePageAllocator(const THugePageAllocator&) = delete;
    THugePageAllocator& operator=(const THugePageAllocator&) = delete;

    TBlock Allocate(size_t len) override;
    void Release(const TBlock& block) override;

    // Regions mapped now (for tests).
    size_t RegionCount() const noexcept { return Regions_.size(); }
    // Bytes handed out and not given back: the small blocks not yet released, and every piece
    // carved from a region still mapped, released or not, as its pages stay with the region.
    size_t HeldBytes() const noexcept;

private:
    struct TRegion {
        char* Base;
        size_t Size;
        size_t Used;
        size_t Live;  // pieces not yet released
    };

    size_t RegionBytes_;
    std::vector<TRegion> Regions_;  // the last one is carved from
    size_t SmallHeld_ = 0;
};
