#include "util/stream/compact_trie.h"

#include "util/stream/compact_trie_test_helpers.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {
using NCompactTrieTest::Bytes;
using NCompactTrieTest::Find;
using NCompactTrieTest::Key;
using NCompactTrieTest::Unpack;

struct TPrefix {
    size_t Length;
    unsigned long Value;
    bool operator==(const TPrefix&) const = default;
};

std::optional<TPrefix> Longest(const TCompactTrie& trie, const std::u16string& key) {
    size_t len = 999;
    const char* value = nullptr;
    const bool found = trie.FindLongestPrefix(key.data(), key.size(), &len, &value);
    if (!found) {
        EXPECT_EQ(0u, len);
        return std::nullopt;
    }
    return TPrefix{len, Unpack(value)};
}

struct TQuery {
    const char* Key;
    std::optional<unsigned long> Whole;
    std::optional<TPrefix> LongestPrefix;
};

struct TImageCase {
    const char* Name;
    std::string Image;
    std::vector<TQuery> Queries;
};

const std::nullopt_t none = std::nullopt;

TEST(CompactTrie, AnswersOnHandWrittenImages) {
    const TImageCase cases[] = {
            {"empty trie", "", {{"", none, none}, {"a", none, none}}},
            {"a=1 b=300",
             Bytes({0x40, 0x00, 0x88, 0x62, 0x05, 0x81, 0x2C, 0x80, 0x61, 0x01}),
             {{"a", 1, TPrefix{1, 1}},
              {"b", 300, TPrefix{1, 300}},
              {"", none, none},
              {"c", none, none},
              {"`", none, none},
              {"ab", none, TPrefix{1, 1}},
              {"\x01", none, none}}},
            {"a=0 as a two-byte chain",
             Bytes({0x40, 0x00, 0x80, 0x61, 0x00}),
             {{"a", 0, TPrefix{1, 0}}, {"aa", none, TPrefix{1, 0}}, {"b", none, none}}},
            {"empty key alone",
             Bytes({0x80, 0x00, 0x05}),
             {{"", 5, TPrefix{0, 5}}, {"a", none, TPrefix{0, 5}}, {"ab", none, TPrefix{0, 5}}}},
            // The empty key's arc is a prefix of "a" in bytes but never of a one-unit key.
            {"empty=5 a=1",
             Bytes({0xC0, 0x00, 0x05, 0x80, 0x61, 0x01}),
             {{"", 5, TPrefix{0, 5}},
              {"a", 1, TPrefix{1, 1}},
              {"b", none, TPrefix{0, 5}},
              {"ab", none, TPrefix{1, 1}}}},
            // Three labels: the middle one first, then the smaller, then the greater.
            {"a=1 b=2 c=3",
             Bytes({0x40, 0x00, 0x89, 0x62, 0x05, 0x08, 0x02, 0x80, 0x61, 0x01, 0x80, 0x63,
                    0x03}),
             {{"a", 1, none}, {"b", 2, none}, {"c", 3, none}, {"d", none, none}}},
            // "a"=1 and "abc"=3: the value of "a" sits between its arc and the chain below.
            {"a=1 abc=3",
             Bytes({0x40, 0x00, 0xC0, 0x61, 0x01, 0x40, 0x00, 0x40, 0x62, 0x40, 0x00, 0x80,
                    0x63, 0x03}),
             {{"a", 1, TPrefix{1, 1}},
              {"ab", none, TPrefix{1, 1}},
              {"abc", 3, TPrefix{3, 3}},
              {"abcd", none, TPrefix{3, 3}},
              {"abd", none, TPrefix{1, 1}}}},
            // A key with a unit above U+00FF: U+0430 is the bytes 04 30.
            {"U+0430=7", Bytes({0x40, 0x04, 0x80, 0x30, 0x07}), {{"", none, none}}},
            // A jump at the very start leads to the root region.
            {"jump at the root",
             Bytes({0x01, 0x03, 0xEE, 0x40, 0x00, 0x80, 0x61, 0x01}),
             {{"a", 1, none}, {"b", none, none}}},
            // A jump where a forward region begins; the byte it skips is never read.
            {"jump to a forward region",
             Bytes({0x40, 0x00, 0x01, 0x03, 0xEE, 0x80, 0x61, 0x01}),
             {{"a", 1, none}, {"b", none, none}}},
            // A two-byte jump offset (256) over filler.
            {"two-byte jump",
             [] {
                 std::string image = Bytes({0x40, 0x00, 0x02, 0x01, 0x00});
                 image.resize(2 + 256, '\xEE');
                 return image + Bytes({0x80, 0x61, 0x09});
             }(),
             {{"a", 9, none}}},
            // Width 0 and offset 0 are "nothing there", not corruption.
            {"jump of width 0", Bytes({0x40, 0x00, 0x00}), {{"a", none, none}}},
            {"jump offset 0", Bytes({0x40, 0x00, 0x01, 0x00}), {{"a", none, none}}},
            {"left offset 0",
             Bytes({0x40, 0x00, 0x88, 0x62, 0x00, 0x01}),
             {{"a", none, none}, {"b", 1, none}}},
            // Minimised shape: "a" and "b" lead to equal subtrees; the left offset of "b"
            // ("a"'s arc) and its forward jump both point at the one shared region at the end.
            {"shared subtree",
             Bytes({0x40, 0x00,                    //
                    0x48, 0x62, 0x05, 0x01, 0x07,  // "b": left -> 7, jump +7 -> 12
                    0x40, 0x61, 0x01, 0x03, 0xEE,  // "a": jump +3 -> 12
                    0x40, 0x00, 0x80, 0x7A, 0x2A}),
             {{"az", 42, none}, {"bz", 42, none}, {"cz", none, none}, {"ay", none, none}}},
        };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TCompactTrie trie(c.Image.data(), c.Image.size());
        for (const auto& q : c.Queries) {
            SCOPED_TRACE(q.Key);
            const std::u16string key = Key(q.Key);
            EXPECT_EQ(q.Whole, Find(trie, key));
            if (q.LongestPrefix || !q.Whole) {
                EXPECT_EQ(q.LongestPrefix, Longest(trie, key));
            }
        }
    }
}

TEST(CompactTrie, FindsUnitsAboveLatin1) {
    const std::string image = Bytes({0x40, 0x04, 0x80, 0x30, 0x07});
    const TCompactTrie trie(image.data(), image.size());
    EXPECT_EQ(7u, Find(trie, u"\u0430"));
    EXPECT_EQ(none, Find(trie, u"\u0431"));
    EXPECT_EQ(none, Find(trie, u"0"));
}

// "a" carries a value of every packed width; "ab" below it is found only when the reader
// skips that value by its first byte.
TEST(CompactTrie, SkipsValuesOfEveryWidth) {
    for (unsigned long value : {5UL, 300UL, 1UL << 20, 1UL << 27, 1UL << 34, 1UL << 41, 1UL << 48,
                                (1UL << 56) - 1, ~0UL}) {
        const size_t size = TCompactTriePacker<unsigned long>::MeasureLeaf(value);
        std::string packed(size, '\0');
        TCompactTriePacker<unsigned long>::PackLeaf(packed.data(), value, size);
        const std::string image =
            Bytes({0x40, 0x00, 0xC0, 0x61}) + packed + Bytes({0x40, 0x00, 0x80, 0x62, 0x07});
        const TCompactTrie trie(image.data(), image.size());
        EXPECT_EQ(value, Find(trie, u"a")) << size;
        EXPECT_EQ(7u, Find(trie, u"ab")) << size;
        EXPECT_EQ((TPrefix{1, value}), Longest(trie, u"ac")) << size;
    }
}

TEST(CompactTrie, TreatsNullAndEmptyKeysAlike) {
    const std::string withEmpty = Bytes({0xC0, 0x00, 0x05, 0x80, 0x61, 0x01});
    const TCompactTrie trie(withEmpty.data(), withEmpty.size());
    ASSERT_NE(nullptr, trie.EmptyValue());
    EXPECT_EQ(5u, Unpack(trie.EmptyValue()));
    const char* value = nullptr;
    size_t len = 9;
    EXPECT_TRUE(trie.FindLongestPrefix(nullptr, 3, &len, &value));
    EXPECT_EQ(0u, len);
    EXPECT_TRUE(trie.Find(nullptr, 0, &value));
    value = nullptr;
    EXPECT_TRUE(trie.Find(nullptr, 3, &value));  // a null key is empty whatever its length
    EXPECT_EQ(5u, Unpack(value));

    // Null data is the empty trie whatever its length.
    const TCompactTrie null(nullptr, 4);
    EXPECT_EQ(0u, null.Length());
    EXPECT_EQ(nullptr, null.EmptyValue());
    EXPECT_FALSE(null.Find(u"a", 1, &value));
    EXPECT_FALSE(null.FindLongestPrefix(nullptr, 0, &len, &value));

    const std::string without = Bytes({0x40, 0x00, 0x80, 0x61, 0x00});
    const TCompactTrie other(without.data(), without.size());
    EXPECT_EQ(nullptr, other.EmptyValue());
    value = nullptr;
    EXPECT_FALSE(other.Find(u"", 0, &value));
    EXPECT_FALSE(other.FindLongestPrefix(nullptr, 0, &len, &value));
    EXPECT_EQ(nullptr, value);
}

TEST(CompactTrie, InitSwitchesTries) {
    const std::string first = Bytes({0x80, 0x00, 0x05});
    const std::string second = Bytes({0x40, 0x00, 0x80, 0x61, 0x03});
    TCompactTrie trie;
    EXPECT_EQ(none, Find(trie, u""));
    trie.Init(first.data(), first.size());
    EXPECT_EQ(5u, Find(trie, u""));
    trie.Init(second.data(), second.size());
    EXPECT_EQ(none, Find(trie, u""));
    EXPECT_EQ(3u, Find(trie, u"a"));
}

// A trie made from a blob owns a share of it, so the bytes outlive every other holder
// (a stray read of freed bytes would show under AddressSanitizer).
TEST(CompactTrie, KeepsItsBlobAlive) {
    TCompactTrie trie;
    {
        const std::string image = Bytes({0xC0, 0x00, 0x05, 0x80, 0x61, 0x01});
        trie.Init(TBlob::Copy(image.data(), image.size()));
    }
    EXPECT_EQ(5u, Find(trie, u""));
    EXPECT_EQ(1u, Find(trie, u"a"));
    const TCompactTrie copy(TBlob::Copy(trie.Data(), trie.Length()));
    trie.Init(TBlob());
    EXPECT_EQ(none, Find(trie, u"a"));
    EXPECT_EQ(1u, Find(copy, u"a"));
}

// A failed Init leaves the reader on the bytes it held before, still alive: the corrupt blob
// is freed right after the failure, so a reader left pointing into it would show under
// AddressSanitizer.
TEST(CompactTrie, FailedInitKeepsTheOldTrie) {
    const std::string good = Bytes({0xC0, 0x00, 0x05, 0x80, 0x61, 0x01});
    TCompactTrie trie(TBlob::Copy(good.data(), good.size()));
    const std::string corrupt = Bytes({0x01, 0x05, 0x80, 0x00, 0x01});
    EXPECT_THROW(trie.Init(TBlob::Copy(corrupt.data(), corrupt.size())), TCompactTrieError);
    EXPECT_THROW(trie.Init(corrupt.data(), corrupt.size()), TCompactTrieError);
    EXPECT_EQ(5u, Find(trie, u""));
    EXPECT_EQ(1u, Find(trie, u"a"));
    EXPECT_EQ(good.size(), trie.Length());
}

// Each image is corrupt where the query walks; the reader must raise rather than read
// beyond the data (the images are copied into exactly-sized heap blocks, so a stray read
// would also show under AddressSanitizer).
TEST(CompactTrie, RaisesOnCorruptImages) {
    const struct {
        const char* Name;
        std::string Image;
        const char* Key;
    } cases[] = {
        {"left offset past the end",
         Bytes({0x40, 0x00, 0x88, 0x62, 0x09, 0x81, 0x2C, 0x80, 0x61, 0x01}), "a"},
        {"right offset past the end", Bytes({0x40, 0x00, 0x81, 0x61, 0x20, 0x01}), "b"},
        {"offset fields cut off", Bytes({0x40, 0x00, 0x90, 0x62, 0x05}), "a"},
        {"label cut off", Bytes({0x40, 0x00, 0x80}), "a"},
        {"value cut off", Bytes({0x40, 0x00, 0x80, 0x61, 0xC1, 0x00}), "a"},
        {"value byte missing", Bytes({0x40, 0x00, 0x80, 0x61}), "a"},
        {"next region missing", Bytes({0x40, 0x00}), "a"},
        {"next region missing after a value", Bytes({0x40, 0x00, 0xC0, 0x61, 0x01}), "ab"},
        {"jump past the end", Bytes({0x40, 0x00, 0x01, 0x07, 0x80, 0x61, 0x01}), "a"},
        {"jump offset cut off", Bytes({0x40, 0x00, 0x03, 0x00, 0x01}), "a"},
        {"huge offset",
         Bytes({0x40, 0x00, 0x87, 0x62, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01}), "c"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<char> exact(c.Image.begin(), c.Image.end());
        const TCompactTrie trie(exact.data(), exact.size());
        const std::u16string key = Key(c.Key);
        const char* value = nullptr;
        size_t len = 0;
        EXPECT_THROW(trie.Find(key.data(), key.size(), &value), TCompactTrieError);
        EXPECT_THROW(trie.FindLongestPrefix(key.data(), key.size(), &len, &value),
                     TCompactTrieError);
    }
}

TEST(CompactTrie, RaisesOnCorruptRootAtConstruction) {
    const std::string cases[] = {
        Bytes({0x80, 0x00, 0xC1, 0x00}),              // the empty key's value cut off
        Bytes({0x01, 0x05, 0x80, 0x00, 0x01}),        // jump past the end
        Bytes({0x48, 0x62, 0x09, 0x80, 0x00, 0x01}),  // left offset past the end
        Bytes({0x48}),                                // record cut off
    };
    for (const auto& image : cases) {
        std::vector<char> exact(image.begin(), image.end());
        EXPECT_THROW(TCompactTrie(exact.data(), exact.size()), TCompactTrieError);
    }
    const std::string truncated = Bytes({0x88, 0x62, 0x05, 0x81, 0x2C, 0x80, 0x00, 0x01});
    try {
        TCompactTrie trie(truncated.data(), 6);
        FAIL() << "no exception";
    } catch (const TCompactTrieError& e) {
        EXPECT_STREQ(
            "corrupt compact trie: arc record at 5 runs past the end of the data "
            "(6 bytes)",
            e.what());
    }
}
// Every single-byte change and every truncation of a small image: a look-up either answers or
// raises TCompactTrieError, and never reads outside the data (each image sits in a heap block
// of its exact size, so AddressSanitizer would see a stray read).
TEST(CompactTrie, CorruptedBytesNeverLeadOutsideTheData) {
    const std::string images[] = {
        Bytes({0x40, 0x00, 0xC0, 0x61, 0x01, 0x40, 0x00, 0x40, 0x62, 0x40, 0x00, 0x80, 0x63, 0x03}),
        Bytes({0x40, 0x00, 0x48, 0x62, 0x05, 0x01, 0x07, 0x40, 0x61, 0x01, 0x03, 0xEE, 0x40, 0x00,
               0x80, 0x7A, 0x2A}),
        Bytes({0xC0, 0x00, 0x05, 0x89, 0x62, 0x05, 0x08, 0x02, 0x80, 0x61, 0x01, 0x80, 0x63, 0x03}),
    };
    const std::u16string keys[] = {u"", u"a", u"ab", u"abc", u"az", u"bz", u"b", u"c", u"zz"};
    size_t raised = 0;
    size_t answered = 0;
    auto probe = [&](const std::string& image) {
        const std::vector<char> exact(image.begin(), image.end());
        try {
            const TCompactTrie trie(exact.data(), exact.size());
            for (const auto& key : keys) {
                try {
                    const char* value = nullptr;
                    size_t len = 0;
                    trie.FindLongestPrefix(key.data(), key.size(), &len, &value);
                    trie.Find(key.data(), key.size(), &value);
                    ++answered;
                } catch (const TCompactTrieError&) {
                    ++raised;
                }
            }
        } catch (const TCompactTrieError&) {
            ++raised;
        }
    };
    for (const std::string& image : images) {
        for (size_t len = 0; len <= image.size(); ++len) {
            probe(image.substr(0, len));
        }
        for (size_t pos = 0; pos < image.size(); ++pos) {
            for (unsigned byte = 0; byte < 256; ++byte) {
                std::string changed = image;
                changed[pos] = static_cast<char>(byte);
                probe(changed);
            }
        }
    }
    EXPECT_GT(raised, 1000u);
    EXPECT_GT(answered, 1000u);
}
}  // namespace
