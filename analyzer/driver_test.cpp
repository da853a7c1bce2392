// The analysis run over whole inputs: lines, encodings, tokens and the failure policy.
#include "analyzer/driver.h"

#include "analyzer/analysis_test_helpers.h"
#include "util/charset/charset_names.h"
#include "util/charset/iconv.h"
#include "util/generic/exception.h"
#include "util/stream/memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

TFixtureAnalyzer DriverDictionary() {
    TFixtureAnalyzer a;
    a.Words[u"Мама"] = {Analysis(u"мама", "\x88")};
    a.Words[u"мыла"] = {Analysis(u"мыть", "\x89"), Analysis(u"мыло", "\x88")};
    a.Words[u"раму"] = {Analysis(u"рама", "\x88")};
    a.Words[u"Ċ"] = {Analysis(u"ċ", "")};
    return a;
}

// The text in an encoding, through iconv.
std::string Recoded(const std::u16string& text, const char* encoding) {
    TIconvConverter converter(encoding, "UTF-16LE");
    std::string out(text.size() * 8 + 16, '\0');
    const char* src = reinterpret_cast<const char*>(text.data());
    size_t srcLeft = text.size() * 2;
    char* dst = out.data();
    size_t dstLeft = out.size();
    EXPECT_EQ(converter.Convert(src, srcLeft, dst, dstLeft), TIconvConverter::Done);
    EXPECT_EQ(converter.Finish(dst, dstLeft), TIconvConverter::Done);
    out.resize(out.size() - dstLeft);
    return out;
}

// Flags in the order of the option record's fields: -c -n -w -l -f -s -i -g.
TAnalyzerOptions RunOptions(unsigned flags, const char* encoding) {
    TAnalyzerOptions options;
    bool TAnalyzerOptions::*const fields[] = {
        &TAnalyzerOptions::CopyAll,        &TAnalyzerOptions::WordPerLine,
        &TAnalyzerOptions::DictionaryOnly, &TAnalyzerOptions::LemmasOnly,
        &TAnalyzerOptions::Frequency,      &TAnalyzerOptions::SentenceMark,
        &TAnalyzerOptions::GrammarInfo,    &TAnalyzerOptions::GlueGrammar,
    };
    for (unsigned i = 0; i < 8; ++i) {
        options.*fields[i] = (flags >> i) & 1;
    }
    options.Encoding = CharsetByName(encoding);
    return options;
}

std::string Analyse(const std::string& input, const char* encoding, bool copy = true) {
    TAnalyzerOptions options;
    options.CopyAll = copy;
    options.SentenceMark = true;
    options.Encoding = CharsetByName(encoding);
    TFixtureAnalyzer analyzer = DriverDictionary();
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
         "\x0a\x01{\0\x0b\x01}\0\x0a\x00\x1c\x04\x30\x04\x3c\x04\x30\x04{\0\x3c\x04\x30\x04\x3c\x04\x30\x04}\0\x0a\x00"s},
        {"utf-16be", "\x01\x0a"s, "\x01\x0a\0{\x01\x0b\0}\x00\x0a"s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Analyse(c.Input, c.Encoding), c.Output) << c.Encoding;
    }
}

// Hands out one line a read, as a pipe does when its writer waits for the answer, and keeps
// what the output held at every read.
class TLinePerReadInput : public TInputStream {
public:
    TLinePerReadInput(std::vector<std::string> lines, const TTraceOutput& out)
        : Lines_(std::move(lines)), Out_(out) {}

    std::vector<std::string> OutputAtRead;

protected:
    size_t DoRead(void* buffer, size_t length) override {
        OutputAtRead.push_back(Out_.Trace);
        if (Next_ == Lines_.size()) {
            return 0;
        }
        const std::string& line = Lines_[Next_++];
        EXPECT_LE(line.size(), length);
        std::memcpy(buffer, line.data(), line.size());
        return line.size();
    }

private:
    std::vector<std::string> Lines_;
    size_t Next_ = 0;
    const TTraceOutput& Out_;
};

TEST(DriverTest, DeliversEveryLineBeforeReadingOn) {
    TAnalyzerOptions options;
    options.CopyAll = true;
    options.Encoding = CODES_UTF8;
    TFixtureAnalyzer analyzer = DriverDictionary();
    TTraceOutput out;
    // An unknown word, whose output no word flush delivers, then a known one.
    TLinePerReadInput in({"ab\n", "\xd0\x9c\xd0\xb0\xd0\xbc\xd0\xb0\n"}, out);
    RunAnalysis(in, out, &options, &analyzer);
    const std::vector<std::string> expected = {
        "|F|",
        "|F|ab{ab??}\n|F|",
        "|F|ab{ab??}\n|F|Мама{мама}|F|\n|F|",
    };
    EXPECT_EQ(in.OutputAtRead, expected);
}

TEST(DriverTest, EndsTheRunAtMalformedUtf8AfterWritingTheEarlierLines) {
    TAnalyzerOptions options;
    options.Encoding = CODES_UTF8;
    TFixtureAnalyzer analyzer = DriverDictionary();
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

// Every option, in a Cyrillic page, UTF-8, UTF-16 and a stateful page, with the word cache off,
// on with room for a few entries (so entries are dropped and come back) and on by default: the
// output and its flush points are the same, and the cache spares the analyser its repeats.
TEST(DriverTest, TheWordCacheChangesNeitherTheOutputNorItsFlushes) {
    TFixtureAnalyzer fixture = DriverDictionary();
    fixture.Words[u"по-русски"] = {Analysis(u"по-русски", "\x81")};
    fixture.Words[u"мама"] = {Analysis(u"мама", "\x88", 1, {"\x81", "\x82"})};
    const std::u16string text =
        u"Мама мыла раму. Мама мыла-раму, по-русски мыла\n"
        u"мыла по-русски! Мама кот-мыла раму раму... мыла\n\n"
        u"кот по-русски мама мама. Мама мыла-раму мыла-раму";
    const struct {
        const char* Encoding;
        std::string Input;
    } inputs[] = {
        {"windows-1251", Recoded(text, "windows-1251")},
        {"utf-8", Recoded(text, "utf-8")},
        {"utf-16le", Recoded(text, "utf-16le")},
        {"iso-2022-jp", Recoded(text, "iso-2022-jp")},
    };
    for (const auto& input : inputs) {
        for (unsigned flags = 0; flags < 256; ++flags) {
            TAnalyzerOptions options = RunOptions(flags, input.Encoding);
            std::string traces[3];
            size_t calls[3];
            const size_t budgets[3] = {0, 700, DefaultWordCacheBytes};
            for (int i = 0; i < 3; ++i) {
                TFixtureAnalyzer analyzer = fixture;
                TMemoryInput in(input.Input.data(), input.Input.size());
                TTraceOutput out;
                RunAnalysis(in, out, &options, &analyzer, budgets[i]);
                traces[i] = out.Trace;
                calls[i] = analyzer.DictionaryOnlyCalls.size();
            }
            EXPECT_EQ(traces[1], traces[0]) << input.Encoding << " flags " << flags;
            EXPECT_EQ(traces[2], traces[0]) << input.Encoding << " flags " << flags;
            EXPECT_LT(calls[2], calls[1]) << input.Encoding << " flags " << flags;
            EXPECT_LT(calls[1], calls[0]) << input.Encoding << " flags " << flags;
        }
    }
}

}  // namespace
