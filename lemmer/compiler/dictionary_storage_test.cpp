#include "lemmer/compiler/dictionary_storage.h"

#include <gtest/gtest.h>

using NByk::TStemBlock;

namespace {

int Released = 0;

void CountRelease(TStemBlock*) noexcept {
    ++Released;
}

TEST(DictionaryStorageTest, ReleasesTheBlocksItHolds) {
    TMemoryPool pool(1024);
    Released = 0;
    {
        TDictionaryStorage storage(&pool);
        EXPECT_EQ(storage.EmptyText()[0], 0);
        EXPECT_EQ(storage.StemBlocks(), nullptr);
        EXPECT_EQ(storage.StemBlockCount(), 0u);
        auto** blocks = new TStemBlock* [3] {};
        blocks[0] = reinterpret_cast<TStemBlock*>(&pool);  // any non-null pointer stands for one
        blocks[2] = reinterpret_cast<TStemBlock*>(&pool);
        storage.SetStemBlocks(blocks, 3, CountRelease);
        EXPECT_EQ(storage.StemBlockCount(), 3u);
    }
    EXPECT_EQ(Released, 2);
    // A storage that never got blocks frees nothing but itself.
    { TDictionaryStorage unused(&pool); }
    EXPECT_EQ(Released, 2);
}

}  // namespace
