#include "lemmer/compiler/char_tree.h"

#include "lemmer/compiler/compiler_errors.h"
#include "lemmer/compiler/dictionary_storage.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t None = TSourceNode::NoValue;
constexpr uint64_t NoSibling = TSourceNode::NoSibling;

class TListFetcher {
public:
    explicit TListFetcher(std::vector<std::pair<std::u16string, uint32_t>> pairs)
        : Pairs_(std::move(pairs)) {}
    bool Next(TUtf16String& key, uint32_t& value) {
        if (At_ >= Pairs_.size()) {
            return false;
        }
        key.assign(reinterpret_cast<const wchar16*>(Pairs_[At_].first.data()),
                   Pairs_[At_].first.size());
        value = Pairs_[At_++].second;
        return true;
    }

private:
    std::vector<std::pair<std::u16string, uint32_t>> Pairs_;
    size_t At_ = 0;
};

struct TNodeWant {
    char16_t Char;
    uint32_t Value;
    bool HasChildren;
    uint64_t NextSibling;
};

void ExpectTree(const TSourceTree& tree, const std::vector<TNodeWant>& want) {
    ASSERT_EQ(tree.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(tree[i].Char, want[i].Char);
        EXPECT_EQ(tree[i].Value, want[i].Value);
        EXPECT_EQ(tree[i].HasChildren, want[i].HasChildren);
        EXPECT_EQ(tree[i].NextSibling, want[i].NextSibling);
    }
}

std::unique_ptr<TSourceTree> CompileTree(std::vector<std::pair<std::u16string, uint32_t>> pairs) {
    TListFetcher fetcher(std::move(pairs));
    return CompileCharTree(fetcher, 4);
}

TEST(CharTreeCompile, BuildsPreOrderNodesWithSiblingLinks) {
    EXPECT_EQ(CompileTree({}), nullptr);
    ExpectTree(*CompileTree({{u"", 9}}), {{0, 9, false, NoSibling}});
    ExpectTree(*CompileTree({{u"", 7}, {u"a", 1}, {u"ab", 2}, {u"b", 3}}),
               {{0, 7, true, NoSibling},
                {u'a', 1, true, 3},
                {u'b', 2, false, NoSibling},
                {u'b', 3, false, NoSibling}});
    ExpectTree(*CompileTree({{u"", None}, {u"ab", 1}, {u"ac", 2}}), {{0, None, true, NoSibling},
                                                                     {u'a', None, true, NoSibling},
                                                                     {u'b', 1, false, 3},
                                                                     {u'c', 2, false, NoSibling}});
    // U+FFFF is the greatest unit.
    ExpectTree(*CompileTree({{u"", None}, {u"xa", 1}, {u"x\uFFFF", 2}}),
               {{0, None, true, NoSibling},
                {u'x', None, true, NoSibling},
                {u'a', 1, false, 3},
                {0xFFFF, 2, false, NoSibling}});
}

TEST(CharTreeCompile, RefusesKeysOutOfOrder) {
    const std::vector<std::vector<std::pair<std::u16string, uint32_t>>> refused = {
        {{u"", 0}, {u"b", 1}, {u"a", 2}},
        {{u"", 0}, {u"ab", 1}, {u"a", 2}},
        {{u"", 0}, {u"a", 1}, {u"a", 2}},
        {{u"", 0}, {u"x\uFFFF", 1}, {u"xa", 2}},
    };
    for (const auto& pairs : refused) {
        try {
            CompileTree(pairs);
            ADD_FAILURE() << "accepted";
        } catch (const NByk::TCompileError& e) {
            EXPECT_STREQ(e.what(), "TCharTree::Compile: Fetcher must return increasing strings");
        }
    }
    try {
        CompileTree({{u"a", 0}});
        ADD_FAILURE() << "accepted";
    } catch (const NByk::TCompileError& e) {
        EXPECT_STREQ(e.what(), "TCharTree::Compile: Fetcher must return empty string at first");
    }
}

TAffixKey Affix(const std::u16string& prefix, const std::u16string& reversedSuffix,
                const char* grammar) {
    TAffixKey key;
    key.Prefix = TUtf16Range(reinterpret_cast<const wchar16*>(prefix.data()), prefix.size());
    key.ReversedSuffix =
        TUtf16Range(reinterpret_cast<const wchar16*>(reversedSuffix.data()), reversedSuffix.size());
    key.Grammar = TCharRange(grammar);
    return key;
}

template <class TFetcher>
std::vector<std::pair<std::u16string, uint32_t>> Drain(TFetcher& fetcher) {
    std::vector<std::pair<std::u16string, uint32_t>> out;
    TUtf16String key;
    uint32_t value = 0;
    while (fetcher.Next(key, value)) {
        out.emplace_back(std::u16string(reinterpret_cast<const char16_t*>(key.data()), key.size()),
                         value);
    }
    return out;
}

TEST(CharTreeFetchers, EndingRunsAndStemTailRuns) {
    const std::u16string pre = u"по", other = u"на", suffix = u"ым";
    const std::vector<TAffixKey> affixes = {Affix(pre, suffix, "\x01"), Affix(pre, suffix, "\x02"),
                                            Affix(other, suffix, "\x01")};
    TEndingFetcher endings(affixes.data(), 3);
    const std::vector<std::pair<std::u16string, uint32_t>> wantEndings = {
        {u"", None}, {u"ым\uFFFFпо", 0 | 2 << 16}, {u"ым\uFFFFна", 2 | 3 << 16}};
    EXPECT_EQ(Drain(endings), wantEndings);
    TEndingFetcher none(nullptr, 0);
    EXPECT_EQ(Drain(none).size(), 1u);

    const TUtf16String emptyFirst[] = {TUtf16String(), TUtf16String(), TUtf16String(u"k")};
    TStemTailFetcher tails1(emptyFirst, 3);
    const std::vector<std::pair<std::u16string, uint32_t>> want1 = {{u"", 0 | 2 << 16},
                                                                    {u"k", 2 | 1 << 16}};
    EXPECT_EQ(Drain(tails1), want1);
    const TUtf16String noEmpty[] = {TUtf16String(u"a"), TUtf16String(u"a"), TUtf16String(u"b")};
    TStemTailFetcher tails2(noEmpty, 3);
    const std::vector<std::pair<std::u16string, uint32_t>> want2 = {
        {u"", None}, {u"a", 0 | 2 << 16}, {u"b", 2 | 1 << 16}};
    EXPECT_EQ(Drain(tails2), want2);
}

TEST(FlexTree, ChildrenSideBySideInSlotRuns) {
    THeapCharTree heap;
    const auto source = CompileTree({{u"", None}, {u"a", 1}, {u"ab", 2}, {u"b", 3}});
    heap.Init(static_cast<uint32_t>(source->size()));
    BuildFlexTree(heap.Tree(), *source);
    const NByk::TCharTree& tree = heap.Tree();
    ASSERT_EQ(tree.Count, 4u);
    EXPECT_EQ(tree.Nodes[0].ChildCount, 2);
    EXPECT_EQ(tree.Nodes[0].FirstChild, 1u);
    EXPECT_EQ(tree.Nodes[1].Char, u'a');
    EXPECT_EQ(tree.Nodes[1].ChildCount, 1);
    EXPECT_EQ(tree.Nodes[1].FirstChild, 3u);
    EXPECT_EQ(tree.Nodes[2].Char, u'b');
    EXPECT_EQ(tree.Nodes[2].FirstChild, NByk::TCharTreeNode::NoChild);
    EXPECT_EQ(tree.Nodes[2].Value, 3u);
    EXPECT_EQ(tree.Nodes[3].Value, 2u);

    // Re-initialising frees the earlier array (the leak checker watches this).
    heap.Init(2);
    EXPECT_THROW(BuildFlexTree(heap.Tree(), *source), NByk::TCompileError);
}

TEST(FlexTree, ChildLimitOf65535) {
    for (const uint32_t children : {65535u, 65536u}) {
        TSourceTree source(children + 1);
        source[0].HasChildren = true;
        for (uint32_t i = 1; i <= children; ++i) {
            source[i].Char = static_cast<wchar16>(i);
            source[i].NextSibling = i < children ? i + 1 : TSourceNode::NoSibling;
        }
        THeapCharTree heap;
        heap.Init(children + 1);
        if (children == 65535) {
            BuildFlexTree(heap.Tree(), source);
            EXPECT_EQ(heap.Tree().Nodes[0].ChildCount, 65535);
        } else {
            try {
                BuildFlexTree(heap.Tree(), source);
                ADD_FAILURE() << "accepted";
            } catch (const NByk::TCompileError& e) {
                EXPECT_STREQ(e.what(),
                             "TFlexTrie::BuildNode: Suddenly, there are too much children.");
            }
        }
    }
}

TEST(EndingTree, WorkedExamples) {
    TMemoryPool pool(4096);
    TDictionaryStorage storage(&pool);
    const NByk::TCharTree* empty = BuildEndingTree(nullptr, 0, storage);
    ASSERT_EQ(empty->Count, 1u);
    EXPECT_EQ(empty->Nodes[0].ChildCount, 0);
    EXPECT_EQ(empty->Nodes[0].FirstChild, NByk::TCharTreeNode::NoChild);
    EXPECT_EQ(empty->Nodes[0].Value, NByk::TCharTreeNode::NoValue);

    const std::u16string none, a = u"a";
    const std::vector<TAffixKey> one = {Affix(none, none, "")};
    const NByk::TCharTree* single = BuildEndingTree(one.data(), 1, storage);
    ASSERT_EQ(single->Count, 2u);
    EXPECT_EQ(single->Nodes[0].ChildCount, 1);
    EXPECT_EQ(single->Nodes[1].Char, 0xFFFF);
    EXPECT_EQ(single->Nodes[1].Value, 0u | 1u << 16);

    const std::vector<TAffixKey> two = {Affix(none, a, ""), Affix(none, none, "")};
    const NByk::TCharTree* tree = BuildEndingTree(two.data(), 2, storage);
    ASSERT_EQ(tree->Count, 4u);
    EXPECT_EQ(tree->Nodes[0].ChildCount, 2);
    EXPECT_EQ(tree->Nodes[1].Char, u'a');
    EXPECT_EQ(tree->Nodes[2].Char, 0xFFFF);
    EXPECT_EQ(tree->Nodes[2].Value, 1u | 2u << 16);
    EXPECT_EQ(tree->Nodes[3].Char, 0xFFFF);
    EXPECT_EQ(tree->Nodes[3].Value, 0u | 1u << 16);

    // The reverse order breaks the key order.
    const std::vector<TAffixKey> wrong = {Affix(none, none, ""), Affix(none, a, "")};
    EXPECT_THROW(BuildEndingTree(wrong.data(), 2, storage), NByk::TCompileError);
}

}  // namespace
