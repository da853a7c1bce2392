// The allocator interface through which memory pools obtain their chunks, and the process-wide
// allocator over malloc and free.
#pragma once

#include <cstddef>

// A source of raw blocks. A block is released through the allocator that gave it, with the
// {data, length} the allocator returned; the length may exceed the request.
class IAllocator {
public:
    struct TBlock {
        void* Data;
        size_t Len;
    };

    virtual ~IAllocator() = default;

    // Raises std::bad_alloc when no memory is left.
    virtual TBlock Allocate(size_t len) = 0;
    virtual void Release(const TBlock& block) = 0;
};

// malloc and free. Stateless, so one process-wide instance serves everybody; it is destroyed
// among the last objects at exit (priority 256) because pools of other singletons still give
// their chunks back to it.
class TDefaultAllocator : public IAllocator {
public:
    TBlock Allocate(size_t len) override;
    void Release(const TBlock& block) override;

    static IAllocator* Instance();
};
