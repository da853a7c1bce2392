// The analysis run of lemmix as a process: encodings in and out, the line cutting of UTF-16
// input, stateful and four-byte output, output in the encodings that write ASCII in more than
// one byte, an input that stays open, and the failure policy. The words are mostly Latin and
// CJK ones, which the Russian analysis prints as unknown words whatever its dictionary holds;
// the embedded Russian dictionary itself is checked on a few words any cut of it must know.
#include "tests/process.h"

#include "util/charset/codepage.h"
#include "util/charset/iconv.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

TProcessResult Lemmix(std::vector<std::string> args, const std::string& input) {
    args.insert(args.begin(), "lemmix");
    return RunProcess({.Path = LEMMIX_EXECUTABLE, .Argv = args, .Stdin = input});
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
        {{"-e", "utf-16le", "-c"},
         "\x0a\x01-\0a\0\n\0"s,
         "\x0a\x01{\0\x0a\x01?\0?\0}\0-\0a\0{\0a\0?\0?\0}\0\n\0"s},
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

// The text converted with iconv; what the target cannot hold is left out.
std::string Iconv(const std::string& text, const char* to, const char* from) {
    TIconvConverter converter(to, from);
    EXPECT_TRUE(converter.Valid()) << from << " to " << to;
    std::string out(text.size() * 8 + 64, '\0');
    const char* src = text.data();
    size_t srcLeft = text.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    EXPECT_EQ(converter.Convert(src, srcLeft, dst, dstLeft), TIconvConverter::Done) << to;
    EXPECT_EQ(converter.Finish(dst, dstLeft), TIconvConverter::Done) << to;
    out.resize(out.size() - dstLeft);
    return out;
}

// The charset codes of the table whose pages write ASCII text as something other than its own
// bytes, one byte each (a header before it, as ISO-2022-KR writes, still counts as one byte).
std::vector<int> CodesWithWideAscii() {
    const std::string probe = "Lemmix{}|=?:._09(s)";
    std::vector<int> codes;
    for (int code = 0; code < CODES_MAX; ++code) {
        const CodePage& page = *CodePageByCharset(code);
        if (page.SingleByte() || !TIconvConverter(page.Name(), "UTF-8").Valid()) {
            continue;
        }
        if (Iconv(probe, page.Name(), "UTF-8").find(probe) == std::string::npos) {
            codes.push_back(code);
        }
    }
    return codes;
}

TEST(LemmixAnalysisRunTest, WritesTheFormatInEncodingsWhereAsciiIsWider) {
    const std::string text =
        "Мама мыла раму. Кракозябры_ab, 42 шт.! Ёж?\n"
        "«Он пришёл»: по-русски (да)\n";
    const std::vector<int> codes = CodesWithWideAscii();
    // UTF-16BE and UTF-16LE at least.
    EXPECT_GE(codes.size(), 2u);
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{"-c", "-i", "-f", "-s"}, {"-c", "-n", "-s", "-f"}}) {
        std::vector<std::string> args = options;
        args.insert(args.end(), {"-e", "utf-8"});
        const TProcessResult expected = Lemmix(args, text);
        ASSERT_EQ(expected.Status, 0) << expected.Stderr;
        for (const int code : codes) {
            const char* name = NameByCharset(code);
            args.back() = std::to_string(code);
            const TProcessResult r = Lemmix(args, Iconv(text, name, "UTF-8"));
            EXPECT_EQ(r.Status, 0) << name << ": " << r.Stderr;
            EXPECT_EQ(Iconv(r.Stdout, "UTF-8", name), expected.Stdout) << name << " " << options[1];
        }
    }
}

// A program that writes a line and waits for its analysis before it writes the next one.
TEST(LemmixAnalysisRunTest, AnswersEachLineWhileTheInputStaysOpen) {
    TInteractiveProcess lemmix(
        {.Path = LEMMIX_EXECUTABLE, .Argv = {"lemmix", "-c", "-e", "utf-8"}});
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
