// The analysis run of lemmix as a process: encodings in and out, the line cutting of UTF-16
// input, stateful and four-byte output, an input that stays open, and the failure policy. The words
// are mostly Latin and CJK ones, which the Russian analysis prints as unknown words whatever its
// dictionary holds; the embedded Russian dictionary itself is checked on a few words any cut of it
// must know.
#include "tests/process.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

TProcessResult Lemmix(std::vector<std::string> args, const std::string& input) {
    args.insert(args.begin(), "lemmix");
    return RunProcess({LEMMIX_EXECUTABLE, args, input, "", ""});
}

TEST(LemmixAnalysisRunTest, AnalysesInEveryKindOfEncoding) {
    using namespace std::string_literals;
    const struct {
        std::vector<std::string> Args;
        std::string Input;
        std::string Output;
    } cases[] = {
        {{}, "", ""},
        {{}, "ab, cd.\r\n", "ab{ab??}cd{cd??}"},
        {{"-c", "-s"}, "ab. Cd\n", "ab{ab??}. {\\s}Cd{Cd??}\n"},
        // The empty gap before an unknown word starts a line, also the first one.
        {{"-c", "-n"}, "ab cd", "\nab{ab??}\n_\ncd{cd??}\n\\n"},
        {{"-l", "-n"}, "ab", "ab??\n"},
        {{"-e", "koi8-r", "-c"}, "ab\n", "ab{ab??}\n"},
        // UTF-16LE: U+010A holds the byte 0x0A; the line is cut at U+000A only.
        {{"-e", "utf-16le", "-c"}, "\x0a\x01-\0a\0\n\0"s, "\x0a\x01{\x0a\x01??}-\0a\0{a\0??}\n\0"s},
        // GB18030 writes U+10000 in four bytes.
        {{"-e", "gb18030", "-c"}, "\x90\x30\x81\x30\n", "\x90\x30\x81\x30{\x90\x30\x81\x30??}\n"},
        // Every piece of ISO-2022-JP output ends in the initial shift state.
        {{"-e", "iso-2022-jp", "-c"}, "\x1b$B$\"\x1b(B\n", "\x1b$B$\"\x1b(B{\x1b$B$\"\x1b(B??}\n"},
    };
    for (const auto& c : cases) {
        const TProcessResult r = Lemmix(c.Args, c.Input);
        std::string args;
        for (const std::string& a : c.Args) {
            args += a + " ";
        }
        EXPECT_EQ(r.Stdout, c.Output) << args;
        EXPECT_EQ(r.Stderr, "") << args;
        EXPECT_EQ(r.Status, 0) << args;
    }
}

TEST(LemmixAnalysisRunTest, AnalysesRussianWithTheEmbeddedDictionary) {
    const TProcessResult r =
        Lemmix({"-c", "-e", "utf-8"}, "Столы пальцу шёл хлѣбъ кракозябрость\n");
    ASSERT_EQ(r.Status, 0) << r.Stderr;
    // Each word with the lemmas between its braces, "|"-separated.
    std::map<std::string, std::vector<std::string>> lemmas;
    std::string rest = r.Stdout;
    for (size_t open; (open = rest.find('{')) != std::string::npos;) {
        const size_t close = rest.find('}', open);
        ASSERT_NE(close, std::string::npos) << r.Stdout;
        size_t wordStart = rest.rfind(' ', open);
        wordStart = wordStart == std::string::npos ? 0 : wordStart + 1;
        std::vector<std::string>& out = lemmas[rest.substr(wordStart, open - wordStart)];
        const std::string inside = rest.substr(open + 1, close - open - 1);
        for (size_t from = 0; from <= inside.size();) {
            const size_t bar = std::min(inside.find('|', from), inside.size());
            out.push_back(inside.substr(from, bar - from));
            from = bar + 1;
        }
        rest = rest.substr(close + 1);
    }
    using ::testing::Contains;
    EXPECT_THAT(lemmas["Столы"], Contains("стол")) << r.Stdout;
    EXPECT_THAT(lemmas["пальцу"], Contains("палец")) << r.Stdout;
    EXPECT_THAT(lemmas["шёл"], Contains("идти")) << r.Stdout;
    EXPECT_THAT(lemmas["хлѣбъ"], Contains("хлеб")) << r.Stdout;
    // A word no dictionary holds gets only hypotheses, marked "?".
    ASSERT_FALSE(lemmas["кракозябрость"].empty()) << r.Stdout;
    EXPECT_THAT(lemmas["кракозябрость"], ::testing::Each(::testing::EndsWith("?"))) << r.Stdout;
}

// A program that writes a line and waits for its analysis before it writes the next one.
TEST(LemmixAnalysisRunTest, AnswersEachLineWhileTheInputStaysOpen) {
    TInteractiveProcess lemmix({LEMMIX_EXECUTABLE, {"lemmix", "-c", "-e", "utf-8"}, "", "", ""});
    const std::string first = "ab cd\n";
    const std::string firstOut = "ab{ab??} cd{cd??}\n";
    lemmix.Write(first);
    EXPECT_EQ(lemmix.ReadOutput(firstOut.size()), firstOut);
    lemmix.Write("ef\n");
    const std::string bothOut = firstOut + "ef{ef??}\n";
    EXPECT_EQ(lemmix.ReadOutput(bothOut.size()), bothOut);
    const TProcessResult r = lemmix.Finish();
    EXPECT_EQ(r.Stdout, bothOut);
    EXPECT_EQ(r.Stderr, "");
    EXPECT_EQ(r.Status, 0);
}

TEST(LemmixAnalysisRunTest, EndsAtMalformedUtf8AfterTheEarlierLines) {
    const TProcessResult r = Lemmix({"-e", "utf-8", "-c"}, "ab\ncd \xff\nef\n");
    EXPECT_EQ(r.Stdout, "ab{ab??}\n");
    EXPECT_EQ(r.Stderr,
              "failed to decode UTF-8 string at pos 3 in string \"cd \\xFF\"\nAborted.\n");
    EXPECT_EQ(r.Status, 1);
}

}  // namespace
