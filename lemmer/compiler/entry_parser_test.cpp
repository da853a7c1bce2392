#include "lemmer/compiler/entry_parser.h"

#include "lemmer/compiler/compiler_errors.h"
#include "lemmer/compiler/compiler_test_helpers.h"
#include "lemmer/compiler/source_line_decoder.h"

#include "lemmer/grammar/gram_codes.h"

#include "util/charset/charset_names.h"
#include "util/charset/encoder.h"
#include "util/stream/memory.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using NCompilerTest::RussianSettings;

std::u16string Text(TUtf16Range r) {
    return std::u16string(r.Data, r.Length);
}

std::string Grammar(TCharRange codes) {
    const std::string bytes(codes.Data, codes.Length);
    return GramCodesToText(bytes.c_str(), 0, false).c_str();
}

// Parses the first entry of source.
struct TParsed {
    TParsed(const std::string& source, const TCompilerSettings& settings,
            size_t buffer = TEntryParser::DefaultBufferSize)
        : Settings(settings),
          Source(source),
          In(Source.data(), Source.size()),
          Parser(&Settings, 0, buffer) {}

    TCompilerSettings Settings;
    std::string Source;
    TMemoryInput In;
    TEntryParser Parser;
};

std::string ErrorOf(TEntryParser& parser, TInputStream& in) {
    try {
        parser.Parse(in);
    } catch (const NByk::TInvalidEntryException& e) {
        return e.what();
    }
    return "accepted";
}

TEST(EntryParserTest, SplitsAnEntryIntoLemmaCommonGrammarAndForms) {
    TParsed p(
        "\n\n  палец \n[палец]\tS,m,inan=nom,sg\n[пальц]а   S,m,inan=gen,sg\n"
        "н[е]го\tS m inan ins,pl\n\nстол\n[стол]\tS,m,inan=nom,sg",
        RussianSettings());
    p.Parser.Parse(p.In);
    EXPECT_TRUE(Text(p.Parser.Lemma()) == u"палец");
    EXPECT_EQ(Grammar(p.Parser.CommonGrammar()), "S,m,inan");
    const auto& forms = p.Parser.Wordforms();
    ASSERT_EQ(forms.size(), 3u);
    EXPECT_TRUE(Text(forms[1].Stem) == u"пальц");
    EXPECT_TRUE(Text(forms[1].Suffix) == u"а");
    EXPECT_EQ(Grammar(forms[1].Grammar), "gen,sg");
    EXPECT_TRUE(Text(forms[2].Prefix) == u"н");
    EXPECT_TRUE(Text(forms[2].Stem) == u"е");
    EXPECT_EQ(Grammar(forms[2].Grammar), "ins,pl");
    EXPECT_EQ(p.Parser.LineCount(), 7u);
    // The input ends after the last form: that entry is complete.
    p.Parser.Parse(p.In);
    EXPECT_TRUE(Text(p.Parser.Lemma()) == u"стол");
    EXPECT_EQ(Grammar(p.Parser.CommonGrammar()), "S,nom,sg,m,inan");
    EXPECT_TRUE(p.Parser.Wordforms()[0].Grammar.Length == 0);
    EXPECT_THROW(p.Parser.Parse(p.In), NByk::TEndOfStreamException);
}

TEST(EntryParserTest, ReadsGrammarNamesWithAnySeparator) {
    const std::string texts[] = {
        "S,m,inan=nom,sg",           "S m inan nom sg",
        "sg=nom,inan m S,S,",         // order and repeats do not matter, a final separator is
        "S,муж,неод=им,ед",           // harmless; Cyrillic names mix with Latin ones
        "S\u2003m\u2003inan=nom,sg",  // an em space separates like a blank
        "S\u2217m,inan=nom,sg",       // a mathematical symbol outside the page like "="
    };
    for (const std::string& grammar : texts) {
        SCOPED_TRACE(grammar);
        TParsed p("стол\n[стол]\t" + grammar + "\n", RussianSettings());
        p.Parser.Parse(p.In);
        EXPECT_EQ(Grammar(p.Parser.CommonGrammar()), "S,nom,sg,m,inan");
    }
    // Names are exact: letter case counts, and 254 bytes are still looked up.
    const std::string bad[][2] = {
        {"s,m", "Invalid grammar feature \"s\"; entry \"стол\" skipped."},
        {"S," + std::string(254, 'y'),
         "Invalid grammar feature \"" + std::string(254, 'y') + "\"; entry \"стол\" skipped."},
    };
    for (const auto& [grammar, message] : bad) {
        TParsed p("стол\n[стол]\t" + grammar + "\n", RussianSettings());
        EXPECT_EQ(ErrorOf(p.Parser, p.In), message);
    }
}

TEST(EntryParserTest, HandsOnNormalisedTexts) {
    // Upper case and a Latin look-alike letter (c) become the Russian lower-case letters.
    TParsed p("CТОЛ\n[СТОЛ]А\tS,m,inan=gen,sg\n", RussianSettings());
    p.Parser.Parse(p.In);
    EXPECT_TRUE(Text(p.Parser.Lemma()) == u"стол");
    EXPECT_TRUE(Text(p.Parser.Wordforms()[0].Stem) == u"стол");
    EXPECT_TRUE(Text(p.Parser.Wordforms()[0].Suffix) == u"а");
}

TEST(EntryParserTest, TrimsAndDropsFormatCharacters) {
    struct TCase {
        std::string Line;
        std::u16string Text;
    };
    const TCase cases[] = {
        {"  \tабв \r\n", u"абв"},
        {"\u00AD\n", u""},
        {"\uFEFF \t\n", u""},
        {"\u00AD а\n", u" а"},  // the soft hyphen stops the trimming before it is dropped
        {"а\u200Bб\u200D\n", u"а\u200Bб"},
        {"\u2003а\u2028", u"а"},
        {"\x01а\n", u"\x01а"},
    };
    const TCompilerSettings settings = RussianSettings();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Line);
        TEntryParser parser(&settings, 0);
        TMemoryInput in(c.Line.data(), c.Line.size());
        EXPECT_TRUE(Text(parser.ReadLine(in)) == c.Text);
        EXPECT_EQ(parser.LineCount(), 1u);
        EXPECT_THROW(parser.ReadLine(in), NByk::TEndOfStreamException);
    }
}

TEST(EntryParserTest, DecodesUtf8Leniently) {
    struct TCase {
        std::string Bytes;
        std::u16string Units;
        bool Malformed;
    };
    const TCase cases[] = {
        {"a\xFF"
         "b",
         u"a\uFFFD"
         "b",
         false},
        {"\xD0"
         "A",
         u"\uFFFD"
         "A",
         false},
        {"ab\xE0\xA0", u"ab", false},  // cut by the end of the line
        // A lead whose sequence would pass the end, but the bytes after it do not continue it.
        {"ab\xE0\n", u"ab\uFFFD\n", false},
        {"\xF0"
         "ab",
         u"\uFFFD"
         "ab",
         false},
        {"\xF0\x9F\x98\x80", u"\U0001F600", false},
        {"\xF4\x90\x80\x80", u"\uFFFD", false},
        {"\xC0\x80"
         "a",
         u"\uFFFD"
         "a",
         true},
        {"\xE0\x80\xAF", u"\uFFFD", true},
        {"\xED\xB0\x80", u"\uFFFD", true},
    };
    for (const TCase& c : cases) {
        wchar16 out[8];
        const TLineDecodeResult r = DecodeSourceUtf8(
            reinterpret_cast<const unsigned char*>(c.Bytes.data()), c.Bytes.size(), out, 8);
        EXPECT_TRUE(std::u16string(out, r.Units) == c.Units) << c.Bytes;
        EXPECT_EQ(r.Malformed, c.Malformed) << c.Bytes;
        EXPECT_TRUE(r.Complete);
    }
    wchar16 out[2];
    const TLineDecodeResult r =
        DecodeSourceUtf8(reinterpret_cast<const unsigned char*>("a\xF0\x9F\x98\x80"), 5, out, 2);
    EXPECT_FALSE(r.Complete);
    EXPECT_EQ(r.Units, 1u);
}

// A line's raw bytes must end before the free space does, and its units must leave at least
// one unit of the capacity (half the space left after the bytes) unused; a line that reaches
// either limit exactly is refused, even when it ends with its line feed or the input ends there.
TEST(EntryParserTest, LinesAreRefusedAtTheLimitsOfTheBuffer) {
    TCompilerSettings settings = RussianSettings();
    settings.CodePage = CODES_KORVEL;  // one unit per byte
    const char* const reading = "Exhaustion while reading input stream";
    const char* const converting = "Exhaustion while converting to unicode";
    struct TCase {
        std::vector<std::string> Lines;  // read one after another
        size_t Buffer;
        const char* Error;
    };
    const std::vector<std::string> oddLines = {"ab\n", "ab\n", "ab\n"};
    const TCase cases[] = {
        // The bytes against the free space: one under (the units then find no room), at, over.
        {{"abc\n"}, 5, converting},
        {{"abc\n"}, 4, reading},
        {{"abcd"}, 4, reading},
        {{"abc\n"}, 3, reading},
        // 4 units against the capacity (14 - 4) / 2 = 5: under; 4 (two sizes): at; 3: over.
        {{"abc\n"}, 14, nullptr},
        {{"abc\n"}, 13, converting},
        {{"abc\n"}, 12, converting},
        {{"abc\n"}, 11, converting},
        // 3 bytes leave the units an odd start: capacity (11 - 3) / 2 = 4 under, 3 at, 2 over.
        {{"ab\n"}, 11, nullptr},
        {{"ab\n"}, 10, converting},
        {{"ab\n"}, 9, converting},
        {{"ab\n"}, 8, converting},
        // Each line takes its bytes and its units, no more: the third line starts at 18 and
        // its 3 units meet a capacity of (29 - 21) / 2 = 4, or 3.
        {oddLines, 29, nullptr},
        {oddLines, 28, converting},
        // ... and its bytes meet a free space of 4 (one under), 3 (at).
        {oddLines, 22, converting},
        {oddLines, 21, reading},
    };
    for (const TCase& c : cases) {
        std::string source;
        for (const std::string& line : c.Lines) {
            source += line;
        }
        SCOPED_TRACE(source + " in " + std::to_string(c.Buffer));
        TEntryParser parser(&settings, 0, c.Buffer);
        TMemoryInput in(source.data(), source.size());
        try {
            std::vector<TUtf16Range> read;
            for (size_t i = 0; i < c.Lines.size(); ++i) {
                read.push_back(parser.ReadLine(in));
            }
            EXPECT_EQ(c.Error, nullptr);
            // Every line's text stays where its view points.
            for (size_t i = 0; i < read.size(); ++i) {
                const std::string line = c.Lines[i].substr(0, c.Lines[i].size() - 1);
                EXPECT_TRUE(Text(read[i]) == std::u16string(line.begin(), line.end())) << i;
            }
        } catch (const NByk::TBufferExhaustedException& e) {
            EXPECT_STREQ(e.what(), c.Error);
        }
        EXPECT_EQ(parser.LineCount(), c.Lines.size());
    }
    // A line stopped by the end of the free space takes no further byte from the input.
    TEntryParser parser(&settings, 0, 4);
    TMemoryInput in("abcdef", 6);
    EXPECT_THROW(parser.ReadLine(in), NByk::TBufferExhaustedException);
    char next = 0;
    EXPECT_EQ(in.Read(&next, 1), 1u);
    EXPECT_EQ(next, 'e');
}

TEST(EntryParserTest, GrammarCodesWithoutRoomExhaustTheBuffer) {
    TCompilerSettings settings = RussianSettings();
    settings.CodePage = CODES_KORVEL;
    // "a\n" takes 2 + 4 bytes, "[a]\tS,m,inan\n" 13 + 26 (47 bytes leave its units one unit
    // of room): its three grammar codes find no room.
    const std::string source = "a\n[a]\tS,m,inan\n";
    // 47: no room for the form's codes; 50: none for the common grammar; 51: none for the
    // normalised lemma.
    const std::pair<size_t, std::string> cases[] = {
        {47, "Exhaustion while storing grammar codes"},
        {50, "Exhaustion while storing grammar codes"},
        {51, "Exhaustion while converting article"},
        {64, "accepted"},
    };
    for (const auto& [buffer, error] : cases) {
        TParsed p(source, settings, buffer);
        try {
            p.Parser.Parse(p.In);
            EXPECT_EQ(error, "accepted") << buffer;
        } catch (const NByk::TBufferExhaustedException& e) {
            EXPECT_EQ(e.what(), error) << buffer;
        }
    }
}

TEST(EntryParserTest, ReadsTheSystemsOwnCodePage) {
    TCompilerSettings settings = RussianSettings();
    settings.CodePage = CODES_KORVEL;
    const std::u16string text = u"стол\n[стол]а\tS,муж,неод=род,ед\n";
    const Encoder& encoder = *EncoderByCharset(CODES_KORVEL);
    std::string bytes;
    for (char16_t u : text) {
        bytes += encoder.Code(u);
    }
    TParsed p(bytes, settings);
    p.Parser.Parse(p.In);
    EXPECT_TRUE(Text(p.Parser.Lemma()) == u"стол");
    EXPECT_EQ(Grammar(p.Parser.CommonGrammar()), "S,gen,sg,m,inan");
}

TEST(EntryParserTest, ReadsMultibyteCodePagesThroughIconv) {
    TCompilerSettings settings = RussianSettings();
    settings.CodePage = CharsetByName("SHIFT_JIS");
    ASSERT_GE(settings.CodePage, 0);
    const std::string source =
        "\x84\x83\x84\x84\x84\x80\x84\x7C\n[\x84\x83\x84\x84\x84\x80\x84\x7C]\x84\x70"
        "\tS,m,inan=gen,sg\n";
    TParsed p(source, settings);
    p.Parser.Parse(p.In);
    EXPECT_TRUE(Text(p.Parser.Lemma()) == u"стол");
    EXPECT_TRUE(Text(p.Parser.Wordforms()[0].Suffix) == u"а");
}

TEST(EntryParserTest, SkipsTheRestOfARejectedEntry) {
    // The 16000th form rejects the entry; its remaining lines are skipped.
    std::string source = "стол\n";
    for (int i = 0; i < 16001; ++i) {
        source += "[стол]\tS,m,inan=nom,sg\n";
    }
    source += "\nпол\n[пол]\tS,m,inan=nom,sg\n\nмал\n";
    TParsed p(source, RussianSettings());
    EXPECT_EQ(ErrorOf(p.Parser, p.In), "Too much wordforms; entry \"стол\" skipped.");
    EXPECT_EQ(p.Parser.LineCount(), 16003u);
    p.Parser.Parse(p.In);
    EXPECT_TRUE(Text(p.Parser.Lemma()) == u"пол");
    // A lemma that ends the input has no forms; the input then holds no entry.
    EXPECT_EQ(ErrorOf(p.Parser, p.In), "No forms specified; entry \"мал\" skipped.");
    EXPECT_THROW(p.Parser.Parse(p.In), NByk::TEndOfStreamException);

    std::string most = "стол\n";
    for (size_t i = 0; i < TEntryParser::MaxWordforms; ++i) {
        most += "[стол]\tS,m,inan=nom,sg\n";
    }
    TParsed q(most, RussianSettings());
    q.Parser.Parse(q.In);
    EXPECT_EQ(q.Parser.Wordforms().size(), TEntryParser::MaxWordforms);
}

TEST(EntryParserTest, SampleEntriesHoldTheSampleWordforms) {
    // Every wordform and grammar of the shared sample is in the source fixture, in order.
    std::istringstream sample(
        NCompilerTest::ReadFile(NCompilerTest::TestData("sample-entries.txt")));
    std::vector<std::pair<std::string, std::string>> expected;
    for (std::string line; std::getline(sample, line);) {
        if (line.rfind("## ", 0) == 0) {
            continue;
        }
        std::istringstream fields(line);
        std::string number, word, tag, grammar;
        fields >> number >> word;
        while (fields >> tag) {
            grammar = tag;
        }
        expected.emplace_back(word, grammar);
    }
    std::istringstream fixture(
        NCompilerTest::ReadFile(NCompilerTest::TestData("sample-entries.dict")));
    std::vector<std::pair<std::string, std::string>> found;
    for (std::string line; std::getline(fixture, line);) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos) {
            continue;
        }
        std::string word = line.substr(0, tab);
        for (char bracket : {'[', ']'}) {
            word.erase(word.find(bracket), 1);
        }
        found.emplace_back(word, line.substr(tab + 1));
    }
    EXPECT_EQ(found, expected);
}

}  // namespace
