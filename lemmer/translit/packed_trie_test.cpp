#include "lemmer/translit/packed_trie.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using TFound = std::vector<std::pair<uint64_t, uint64_t>>;
using TValues = std::vector<std::pair<uint32_t, uint64_t>>;
constexpr uint32_t None = PackedTrieNoValue;

// Little-endian record images, written field by field as the node format lays them out.
void PutLE(std::string& out, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

struct TImage {
    std::string Bytes;
    int CharBytes;

    TImage& Node(uint32_t c, uint32_t first, uint32_t count, uint32_t value) {
        PutLE(Bytes, c, CharBytes);
        PutLE(Bytes, first, 4);
        PutLE(Bytes, count, 1);
        PutLE(Bytes, value, 4);
        return *this;
    }
    const TPackedTrieNode* Nodes16() const {
        return reinterpret_cast<const TPackedTrieNode*>(Bytes.data());
    }
    const TPackedTrieNode8* Nodes8() const {
        return reinterpret_cast<const TPackedTrieNode8*>(Bytes.data());
    }
};

TImage WideImage() {
    return TImage{{}, 2};
}
TImage NarrowImage() {
    return TImage{{}, 1};
}

TFound Find16(const TImage& image, const uint64_t* payloads, const std::u16string& word) {
    TFound found = {{99, 99}};  // earlier content must go
    FindAllPrefixes(image.Nodes16(), payloads, word.c_str(), found);
    return found;
}

TFound Find8(const TImage& image, const uint64_t* payloads, const std::string& word) {
    TFound found = {{99, 99}};
    FindAllPrefixes8(image.Nodes8(), payloads, word.c_str(), found);
    return found;
}

TEST(PackedTrie, RecordsHaveNoPadding) {
    TImage image = WideImage().Node(0, 1, 1, None).Node(u'a', 7, 0, 3);
    ASSERT_EQ(22u, image.Bytes.size());
    // Fields of packed records are read by value: they may lie at any address.
    const TPackedTrieNode* node = image.Nodes16() + 1;
    EXPECT_EQ(uint32_t(u'a'), uint32_t(node->Char));
    EXPECT_EQ(7u, uint32_t(node->FirstChild));
    EXPECT_EQ(0u, uint32_t(node->ChildCount));
    EXPECT_EQ(3u, uint32_t(node->Value));
}

// Keys "a" (value 0) and "ab" (value 1), payloads 10 and 20.
TEST(PackedTrie, FindsEveryValuedPrefixShortestFirst) {
    const TImage image = WideImage()
                             .Node(0, 1, 1, None)   // root
                             .Node(u'a', 2, 1, 0)   // "a"
                             .Node(u'b', 0, 0, 1);  // "ab"
    const uint64_t payloads[] = {10, 20};
    struct TCase {
        std::u16string Word;
        TFound Found;
    };
    const TCase cases[] = {
        {u"abc", {{10, 1}, {20, 2}}},
        {u"ab", {{10, 1}, {20, 2}}},
        {u"a", {{10, 1}}},
        {u"ac", {{10, 1}}},
        {u"b", {}},
        {u"", {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Word.begin(), c.Word.end()));
        EXPECT_EQ(c.Found, Find16(image, payloads, c.Word));
    }
    TValues values = {{5, 5}};
    FindPrefixValues(image.Nodes16(), u"abc", values);
    EXPECT_EQ((TValues{{0, 1}, {1, 2}}), values);
    FindPrefixValues(image.Nodes16(), nullptr, values);
    EXPECT_TRUE(values.empty());
}

TEST(PackedTrie, SkipsPrefixesOnNodesWithoutValue) {
    const TImage image = WideImage().Node(0, 1, 1, None).Node(u'a', 2, 1, None).Node(u'b', 0, 0, 0);
    const uint64_t payloads[] = {42};
    EXPECT_EQ(TFound{}, Find16(image, payloads, u"a"));
    EXPECT_EQ((TFound{{42, 2}}), Find16(image, payloads, u"abba"));
}

TEST(PackedTrie, RootWithoutChildrenFindsNothing) {
    const TImage image = WideImage().Node(u'a', 0, 0, 0);  // even a valued root is never reported
    const uint64_t payloads[] = {1};
    EXPECT_EQ(TFound{}, Find16(image, payloads, u"a"));
    EXPECT_EQ(TFound{}, Find16(image, payloads, u""));
}

// Children searched by unsigned unit: one below 0x8000 and two above, in a wide range.
TEST(PackedTrie, SearchesChildrenByUnsignedUnit) {
    TImage image = WideImage().Node(0, 1, 5, None);
    const char16_t chars[] = {u'A', u'z', u'\u0436', u'\uFF00', u'\uFFFF'};
    for (uint32_t i = 0; i < 5; ++i) {
        image.Node(chars[i], 0, 0, i);
    }
    const uint64_t payloads[] = {100, 101, 102, 103, 104};
    for (uint32_t i = 0; i < 5; ++i) {
        EXPECT_EQ((TFound{{100 + i, 1}}), Find16(image, payloads, std::u16string(1, chars[i])));
    }
    for (char16_t miss : {u'0', u'B', u'\u0435', u'\uFF01', u'\u8000'}) {
        EXPECT_EQ(TFound{}, Find16(image, payloads, std::u16string(1, miss)));
    }
}

TEST(PackedTrie, ByteTrieStopsAtHighBytes) {
    // Keys "a" (0), "a\xC0" (1), "ab" (2); 0xC0 is stored but can never be matched.
    const TImage image =
        NarrowImage().Node(0, 1, 1, None).Node('a', 2, 2, 0).Node('b', 0, 0, 2).Node(0xC0, 0, 0, 1);
    ASSERT_EQ(40u, image.Bytes.size());
    const uint64_t payloads[] = {7, 8, 9};
    EXPECT_EQ((TFound{{7, 1}, {9, 2}}), Find8(image, payloads, "abc"));
    EXPECT_EQ((TFound{{7, 1}}), Find8(image, payloads, "a\xC0"));
    EXPECT_EQ(TFound{}, Find8(image, payloads, "\xE1"));
    EXPECT_EQ(TFound{}, Find8(image, payloads, ""));
    TValues values;
    FindPrefixValues8(image.Nodes8(), "ab", values);
    EXPECT_EQ((TValues{{0, 1}, {2, 2}}), values);
}

// Lays out a trie of the keys breadth first, children sorted, as the packed format requires.
TImage PackBreadthFirst(const std::map<std::u16string, uint32_t>& keys) {
    struct TTmp {
        std::map<char16_t, size_t> Children;
        uint32_t Value = None;
    };
    std::vector<TTmp> tmp(1);
    for (const auto& [key, value] : keys) {
        size_t at = 0;
        for (char16_t c : key) {
            auto it = tmp[at].Children.find(c);
            if (it == tmp[at].Children.end()) {
                tmp.emplace_back();
                it = tmp[at].Children.emplace(c, tmp.size() - 1).first;
            }
            at = it->second;
        }
        tmp[at].Value = value;
    }
    // Breadth-first numbering: (temporary node, character).
    std::vector<std::pair<size_t, char16_t>> order = {{0, 0}};
    std::vector<uint32_t> firstChild;
    for (size_t i = 0; i < order.size(); ++i) {
        firstChild.push_back(uint32_t(order.size()));
        for (const auto& [c, child] : tmp[order[i].first].Children) {
            order.emplace_back(child, c);
        }
    }
    TImage image = WideImage();
    for (size_t i = 0; i < order.size(); ++i) {
        const TTmp& n = tmp[order[i].first];
        image.Node(order[i].second, n.Children.empty() ? 0 : firstChild[i],
                   uint32_t(n.Children.size()), n.Value);
    }
    return image;
}

TEST(PackedTrie, AgreesWithAMapOnRandomKeys) {
    std::mt19937 random(5);
    for (int round = 0; round < 50; ++round) {
        std::map<std::u16string, uint32_t> keys;
        std::vector<uint64_t> payloads;
        const int n = 1 + int(random() % 60);
        for (int i = 0; i < n; ++i) {
            std::u16string key(1 + random() % 5, u'a');
            for (char16_t& c : key) {
                c = char16_t(u'a' + random() % 4);
            }
            if (keys.emplace(key, uint32_t(payloads.size())).second) {
                payloads.push_back(random());
            }
        }
        const TImage image = PackBreadthFirst(keys);
        for (int w = 0; w < 30; ++w) {
            std::u16string word(random() % 7, u'a');
            for (char16_t& c : word) {
                c = char16_t(u'a' + random() % 5);
            }
            TFound expected;
            for (size_t len = 1; len <= word.size(); ++len) {
                const auto it = keys.find(word.substr(0, len));
                if (it != keys.end()) {
                    expected.emplace_back(payloads[it->second], len);
                }
            }
            ASSERT_EQ(expected, Find16(image, payloads.data(), word)) << "round " << round;
        }
    }
}

}  // namespace
