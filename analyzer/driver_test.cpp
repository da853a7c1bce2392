// The analysis run over whole inputs: lines, encodings, tokens and the failure policy.
#include "analyzer/driver.h"

#include "analyzer/analysis_test_helpers.h"
#include "util/charset/charset_names.h"
#include "util/generic/exception.h"
#include "util/stream/memory.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TFixtureAnalyzer Dictionary() {
    TFixtureAnalyzer a;
    a.Words[u"Мама"] = {Analysis(u"мама", "\x88")};
    a.Words[u"мыла"] = {Analysis(u"мыть", "\x89"), Analysis(u"мыло", "\x88")};
    a.Words[u"раму"] = {Analysis(u"рама", "\x88")};
    a.Words[u"Ċ"] = {Analysis(u"ċ", "")};
    return a;
}

std::string Analyse(const std::string& input, const char* encoding, bool copy = true) {
    TAnalyzerOptions options;
    options.CopyAll = copy;
    options.SentenceMark = true;
    options.Encoding = CharsetByName(encoding);
    TFixtureAnalyzer analyzer = Dictionary();
    TMemoryInput in(input.data(), input.size());
    TTraceOutput out;
    RunAnalysis(in, out, &options, &analyzer);
    return out.Text;
}

TEST(DriverTest, AnalysesTextInItsEncoding) {
    using namespace std::string_literals;
    const struct {
        const char* Encoding;
        std::string Input;
        std::string Output;
    } cases[] = {
        {"windows-1251", "", ""},
        {"windows-1251", "\n", "\n"},
        // The sentence mark, the carriage return dropped, a last line without a line feed.
        {"windows-1251",
         "\xcc\xe0\xec\xe0 \xec\xfb\xeb\xe0 \xf0\xe0\xec\xf3. \xcc\xe0\xec\xe0\r\n\xf0\xe0\xec\xf3",
         "\xcc\xe0\xec\xe0{\xec\xe0\xec\xe0} \xec\xfb\xeb\xe0{\xec\xfb\xeb\xee|\xec\xfb\xf2\xfc} "
         "\xf0\xe0\xec\xf3{\xf0\xe0\xec\xe0}. {\\s}\xcc\xe0\xec\xe0{\xec\xe0\xec\xe0}\n"
         "\xf0\xe0\xec\xf3{\xf0\xe0\xec\xe0}\n"},
        {"koi8-r", "\xed\xc1\xcd\xc1 \xda\xc0\xda\xd1\n",
         "\xed\xc1\xcd\xc1{\xcd\xc1\xcd\xc1} \xda\xc0\xda\xd1{\xda\xc0\xda\xd1??}\n"},
        {"utf-8", "Мама мыла\n", "Мама{мама} мыла{мыло|мыть}\n"},
        // U+010A holds the byte 0x0A, and so does the line feed's first byte.
        {"utf-16le", "\x0a\x01\x0a\x00\x1c\x04\x30\x04\x3c\x04\x30\x04\r\x00\n\x00"s,
         "\x0a\x01{\x0b\x01}\x0a\x00\x1c\x04\x30\x04\x3c\x04\x30\x04{\x3c\x04\x30\x04\x3c\x04\x30\x04}\x0a\x00"s},
        {"utf-16be", "\x01\x0a"s, "\x01\x0a{\x01\x0b}\x00\x0a"s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Analyse(c.Input, c.Encoding), c.Output) << c.Encoding;
    }
}

TEST(DriverTest, EndsTheRunAtMalformedUtf8AfterWritingTheEarlierLines) {
    TAnalyzerOptions options;
    options.Encoding = CODES_UTF8;
    TFixtureAnalyzer analyzer = Dictionary();
    const std::string input = "Мама\nмыла \xff раму\nраму\n";
    TMemoryInput in(input.data(), input.size());
    TTraceOutput out;
    EXPECT_THROW(RunAnalysis(in, out, &options, &analyzer), kexception);
    EXPECT_EQ(out.Text, "Мама{мама}");
}

TEST(DriverTest, AnalysesALongLineWithoutALineFeed) {
    std::string input;
    for (int i = 0; i < 30000; ++i) {
        input += "\xf0\xe0\xec\xf3 ";  // "раму "
    }
    const std::string output = Analyse(input, "windows-1251", false);
    EXPECT_EQ(output.size(), 30000u * 10);
    EXPECT_EQ(output.substr(0, 10), "\xf0\xe0\xec\xf3{\xf0\xe0\xec\xe0}");
}

}  // namespace
