#include "lemmer/compiler/compact_trie_minimizer.h"

#include "lemmer/compiler/compact_trie_test_helpers.h"
#include "util/stream/compact_trie.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace NCompactTrieMinimizerTest {
using namespace NCompactTrieTest;

namespace {
std::string Minimize(const std::string& image, TStringSink* log = nullptr) {
    TStringSink out;
    TStringSink quiet;
    const size_t size = TCompactTrieMinimizer::WriteMinimizedTree(
        out, image.data(), image.size(), log != nullptr, TPackedValueSkipper(), log ? *log : quiet);
    EXPECT_EQ(out.Data.size(), size);
    EXPECT_EQ(0u, out.Flushes);
    EXPECT_EQ("", quiet.Data);
    return out.Data;
}

size_t Occurrences(const std::string& haystack, const std::string& needle) {
    size_t count = 0;
    for (size_t pos = haystack.find(needle); pos != std::string::npos;
         pos = haystack.find(needle, pos + 1)) {
        ++count;
    }
    return count;
}

TEST(CompactTrieMinimizer, EmptyInputWritesNothing) {
    TStringSink out, log;
    const TPackedValueSkipper skipper;
    EXPECT_EQ(0u, TCompactTrieMinimizer::WriteMinimizedTree(out, nullptr, 5, true, skipper, log));
    const char byte = 0;
    EXPECT_EQ(0u, TCompactTrieMinimizer::WriteMinimizedTree(out, &byte, 0, true, skipper, log));
    EXPECT_EQ(0u, out.Writes);
    EXPECT_EQ("", log.Data);
}

TEST(CompactTrieMinimizer, KeepsATrieWithoutDuplicates) {
    for (const TEntries& entries : {TEntries{{u"a", 1}, {u"b", 300}}, TEntries{{u"", 5}, {u"a", 1}},
                                    TEntries{{u"abc", 1}, {u"abd", 2}, {u"x", 3}}}) {
        const std::string image = Build(entries);
        EXPECT_EQ(image, Minimize(image));
    }
}

// "az" = 42 and "bz" = 42: the builder writes 40 00 | 48 62 08 40 00 80 7A 2A |
// 40 61 40 00 80 7A 2A. The copy of "00 7A"=42 under "a" (the larger offset) stays; under
// "b" a jump takes its place and the left offset of "b" shrinks to the new distance.
TEST(CompactTrieMinimizer, ReplacesASharedForwardRegionByAJump) {
    const std::string image = Build({{u"az", 42}, {u"bz", 42}});
    ASSERT_EQ(Bytes({0x40, 0x00, 0x48, 0x62, 0x08, 0x40, 0x00, 0x80, 0x7A, 0x2A, 0x40, 0x61, 0x40,
                     0x00, 0x80, 0x7A, 0x2A}),
              image);
    TStringSink log;
    const std::string minimized = Minimize(image, &log);
    EXPECT_EQ(
        Bytes({0x40, 0x00, 0x48, 0x62, 0x05, 0x01, 0x04, 0x40, 0x61, 0x40, 0x00, 0x80, 0x7A, 0x2A}),
        minimized);
    EXPECT_EQ("5\nWriting down the minimized tree...\n5\n", log.Data);
    const TCompactTrie trie(minimized.data(), minimized.size());
    EXPECT_EQ(42u, Find(trie, u"az"));
    EXPECT_EQ(42u, Find(trie, u"bz"));
    EXPECT_EQ(std::nullopt, Find(trie, u"cz"));
}

TEST(CompactTrieMinimizer, KeepsOneCopyOfManyEqualSubtrees) {
    TEntries entries;
    for (char16_t first = u'a'; first <= u'z'; ++first) {
        entries.push_back({std::u16string{first, u'q', u'r'}, 7});
        entries.push_back({std::u16string{first, u's'}, 9});
    }
    const std::string image = Build(entries);
    const std::string minimized = Minimize(image);
    EXPECT_LT(minimized.size(), image.size() / 2);
    // The leaf "00 72" = 7 appears once.
    EXPECT_EQ(26u, Occurrences(image, Bytes({0x40, 0x00, 0x80, 0x72, 0x07})));
    EXPECT_EQ(1u, Occurrences(minimized, Bytes({0x40, 0x00, 0x80, 0x72, 0x07})));
    const TCompactTrie trie(minimized.data(), minimized.size());
    for (const auto& [key, value] : entries) {
        EXPECT_EQ(value, Find(trie, key));
        EXPECT_EQ(std::nullopt, Find(trie, key + u"x"));
    }
}

// Below "p", the leaf "b" = 2 (no forward region) is the root of its node, so its left
// sibling, the leaf "a" = 1 (80 61 01), is no candidate and stays although "xa" = 1 ends in an
// equal leaf that is one.
TEST(CompactTrieMinimizer, LeavesTheSiblingsOfALeafAlone) {
    const TEntries entries = {{u"pa", 1}, {u"pb", 2}, {u"xa", 1}};
    const std::string image = Build(entries);
    const std::string minimized = Minimize(image);
    EXPECT_EQ(2u, Occurrences(image, Bytes({0x80, 0x61, 0x01})));
    EXPECT_EQ(2u, Occurrences(minimized, Bytes({0x80, 0x61, 0x01})));
    const TCompactTrie trie(minimized.data(), minimized.size());
    for (const auto& [key, value] : entries) {
        EXPECT_EQ(value, Find(trie, key));
    }
}

TEST(CompactTrieMinimizer, HandsOverLargeOutputInBlocks) {
    TEntries entries;
    for (unsigned i = 0; i < 30000; ++i) {
        // Distinct values keep most subtrees apart, so the output stays large.
        entries.push_back(
            {std::u16string{char16_t(0x400 + i % 97), char16_t(i / 97 + 1)}, i * 131ul});
    }
    const std::string image = Build(entries);
    TStringSink out, log;
    const size_t size = TCompactTrieMinimizer::WriteMinimizedTree(
        out, image.data(), image.size(), false, TPackedValueSkipper(), log);
    ASSERT_GT(size, 2 * 65536u);
    EXPECT_EQ(size, out.Data.size());
    EXPECT_EQ((size + 65535) / 65536, out.Writes);
    EXPECT_LE(size, image.size());
    const TCompactTrie trie(out.Data.data(), out.Data.size());
    for (size_t i = 0; i < entries.size(); i += 7) {
        EXPECT_EQ(entries[i].second, Find(trie, entries[i].first));
    }
}

// The minimiser used to walk whatever it was given and print "Trouble: ..." while writing a
// broken trie; now it checks its input and raises before anything reaches the output.
TEST(CompactTrieMinimizer, RefusesMalformedInput) {
    const std::string good = Build({{u"az", 42}, {u"bz", 42}});
    const std::string minimized = Minimize(good);
    const struct {
        const char* Name;
        std::string Image;
    } cases[] = {
        {"already minimized (has a jump)", minimized},
        {"truncated", good.substr(0, good.size() - 1)},
        {"trailing byte", good + Bytes({0x00})},
        {"lone flags byte", Bytes({0x80})},
        {"value past the end", Bytes({0x80, 0x00, 0xC0, 0x01})},
        {"left offset past the end", Bytes({0x48, 0x61, 0x09, 0x01, 0x80, 0x60, 0x01})},
        {"right offset inside the node", Bytes({0x41, 0x61, 0x01, 0x80, 0x00, 0x01})},
        {"forward region empty", Bytes({0x40, 0x00})},
        {"bytes after a leaf", Bytes({0x80, 0x00, 0x05, 0x80, 0x61, 0x01})},
        {"stray byte as root", Bytes({0x3F, 0x00, 0x01})},
    };
    for (const auto& c : cases) {
        TStringSink out, log;
        EXPECT_THROW(TCompactTrieMinimizer::WriteMinimizedTree(out, c.Image.data(), c.Image.size(),
                                                               true, TPackedValueSkipper(), log),
                     TCompactTrieError)
            << c.Name;
        EXPECT_EQ(0u, out.Writes) << c.Name;
    }
    try {
        TStringSink out;
        TCompactTrieMinimizer::WriteMinimizedTree(out, minimized.data(), minimized.size(), false,
                                                  TPackedValueSkipper(), out);
        FAIL() << "no exception";
    } catch (const TCompactTrieError& e) {
        EXPECT_STREQ("cannot minimize a malformed trie: jump record or stray byte at offset 5",
                     e.what());
    }
}
// Every one-byte change of a small trie is either refused by the input check or minimised
// into a trie the reader walks without meeting a bad offset; the input sits in a heap block of
// its exact size, so AddressSanitizer would see a stray read.
TEST(CompactTrieMinimizer, ChecksEveryCorruptedByte) {
    const std::string image =
        Build({{u"az", 42}, {u"bz", 42}, {u"b", 1UL << 60}, {u"", 3}, {u"cz", 42}});
    const std::u16string keys[] = {u"", u"az", u"bz", u"b", u"cz", u"c", u"zz"};
    size_t refused = 0;
    size_t minimized = 0;
    for (size_t pos = 0; pos < image.size(); ++pos) {
        for (unsigned byte = 0; byte < 256; ++byte) {
            std::string changed = image;
            changed[pos] = static_cast<char>(byte);
            const std::vector<char> exact(changed.begin(), changed.end());
            TStringSink out, log;
            try {
                TCompactTrieMinimizer::WriteMinimizedTree(out, exact.data(), exact.size(), false,
                                                          TPackedValueSkipper(), log);
            } catch (const TCompactTrieError&) {
                ++refused;
                continue;
            }
            ++minimized;
            const TCompactTrie trie(out.Data.data(), out.Data.size());
            for (const auto& key : keys) {
                size_t len = 0;
                const char* value = nullptr;
                EXPECT_NO_THROW(trie.FindLongestPrefix(key.data(), key.size(), &len, &value))
                    << pos << " " << byte;
            }
        }
    }
    EXPECT_GT(refused, 1000u);
    EXPECT_GT(minimized, 1000u);
}
}  // namespace

}  // namespace NCompactTrieMinimizerTest
