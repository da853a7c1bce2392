#include "util/charset/composition.h"

#include "util/charset/unicode_generated.h"
#include "util/charset/unicode_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint32_t> FullCanonical(uint32_t cp) {
    const uint32_t* d = DecompositionOf(CanonDecompositionTable(), cp);
    if (d == nullptr) {
        return {cp};
    }
    std::vector<uint32_t> result;
    for (; *d; ++d) {
        result.push_back(*d);
    }
    return result;
}

class CompositionTableTest : public ::testing::Test {
protected:
    static const TCompositionTable& Table() { return CompositionTable(); }
};

TEST_F(CompositionTableTest, ComposesPairs) {
    struct TCase {
        uint32_t First;
        uint32_t Second;
        uint32_t Composed;
    };
    const TCase cases[] = {
        {'A', 0x0300, 0x00C0},
        {0x0415, 0x0308, 0x0401},
        {0x0418, 0x0306, 0x0419},
        {0x1100, 0x1161, 0xAC00},
        {0xAC00, 0x11A8, 0xAC01},
        {0x1112, 0x1175, 0xD788},
        {0xD788, 0x11C2, 0xD7A3},
        {0x110A5, 0x110BA, 0x110AB},
        // Non-starter firsts are left out.
        {0x0308, 0x0301, 0},
        {0x0F71, 0x0F72, 0},
        {0x0F71, 0x0F74, 0},
        {0x0F71, 0x0F80, 0},
        // Excluded from composition (U+0958), singletons (U+212B to U+00C5) and non-pairs.
        {0x0915, 0x093C, 0},
        {0x00C5, 0, 0},
        {0xAC01, 0x11A8, 0},  // a syllable with a final takes no second one
        {'A', 'B', 0},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Table().Composition(c.First, c.Second), c.Composed)
            << std::hex << c.First << " " << c.Second;
    }
}

// The generated triples are the two-letter canonical decompositions; the table drops exactly
// the four with a non-starter first and adds one pair per Hangul syllable.
TEST_F(CompositionTableTest, StructureMatchesTheSourceTriples) {
    using namespace NUnicodeGenerated;
    ASSERT_GT(COMPOSITION_TRIPLE_COUNT, 900u);
    EXPECT_EQ(COMPOSITION_TRIPLES[0].First, uint32_t('A'));
    EXPECT_EQ(COMPOSITION_TRIPLES[0].Second, 0x300u);
    EXPECT_EQ(COMPOSITION_TRIPLES[0].Composed, 0xC0u);

    std::vector<uint32_t> dropped;
    for (size_t i = 0; i < COMPOSITION_TRIPLE_COUNT; ++i) {
        const TCompositionTriple& t = COMPOSITION_TRIPLES[i];
        if (i > 0) {
            EXPECT_LT(COMPOSITION_TRIPLES[i - 1].Composed, t.Composed);
        }
        const uint32_t* d = DecompositionOf(CanonDecompositionTable(), t.Composed);
        ASSERT_NE(d, nullptr) << std::hex << t.Composed;
        std::vector<uint32_t> expected = FullCanonical(t.First);
        const std::vector<uint32_t> second = FullCanonical(t.Second);
        expected.insert(expected.end(), second.begin(), second.end());
        EXPECT_EQ(FullCanonical(t.Composed), expected) << std::hex << t.Composed;
        if (UnicodeCharInfo(t.First).CombiningClass() != 0) {
            dropped.push_back(t.Composed);
        }
    }
    EXPECT_EQ(dropped, (std::vector<uint32_t>{0x0344, 0x0F73, 0x0F75, 0x0F81}));
    EXPECT_EQ(Table().Size(), COMPOSITION_TRIPLE_COUNT - 4 + 11172);
    // The count depends on the Unicode version (935 triples with older data, 945 with 15.0).
    RecordProperty("CompositionTriples", static_cast<int>(COMPOSITION_TRIPLE_COUNT));
}

// Every second of a pair may change under composition, so its stability bit must be clear;
// every composed code point decomposes back into its pair.
TEST_F(CompositionTableTest, AgreesWithThePropertyTable) {
    size_t pairs = 0;
    Table().ForEach([&](uint32_t first, uint32_t second, uint32_t composed) {
        ++pairs;
        EXPECT_EQ(UnicodeCharInfo(second).Info & UNICODE_NFKC_STABLE, 0u) << std::hex << second;
        EXPECT_EQ(UnicodeCharInfo(first).CombiningClass(), 0) << std::hex << first;
        std::vector<uint32_t> expected = FullCanonical(first);
        const std::vector<uint32_t> rest = FullCanonical(second);
        expected.insert(expected.end(), rest.begin(), rest.end());
        EXPECT_EQ(FullCanonical(composed), expected) << std::hex << composed;
    });
    EXPECT_EQ(pairs, Table().Size());
}

}  // namespace
