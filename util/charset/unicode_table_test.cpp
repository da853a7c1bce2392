#include "util/charset/unicode_table.h"

#include "util/charset/unicode_generated.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint32_t> TableDecomposition(const TDecompositionDescriptor& table, uint32_t cp) {
    std::vector<uint32_t> result;
    for (const uint32_t* p = DecompositionOf(table, cp); p && *p; ++p) {
        result.push_back(*p);
    }
    return result;
}

TEST(UnicodeTable, CategoriesFollowTheSystemNumbering) {
    struct TCase {
        uint32_t CodePoint;
        uint32_t Category;
    };
    const TCase cases[] = {
        {0xE001, 0},  {0x10FFFF, 0}, {0x0378, 0},   {0x0041, 1},  {0x0061, 2},  {0x01C5, 3},
        {0x02C7, 4},  {0x02D0, 4},   {0x0640, 4},   {0x02B0, 5},  {0x02B8, 5},  {0x00AA, 2},
        {0x00BA, 2},  {0x05D0, 6},   {0x3400, 7},   {0x4E00, 7},  {0x30A1, 8},  {0x3041, 9},
        {0x1100, 10}, {0x1160, 11},  {0x11A8, 12},  {0xAC00, 6},  {0x0300, 13}, {0x0488, 14},
        {0x0903, 15}, {0x0030, 16},  {0x2160, 17},  {0x3007, 18}, {0x00B2, 19}, {0x0020, 20},
        {0x00A0, 20}, {0x200B, 21},  {0x2028, 22},  {0x2029, 23}, {0x0000, 24}, {0x0009, 25},
        {0x000D, 25}, {0x0085, 24},  {0x001C, 26},  {0x001F, 26}, {0x00AD, 27}, {0x200C, 28},
        {0x200D, 28}, {0x2060, 28},  {0x200E, 29},  {0x200F, 29}, {0x202A, 29}, {0x202E, 29},
        {0xFEFF, 30}, {0xDC00, 31},  {0xDFFF, 31},  {0xD800, 32}, {0xDBFF, 32}, {0x2013, 33},
        {0x002D, 34}, {0x0028, 35},  {0x201E, 36},  {0x0029, 37}, {0x300D, 38}, {0x00AB, 39},
        {0x00BB, 40}, {0x005F, 41},  {0x0023, 42},  {0x0022, 43}, {0x2033, 43}, {0x0021, 44},
        {0x002C, 44}, {0x002E, 44},  {0x00B7, 45},  {0x2E31, 45}, {0x30FB, 46}, {0xFF65, 46},
        {0x002B, 47}, {0x207B, 48},  {0x208B, 48},  {0x2212, 48}, {0x0024, 49}, {0x005E, 50},
        {0x00A6, 51}, {0x2500, 51},  {0x201A, 52},  {0x2018, 54}, {0x201B, 54}, {0x2019, 55},
        {0x0027, 56}, {0x2032, 56},  {0x1F600, 51}, {0x10400, 1},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(UnicodeCategory(c.CodePoint), c.Category) << std::hex << c.CodePoint;
    }
}

TEST(UnicodeTable, CaseDeltasAndCombiningClasses) {
    EXPECT_EQ(UnicodeToLower('A'), uint32_t('a'));
    EXPECT_EQ(UnicodeToUpper('a'), uint32_t('A'));
    EXPECT_EQ(UnicodeToTitle('a'), uint32_t('A'));
    EXPECT_EQ(UnicodeToLower(0x0401), 0x0451u);
    EXPECT_EQ(UnicodeToUpper(0x0451), 0x0401u);
    EXPECT_EQ(UnicodeToLower(0x0130), 0x0069u);  // simple mapping of dotted capital I
    EXPECT_EQ(UnicodeToUpper(0x00FF), 0x0178u);  // negative delta
    EXPECT_EQ(UnicodeToTitle(0x01C6), 0x01C5u);
    EXPECT_EQ(UnicodeToUpper(0x01C5), 0x01C4u);
    EXPECT_EQ(UnicodeToLower(0x01C5), 0x01C6u);
    EXPECT_EQ(UnicodeToLower(0x10400), 0x10428u);
    EXPECT_EQ(UnicodeToLower('1'), uint32_t('1'));

    EXPECT_EQ(UnicodeCharInfo(0x0308).CombiningClass(), 230);
    EXPECT_EQ(UnicodeCharInfo(0x0F71).CombiningClass(), 129);
    EXPECT_EQ(UnicodeCharInfo(0x0323).CombiningClass(), 220);
    EXPECT_EQ(UnicodeCharInfo('A').CombiningClass(), 0);
}

TEST(UnicodeTable, NormalisationStabilityBits) {
    struct TCase {
        uint32_t CodePoint;
        bool DecompositionStable;
        bool CompositionStable;
    };
    const TCase cases[] = {
        {'A', true, true},      {0x00C0, false, true},  {0x0308, true, false},
        {0xFB01, false, false}, {0x00BD, false, false}, {0xAC00, false, true},
        {0x1161, true, false},  {0x0344, false, false}, {0x0415, true, true},
    };
    for (const TCase& c : cases) {
        const uint32_t info = UnicodeCharInfo(c.CodePoint).Info;
        EXPECT_EQ((info & UNICODE_NFKD_STABLE) != 0, c.DecompositionStable)
            << std::hex << c.CodePoint;
        EXPECT_EQ((info & UNICODE_NFKC_STABLE) != 0, c.CompositionStable)
            << std::hex << c.CodePoint;
    }
}

TEST(UnicodeTable, CoversEveryCodePointWithTheFallbackBeyond) {
    const TUnicodeDataDescriptor& table = UnicodeDataTable();
    EXPECT_EQ(table.Size, 0x110000u);
    EXPECT_EQ(&UnicodeCharInfo(0x10FFFD), &table[0x10FFFD]);
    EXPECT_EQ(UnicodeCategory(0x10FFFD), 0u);  // private use
    // The two noncharacters at the end of the code space keep records of their own.
    for (uint32_t cp : {0x10FFFEu, 0x10FFFFu}) {
        EXPECT_EQ(&UnicodeCharInfo(cp), &table[cp]) << std::hex << cp;
    }
    for (uint32_t cp : {0x110000u, 0xFFFFFFFFu}) {
        EXPECT_EQ(&UnicodeCharInfo(cp), &table[0xE001]) << std::hex << cp;
    }
}

// Every case change keeps a code point in its plane and off the surrogates, so that in-place
// case changes of UTF-16 text never change the text's length; every category is one of the 57.
TEST(UnicodeTable, RecordsKeepTheirInvariants) {
    const TUnicodeDataDescriptor& table = UnicodeDataTable();
    size_t cased = 0;
    for (uint32_t cp = 0; cp < table.Size; ++cp) {
        const TUnicodeCharInfo& info = table[cp];
        ASSERT_LT(info.Category(), uint32_t(UC_CATEGORY_COUNT)) << std::hex << cp;
        ASSERT_EQ(info.Combining & ~0xFFu, 0u);
        ASSERT_EQ(info.Info & ~(UNICODE_CATEGORY_MASK | UNICODE_NFKD_STABLE | UNICODE_NFKC_STABLE),
                  0u);
        for (int32_t delta : {info.LowerDelta, info.UpperDelta, info.TitleDelta}) {
            const uint32_t mapped = cp + static_cast<uint32_t>(delta);
            ASSERT_LT(mapped, table.Size) << std::hex << cp;
            ASSERT_EQ(mapped >> 16, cp >> 16) << std::hex << cp;
            ASSERT_FALSE(delta != 0 && mapped >= 0xD800 && mapped <= 0xDFFF) << std::hex << cp;
            cased += delta != 0;
        }
    }
    EXPECT_GT(cased, 2000u);
}

TEST(UnicodeTable, DecompositionExamples) {
    using V = std::vector<uint32_t>;
    const auto& compat = CompatDecompositionTable();
    const auto& canon = CanonDecompositionTable();
    const auto& custom = CustomDecompositionTable();
    EXPECT_EQ(compat.Size, 195102u);
    EXPECT_EQ(TableDecomposition(compat, 0x00BD), (V{0x31, 0x2044, 0x32}));
    EXPECT_EQ(TableDecomposition(compat, 0xFB01), (V{'f', 'i'}));
    EXPECT_EQ(TableDecomposition(compat, 0x2000), (V{0x20}));
    EXPECT_EQ(TableDecomposition(compat, 0x00A0), (V{0x20}));
    EXPECT_EQ(TableDecomposition(compat, 0x00C0), (V{'A', 0x300}));
    EXPECT_EQ(TableDecomposition(compat, 0x0401), (V{0x415, 0x308}));
    EXPECT_EQ(TableDecomposition(compat, 0x1E09), (V{'c', 0x327, 0x301}));  // applied recursively
    EXPECT_EQ(TableDecomposition(compat, 0xAC00), (V{0x1100, 0x1161}));
    EXPECT_EQ(TableDecomposition(compat, 0xD7A3), (V{0x1112, 0x1175, 0x11C2}));
    EXPECT_EQ(TableDecomposition(compat, 0x2FA1D), (V{0x2A600}));
    EXPECT_EQ(DecompositionOf(compat, 'a'), nullptr);
    EXPECT_EQ(DecompositionOf(compat, 0x2FA1E), nullptr);

    EXPECT_EQ(TableDecomposition(canon, 0x00C0), (V{'A', 0x300}));
    EXPECT_EQ(TableDecomposition(canon, 0x2000), (V{0x2002}));
    EXPECT_EQ(DecompositionOf(canon, 0xFB01), nullptr);
    EXPECT_EQ(TableDecomposition(canon, 0xAC01), (V{0x1100, 0x1161, 0x11A8}));

    EXPECT_EQ(TableDecomposition(custom, 0x00DF), (V{'s', 's'}));
    EXPECT_EQ(TableDecomposition(custom, 0x0419), (V{0x419}));
    EXPECT_EQ(TableDecomposition(custom, 0x0439), (V{0x439}));
    EXPECT_EQ(TableDecomposition(custom, 0x0401), (V{0x415, 0x308}));
    EXPECT_EQ(TableDecomposition(canon, 0x0419), (V{0x418, 0x306}));
}

// The decomposition tables and the stability bits come from different files of the Unicode
// data; they must agree: a code point is unchanged by compatibility decomposition exactly when
// it has no entry, and every entry is fully expanded.
TEST(UnicodeTable, DecompositionsAgreeWithStabilityBits) {
    const auto& compat = CompatDecompositionTable();
    const auto& canon = CanonDecompositionTable();
    size_t entries = 0;
    for (uint32_t cp = 0; cp < compat.Size; ++cp) {
        const uint32_t* d = compat[cp];
        const bool stable = UnicodeCharInfo(cp).Info & UNICODE_NFKD_STABLE;
        ASSERT_EQ(d == nullptr, stable) << std::hex << cp;
        if (d == nullptr) {
            ASSERT_EQ(canon[cp], nullptr) << std::hex << cp;
            continue;
        }
        ++entries;
        ASSERT_NE(*d, 0u);
        for (; *d; ++d) {
            ASSERT_EQ(DecompositionOf(compat, *d), nullptr) << std::hex << cp;
        }
        for (const uint32_t* c = canon[cp]; c && *c; ++c) {
            ASSERT_EQ(DecompositionOf(canon, *c), nullptr) << std::hex << cp;
        }
    }
    EXPECT_EQ(entries, NUnicodeGenerated::COMPAT_DECOMPOSITION_COUNT + 11172);
}

}  // namespace
