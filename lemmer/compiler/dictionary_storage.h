// The memory a built dictionary lives in: the pool that receives every table of the dictionary,
// one shared empty text, and the heap array of stem blocks (the tuple index) that the storage
// owns. The dictionary points into all three, so the storage must outlive it.
#pragma once

#include "util/generic/memory_pool.h"
#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>

namespace NByk {
struct TStemBlock;
}  // namespace NByk

// Not thread-safe. The pool is not owned; the stem-block array is, together with every block in
// it, which the storage releases through the release function that was given with the array.
class TDictionaryStorage {
public:
    // Frees one stem block (its node buffer first, then the block).
    using TBlockRelease = void (*)(NByk::TStemBlock* block) noexcept;

    // Takes the shared empty text (8 bytes) from the pool at once.
    explicit TDictionaryStorage(TMemoryPool* pool);
    ~TDictionaryStorage();

    TDictionaryStorage(const TDictionaryStorage&) = delete;
    TDictionaryStorage& operator=(const TDictionaryStorage&) = delete;

    TMemoryPool* Pool() const noexcept { return Pool_; }
    // One 16-bit zero unit that stands for every empty text of the dictionary.
    const wchar16* EmptyText() const noexcept { return EmptyText_; }

    // Hands the storage a heap array of count block pointers (allocated with new[], entries
    // null or blocks that `release` frees); an array held before is released first.
    void SetStemBlocks(NByk::TStemBlock** blocks, uint64_t count, TBlockRelease release) noexcept;
    NByk::TStemBlock** StemBlocks() const noexcept { return Blocks_; }
    uint64_t StemBlockCount() const noexcept { return BlockCount_; }

private:
    void ReleaseBlocks() noexcept;

    TMemoryPool* Pool_;
    const wchar16* EmptyText_;
    NByk::TStemBlock** Blocks_ = nullptr;
    uint64_t BlockCount_ = 0;
    TBlockRelease Release_ = nullptr;
};
