#include "util/generic/bsd_random.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

TEST(BsdRandomTest, UnseededGeneratorStartsFromThePublishedTable) {
    // The C library's random() before any seeding walks the same table.
    TBsdRandom rng;
    const std::vector<long> expected = {1804289383, 846930886, 1681692777, 1714636915, 1957747793};
    for (long value : expected) {
        EXPECT_EQ(rng.Random(), value);
    }
    // Nothing else in this program draws from the C library's generator, so it is still at
    // its start; its further outputs reach every word of the table.
    for (size_t i = 0; i < expected.size(); ++i) {
        ::random();
    }
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(rng.Random(), ::random()) << i;
    }
}

TEST(BsdRandomTest, SeededGeneratorMatchesTheCLibrary) {
    for (unsigned int seed : {1u, 2u, 12345u, 2147483646u}) {
        TBsdRandom rng;
        rng.Srandom(seed);
        // A 128-byte state is the C library's type 3, the default type here.
        random_data data{};
        char state[128] = {};
        ASSERT_EQ(initstate_r(seed, state, sizeof(state), &data), 0);
        for (int i = 0; i < 1000; ++i) {
            int32_t oracle = 0;
            random_r(&data, &oracle);
            ASSERT_EQ(rng.Random(), oracle) << seed << " " << i;
        }
    }
}

TEST(BsdRandomTest, StateBufferChoosesTheTypeBySize) {
    struct TCase {
        size_t Bytes;
        bool Accepted;
        int64_t TypeWord;  // type + 5 x rear after seeding: rear is back at 0 after 10 x degree
    };
    const std::vector<TCase> cases = {
        {8, false, 0},  {15, false, 0}, {16, true, 0},  {63, true, 0},  {64, true, 1},
        {128, true, 2}, {256, true, 3}, {511, true, 3}, {512, true, 4},
    };
    for (const TCase& c : cases) {
        TBsdRandom rng;
        alignas(8) char buffer[600] = {};
        char* previous = rng.InitState(1, buffer, c.Bytes);
        EXPECT_EQ(previous != nullptr, c.Accepted) << c.Bytes;
        if (c.Accepted) {
            int64_t word;
            std::memcpy(&word, buffer, sizeof(word));
            EXPECT_EQ(word, c.TypeWord) << c.Bytes;
            for (int i = 0; i < 50; ++i) {
                const long value = rng.Random();
                ASSERT_GE(value, 0);
                ASSERT_LT(value, 1L << 31);
            }
        }
    }
}

TEST(BsdRandomTest, SetStateResumesWhereTheBufferLeftOff) {
    TBsdRandom rng;
    alignas(8) char first[256] = {};
    alignas(8) char second[256] = {};
    rng.InitState(7, first, sizeof(first));
    for (int i = 0; i < 5; ++i) {
        rng.Random();
    }
    char* back = rng.InitState(9, second, sizeof(second));
    EXPECT_EQ(back, first);
    EXPECT_EQ(rng.SetState(first), second);

    TBsdRandom reference;
    alignas(8) char third[256] = {};
    reference.InitState(7, third, sizeof(third));
    for (int i = 0; i < 5; ++i) {
        reference.Random();
    }
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(rng.Random(), reference.Random()) << i;
    }

    alignas(8) char bogus[256] = {};
    const int64_t badWord = 5 * 40 + 3;  // rear beyond a type-3 table
    std::memcpy(bogus, &badWord, sizeof(badWord));
    EXPECT_EQ(rng.SetState(bogus), nullptr);
}

}  // namespace
