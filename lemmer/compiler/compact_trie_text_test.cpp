#include "lemmer/compiler/compact_trie_text.h"

#include "lemmer/compiler/compact_trie_minimizer.h"
#include "lemmer/compiler/compact_trie_test_helpers.h"
#include "util/generic/exception.h"
#include "util/stream/memory.h"

#include <gtest/gtest.h>

#include <string>

namespace NCompactTrieTextTest {
using namespace NCompactTrieTest;

namespace {
std::string FromText(const std::string& text, const TTrieTextOptions& options = {}) {
    TMemoryInput in(text.data(), text.size());
    TStringSink out;
    const uint64_t size = BuildCompactTrieFromText(in, out, options);
    EXPECT_EQ(out.Data.size(), size);
    return out.Data;
}

TEST(CompactTrieText, BuildsFromKeyTabValueLines) {
    const std::string text =
        "\xD0\xBC\xD0\xB0\xD0\xBC\xD0\xB0=S\t1234\r\n"  // "мама=S", CRLF
        "\n"                                            // skipped
        "\t5\n"                                         // the empty key
        "a\tb\t7\n"                                     // the key "a\tb"
        "\xF0\x9F\x98\x80\t72057594037927936\n"         // U+1F600 = 2^56
        "x\t1\n"
        "x\t2";  // last value wins, no final LF
    const std::string image = FromText(text);
    EXPECT_EQ(Build({{u"\u043C\u0430\u043C\u0430=S", 1234},
                     {u"", 5},
                     {u"a\tb", 7},
                     {u"\U0001F600", 1UL << 56},
                     {u"x", 2}}),
              image);
    const TCompactTrie trie(image.data(), image.size());
    EXPECT_EQ(1234u, Find(trie, u"\u043C\u0430\u043C\u0430=S"));
    EXPECT_EQ(1UL << 56, Find(trie, u"\U0001F600"));
    EXPECT_EQ(5u, Find(trie, u""));
}

TEST(CompactTrieText, MinimizesOnRequest) {
    std::string text;
    for (char c = 'a'; c <= 'z'; ++c) {
        text += std::string(1, c) + "=NOUN\t100\n" + std::string(1, c) + "=VERB\t7\n";
    }
    TTrieTextOptions options;
    options.Minimize = true;
    const std::string plain = FromText(text);
    const std::string minimized = FromText(text, options);
    EXPECT_LT(minimized.size(), plain.size());
    TStringSink expected, log;
    TCompactTrieMinimizer::WriteMinimizedTree(expected, plain.data(), plain.size(), false,
                                              TPackedValueSkipper(), log);
    EXPECT_EQ(expected.Data, minimized);
}

TEST(CompactTrieText, NamesTheLineOfAnError) {
    TTrieTextOptions unique;
    unique.BuilderFlags = NCompactTrie::UniqueKeys;
    TTrieTextOptions grouped;
    grouped.BuilderFlags = NCompactTrie::PrefixGroupedInput;
    const struct {
        std::string Text;
        TTrieTextOptions Options;
        std::string Message;
    } cases[] = {
        {"a\t1\nb 2\n", {}, "line 2: no TAB between key and value"},
        {"a\t1\n\nb\t-2\n", {}, "line 3: "},
        {"a\t\n", {}, "line 1: "},
        {"a\t18446744073709551616\n", {}, "line 1: "},
        {"\xC3\t1\n", {}, "line 1: failed to decode UTF-8 string at pos 0"},
        {"a\t1\na\t2\n", unique, "line 2: Duplicate key"},
        {"ab\t1\nb\t1\nabc\t1\n", grouped,
         "line 3: Bad input order - expected input strings to be prefix-grouped."},
    };
    for (const auto& c : cases) {
        TMemoryInput in(c.Text.data(), c.Text.size());
        TStringSink out;
        try {
            BuildCompactTrieFromText(in, out, c.Options);
            ADD_FAILURE() << "no exception for " << c.Text;
        } catch (const kexception& e) {
            EXPECT_EQ(0, std::string(e.what()).rfind(c.Message, 0))
                << e.what() << " for " << c.Text;
        }
        EXPECT_EQ("", out.Data);
    }
}
}  // namespace

}  // namespace NCompactTrieTextTest
