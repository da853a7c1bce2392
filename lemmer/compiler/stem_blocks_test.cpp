#include "lemmer/compiler/stem_blocks.h"

#include "lemmer/compiler/compiler_errors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace N = NByk::NStemNode;

struct TStem {
    std::u16string Text;  // stored (reversed) text
    uint16_t Rule;
};

// The stems as stem keys (in the given order, which must be stem key order).
std::vector<TStemKey> Keys(const std::vector<TStem>& stems) {
    std::vector<TStemKey> keys;
    for (const TStem& s : stems) {
        keys.push_back(
            {TUtf16Range(reinterpret_cast<const wchar16*>(s.Text.data()), s.Text.size()), s.Rule});
    }
    return keys;
}

std::vector<TKeyedStemBlock> Build(const std::vector<TStem>& stems, uint16_t nonRare,
                                   uint32_t tuple = 2) {
    const std::vector<TStemKey> keys = Keys(stems);
    return BuildStemBlocks(keys.data(), keys.size(), tuple, nonRare);
}

uint32_t CountWord(uint64_t node) {
    return static_cast<uint32_t>(node >> 16) & 0xFFFF;
}

TEST(StemBlocks, OneStemIsARootWithOneTerminal) {
    const auto blocks = Build({{u"ba", 5}}, 10);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].Key, TUtf16String(u"ba"));
    const NByk::TStemBlock& b = *blocks[0].Block;
    ASSERT_EQ(b.NodeCount, 2u);
    EXPECT_EQ(N::Char(b.Nodes[0]), 0);
    EXPECT_EQ(CountWord(b.Nodes[0]), 1u);  // no flags: rule 5 is non-rare
    EXPECT_EQ(N::FirstChild(b.Nodes[0]), 1u);
    EXPECT_EQ(N::Char(b.Nodes[1]), 0);
    EXPECT_EQ(N::RuleIdCount(b.Nodes[1]), 1u);
    EXPECT_EQ(N::InlineRuleId(b.Nodes[1]), 5);
}

TEST(StemBlocks, ListsAreSortedSharedPerBlockAndStoredAgainInAnother) {
    const auto blocks = Build(
        {{u"ab", 3}, {u"abc", 2}, {u"abc", 7}, {u"abd", 2}, {u"abd", 7}, {u"cd", 2}, {u"cd", 7}},
        10);
    ASSERT_EQ(blocks.size(), 2u);
    const NByk::TStemBlock& b = *blocks[0].Block;
    // root: terminal (3), 'c', 'd'
    EXPECT_EQ(N::ChildCount(b.Nodes[0]), 3u);
    const uint32_t first = N::FirstChild(b.Nodes[0]);
    EXPECT_EQ(N::InlineRuleId(b.Nodes[first]), 3);
    EXPECT_EQ(N::Char(b.Nodes[first + 1]), u'c');
    EXPECT_EQ(N::Char(b.Nodes[first + 2]), u'd');
    for (const uint32_t child : {first + 1, first + 2}) {
        const uint64_t terminal = b.Nodes[N::FirstChild(b.Nodes[child])];
        EXPECT_EQ(N::RuleIdCount(terminal), 2u);
        EXPECT_EQ(N::FirstChild(terminal), 0u);  // the list at offset 0, once
    }
    ASSERT_EQ(b.RuleIdCount, 2u);
    EXPECT_EQ(b.RuleIds[0], 2);
    EXPECT_EQ(b.RuleIds[1], 7);
    const NByk::TStemBlock& other = *blocks[1].Block;
    EXPECT_EQ(other.RuleIdCount, 2u);
    EXPECT_EQ(N::FirstChild(other.Nodes[1]), 0u);
}

TEST(StemBlocks, HypothesisFlags) {
    // Every rule is rare (ids 3 and up, 3 non-rare): the root says "skip".
    const auto rare = Build({{u"ab", 3}, {u"abc", 4}, {u"abd", 5}}, 3);
    EXPECT_NE(rare[0].Block->Nodes[0] & N::NoHypotheses, 0u);
    // Below the root, the children share one non-rare list ({1}) though their rare ids differ.
    const auto shared = Build({{u"abc", 1}, {u"abc", 5}, {u"abd", 1}, {u"abd", 6}}, 3);
    const uint64_t root = shared[0].Block->Nodes[0];
    EXPECT_NE(root & N::FirstChildOnly, 0u);
    EXPECT_EQ(root & N::NoHypotheses, 0u);
    // Different non-rare lists: neither flag.
    const auto mixed = Build({{u"abc", 1}, {u"abd", 2}}, 3);
    EXPECT_EQ(mixed[0].Block->Nodes[0] & (N::FirstChildOnly | N::NoHypotheses), 0u);
}

TEST(StemBlocks, ShortStemsAreBlocksOfTheirOwn) {
    // An empty stem and a one-letter stem (я / меня in a tuple of two) get keys shorter than
    // the tuple.
    const auto blocks = Build({{u"", 1}, {u"я", 2}, {u"яне", 3}}, 10);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_TRUE(blocks[0].Key.empty());
    EXPECT_EQ(blocks[1].Key, TUtf16String(u"я"));
    EXPECT_EQ(blocks[2].Key, TUtf16String(u"ян"));
    EXPECT_EQ(N::InlineRuleId(blocks[1].Block->Nodes[1]), 2);
}

TEST(StemBlocks, RuleIdsPerStemLimit) {
    for (const uint32_t n : {682u, 683u}) {
        std::vector<TStem> stems;
        for (uint32_t i = 0; i < n; ++i) {
            stems.push_back({u"abc", static_cast<uint16_t>(i)});
        }
        if (n == 682) {
            const auto blocks = Build(stems, 10);
            EXPECT_EQ(blocks[0].Block->RuleIdCount, 682u);
        } else {
            try {
                Build(stems, 10);
                ADD_FAILURE() << "accepted";
            } catch (const NByk::TOverflowError& e) {
                EXPECT_STREQ(e.what(), "SignRules::Buffer overflow while packing rule ids");
            }
        }
    }
}

TEST(StemBlocks, StemsPerBlockAndChildrenPerNodeLimits) {
    // 32000 stems with one key are one block; one more is refused, naming the key.
    std::vector<TStem> stems;
    for (uint32_t i = 0; i < 32001; ++i) {
        stems.push_back({u"ab" + std::u16string(1, char16_t(0x100 + i / 200)) +
                             std::u16string(1, char16_t(0x100 + i % 200)),
                         1});
    }
    std::vector<TStem> fit(stems.begin(), stems.end() - 1);
    EXPECT_EQ(Build(fit, 10).size(), 1u);
    try {
        Build(stems, 10);
        ADD_FAILURE() << "accepted";
    } catch (const NByk::TOverflowError& e) {
        EXPECT_STREQ(e.what(), "Too many stems in the block \"ab\"\n");
    }
    // 16383 child slots fit a node; 16384 would touch the flag bits.
    for (const uint32_t n : {16383u, 16384u}) {
        std::vector<TStem> wide;
        for (uint32_t i = 0; i < n; ++i) {
            wide.push_back({u"ab" + std::u16string(1, char16_t(0x100 + i)), 1});
        }
        if (n == 16383) {
            EXPECT_EQ(N::ChildCount(Build(wide, 10)[0].Block->Nodes[0]), 16383u);
        } else {
            try {
                Build(wide, 10);
                ADD_FAILURE() << "accepted";
            } catch (const NByk::TCompileError& e) {
                EXPECT_STREQ(e.what(),
                             "TFlexTrie::BuildNode: Too much children; interference with flag "
                             "bits.");
            }
        }
    }
}

TEST(StemBlocks, StemsOutOfOrderAreRefused) {
    EXPECT_THROW(Build({{u"abd", 1}, {u"abc", 1}}, 10), NByk::TCompileError);
}

}  // namespace
