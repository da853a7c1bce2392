#include "util/charset/unicode_combining_marks.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(CombiningMarks, ListIsOrderedAndDisjoint) {
    ASSERT_EQ(COMBINING_MARK_RANGE_COUNT, 113u);
    uint32_t previousLast = 0;
    for (size_t i = 0; i < COMBINING_MARK_RANGE_COUNT; ++i) {
        const TCombiningMarkRange& r = COMBINING_MARK_RANGES[i];
        const uint32_t last = r.Last == 0 ? r.First : r.Last;
        EXPECT_LE(r.First, last);
        EXPECT_LT(previousLast, r.First) << i;
        previousLast = last;
    }
}

TEST(CombiningMarks, TableMarksTheListAndLeavesTheLastByte) {
    std::vector<uint8_t> flags(65536, 0xAA);
    BuildCombiningMarkTable(flags.data());
    EXPECT_EQ(flags[0xFFFF], 0xAA);
    struct TCase {
        uint32_t CodePoint;
        uint8_t Flag;
    };
    const TCase cases[] = {
        {0x0300, 1}, {0x0301, 1}, {0x0357, 1}, {0x0358, 0}, {0x035D, 1}, {0x05BF, 1},
        {0x05C0, 0}, {0x05C4, 1}, {0x0F39, 1}, {0x0F3A, 0}, {0xFE23, 1}, {0xFE24, 0},
        {0xFB1E, 1}, {'a', 0},    {0x0000, 0}, {0xFFFE, 0},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(flags[c.CodePoint], c.Flag) << std::hex << c.CodePoint;
    }
    size_t expected = 0;
    for (size_t i = 0; i < COMBINING_MARK_RANGE_COUNT; ++i) {
        const TCombiningMarkRange& r = COMBINING_MARK_RANGES[i];
        expected += r.Last == 0 ? 1 : r.Last - r.First + 1;
    }
    size_t set = 0;
    for (size_t i = 0; i < 0xFFFF; ++i) {
        ASSERT_LE(flags[i], 1);
        set += flags[i];
    }
    EXPECT_EQ(set, expected);
}

}  // namespace
