#include "tokenizer/tokenizer.h"

#include "tokenizer/sentence_break.h"
#include "tokenizer/text_tokenizer.h"
#include "tokenizer/tokenizer_test_helpers.h"

#include <gtest/gtest.h>

#include <random>

namespace NTokenizerCases {
using namespace NTokenizerTest;

namespace {

struct TCase {
    const char* Text;
    const char* Tokens;
};

void ExpectTokens(const std::vector<TCase>& cases, bool split = true, bool paragraphs = false) {
    for (const TCase& c : cases) {
        EXPECT_EQ(DumpText(c.Text, split, paragraphs), c.Tokens) << c.Text;
    }
}

size_t SourceTotal(const std::vector<TRecordedToken>& tokens) {
    size_t total = 0;
    for (const TRecordedToken& t : tokens) {
        total += t.Source;
    }
    return total;
}

std::string Repeat(const std::string& s, size_t n) {
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += s;
    }
    return out;
}

// A word is the one that a scan starting where it starts gives: the first token of the text
// from there on.
void ExpectWordsOfScansFromTheirStart(const std::string& utf8) {
    const std::u16string text = U16(utf8);
    size_t at = 0;
    for (const TRecordedToken& t : Tokenize(text, false)) {
        if (t.Type >= TOKEN_WORD && t.Type <= TOKEN_MIXED) {
            TRecorder alone;
            alone.StopAfter = 1;
            TokenizeWide({&alone, false}, text.data() + at, text.size() - at);
            ASSERT_EQ(alone.Tokens.size(), 1u);
            const TRecordedToken& a = alone.Tokens[0];
            const std::string where = utf8 + " at " + std::to_string(at);
            EXPECT_EQ(a.Type, t.Type) << where;
            EXPECT_EQ(U8(a.Text), U8(t.Text)) << where;
            EXPECT_EQ(a.Source, t.Source) << where;
            EXPECT_EQ(DumpParts(a.Parts), DumpParts(t.Parts)) << where;
        }
        at += t.Source;
    }
}

}  // namespace

TEST(Tokenizer, CutsWordsNumbersAndJoiners) {
    ExpectTokens({
        {"a++", "1'a++'"},
        {"a#", "1'a#'"},
        {"#tag", "7'#' 1'tag'"},
        {"##tag", "7'#' 7'#' 1'tag'"},
        {"$5", "7'$' 2'5'"},
        {"3.14", "3'3.14'"},
        {"1.2.3", "3'1.2' 7'.' 2'3'"},
        {"rock'n'roll", "1'rock'n'roll'"},
        {"северо-запад", "1'северо-запад'"},
        {"5-a", "2'5' 7'-' 1'a'"},
        {"user@mail.ru", "1'user' 7'@' 1'mail' 7'.' 1'ru'"},
        {"a/b_c", "1'a' 7'/' 1'b' 7'_' 1'c'"},
        {"abc123", "4'abc123'"},
        {"C++11", "1'C+' 7'+' 2'11'"},
        {"a+b", "1'a' 7'+' 1'b'"},
        {"a+++", "1'a++' 7'+'"},
        {"слово, слово", "1'слово' 7', ' 1'слово'"},
        {"a--b", "1'a' 7'--' 1'b'"},
        {"a-", "1'a' 7'-'"},
        {"a-\xcc\x81"
         "b",
         "1'a' 7'-\xcc\x81' 1'b'"},
        {"\xcc\x81\xcc\x81"
         "ab x",
         "1'\xcc\x81\xcc\x81"
         "ab' 7' ' 1'x'"},
        {"a:b", "1'a' 7':' 1'b'"},
    });
    EXPECT_EQ(Dump(Tokenize(std::u16string(u"a\0\0b", 4))), "1'a' 7'\\u0000' 7'\\u0000' 1'b'");
}

TEST(Tokenizer, KeepsPartsWithKindsAndDelimiters) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"a++", "{0,1,k0 s2}"},
        {"a#", "{0,1,k0 s1}"},
        {"3.14", "{0,4,k3}"},
        {"rock'n'roll", "{0,4,k0 d1}{5,1,k0 d1}{7,4,k0}"},
        {"abc123", "{0,6,k2}"},
        {"a-b-c-d-e", "{0,1,k0 d2}{2,1,k0 d2}{4,1,k0 d2}{6,1,k0 d2}{8,1,k0}"},
    };
    for (const auto& [text, parts] : cases) {
        const auto tokens = Tokenize(U16(text));
        ASSERT_EQ(tokens.size(), 1u) << text;
        EXPECT_EQ(DumpParts(tokens[0].Parts), parts) << text;
    }
    // Without splitting the scanned token goes on whole, with its prefix and joiners.
    const std::vector<std::pair<const char*, const char*>> whole = {
        {"#tag", "{1,3,k0 p1}"},
        {"user@mail.ru", "{0,4,k0 d6}{5,4,k0 d7}{10,2,k0}"},
        {"1.2.3", "{0,1,k1 d7}{2,1,k1 d7}{4,1,k1}"},
        {"abc123", "{0,3,k0}{3,3,k1}"},
        {"C++11", "{0,1,k0 s1 d3}{3,2,k1}"},
    };
    for (const auto& [text, parts] : whole) {
        const auto tokens = Tokenize(U16(text), false);
        ASSERT_EQ(tokens.size(), 1u) << text;
        EXPECT_EQ(DumpParts(tokens[0].Parts), parts) << text;
    }
    EXPECT_EQ(Tokenize(U16("abc123"), false)[0].Type, TOKEN_MIXED);
    EXPECT_EQ(Tokenize(U16("1.2.3"), false)[0].Type, TOKEN_INTEGER);
}

TEST(Tokenizer, AJoinerRunEndsAfterFourApostrophesOrHyphens) {
    ExpectTokens({
        {"a-b-c-d-e", "1'a-b-c-d-e'"},
        {"a-b-c-d-e-f", "1'a-b-c-d-e' 7'-' 1'f'"},
        {"a'b-c'd-e-f", "1'a'b-c'd-e' 7'-' 1'f'"},
        // Hyphens before a line break count as well, wherever they stand in the run.
        {"a-\nb-\nc-\nd-\ne", "1'abcde'/13"},
        {"a-\nb-\nc-\nd-\ne-\nf", "1'abcde'/13 7'-' 7'\\n' 1'f'"},
        {"a-b-c-d-e-\nf", "1'a-b-c-d-e' 7'-' 7'\\n' 1'f'"},
        {"a-\nb-c-d-e-f", "1'ab-c-d-e'/10 7'-' 1'f'"},
        // A joiner of another kind starts a new count, also a plus sign or number sign that
        // scanned as a suffix first.
        {"a-b-c-d.e-f-g-h-i", "1'a-b-c-d' 7'.' 1'e-f-g-h-i'"},
        {"a-b-c-d.e-f-g-h-i-j", "1'a-b-c-d' 7'.' 1'e-f-g-h-i' 7'-' 1'j'"},
        {"a-b-c-d+e-f-g", "1'a-b-c-d' 7'+' 1'e-f-g'"},
        {"a-b-c-d++e-f-g", "1'a-b-c-d+' 7'+' 1'e-f-g'"},
        {"a-b-c-d+$e-f-g", "1'a-b-c-d+' 7'$' 1'e-f-g'"},
        {"a-b-c-d##e-f-g", "1'a-b-c-d#' 7'#' 1'e-f-g'"},
        {"a-b-c-d+e-f-g-h-i-j", "1'a-b-c-d' 7'+' 1'e-f-g-h-i' 7'-' 1'j'"},
    });
    // Unsplit, the plus joiner keeps all seven parts in one token.
    const auto whole = Tokenize(U16("a-b-c-d+e-f-g"), false);
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(DumpParts(whole[0].Parts),
              "{0,1,k0 d2}{2,1,k0 d2}{4,1,k0 d2}{6,1,k0 d3}{8,1,k0 d2}{10,1,k0 d2}{12,1,k0}");
    // A number sign that the next part touches stays a suffix, no joiner: the count goes on.
    EXPECT_EQ(DumpText("a-b-c-d#e-f-g", false), "1'a-b-c-d#e-f' 7'-' 1'g'");
}

TEST(Tokenizer, GluesHyphenatedLineBreaksAndSoftHyphens) {
    ExpectTokens({
        {"пере-\xe2\x80\xa8стройка", "1'перестройка'/13"},
        {"пере-\nстройка", "1'перестройка'/13"},
        {"пере-\r\n  стройка", "1'перестройка'/16"},
        {"пере\xc2\xadстройка", "1'перестройка'/12"},
        {"слово-\n12", "1'слово' 7'-' 2'12'/3"},
        {"12-\n34", "2'12' 7'-' 2'34'/3"},  // only letters are glued
        {"слово-\n\tдело", "1'слово' 7'-' 7'\\n' 7'\\u0009' 1'дело'"},
        {"слово -\nдело", "1'слово' 7' -' 7'\\n' 1'дело'"},
        {"слово-\n\nдело", "1'слово' 7'-' 7'\\n\\n' 1'дело'"},
        {"пере- стройка", "1'пере' 7'- ' 1'стройка'"},
        // A soft hyphen glues only when a letter or digit follows it directly.
        {"слово\xc2\xad", "1'слово' 7'\\u00AD'"},
        {"слово\xc2\xad дело", "1'слово' 7'\\u00AD ' 1'дело'"},
        {"слово\xc2\xad\xc2\xadдело", "1'слово' 7'\\u00AD\\u00AD' 1'дело'"},
        {"слово\xc2\xad-дело", "1'слово' 7'\\u00AD-' 1'дело'"},
        {"5\xc2\xadкг", "4'5кг'/4"},  // parts of different kinds touch
    });
    const auto tokens = Tokenize(U16("пере-\nстройка"));
    EXPECT_EQ(DumpParts(tokens[0].Parts), "{0,11,k0}");
    const auto digits = Tokenize(U16("12-\n34"), false);
    EXPECT_EQ(Dump(digits), "2'12-34'/6");
    EXPECT_EQ(DumpParts(digits[0].Parts), "{0,2,k1 j1 d2}{3,2,k1}");
}

TEST(Tokenizer, CutsLongWordsTo255UnitsAndKeepsTheirSource) {
    const auto tokens = Tokenize(U16(Repeat("я", 300)));
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(tokens[0].Type, TOKEN_WORD);
    EXPECT_EQ(tokens[0].Text.size(), 255u);
    EXPECT_EQ(tokens[0].Source, 300u);
    EXPECT_EQ(DumpParts(tokens[0].Parts), "{0,255,k0}");

    // A hyphenated word past the limit keeps the parts that start before it.
    const auto hyphenated = Tokenize(U16(Repeat("я", 250) + "-" + Repeat("ю", 20)), false);
    ASSERT_EQ(hyphenated.size(), 1u);
    EXPECT_EQ(hyphenated[0].Text.size(), 255u);
    EXPECT_EQ(DumpParts(hyphenated[0].Parts), "{0,250,k0 d2}{251,4,k0}");
    EXPECT_EQ(hyphenated[0].Source, 271u);

    // A rebuilt word keeps at most 255 units of its text.
    const auto rebuilt = Tokenize(U16(Repeat("я", 200) + "-\n" + Repeat("ю", 100)));
    ASSERT_EQ(rebuilt.size(), 1u);
    EXPECT_EQ(rebuilt[0].Text.size(), 200u);
    EXPECT_EQ(rebuilt[0].Source, 302u);
}

// Rebuilding keeps a part while it ends before unit 256 of the scanned text, however many units
// the joins remove before it.
TEST(Tokenizer, RebuildsLongWordsUpToUnit256OfTheirSource) {
    const std::string a250 = Repeat("a", 250);
    const std::string shy = "\xc2\xad";
    const std::string suffixBeforeDroppedPart = Repeat("n", 65) + "#" + Repeat("n", 190) + "-\r3";
    struct TRebuildCase {
        std::string Text;
        size_t Length;
        size_t Source;
        const char* Parts;
    };
    const std::vector<TRebuildCase> cases = {
        {a250 + "-\xe2\x80\xa8    bbbb", 250, 260, "{0,250,k0 j1}"},
        {a250 + "-\xe2\x80\xa8" + "bbb", 253, 255, "{0,253,k0}"},
        {a250 + shy + "bbbbb", 250, 256, "{0,250,k0 j2}"},
        {a250 + shy + "bbbb", 254, 255, "{0,254,k0}"},
        {a250 + shy + "bbbb+", 255, 256, "{0,254,k0 s1}"},
        {a250 + shy + "bbbb++", 254, 257, "{0,254,k0}"},
        // Letters and digits keep the hyphen and drop the line break.
        {a250 + "-\n555", 254, 255, "{0,250,k0 j1 d2}{251,3,k1}"},
        {a250 + "-\n5555", 250, 256, "{0,250,k0 j1}"},
        // A suffix before a part that is dropped stays with its text.
        {suffixBeforeDroppedPart, 66, 259, "{0,65,k0 s1}"},
        {Repeat("n", 254) + "#n-\r3", 255, 259, "{0,254,k0 s1}"},
        {Repeat("n", 255) + "#n-\r3", 255, 260, "{0,255,k0}"},
    };
    for (const TRebuildCase& c : cases) {
        const auto tokens = Tokenize(U16(c.Text), false);
        ASSERT_EQ(tokens.size(), 1u) << c.Text;
        EXPECT_EQ(tokens[0].Text.size(), c.Length) << c.Text;
        EXPECT_EQ(tokens[0].Source, c.Source) << c.Text;
        EXPECT_EQ(DumpParts(tokens[0].Parts), c.Parts) << c.Text;
    }
    const auto split = Tokenize(U16(suffixBeforeDroppedPart));
    ASSERT_EQ(split.size(), 1u);
    EXPECT_EQ(U8(split[0].Text), Repeat("n", 65) + "#");
    EXPECT_EQ(DumpParts(split[0].Parts), "{0,65,k0 s1}");
}

TEST(Tokenizer, ReportsALongRunOfLeadingMarksApart) {
    const auto tokens = Tokenize(U16(Repeat("\xcc\x81", 300) + "ab-c"), false);
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[0].Type, TOKEN_OTHER);
    EXPECT_EQ(tokens[0].Text.size(), 300u);
    EXPECT_EQ(tokens[0].Source, 300u);
    EXPECT_EQ(tokens[1].Type, TOKEN_WORD);
    EXPECT_EQ(U8(tokens[1].Text), "ab-c");
    EXPECT_EQ(DumpParts(tokens[1].Parts), "{0,2,k0 d2}{3,1,k0}");
    // Under the limit the marks stay with their word.
    const auto shorter = Tokenize(U16(Repeat("\xcc\x81", 250) + Repeat("a", 10)));
    ASSERT_EQ(shorter.size(), 1u);
    EXPECT_EQ(shorter[0].Text.size(), 255u);
    EXPECT_EQ(shorter[0].Source, 260u);
}

TEST(Tokenizer, SplitsTokensOfMoreThan62TouchingParts) {
    std::string text;
    for (int i = 0; i < 40; ++i) {
        text += "a1";
    }
    const auto tokens = Tokenize(U16(text));
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[0].Type, TOKEN_MIXED);
    EXPECT_EQ(DumpParts(tokens[0].Parts), "{0,62,k2}");
    EXPECT_EQ(DumpParts(tokens[1].Parts), "{0,18,k2}");

    const auto whole = Tokenize(U16(text), false);
    ASSERT_EQ(whole.size(), 2u);
    EXPECT_EQ(whole[0].Parts.size(), 62u);
    EXPECT_EQ(whole[1].Parts.size(), 18u);

    // Full-stop joiners have no count of their own: 70 words still split at 62 parts.
    const auto dotted = Tokenize(U16(Repeat("a.", 69) + "a"), false);
    ASSERT_GE(dotted.size(), 2u);
    EXPECT_EQ(dotted[0].Parts.size(), 62u);
    EXPECT_EQ(SourceTotal(dotted), 139u);
}

// A run of parts of any length is read about once: the words cut from it at the part limit do
// not each read the rest of the run again.
TEST(Tokenizer, ReadsALongRunOfPartsAboutOnce) {
    struct TShape {
        const char* Unit;
        size_t Parts;  // in one unit
    };
    const TShape shapes[] = {
        {"1a", 2},              // letters and digits touching
        {"ab_", 1},             // joiners without a count
        {"a.1/", 2},            // full stops and slashes
        {"x-y_", 2},            // a hyphen, then a joiner that starts a new count
        {"a'b-c'd+", 4},        // three of the counted joiners, then a plus
        {"ab-\ncd_", 2},        // a join across a line break
        {"ab\u00AD1", 2},       // a soft hyphen
        {"a#1", 2},             // a suffix touching the next part
        {"a-b-c-d-e-f-g_", 7},  // more hyphens than a word may hold: many runs
    };
    for (const TShape& shape : shapes) {
        const size_t units = 20000 / shape.Parts;
        const std::u16string text = U16(Repeat(shape.Unit, units) + "\n");
        TRecorder recorder;
        TSentenceBreakChecker checker(0);
        TTextTokenizer tokenizer(&recorder, &checker, false, true);
        tokenizer.Execute(text.data(), text.size());
        EXPECT_EQ(SourceTotal(recorder.Tokens), text.size()) << shape.Unit;
        // The first word reads the run to its end, each later one a few parts past its own.
        EXPECT_LE(tokenizer.ScannedParts(), 3 * units * shape.Parts) << shape.Unit;
    }
}

// A word cut from a long run at the part limit is the word that a scan starting where it starts
// gives: what the scans of the words before it learnt of the run changes nothing.
TEST(Tokenizer, WordsCutFromALongRunAreThoseOfAScanFromTheirStart) {
    // Long runs of parts of one kind or of both, with joiners that clear the apostrophe and
    // hyphen count, counted ones that can end a run, and joins that make a word rebuilt (which
    // shows in the type of a word of one kind of parts).
    const std::vector<std::vector<std::string>> material = {
        {"a", "я", "ab", "a\u0301"}, {"1", "5", "12"}, {"a", "я", "5", "1", "F", "ab", "12"}};
    const std::vector<std::string> joins = {"-\n", "-\r\n  ", "\u00AD"};
    const std::vector<std::string> counted = {"-", "'", "\u0301-", "--"};
    const std::vector<std::string> clearing = {"_", ".", "/", "@", "+", "++", "#", "+#", "##"};
    std::mt19937 rng(20261211);
    auto pick = [&](const std::vector<std::string>& from) { return from[rng() % from.size()]; };
    for (int round = 0; round < 60; ++round) {
        const auto& kinds = material[round % material.size()];
        // Per mille of the pieces: a join, a counted joiner, a clearing one, a blank.
        const unsigned join = std::vector<unsigned>{0, 5, 20, 60}[rng() % 4];
        const unsigned count = join + std::vector<unsigned>{0, 50, 150, 300}[rng() % 4];
        const unsigned clear = count + std::vector<unsigned>{300, 500, 700}[rng() % 3];
        const unsigned blank = clear + rng() % 3;
        std::string utf8;
        while (utf8.size() < 3000) {
            utf8 += pick(kinds);
            const unsigned r = rng() % 1000;
            utf8 += r < join    ? pick(joins)
                    : r < count ? pick(counted)
                    : r < clear ? pick(clearing)
                    : r < blank ? " "
                                : "";
        }
        ExpectWordsOfScansFromTheirStart(utf8 + "\n");
    }
    // The word after a cut reads on past where the last scan's run ended (a fifth hyphen there,
    // a fourth here) to a join: after a clearing joiner, and with none (touching parts longer
    // than the word limit, whose rebuilding drops a part that a plain cut keeps in part).
    ExpectWordsOfScansFromTheirStart(Repeat("a_", 61) + "a-a" + Repeat("-a", 4) + Repeat("_a", 70) +
                                     "-\nb" + Repeat("_a", 5) + "\n");
    std::string touching;
    for (int part = 1; part <= 160; ++part) {
        touching += part % 2 ? "aaaaa" : "11111";
        if (part == 62 || part == 70 || part == 80 || part == 90 || part == 140) {
            touching += "-";
        } else if (part == 150) {
            touching += "\u00AD";
        }
    }
    ExpectWordsOfScansFromTheirStart(touching + "\n");
}

TEST(Tokenizer, DecodesRunsOfPercentEscapes) {
    ExpectTokens({
        // Three two-byte letters: 18 units become 3.
        {"%D0%BF%D1%80%D0%B8 x", "1'при'/18 7' ' 1'x'"},
        {"%41%42", "1'AB'/6"},
        {"a%41%42b", "1'aABb'/8"},
        {"%D0%BF%D1%80%D0%B8-%D0%BF%D1%80%D0%B8", "1'при-при'/37"},
        {"%41%2E%42", "1'A' 7'.' 1'B'/7"},
        {"%0A%41", "7' ' 1'A'/5"},
        // Code points past U+10FFFD lie beyond the property table: U+FFFD stands for them.
        {"%F4%8F%BF%BD", "1'\\uDBFF\\uDFFD'/12"},
        {"%F4%8F%BF%BE%41", "7'\xef\xbf\xbd' 1'A'/14"},
        {"%F4%8F%BF%BF", "7'\xef\xbf\xbd'/12"},
        // A single escape is not word material.
        {"abc%41def", "1'abc' 7'%' 4'41def'"},
        {"%41", "7'%' 2'41'"},
        {"100%", "2'100' 7'%'"},
        // Undecodable runs are scanned as written by the nested scanner.
        {"%FF%41", "7'%' 1'FF' 7'%' 2'41'"},
        {"%D0%41", "7'%' 4'D0' 7'%' 2'41'"},
        {"%D0%BF%D1", "7'%' 4'D0' 7'%' 1'BF' 7'%' 4'D1'"},
    });
}

TEST(Tokenizer, RefusesOverlongAndSurrogateEscapes) {
    // "/" as two bytes, "." as three, a lone surrogate: all left as written.
    ExpectTokens({
        {"%C0%AF%41", "7'%' 4'C0' 7'%' 1'AF' 7'%' 2'41'"},
        {"%E0%80%AE%41", "7'%' 4'E0' 7'%' 2'80' 7'%' 1'AE' 7'%' 2'41'"},
        {"%ED%A0%80%41", "7'%' 1'ED' 7'%' 4'A0' 7'%' 2'80' 7'%' 2'41'"},
        {"%F0%80%80%AF", "7'%' 4'F0' 7'%' 2'80' 7'%' 2'80' 7'%' 1'AF'"},
    });
    // The shortest forms still decode.
    ExpectTokens({{"%C3%A9%41", "1'éA'/9"}, {"%F0%9F%98%80%41", "1'\\uD83D\\uDE00' 1'A'/13"}});
}

TEST(Tokenizer, NestedEscapesKeepEverySourceUnit) {
    // The escapes decode to "%41%42", which decodes again to "AB": the word that ends the
    // inner text stands for all 18 units.
    EXPECT_EQ(DumpText("%25%34%31%25%34%32"), "1'AB'/18");
    EXPECT_EQ(DumpText("x-%25%34%31%25%34%32 y"), "1'x-AB'/20 7' ' 1'y'");
    // An undecodable inner word keeps them too.
    EXPECT_EQ(DumpText("%25%46%46%25%34%31"), "7'%' 1'FF' 7'%' 2'41'/14");
    // "%2541" holds a single escape: "%" and a word.
    EXPECT_EQ(DumpText("%2541"), "7'%' 2'2541'");
}

TEST(Tokenizer, EmitsSentencePunctuationBeforeCapitalsAndDigits) {
    ExpectTokens({
        {"Конец.\n", "1'Конец' 7'.' 7'\\n'"},
        {"Он сказал. Да", "1'Он' 7' ' 1'сказал' 5'. ' 1'Да'"},
        {"Он сказал. да", "1'Он' 7' ' 1'сказал' 7'.' 7' ' 1'да'"},
        {"Он.\xc2\xbb \xc2\xab(Да", "1'Он' 5'.\xc2\xbb ' 7'\xc2\xab(' 1'Да'"},
        {"Он. - Да", "1'Он' 5'. ' 7'- ' 1'Да'"},
        {"Он.- Да", "1'Он' 7'.' 7'- ' 1'Да'"},
        {"Он!\n\nДа", "1'Он' 5'!\\n\\n' 1'Да'"},
        {"Он... Да", "1'Он' 5'... ' 1'Да'"},
        {"Он: Да", "1'Он' 7': ' 1'Да'"},
        {"Он.Да", "1'Он' 7'.' 1'Да'"},
        // "!" and "?" end a sentence only with a blank after them (and any closers).
        {"Да! Нет", "1'Да' 5'! ' 1'Нет'"},
        {"Да!) Нет", "1'Да' 5'!) ' 1'Нет'"},
        {"Да? 5", "1'Да' 5'? ' 2'5'"},
        {"Да!Нет", "1'Да' 7'!' 1'Нет'"},
        {"Да?Нет", "1'Да' 7'?' 1'Нет'"},
        {"Да!)Нет", "1'Да' 7'!' 7')' 1'Нет'"},
        {"Да!5", "1'Да' 7'!' 2'5'"},
    });
}

TEST(Tokenizer, ReportsParagraphsOnRequest) {
    ExpectTokens({{"a\n\nb", "1'a' 6'\\n\\n' 1'b'"},
                  {"a\n \n-\nb", "1'a' 6'\\n \\n-\\n' 1'b'"},
                  {"a\r\nb", "1'a' 7'\\r' 7'\\n' 1'b'"},
                  {"a\r\n\r\nb", "1'a' 6'\\r\\n\\r\\n' 1'b'"},
                  {"a\n b", "1'a' 7'\\n' 7' ' 1'b'"}},
                 true, true);
    ExpectTokens({{"a\n\nb", "1'a' 7'\\n\\n' 1'b'"}});
}

TEST(Tokenizer, EmitsIdeographsAndSurrogatesOneByOne) {
    ExpectTokens({
        {"一二三", "1'一' 1'二' 1'三'"},
        {"\xe0\xa4\x95\xe0\xa4\xbf", "1'\xe0\xa4\x95' 7'\xe0\xa4\xbf'"},
        // Marks after such a unit go to other text even when a letter or digit follows.
        {"\xe0\xa4\x95\xe0\xa4\xbf"
         "a",
         "1'\xe0\xa4\x95' 7'\xe0\xa4\xbf' 1'a'"},
        {"\xe4\xb8\x80\xcc\x81\xcc\x81"
         "5 x",
         "1'\xe4\xb8\x80' 7'\xcc\x81\xcc\x81' 2'5' 7' ' 1'x'"},
        {"\xf0\x9f\x98\x80 x", "1'\\uD83D\\uDE00' 7' ' 1'x'"},
    });
    const std::u16string lone = {u'a', 0xD800, u' ', 0xDC00, 0xD800, 0xD800};
    EXPECT_EQ(Dump(Tokenize(lone)),
              "1'a' 7'\xef\xbf\xbd' 7' ' 7'\xef\xbf\xbd' 7'\xef\xbf\xbd' "
              "7'\xef\xbf\xbd'");
}

TEST(Tokenizer, StopsWhenTheHandlerIsDone) {
    // The fifth token comes from the decoded escapes: the stop passes the nested tokeniser.
    for (size_t stop : {1, 5}) {
        TRecorder recorder;
        recorder.StopAfter = stop;
        TTokenizerConfig config;
        config.Handler = &recorder;
        const std::u16string text = U16("один два %D0%BF%D1%80 три");
        EXPECT_NO_THROW(TokenizeWide(config, text.data(), text.size()));
        EXPECT_EQ(recorder.Tokens.size(), stop);
    }
}

TEST(Tokenizer, PassesOtherHandlerErrorsOn) {
    struct TFailing : ITokenHandler {
        void OnToken(const TTokenView&, size_t, int32_t) override { throw kexception(); }
    } failing;
    TTokenizerConfig config;
    config.Handler = &failing;
    const std::u16string text = u"x";
    EXPECT_THROW(TokenizeWide(config, text.data(), text.size()), kexception);
}

TEST(Tokenizer, NarrowTextUsesTheInternalPage) {
    TRecorder recorder;
    TTokenizerConfig config;
    config.Handler = &recorder;
    const char text[] = "\xF3\xEB. \xCB\xE5\xED\xE8\xED\xE0";  // "ул. Ленина"
    TokenizeNarrow(config, text, sizeof(text) - 1);
    EXPECT_EQ(Dump(recorder.Tokens), "1'ул' 7'. ' 1'Ленина'");
}

// Whatever the text, the tokens' source lengths add up to it and every word stays in bounds.
TEST(Tokenizer, SourceLengthsCoverRandomText) {
    const char16_t alphabet[] = {u'a',  u'Z',  u'5',   u'я',   u'Д',   u'.',   u'-',   u'\'',
                                 u'+',  u'#',  u'@',   u'$',   u'%',   u'4',   u'F',   u' ',
                                 u'\n', u'\r', 0x0301, 0x00AD, 0x2028, 0xD800, 0xDC00, u'/',
                                 u'_',  u'!',  u'«',   0x4E00, u'\t',  0};
    std::mt19937 rng(20261210);
    for (int round = 0; round < 3000; ++round) {
        std::u16string text(rng() % 120, u' ');
        for (char16_t& u : text) {
            u = alphabet[rng() % (sizeof(alphabet) / sizeof(alphabet[0]))];
        }
        for (bool split : {true, false}) {
            const auto tokens = Tokenize(text, split);
            ASSERT_EQ(SourceTotal(tokens), text.size()) << U8(text);
            for (const TRecordedToken& t : tokens) {
                EXPECT_LE(t.Parts.size(), MAX_TOKEN_PARTS);
                uint64_t end = 0;
                for (const TTokenPart& p : t.Parts) {
                    EXPECT_GE(p.Pos, end);
                    end = p.End() + p.SuffixLen;
                    EXPECT_LE(end, t.Text.size()) << U8(text);
                }
                if (t.Type >= TOKEN_WORD && t.Type <= TOKEN_MIXED) {
                    EXPECT_FALSE(t.Parts.empty());
                    EXPECT_LE(t.Text.size(), MAX_WORD_TOKEN_LENGTH);
                }
            }
        }
    }
}

TEST(Tokenizer, ClassifiesByPartsAndByNumberShape) {
    const TTokenPart letters{0, 1, 0, 0, PART_LETTERS, 0, 0};
    const TTokenPart digits{0, 1, 0, 0, PART_DIGITS, 0, 0};
    const TTokenPart fraction{0, 1, 0, 0, PART_FLOAT, 0, 0};
    const TTokenPart mixed{0, 1, 0, 0, PART_MIXED, 0, 0};
    const TTokenPart two[] = {letters, digits};
    EXPECT_EQ(GetTokenTypeByParts(&letters, 1), TOKEN_WORD);
    EXPECT_EQ(GetTokenTypeByParts(&digits, 1), TOKEN_INTEGER);
    EXPECT_EQ(GetTokenTypeByParts(&fraction, 1), TOKEN_FLOAT);
    EXPECT_EQ(GetTokenTypeByParts(&mixed, 1), TOKEN_MIXED);
    EXPECT_EQ(GetTokenTypeByParts(two, 2), TOKEN_MIXED);

    const std::vector<std::pair<std::string, int32_t>> shapes = {
        {"", 4},
        {"123", 2},
        {"12.", 3},
        {"1.5", 3},
        {"1.2.3", 4},
        {"1a", 4},
        {"abc", 1},
        {"a1", 4},
        {".5", 4},
        {std::string("1\0", 2), 2},
        {std::string("a\0", 2), 4},
    };
    for (const auto& [text, type] : shapes) {
        EXPECT_EQ(GuessNumberTokenType(text.data(), text.size()), type) << text;
        const std::u16string wide(text.begin(), text.end());
        EXPECT_EQ(GuessNumberTokenType(wide.data(), wide.size()), type) << text;
    }
}

// Lengths and positions are kept in 64 bits throughout: a multi-megabyte line without a break
// comes out whole, its word cut to the limit with the full source length.
TEST(Tokenizer, LongLinesKeepFullLengths) {
    const size_t n = size_t(1) << 22;
    std::u16string text(n, u'я');
    text += std::u16string(n, u' ');
    text += u"конец";
    const auto tokens = Tokenize(text);
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[0].Text.size(), MAX_WORD_TOKEN_LENGTH);
    EXPECT_EQ(tokens[0].Source, n);
    EXPECT_EQ(tokens[1].Text.size(), n);
    EXPECT_EQ(tokens[1].Source, n);
    EXPECT_EQ(tokens[2].Source, 5u);
}

}  // namespace NTokenizerCases
