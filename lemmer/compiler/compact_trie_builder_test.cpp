#include "lemmer/compiler/compact_trie_builder.h"

#include "lemmer/compiler/compact_trie_test_helpers.h"
#include "lemmer/compiler/trie_progress.h"
#include "util/generic/exception.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace NCompactTrieBuilderTest {
using namespace NCompactTrieTest;

namespace {
const char* const kBadOrder = "Bad input order - expected input strings to be prefix-grouped.";

TEST(CompactTrieBuilder, SavesTheDocumentedBytes) {
    const struct {
        const char* Name;
        TEntries Entries;
        std::string Expected;
    } cases[] = {
        {"nothing", {}, ""},
        {"a=1 b=300",
         {{u"a", 1}, {u"b", 300}},
         Bytes({0x40, 0x00, 0x88, 0x62, 0x05, 0x81, 0x2C, 0x80, 0x61, 0x01})},
        {"b=300 a=1",
         {{u"b", 300}, {u"a", 1}},
         Bytes({0x40, 0x00, 0x88, 0x62, 0x05, 0x81, 0x2C, 0x80, 0x61, 0x01})},
        {"a=0", {{u"a", 0}}, Bytes({0x40, 0x00, 0x80, 0x61, 0x00})},
        {"empty=5", {{u"", 5}}, Bytes({0x80, 0x00, 0x05})},
        {"a=1 then empty=5", {{u"a", 1}, {u"", 5}}, Bytes({0xC0, 0x00, 0x05, 0x80, 0x61, 0x01})},
        {"c b a",
         {{u"c", 3}, {u"b", 2}, {u"a", 1}},
         Bytes({0x40, 0x00, 0x89, 0x62, 0x05, 0x08, 0x02, 0x80, 0x61, 0x01, 0x80, 0x63, 0x03})},
        // Four labels: the third is the root, the second its left child with the first
        // below it, the fourth its right child.
        {"a b c d",
         {{u"d", 4}, {u"a", 1}, {u"c", 3}, {u"b", 2}},
         Bytes({0x40, 0x00, 0x89, 0x63, 0x05, 0x0C, 0x03, 0x88, 0x62, 0x04, 0x02, 0x80, 0x61, 0x01,
                0x80, 0x64, 0x04})},
        {"abc then a",
         {{u"abc", 3}, {u"a", 1}},
         Bytes(
             {0x40, 0x00, 0xC0, 0x61, 0x01, 0x40, 0x00, 0x40, 0x62, 0x40, 0x00, 0x80, 0x63, 0x03})},
        {"nine-byte value",
         {{u"a", 1UL << 56}},
         Bytes({0x40, 0x00, 0x80, 0x61, 0xFF, 0x01, 0, 0, 0, 0, 0, 0, 0})},
        {"127 and 128",
         {{u"a", 127}, {u"b", 128}},
         Bytes({0x40, 0x00, 0x88, 0x62, 0x05, 0x80, 0x80, 0x80, 0x61, 0x7F})},
        {"U+0430 U+0431",
         {{u"\u0430", 1}, {u"\u0431", 2}},
         Bytes({0x40, 0x04, 0x88, 0x31, 0x04, 0x02, 0x80, 0x30, 0x01})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.Expected, Build(c.Entries)) << c.Name;
    }
}

// Regions of about 256 bytes, and of about 64 KiB as real dictionaries have, push left and
// right offsets across a byte boundary (1 to 2 bytes, 2 to 3 bytes): the widths of both
// offsets must be settled before anything is written.
TEST(CompactTrieBuilder, WidensOffsetsAcrossAByteBoundary) {
    std::vector<size_t> tails;
    for (size_t tail = 55; tail < 72; ++tail) {
        tails.push_back(tail);
    }
    for (size_t tail = 16376; tail < 16392; ++tail) {  // four bytes a unit: 65504 to 65568
        tails.push_back(tail);
    }
    std::set<size_t> widths;  // of the widest offset of the record for "b"
    for (const size_t tail : tails) {
        const std::u16string x(tail, u'x');
        for (const TEntries& entries : {TEntries{{u"a" + x, 1}, {u"b", 2}, {u"c", 3}},
                                        TEntries{{u"a", 1}, {u"b" + x, 2}, {u"c", 3}}}) {
            const std::string image = Build(entries);
            const TCompactTrie trie(image.data(), image.size());
            for (const auto& [key, value] : entries) {
                EXPECT_EQ(value, Find(trie, key)) << tail;
            }
            const unsigned flags = static_cast<unsigned char>(image.at(2));
            widths.insert(std::max((flags >> 3) & 7, flags & 7));
        }
    }
    EXPECT_EQ(widths, (std::set<size_t>{1, 2, 3}));
}

TEST(CompactTrieBuilder, ReplacesValuesAndRefusesDuplicatesOnRequest) {
    TBuilder builder;
    EXPECT_TRUE(builder.Add(u"ab", 2, 1));
    EXPECT_FALSE(builder.Add(u"ab", 2, 2));
    TStringSink out;
    builder.Save(out);
    const TCompactTrie trie(out.Data.data(), out.Data.size());
    EXPECT_EQ(2u, Find(trie, u"ab"));

    TBuilder unique(NCompactTrie::UniqueKeys);
    EXPECT_TRUE(unique.Add(u"ab", 2, 1));
    EXPECT_TRUE(unique.Add(u"", 0, 7));
    try {
        unique.Add(u"ab", 2, 2);
        FAIL() << "no exception";
    } catch (const kexception& e) {
        EXPECT_STREQ("Duplicate key", e.what());
    }
    EXPECT_THROW(unique.Add(u"", 0, 8), kexception);
    EXPECT_EQ(4u, unique.EntryCount());
    TStringSink uniqueOut;
    unique.Save(uniqueOut);
    const TCompactTrie uniqueTrie(uniqueOut.Data.data(), uniqueOut.Data.size());
    EXPECT_EQ(1u, Find(uniqueTrie, u"ab"));
    EXPECT_EQ(7u, Find(uniqueTrie, u""));
}

// A key of length 0 is the empty key whatever the pointer, null included.
TEST(CompactTrieBuilder, ByteKeysStoreTheEmptyKeyAsZero) {
    for (const char* key : {"", "abc", static_cast<const char*>(nullptr)}) {
        TCompactTrieBuilderImpl impl;
        const char value = 5;
        EXPECT_TRUE(impl.Add(key, 0, &value, 1));
        EXPECT_FALSE(impl.Add("\0", 1, &value, 1));
        TStringSink out;
        impl.Save(out);
        EXPECT_EQ(Bytes({0x80, 0x00, 0x05}), out.Data) << (key ? key : "null");
    }
}

TEST(CompactTrieBuilder, CountsEntriesAndNodes) {
    TBuilder builder;
    EXPECT_EQ(0u, builder.EntryCount());
    EXPECT_EQ(1u, builder.NodeCount());
    builder.Add(u"a", 1, 1);  // a leaf under the root
    EXPECT_EQ(2u, builder.NodeCount());
    builder.Add(u"b", 1, 2);  // splits 00 61 after 00, then a leaf for 62
    EXPECT_EQ(4u, builder.NodeCount());
    builder.Add(u"b", 1, 3);  // no new node
    EXPECT_EQ(4u, builder.NodeCount());
    EXPECT_EQ(3u, builder.EntryCount());
}

TEST(CompactTrieBuilder, RefusesKeysIntoFrozenSubtrees) {
    TBuilder builder(NCompactTrie::PrefixGroupedInput);
    builder.Add(u"ab", 2, 1);
    builder.Add(u"b", 1, 2);
    try {
        builder.Add(u"abc", 3, 3);
        FAIL() << "no exception";
    } catch (const kexception& e) {
        EXPECT_STREQ(kBadOrder, e.what());
    }
    // The key's own node is still reachable: only its value changes.
    EXPECT_FALSE(builder.Add(u"ab", 2, 5));
    TStringSink out;
    builder.Save(out);
    EXPECT_EQ(Build({{u"ab", 5}, {u"b", 2}}), out.Data);
}

TEST(CompactTrieBuilder, GroupedInputSavesTheSameBytes) {
    TEntries entries;
    for (const char* word : {"", "a", "ab", "abc", "abd", "b", "ba", "bab", "c", "cab"}) {
        entries.emplace_back(Key(word), entries.size() * 1000);
    }
    entries.emplace_back(u"\u0430\u0431", 1UL << 60);
    entries.emplace_back(u"\u0430\u0432", 5);
    entries.emplace_back(u"\U0001F600", 9);
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(Build(entries), Build(entries, NCompactTrie::PrefixGroupedInput));
}

TEST(CompactTrieBuilder, ClearStartsAgainButKeepsCounting) {
    const TEntries entries = {{u"abc", 1}, {u"abd", 1UL << 57}, {u"x", 3}};
    TBuilder builder;
    builder.Add(u"zzz", 3, 9);
    builder.Add(u"abq", 3, 1UL << 60);
    const uint64_t nodes = builder.NodeCount();
    builder.Clear();
    EXPECT_EQ(2u, builder.EntryCount());
    EXPECT_EQ(nodes, builder.NodeCount());
    for (const auto& [key, value] : entries) {
        builder.Add(key.data(), key.size(), value);
    }
    EXPECT_EQ(5u, builder.EntryCount());
    TStringSink out;
    builder.Save(out);
    EXPECT_EQ(Build(entries), out.Data);
}

TEST(CompactTrieBuilder, SaveCanBeRepeated) {
    TBuilder builder;
    builder.Add(u"ab", 2, 1);
    builder.Add(u"b", 1, 2);
    TStringSink first, second;
    EXPECT_EQ(builder.Save(first), builder.Save(second));
    EXPECT_EQ(first.Data, second.Data);
}

TEST(CompactTrieBuilder, MismatchedSizesRaise) {
    EXPECT_NO_THROW(NCompactTrie::CheckSavedSize(10, 10));
    try {
        NCompactTrie::CheckSavedSize(10, 11);
        FAIL() << "no exception";
    } catch (const kexception& e) {
        EXPECT_STREQ("something wrong", e.what());
    }
}

TEST(TrieProgress, PrintsDotsAndMemoryLines) {
    const struct {
        size_t Count;
        const char* Pattern;
    } cases[] = {
        {1, "^$"},
        {19999, "^$"},
        {20000, "^\\.$"},
        {40000, "^\\.$"},
        {999999, "^$"},
        {1000000, "^1000000, RSS=[0-9]+mb\n$"},
        {0, "^0, RSS=[0-9]+mb\n$"},
        {3000000, "^3000000, RSS=[0-9]+mb\n$"},
    };
    for (const auto& c : cases) {
        TStringSink log;
        ReportTrieProgress(c.Count, log);
        EXPECT_THAT(log.Data, testing::MatchesRegex(c.Pattern)) << c.Count;
        EXPECT_EQ(log.Data.empty() || log.Data == "." ? 0u : 1u, log.Flushes) << c.Count;
    }
}

TEST(CompactTrieBuilder, ReportsProgressPerEntry) {
    TBuilder builder(NCompactTrie::ReportProgress);
    TStringSink log;
    builder.SetProgressLog(&log);
    for (unsigned i = 0; i < 40001; ++i) {
        const std::u16string key = {char16_t(i & 0xFFFF), char16_t(i >> 16)};
        builder.Add(key.data(), key.size(), i);
    }
    EXPECT_EQ("..", log.Data);
}
}  // namespace

}  // namespace NCompactTrieBuilderTest
