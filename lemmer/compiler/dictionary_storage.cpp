#include "lemmer/compiler/dictionary_storage.h"

#include <cstring>

namespace {

const wchar16* TakeEmptyText(TMemoryPool* pool) {
    void* text = pool->Allocate(8);
    std::memset(text, 0, 8);
    return static_cast<const wchar16*>(text);
}

}  // namespace

TDictionaryStorage::TDictionaryStorage(TMemoryPool* pool)
    : Pool_(pool), EmptyText_(TakeEmptyText(pool)) {}

TDictionaryStorage::~TDictionaryStorage() {
    ReleaseBlocks();
}

void TDictionaryStorage::SetStemBlocks(NByk::TStemBlock** blocks, uint64_t count,
                                       TBlockRelease release) noexcept {
    ReleaseBlocks();
    Blocks_ = blocks;
    BlockCount_ = count;
    Release_ = release;
}

void TDictionaryStorage::ReleaseBlocks() noexcept {
    if (Blocks_ && Release_) {
        for (uint64_t i = 0; i < BlockCount_; ++i) {
            if (Blocks_[i]) {
                Release_(Blocks_[i]);
            }
        }
    }
    delete[] Blocks_;
    Blocks_ = nullptr;
    BlockCount_ = 0;
}
