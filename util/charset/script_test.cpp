#include "util/charset/script.h"

#include "util/charset/unicode_generated.h"
#include "util/charset/unicode_table.h"

#include <gtest/gtest.h>

namespace {

TEST(ScriptTable, LettersHaveTheirScript) {
    struct TCase {
        uint32_t Char;
        EScript Script;
    };
    const TCase cases[] = {
        {'A', SCRIPT_LATIN},
        {'z', SCRIPT_LATIN},
        {0x00AA, SCRIPT_LATIN},
        {0x0416, SCRIPT_CYRILLIC},
        {0x0451, SCRIPT_CYRILLIC},
        {0x03A9, SCRIPT_GREEK},
        {0x0627, SCRIPT_ARABIC},
        {0x05D0, SCRIPT_HEBREW},
        {0x0531, SCRIPT_ARMENIAN},
        {0x10D0, SCRIPT_GEORGIAN},
        {0x4E00, SCRIPT_HAN},
        {0x30A1, SCRIPT_KATAKANA},
        {0x3041, SCRIPT_HIRAGANA},
        {0xAC00, SCRIPT_HANGUL},
        {0x1100, SCRIPT_HANGUL},
        {0xFFDC, SCRIPT_HANGUL},
        {0x0915, SCRIPT_DEVANAGARI},
        {0x0E01, SCRIPT_THAI},
        {0x16A0, SCRIPT_RUNIC},
        {0x2C80, SCRIPT_COPTIC},
        {0x0710, SCRIPT_SYRIAC},
        {0x2D30, SCRIPT_OTHER},  // Tifinagh
        // Not letters: digits, punctuation, marks, symbols, unassigned.
        {'0', SCRIPT_UNKNOWN},
        {0x0661, SCRIPT_UNKNOWN},
        {' ', SCRIPT_UNKNOWN},
        {0x0301, SCRIPT_UNKNOWN},
        {0x0483, SCRIPT_UNKNOWN},
        {0x0482, SCRIPT_UNKNOWN},
        {0x20AC, SCRIPT_UNKNOWN},
        {0x0378, SCRIPT_UNKNOWN},
        // Beyond the BMP.
        {0x10000, SCRIPT_UNKNOWN},
        {0x10400, SCRIPT_UNKNOWN},
        {0xFFFFFFFF, SCRIPT_UNKNOWN},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(ScriptByChar(c.Char), c.Script) << std::hex << c.Char;
    }
}

// The generated ranges: grouped by script, ordered and disjoint within a script, inside the
// BMP, starting with the Latin capitals.
TEST(ScriptTable, RangesKeepTheirInvariants) {
    using namespace NUnicodeGenerated;
    ASSERT_GT(SCRIPT_RANGE_COUNT, 400u);
    EXPECT_EQ(SCRIPT_RANGES[0].Script, uint32_t(SCRIPT_LATIN));
    EXPECT_EQ(SCRIPT_RANGES[0].First, 0x41u);
    EXPECT_EQ(SCRIPT_RANGES[0].Last, 0x5Au);
    uint32_t lowest = 0xFFFF;
    uint32_t highest = 0;
    for (size_t i = 0; i < SCRIPT_RANGE_COUNT; ++i) {
        const TScriptRange& r = SCRIPT_RANGES[i];
        ASSERT_GE(r.Script, uint32_t(SCRIPT_LATIN));
        ASSERT_LE(r.Script, uint32_t(SCRIPT_OTHER));
        ASSERT_LE(r.First, r.Last);
        ASSERT_LE(r.Last, 0xFFFFu);
        if (i > 0) {
            const TScriptRange& p = SCRIPT_RANGES[i - 1];
            ASSERT_LE(p.Script, r.Script);
            // Ranges of one script neither touch nor overlap (touching ones are merged).
            if (p.Script == r.Script) {
                ASSERT_LT(p.Last + 1, r.First) << i;
            }
        }
        lowest = std::min(lowest, r.First);
        highest = std::max(highest, r.Last);
    }
    EXPECT_EQ(lowest, 0x41u);
    EXPECT_EQ(highest, 0xFFDCu);
    // The count depends on the Unicode version (418 rows with older data, 419 with 15.0).
    RecordProperty("ScriptRanges", static_cast<int>(SCRIPT_RANGE_COUNT));
}

// Every BMP letter in a range of the table has a script, and nothing else has one.
TEST(ScriptTable, OnlyLettersGetAScript) {
    size_t letters = 0;
    for (uint32_t c = 0; c < 0x10000; ++c) {
        const uint32_t category = UnicodeCategory(c);
        const bool letter = category >= UC_UPPER && category <= UC_JAMO_TRAILING;
        if (!letter) {
            ASSERT_EQ(ScriptByChar(c), SCRIPT_UNKNOWN) << std::hex << c;
        } else if (ScriptByChar(c) != SCRIPT_UNKNOWN) {
            ++letters;
        }
    }
    EXPECT_GT(letters, 40000u);
}

}  // namespace
