// Chunk management of the arena allocator and its growth-policy instances.
#include "util/generic/memory_pool.h"

#include "util/generic/exception.h"
#include "util/system/singleton.h"

#include <algorithm>
#include <bit>

namespace {
constexpr size_t ChunkHeaderSize = 32;
}

TMemoryPool::IGrowPolicy* TMemoryPool::TLinearGrow::Instance() {
    return SingletonWithPriority<TLinearGrow, 256>();
}

TMemoryPool::IGrowPolicy* TMemoryPool::TExpGrow::Instance() {
    return SingletonWithPriority<TExpGrow, 256>();
}

TMemoryPool::TMemoryPool(size_t initialBlockSize, IGrowPolicy* grow, IAllocator* alloc) noexcept
    : Current_(&Empty_),
      BlockSize_(initialBlockSize),
      Grow_(grow),
      Alloc_(alloc),
      InitialBlockSize_(initialBlockSize) {
    ResetEmptyChunk();
    Chunks_.Next = &Chunks_;
    Chunks_.Prev = &Chunks_;
}

TMemoryPool::~TMemoryPool() {
    Clear();
}

void TMemoryPool::ResetEmptyChunk() noexcept {
    Empty_.Next = &Empty_;
    Empty_.Prev = &Empty_;
    Empty_.Cur = reinterpret_cast<char*>(&Empty_ + 1);
    Empty_.Left = 0;
    Current_ = &Empty_;
}

void* TMemoryPool::AllocateSlow(size_t len) {
    // A request near the top of size_t would wrap round in the rounding or the chunk size and
    // be served with too few bytes; refuse it as an allocation failure instead.
    constexpr size_t largestChunk = size_t(1) << (sizeof(size_t) * 8 - 1);
    if (len > largestChunk - ChunkHeaderSize) {
        ThrowBadAlloc();
    }
    const size_t rounded = (len + 7) & ~size_t(7);
    const size_t hint = std::max(rounded, BlockSize_);
    if (hint > largestChunk - ChunkHeaderSize) {
        ThrowBadAlloc();
    }
    const size_t chunkSize = std::bit_ceil(hint + ChunkHeaderSize);

    const IAllocator::TBlock block = Alloc_->Allocate(chunkSize);
    BlockSize_ = Grow_->Next(hint);

    TChunk* chunk = static_cast<TChunk*>(block.Data);
    chunk->Cur = static_cast<char*>(block.Data) + ChunkHeaderSize;
    chunk->Left = block.Len - ChunkHeaderSize;
    chunk->Prev = Chunks_.Prev;
    chunk->Next = &Chunks_;
    Chunks_.Prev->Next = chunk;
    Chunks_.Prev = chunk;
    Current_ = chunk;

    return TakeFromCurrent(rounded);
}

void TMemoryPool::Clear() noexcept {
    while (Chunks_.Prev != &Chunks_) {
        TChunk* chunk = static_cast<TChunk*>(Chunks_.Prev);
        chunk->Prev->Next = &Chunks_;
        Chunks_.Prev = chunk->Prev;
        char* start = reinterpret_cast<char*>(chunk);
        const size_t total = static_cast<size_t>(chunk->Cur - start) + chunk->Left;
        Alloc_->Release({start, total});
    }
    ResetEmptyChunk();
    BlockSize_ = InitialBlockSize_;
}
