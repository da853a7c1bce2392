#include "util/charset/recode.h"

#include "util/charset/charset_names.h"
#include "util/charset/iconv.h"
#include "util/generic/exception.h"

#include "util/charset/recode_test_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using NRecodeTesting::RunRecode;
using NRecodeTesting::TResult;

TResult RunFromUtf8(ECharset to, const std::string& src, size_t dstLen) {
    std::vector<char> dst(dstLen + 1, '\x7E');
    size_t read = 77, written = 77;
    const RECODE_RESULT status =
        RecodeFromUtf8(to, src.data(), dst.data(), src.size(), dstLen, read, written);
    EXPECT_EQ(dst[dstLen], '\x7E') << "wrote past the output";
    return {status, read, std::string(dst.data(), written)};
}

struct TRecodeCase {
    ECharset From;
    ECharset To;
    std::string Src;
    size_t DstLen;
    TResult Expected;
};

template <size_t N>
void ExpectRecodes(const TRecodeCase (&cases)[N]) {
    for (const TRecodeCase& c : cases) {
        EXPECT_EQ(RunRecode(c.From, c.To, c.Src, c.DstLen), c.Expected) << c.From << " -> " << c.To;
    }
}

TEST(Recode, ConvertsBetweenTablePages) {
    const TRecodeCase cases[] = {
        {CODES_KORVEL, CODES_KORVEL, "\xC0z", 8, {RECODE_OK, 2, "\xC0z"}},
        {CODES_KORVEL, CODES_KORVEL, "abc", 2, {RECODE_EOOUTPUT, 2, "ab"}},
        {CODES_KORVEL, CODES_WIN, "\xC0\x8E\x9F", 8, {RECODE_OK, 3, "\xC0\xA5?"}},
        {CODES_KORVEL, CODES_WIN, "\xC0\xC1\xC2", 2, {RECODE_EOOUTPUT, 2, "\xC0\xC1"}},
        {CODES_WIN, CODES_KORVEL, "\xC0\x80\xB9", 8, {RECODE_OK, 3, "\xC0\xA6\xB7"}},
        {CODES_WIN, CODES_UTF8, "\xC0", 8, {RECODE_OK, 1, "\xD0\x90"}},
        {CODES_WIN, CODES_UTF8, "\xC0", 1, {RECODE_EOOUTPUT, 0, ""}},
        {CODES_WIN, CODES_UTF8, "a\xC0", 2, {RECODE_EOOUTPUT, 1, "a"}},
        {CODES_WIN, CODES_UTF8, "\xC0", 2, {RECODE_OK, 1, "\xD0\x90"}},  // exactly the room needed
        {CODES_UTF8, CODES_UTF8, "abc", 3, {RECODE_OK, 3, "abc"}},
        {CODES_WIN,
         CODES_UTF8,
         std::string("\0\x88", 2),
         8,
         {RECODE_OK, 2, std::string("\0\xE2\x82\xAC", 4)}},
        {CODES_UTF8, CODES_WIN, "\xE2\x82\xAC", 8, {RECODE_OK, 3, "\x88"}},
        {CODES_UTF8, CODES_UTF8, "\xE2\x82", 8, {RECODE_OK, 2, "\xE2\x82"}},
        {CODES_WIN, 1, "\xC6\xE6z", 8, {RECODE_OK, 3, "\xF6\xD6z"}},
        {CODES_WIN, 1, "\xC6\xE6z", 1, {RECODE_EOOUTPUT, 1, "\xF6"}},
        {2, CODES_WIN, "\x80\xE0\xB0", 8, {RECODE_OK, 3, "\xC0\xF0?"}},
        {CODES_WIN, 14, "\xC0", 8, {RECODE_OK, 1, "?"}},
        {14, CODES_WIN, "\xC0", 8, {RECODE_OK, 1, "?"}},
    };
    ExpectRecodes(cases);
}

TEST(Recode, RefusesCodesOutsideTheTable) {
    for (auto [from, to] : {std::pair{113, 0}, {0, 113}, {-1, 0}, {0, -2}, {-1, -1}}) {
        EXPECT_EQ(RunRecode(from, to, "abc", 8), (TResult{RECODE_ERROR, 0, ""}));
    }
}

TEST(RecodeFromUtf8, ReplacesWhatThePageLacksAndReportsMalformedInput) {
    const struct {
        ECharset To;
        std::string Src;
        size_t DstLen;
        TResult Expected;
    } cases[] = {
        {CODES_WIN, "\xE2\x82\xAC", 8, {RECODE_OK, 3, "\x88"}},
        {CODES_WIN, "\xF0\x9F\x98\x80", 8, {RECODE_OK, 4, "?"}},
        {CODES_KORVEL, "\xF0\x9F\x98\x80", 8, {RECODE_OK, 4, "\xB0"}},
        {CODES_WIN, "\xE2", 8, {RECODE_EOINPUT, 0, ""}},
        {CODES_WIN, "ab\xE2\x82", 8, {RECODE_EOINPUT, 2, "ab"}},
        {CODES_WIN, "a\x80z", 8, {RECODE_OK, 3, "a?z"}},
        {CODES_WIN, "az\x80", 8, {RECODE_BROKENSYMBOL, 3, "az?"}},
        {CODES_KORVEL,
         "\xC0\x80",
         8,
         {RECODE_BROKENSYMBOL, 2, "\xB0\xB0"}},  // overlong NUL: two bad bytes
        {CODES_WIN, "\xED\xA0\x80", 8, {RECODE_BROKENSYMBOL, 3, "???"}},
        {CODES_WIN, "abc", 2, {RECODE_EOOUTPUT, 2, "ab"}},
        {CODES_WIN, "abc", 0, {RECODE_EOOUTPUT, 0, ""}},
        {CODES_WIN, std::string("\0\xD0\x90", 3), 8, {RECODE_OK, 3, std::string("\0\xC0", 2)}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunFromUtf8(c.To, c.Src, c.DstLen), c.Expected) << c.Src;
    }
}

TEST(RecodeFromUtf8, RefusesPagesWithoutATable) {
    char dst[8];
    size_t read, written;
    // "unknown" (-1) and "unsupported" (-2) are records without a table too.
    for (ECharset code : {11, 99, CODES_UNKNOWN, CODES_UNSUPPORTED}) {
        try {
            RecodeFromUtf8(code, "a", dst, 1, 8, read, written);
            ADD_FAILURE() << code;
        } catch (const kexception& e) {
            EXPECT_STREQ(e.what(), "Encoder structure can only be used for single byte encodings")
                << code;
        }
        try {
            RecodeToUtf8(code, "a", dst, 1, 8, read, written);
            ADD_FAILURE() << code;
        } catch (const kexception& e) {
            EXPECT_STREQ(e.what(), "CodePage structure can only be used for single byte encodings")
                << code;
        }
    }
}

struct TSample {
    const char* Charset;
    std::string Bytes;
    std::u16string Text;
};

// Known encodings of short texts: Cyrillic, Japanese, Chinese, and a character outside the
// basic plane.
const TSample SAMPLES[] = {
    {"UTF-16LE", std::string("A\0\x36\x04\x3D\xD8\x00\xDE", 8), u"A\u0436\U0001F600"},
    {"UTF-16BE", std::string("\0A\x04\x36\xD8\x3D\xDE\x00", 8), u"A\u0436\U0001F600"},
    {"Shift_JIS", "\x93\xFA\x96\x7B\x8C\xEA\x83\x65\x83\x58\x83\x67 a", u"日本語テスト a"},
    {"EUC-JP", "\xC6\xFC\xCB\xDC\xB8\xEC\xA5\xC6\xA5\xB9\xA5\xC8 a", u"日本語テスト a"},
    {"GB18030", "\xD6\xD0\xCE\xC4\x81\x30\x81\x30\x94\x39\xFC\x36", u"中文\u0080\U0001F600"},
    {"Big5", "\xA4\xA4\xA4\xE5x", u"中文x"},
    {"utf-8", "\xD0\x96\xF0\x9F\x98\x80", u"Ж\U0001F600"},
    {"windows-1251", "\xC6\xE6\x88", u"Жж€"},
};

TEST(RecodeUtf16, DecodesAndReencodesMultibyteSamplesUnchanged) {
    for (const TSample& s : SAMPLES) {
        const ECharset code = CharsetByName(s.Charset);
        ASSERT_GE(code, 0) << s.Charset;
        const TUtf16String wide = RecodeToUtf16(code, s.Bytes.data(), s.Bytes.size());
        EXPECT_EQ(std::u16string(wide.data(), wide.size()), s.Text) << s.Charset;
        const Stroka back = RecodeFromUtf16(code, wide.data(), wide.size());
        EXPECT_EQ(std::string(back.data(), back.size()), s.Bytes) << s.Charset;
    }
}

TEST(Recode, ConvertsMultibyteSamplesToUtf8AndBack) {
    std::string utf8[std::size(SAMPLES)];
    for (size_t i = 0; i < std::size(SAMPLES); ++i) {
        const TSample& s = SAMPLES[i];
        const ECharset code = CharsetByName(s.Charset);
        const Stroka expected = RecodeFromUtf16(CODES_UTF8, s.Text.data(), s.Text.size());
        const TResult there = RunRecode(code, CODES_UTF8, s.Bytes, 64);
        EXPECT_EQ(there, (TResult{RECODE_OK, s.Bytes.size(),
                                  std::string(expected.data(), expected.size())}))
            << s.Charset;
        EXPECT_EQ(RunRecode(CODES_UTF8, code, there.Out, 64),
                  (TResult{RECODE_OK, there.Out.size(), s.Bytes}))
            << s.Charset;
    }
}

// A multibyte text cut inside its last character reports the cut and leaves those bytes
// unread, so that a caller can carry them over to the next block.
TEST(Recode, LeavesAnIncompleteMultibyteTailUnread) {
    EXPECT_EQ(RunRecode(99, CODES_UTF8, "\xC6\xFC\xC6", 16),
              (TResult{RECODE_EOINPUT, 2, "\xE6\x97\xA5"}));
    EXPECT_EQ(RunRecode(CODES_UTF16LE, CODES_WIN, std::string("\x16\x04\x16", 3), 16),
              (TResult{RECODE_EOINPUT, 2, "\xC6"}));
    // Katakana has no windows-1251 byte: the page's replacement byte stands for it.
    EXPECT_EQ(RunRecode(99, CODES_WIN, "\xA5\xC6\xA5", 16), (TResult{RECODE_EOINPUT, 2, "?"}));
}

TEST(Recode, LeavesOutInvalidMultibyteInput) {
    EXPECT_EQ(RunRecode(99, CODES_UTF8, "\xC6\xFC\xFF\xCB\xDC", 16),
              (TResult{RECODE_OK, 5, "\xE6\x97\xA5\xE6\x9C\xAC"}));
    // An Arabic letter has no Shift_JIS form: left out, the rest goes on.
    EXPECT_EQ(RunRecode(CODES_UTF16LE, 112,
                        std::string("A\0\x27\x06"
                                    "B\0",
                                    6),
                        16),
              (TResult{RECODE_OK, 6, "AB"}));
}

TEST(Recode, ReportsAFullOutputOnTheIconvPath) {
    const TResult r = RunRecode(99, CODES_UTF8, "\xC6\xFC\xCB\xDC", 4);
    EXPECT_EQ(r.Status, RECODE_EOOUTPUT);
    EXPECT_EQ(r.Read, 2u);
    EXPECT_EQ(r.Out, "\xE6\x97\xA5");
}

// iconv does not know the system's own page: the text goes through UTF-16 in two steps.
TEST(Recode, GoesThroughUtf16WhereIconvLacksAPage) {
    EXPECT_EQ(RunRecode(CODES_KORVEL, 99, "\xC0\xE0z", 16),
              (TResult{RECODE_OK, 3, "\xA7\xA1\xA7\xD1z"}));
    EXPECT_EQ(RunRecode(99, CODES_KORVEL, "\xA7\xA1\xA7\xD1z", 16),
              (TResult{RECODE_OK, 5, "\xC0\xE0z"}));
    EXPECT_EQ(RunRecode(14, CODES_UTF16LE, "A", 16),
              (TResult{RECODE_OK, 1, std::string("\x41\xF0", 2)}));
}

// When the output fills up on the way through UTF-16, only the source bytes whose characters
// were written count as read, so that the caller goes on from the first one left out.
TEST(Recode, CountsOnlyWrittenCharactersAsReadThroughUtf16) {
    const TRecodeCase cases[] = {
        {CODES_WIN, 1, "\xC6\xE6z", 2, {RECODE_EOOUTPUT, 2, "\xF6\xD6"}},
        {CODES_KORVEL, 99, "\xC0\xE0", 3, {RECODE_EOOUTPUT, 1, "\xA7\xA1"}},
        {CODES_KORVEL,
         CODES_UTF16LE,
         "\xC0\xE0",
         3,
         {RECODE_EOOUTPUT, 1, std::string("\x10\x04", 2)}},
        {99, CODES_KORVEL, "\xA7\xA1\xA7\xD1z", 1, {RECODE_EOOUTPUT, 2, "\xC0"}},
        {99, CODES_KORVEL, "\xA7\xA1\xA7\xD1z", 2, {RECODE_EOOUTPUT, 4, "\xC0\xE0"}},
        // One Big5-HKSCS character gives two units (E with a macron above); with room for
        // only the first, the character is neither written nor read.
        {91, CODES_KORVEL, "a\x88\x62", 2, {RECODE_EOOUTPUT, 1, "a"}},
        {91, CODES_KORVEL, "a\x88\x62", 3, {RECODE_OK, 3, "aE\x80"}},
        {CharsetByName("TCVN"), CharsetByName("SHIFT_JIS"), "CD", 1, {RECODE_EOOUTPUT, 1, "C"}},
    };
    ExpectRecodes(cases);
}

// What a converter writes only at the end of the text must fit too, or the output is full and
// nothing counts as read: ISO-2022-KR opens every text with a header, an empty one too.
TEST(Recode, ReportsAFullOutputWhereTheEndOfTheTextDoesNotFit) {
    const ECharset kr = CharsetByName("ISO-2022-KR");
    const TRecodeCase cases[] = {
        {CODES_WIN, kr, "", 0, {RECODE_EOOUTPUT, 0, ""}},
        {CODES_WIN, kr, "", 3, {RECODE_EOOUTPUT, 0, ""}},
        {CODES_WIN, kr, "", 4, {RECODE_OK, 0, "\x1B$)C"}},
        {CODES_UTF8, kr, "", 0, {RECODE_EOOUTPUT, 0, ""}},
        {CODES_UTF8, kr, "a", 0, {RECODE_EOOUTPUT, 0, ""}},
        {CODES_UTF8, kr, "a", 5, {RECODE_OK, 1, "\x1B$)Ca"}},
        {CharsetByName("EUC-CN"), kr, "", 3, {RECODE_EOOUTPUT, 0, ""}},
        {CharsetByName("EUC-CN"), kr, "", 4, {RECODE_OK, 0, "\x1B$)C"}},
        {CODES_KORVEL, kr, "", 8, {RECODE_OK, 0, "\x1B$)C"}},
        // A target without a header still takes an empty text into no room at all.
        {CODES_UTF8, 107, "", 0, {RECODE_OK, 0, ""}},
    };
    ExpectRecodes(cases);
}

// Each call ends a stateful target's text in its initial shift state, on the direct iconv
// path (from UTF-8) and through UTF-16 (from code 9, which iconv does not know), so that
// pieces converted one by one can be written back to back.
TEST(Recode, EndsAStatefulTargetInItsInitialState) {
    const ECharset jp = 107;  // ISO-2022-JP
    EXPECT_EQ(RunRecode(13, jp, "\xD0\x96", 16), (TResult{RECODE_OK, 2, "\x1B$B\x27\x28\x1B(B"}));
    EXPECT_EQ(RunRecode(9, jp, "\xC6", 16), (TResult{RECODE_OK, 1, "\x1B$B\x27\x28\x1B(B"}));
    // No room for the closing shift: fewer characters are written and read, and the output
    // still ends in the initial state (an "a" after it reads as "a"). The shift sequences
    // around no character at all are iconv's to choose, so the text is checked, not the bytes.
    const struct {
        ECharset From;
        std::string Src;
        size_t DstLen;
        size_t Read;
        std::u16string Text;
    } cases[] = {
        {CODES_UTF8, "\xD0\x96", 6, 0, u""},
        {CODES_UTF8, "a\xD0\x96", 7, 1, u"a"},
        {CODES_UTF8, "a\xD0\x96\xD0\x96", 10, 3, u"a\u0416"},
        {CODES_KORVEL, "a\xC6\xC6", 10, 2, u"a\u0416"},
    };
    for (const auto& c : cases) {
        const TResult r = RunRecode(c.From, jp, c.Src, c.DstLen);
        EXPECT_EQ(r.Status, RECODE_EOOUTPUT) << c.Src;
        EXPECT_EQ(r.Read, c.Read) << c.Src;
        const std::string next = r.Out + "a";
        const TUtf16String text = RecodeToUtf16(jp, next.data(), next.size());
        EXPECT_EQ(std::u16string(text.data(), text.size()), c.Text + u"a") << c.Src;
    }
}

// Every multibyte page of the table opens, HZ and ISO-2022-JP-1 through layers of our own,
// on the direct path and through UTF-16.
TEST(Recode, OpensEveryMultibytePage) {
    for (ECharset code = 90; code <= 112; ++code) {
        EXPECT_EQ(RunRecode(code, 13, "abc", 16), (TResult{RECODE_OK, 3, "abc"})) << code;
        for (ECharset from : {0, 9}) {  // ISO-2022-KR writes its header first
            const TResult r = RunRecode(from, code, "abc", 16);
            EXPECT_EQ(r.Status, RECODE_OK) << code;
            EXPECT_EQ(r.Read, 3u) << code;
            EXPECT_EQ(RunRecode(code, 13, r.Out, 16), (TResult{RECODE_OK, r.Out.size(), "abc"}))
                << code;
        }
    }
    // The two editions of Big5-HKSCS open the current converter.
    for (ECharset code : {92, 93}) {
        EXPECT_EQ(RunRecode(code, 13, "\xA4\xA4", 16), (TResult{RECODE_OK, 2, "\xE4\xB8\xAD"}));
    }
}

// glibc converts some pairs of its pages directly, with mappings and faults of their own;
// Recode takes every pair through Unicode, so each gives what the text read into UTF-8 and
// written from there gives: what the target lacks is left out (a single-byte page writes its
// replacement byte) and nothing else changes.
TEST(Recode, GoesThroughUnicodeBetweenMultibytePages) {
    const std::string sentence = "\xD6\xD0\xCE\xC4\xB5\xC4\xBE\xE4\xD7\xD3";  // EUC-CN
    const std::string hanziMama = "\xBA\xBA\xD7\xD6 \xA7\xDE\xA7\xD1\xA7\xDE\xA7\xD1";
    const struct {
        const char* From;
        const char* To;
        std::string Src;
        std::u16string Text;  // the output, read back
    } cases[] = {
        // glibc's GB2312-to-GBK converter drops the last character of each call.
        {"EUC-CN", "GBK", sentence, u"中文的句子"},
        {"EUC-CN", "CP936", sentence, u"中文的句子"},
        {"HZ", "GBK", "~{VPND~}", u"中文"},
        {"HZ", "CP936", "~{VPND~} x", u"中文 x"},
        // GBK's em dash is not GB2312's horizontal bar at the same bytes.
        {"GBK", "EUC-CN", "\xA1\xAA", u""},
        {"CP936", "EUC-CN", "a\xA1\xAA", u"a"},
        // No box for what Big5 lacks, and no swap of simplified and traditional forms.
        {"EUC-CN", "BIG5", hanziMama, u"字 "},
        {"EUC-CN", "CP950", hanziMama, u"字 "},
        {"HZ", "BIG5", "~{::WV~}", u"字"},
        {"BIG5", "EUC-CN", "\xBB\x50\xBA\x7E\xA6\x72", u"字"},
        {"CP950", "EUC-CN", "\xBB\x50\xBA\x7E\xA6\x72", u"字"},
        // ISO-2022-CN-EXT into a page that lacks a character: the rest stays text.
        {"ISO-2022-CN-EXT", "windows-1251", "\x1B$)A\x0EVPND\x0F \x0E'^'Q'^'Q\x0F", u"?? мама"},
        {"ISO-2022-CN-EXT", "EUC-KR", "\x1B$)A\x0E::WV\x0F \x0E'^'Q'^'Q\x0F", u"字 мама"},
        {"ISO-2022-CN-EXT", "SHIFT_JIS", "\x1B$)A\x0E::WV\x0F \x0E'^'Q'^'Q\x0F", u"字 мама"},
    };
    for (const auto& c : cases) {
        const ECharset from = CharsetByName(c.From);
        const ECharset to = CharsetByName(c.To);
        const TResult r = RunRecode(from, to, c.Src, 64);
        EXPECT_EQ(r.Status, RECODE_OK) << c.From << " -> " << c.To;
        EXPECT_EQ(r.Read, c.Src.size()) << c.From << " -> " << c.To;
        const TUtf16String text = RecodeToUtf16(to, r.Out.data(), r.Out.size());
        EXPECT_EQ(std::u16string(text.data(), text.size()), c.Text) << c.From << " -> " << c.To;
        const TResult utf8 = RunRecode(from, CODES_UTF8, c.Src, 64);
        EXPECT_EQ(RunRecode(CODES_UTF8, to, utf8.Out, 64).Out, r.Out) << c.From << " -> " << c.To;
    }
}

TEST(RecodeUtf16, WritesSurrogatesAndReplacements) {
    const std::u16string text = {0x41, 0xD83D, 0xDE00, 0xD800, 0x42, 0xDC00, 0xD800};
    const struct {
        ECharset Code;
        std::string Bytes;
    } cases[] = {
        {0,
         "A?\x3F"
         "B??"},
        {9,
         "A\xB0\xB0"
         "B?\xB0"},
        {13,
         "A\xF0\x9F\x98\x80\xEF\xBF\xBD"
         "B\xED\xB0\x80\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        const Stroka out = RecodeFromUtf16(c.Code, text.data(), text.size());
        EXPECT_EQ(std::string(out.data(), out.size()), c.Bytes) << c.Code;
    }
    // The last code point, from its surrogate pair.
    const std::u16string last = {0xDBFF, 0xDFFF};
    const Stroka utf8 = RecodeFromUtf16(13, last.data(), last.size());
    EXPECT_EQ(std::string(utf8.data(), utf8.size()), "\xF4\x8F\xBF\xBF");
    const std::u16string nul(1, 0);
    EXPECT_EQ(RecodeFromUtf16(0, nul.data(), 1).size(), 1u);
    EXPECT_TRUE(RecodeFromUtf16(99, nul.data(), 0).empty());
    EXPECT_TRUE(RecodeToUtf16(99, "", 0).empty());
}

// The stateful pages spend shift sequences on top of the characters, several bytes for one
// unit, and end their text in the initial shift state so that text written after it (here
// the "a" of a following piece) reads as written.
TEST(RecodeUtf16, WritesStatefulPagesWholeAndBackInTheirInitialState) {
    const struct {
        const char* Charset;
        std::u16string Text;
        std::string Bytes;
    } cases[] = {
        {"ISO-2022-KR", u"\uAC00", "\x1B$)C\x0E\x30\x21\x0F"},
        {"ISO-2022-JP", u"\u3042", "\x1B$B\x24\x22\x1B(B"},
        {"ISO-2022-JP", u"a\u3042a\u3042", "a\x1B$B\x24\x22\x1B(Ba\x1B$B\x24\x22\x1B(B"},
    };
    for (const auto& c : cases) {
        const ECharset code = CharsetByName(c.Charset);
        const Stroka bytes = RecodeFromUtf16(code, c.Text.data(), c.Text.size());
        EXPECT_EQ(std::string(bytes.data(), bytes.size()), c.Bytes) << c.Charset;
        const std::string joined = c.Bytes + "a";
        const TUtf16String back = RecodeToUtf16(code, joined.data(), joined.size());
        EXPECT_EQ(std::u16string(back.data(), back.size()), c.Text + u"a") << c.Charset;
    }
    // A long text of alternating scripts needs far more than four bytes a unit.
    std::u16string mixed;
    for (int i = 0; i < 200; ++i) {
        mixed += u"a\u3042";
    }
    const ECharset jp = CharsetByName("ISO-2022-JP");
    const Stroka bytes = RecodeFromUtf16(jp, mixed.data(), mixed.size());
    EXPECT_GT(bytes.size(), 4 * mixed.size());
    const TUtf16String back = RecodeToUtf16(jp, bytes.data(), bytes.size());
    EXPECT_EQ(std::u16string(back.data(), back.size()), mixed);
}

TEST(RecodeWithIconv, ReportsWhatIconvCannotDo) {
    char out[64];
    size_t read = 0, written = 0;
    const struct {
        ECharset Code;
        const char* Other;
        std::string Src;
        size_t DstLen;
        bool FromOther;
        const char* Message;
    } cases[] = {
        {104, "NO-SUCH-CODE", "abc", 64, false, "Can not convert from HZ to NO-SUCH-CODE"},
        {108, "NO-SUCH-CODE", "abc", 64, true,
         "Can not convert from NO-SUCH-CODE to ISO-2022-JP-1"},
        {99, "NO-SUCH-CODE", "abc", 64, false, "Can not convert from EUC-JP to NO-SUCH-CODE"},
        {99, "UTF-16LE", "abcd", 3, false, "Iconv error: output buffer is too small"},
        // Room for the character but not for the shift back to ASCII after it.
        {107, "UTF-8", "\xE3\x81\x82", 5, true, "Iconv error: output buffer is too small"},
    };
    for (const auto& c : cases) {
        try {
            RecodeWithIconv(c.Code, c.Other, c.Src.data(), out, c.Src.size(), c.DstLen, read,
                            written, c.FromOther);
            ADD_FAILURE() << c.Message;
        } catch (const kexception& e) {
            EXPECT_STREQ(e.what(), c.Message);
        }
    }
    RecodeWithIconv(99, "UTF-8", "\xC6\xFC\xC6", out, 3, 64, read, written);
    EXPECT_EQ(read, 2u);
    EXPECT_EQ(std::string(out, written), "\xE6\x97\xA5");
    RecodeWithIconv(107, "UTF-8", "\xE3\x81\x82", out, 3, 8, read, written, true);
    EXPECT_EQ(read, 3u);
    EXPECT_EQ(std::string(out, written), "\x1B$B\x24\x22\x1B(B");
}

TEST(RecodeToUtf16, DecodesUtf8Strictly) {
    EXPECT_THROW(RecodeToUtf16(CODES_UTF8, "\xC0\x80", 2), kexception);
    const TUtf16String s = RecodeToUtf16(CODES_KORVEL, "\x9F\xC0", 2);
    EXPECT_EQ(std::u16string(s.data(), s.size()), u"\u92CF\u0410");
}

std::u16string Plane(std::u16string text, ECharset code) {
    wchar16* begin = text.data();
    wchar16* end = begin + text.size();
    DecodeUnknownPlane(begin, end, code);
    return std::u16string(begin, end);
}

TEST(DecodeUnknownPlane, DecodesRunsOfCarriedBytes) {
    const struct {
        std::u16string Text;
        ECharset Code;
        std::u16string Expected;
    } cases[] = {
        {u"a\uF0C0\uF041b", CODES_UNKNOWN, u"a\u00C0Ab"},
        {u"a\uF0D0\uF090b\uF0D0", CODES_UTF8, u"a\u0410b\uFFFD"},
        {u"\uF0F0\uF09F\uF098\uF080.", CODES_UTF8, u" ."},
        {u"\uF0C0\uF080\uF0FF", CODES_UTF8, u"\uFFFD\uFFFD\uFFFD"},
        {u"x\uF0C0\uF0E0y", CODES_WIN, u"x\u0410\u0430y"},
        {u"\uF0C6\uF0FC-\uF0CB\uF0DC", 99, u"\u65E5-\u672C"},
        {u"\uF0C0z", 104, u"z"},  // HZ is 7-bit: the byte is invalid and left out
        {u"\uF041\uF0C0", 500, u"A\uFFC0"},
        {u"plain", CODES_UTF8, u"plain"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Plane(c.Text, c.Code), c.Expected) << c.Code;
    }
}

}  // namespace
