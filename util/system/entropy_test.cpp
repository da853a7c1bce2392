#include "util/system/entropy.h"

#include "util/generic/buffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <thread>
#include <vector>

namespace {

TEST(MersenneInputTest, EachOutputGivesEightLittleEndianBytes) {
    TMersenneInput input;
    TRndGen<unsigned long> oracle;
    struct TCase {
        size_t Length;
        size_t Outputs;
    };
    // A short read still takes a whole output; its surplus bytes are dropped.
    for (const TCase& c : {TCase{3, 1}, TCase{8, 1}, TCase{13, 2}, TCase{16, 2}, TCase{0, 0}}) {
        unsigned char bytes[16] = {};
        ASSERT_EQ(input.Read(bytes, c.Length), c.Length);
        for (size_t k = 0; k < c.Outputs; ++k) {
            const unsigned long value = oracle.GenRand();
            for (size_t i = 0; i < 8 && k * 8 + i < c.Length; ++i) {
                EXPECT_EQ(bytes[k * 8 + i], static_cast<unsigned char>(value >> (8 * i)))
                    << c.Length << " " << k << " " << i;
            }
        }
    }
}

TEST(EntropyTest, PoolIsBuiltOnce) {
    const TBuffer& pool = EntropyPool();
    EXPECT_EQ(&EntropyPool(), &pool);
    EXPECT_GT(pool.Size(), 16u);
}

TEST(EntropyTest, SourceNeverRunsDryAndDoesNotRepeat) {
    TInputStream& source = EntropySource();
    EXPECT_EQ(&EntropySource(), &source);
    std::set<std::vector<unsigned char>> seen;
    for (int i = 0; i < 100; ++i) {
        std::vector<unsigned char> block(100);
        ASSERT_EQ(source.Load(block.data(), block.size()), block.size());
        seen.insert(block);
    }
    EXPECT_EQ(seen.size(), 100u);
}

TEST(EntropyTest, ConcurrentReadersGetDisjointBytes) {
    // Reads are serialised, so no two threads get the same block.
    constexpr int threadCount = 4;
    std::vector<std::vector<unsigned long>> drawn(threadCount);
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 500; ++i) {
                unsigned long word = 0;
                EntropySource().Load(&word, sizeof(word));
                drawn[t].push_back(word);
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    std::set<unsigned long> all;
    for (const auto& words : drawn) {
        all.insert(words.begin(), words.end());
    }
    EXPECT_EQ(all.size(), threadCount * 500u);
}

}  // namespace
