// Arena allocator: memory handed out by a pool is never freed one piece at a time; everything
// goes back to the allocator when the pool is cleared or destroyed. The loaded dictionary, the
// tokeniser's abbreviation sets, the dictionary compiler's tables and the at-exit registry keep
// their data in pools.
//
// Requests are rounded up to multiples of 8 bytes and cut from the current chunk. When it has
// too little left, a new chunk of the smallest power of two not below
// max(request, block size) + 32 is taken from the allocator (the first 32 bytes are the chunk
// header), and the growth policy turns max(request, block size) into the next block size. The
// rest of the previous chunk is abandoned.
#pragma once

#include "util/generic/allocator.h"
#include "util/generic/exception.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

// Not thread-safe: a pool has one owner. Allocate raises std::bad_alloc when the allocator
// fails or the request cannot be represented; the pool is then unchanged.
class TMemoryPool {
public:
    // Turns the size hint of the chunk just made into the block size of the next chunk.
    class IGrowPolicy {
    public:
        virtual ~IGrowPolicy() = default;
        virtual size_t Next(size_t size) const noexcept = 0;
    };

    // Every chunk the same size: for pools that grow steadily, such as the loaded dictionary.
    class TLinearGrow : public IGrowPolicy {
    public:
        size_t Next(size_t size) const noexcept override { return size; }
        static IGrowPolicy* Instance();
    };

    // Each chunk twice the size of the one before.
    class TExpGrow : public IGrowPolicy {
    public:
        size_t Next(size_t size) const noexcept override { return 2 * size; }
        static IGrowPolicy* Instance();
    };

    // Takes no memory until the first allocation. The policy and allocator are not owned.
    explicit TMemoryPool(size_t initialBlockSize, IGrowPolicy* grow = TExpGrow::Instance(),
                         IAllocator* alloc = TDefaultAllocator::Instance()) noexcept;
    ~TMemoryPool();

    TMemoryPool(const TMemoryPool&) = delete;
    TMemoryPool& operator=(const TMemoryPool&) = delete;

    // len bytes, 8-byte aligned, valid until the pool is cleared or destroyed.
    void* Allocate(size_t len) {
        const size_t rounded = (len + 7) & ~size_t(7);
        if (rounded >= len && rounded <= Current_->Left) {
            return TakeFromCurrent(rounded);
        }
        return AllocateSlow(len);
    }

    // Builds a T in pool memory. Its destructor is never run, so T should not own resources
    // outside the pool.
    template <class T, class... TArgs>
    T* New(TArgs&&... args) {
        static_assert(alignof(T) <= 8, "pool memory is 8-byte aligned");
        return ::new (Allocate(sizeof(T))) T(std::forward<TArgs>(args)...);
    }

    // n value-initialised Ts in pool memory.
    template <class T>
    T* NewArray(size_t n) {
        static_assert(alignof(T) <= 8, "pool memory is 8-byte aligned");
        if (n > SIZE_MAX / sizeof(T)) {
            ThrowBadAlloc();
        }
        T* items = static_cast<T*>(Allocate(n * sizeof(T)));
        for (size_t i = 0; i < n; ++i) {
            ::new (items + i) T();
        }
        return items;
    }

    // Gives every chunk back to the allocator and starts again from the initial block size.
    void Clear() noexcept;

    // The size hint for the next chunk.
    size_t BlockSize() const noexcept { return BlockSize_; }

private:
    struct TLink {
        TLink* Next;
        TLink* Prev;
    };

    // The header at the start of every chunk; the usable area follows it.
    struct TChunk : TLink {
        char* Cur;
        size_t Left;
    };
    static_assert(sizeof(TChunk) == 32, "the chunk header takes 32 bytes");

    void* TakeFromCurrent(size_t rounded) noexcept {
        void* result = Current_->Cur;
        Current_->Cur += rounded;
        Current_->Left -= rounded;
        return result;
    }

    void* AllocateSlow(size_t len);
    void ResetEmptyChunk() noexcept;

    TChunk Empty_;
    TChunk* Current_;
    size_t BlockSize_;
    IGrowPolicy* Grow_;
    IAllocator* Alloc_;
    TLink Chunks_;
    size_t InitialBlockSize_;
};
