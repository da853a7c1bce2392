#include "util/string/escape.h"
#include "util/testing/utf.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using NTesting::Std;
Stroka S(const std::string& s) {
    return Stroka(s.data(), s.size());
}

// Escaping cases: the raw text and its escaped form.
struct TEscapeCase {
    std::string Raw;
    std::string Escaped;
};

struct TWideCase {
    std::u16string Raw;
    std::u16string Escaped;
};

// Unescaping cases: the escaped text and what it reads as.
struct TUnescapeCase {
    std::string Escaped;
    std::string Raw;
};

struct TWideUnescapeCase {
    std::u16string Escaped;
    std::u16string Raw;
};
}  // namespace

// The short forms are used only where the next character cannot be read as part of them.
TEST(Escape, ChoosesTheShortestUnambiguousForm) {
    const std::vector<TEscapeCase> cases = {
        {"", ""},
        {"plain text ~!", "plain text ~!"},
        {{'\x01', 'a'}, "\\1a"},
        {{'\x01', '5'}, "\\0015"},
        {{'\x01', 'g'}, "\\1g"},
        {{'\x01', '8'}, "\\18"},
        {{'\x01', 'F'}, "\\1F"},
        {{'\x00'}, "\\0"},
        {{'\x07', '\x07'}, "\\7\\7"},
        {{'\xFF', 'z'}, "\\xFFz"},
        {{'\xFF', 'F'}, "\\377F"},
        {{'\xFF', 'f'}, "\\377f"},
        {{'\x7F'}, "\\x7F"},
        {{'\x1B', '['}, "\\x1B["},
        {"\t\"\\", "\\t\\\"\\\\"},
        {"a\r\nb", "a\\r\\nb"},
        {{'\xD0', '\x96'}, "\\xD0\\x96"},
        {"'?", "'?"},
    };
    for (const TEscapeCase& c : cases) {
        EXPECT_EQ(Std(EscapeC(S(c.Raw))), c.Escaped) << "raw: " << c.Raw;
        // Unescaping gives the text back.
        EXPECT_EQ(Std(UnescapeC(S(c.Escaped))), c.Raw) << "escaped: " << c.Escaped;
    }
}

TEST(Escape, WideUnitsAboveByteRangeUseFourHexDigits) {
    const std::vector<TWideCase> cases = {
        {u"\u0416", u"\\u0416"},
        {u"\u0100", u"\\u0100"},  // the first unit above the byte range
        {u"\u00FF", u"\\xFF"},
        {u"\u00E9x", u"\\xE9x"},
        {u"\u00E9"
         u"1",
         u"\\3511"},
        {u"\u00E9\u0416", u"\\xE9\\u0416"},  // a unit of 256 or more is not a digit
        {{u'\x01', u'7'}, u"\\0017"},
        {u"\U0001F600", u"\\uD83D\\uDE00"},  // each surrogate on its own
        {u"\uFFFF", u"\\uFFFF"},
        {u"a\tb\"", u"a\\tb\\\""},
    };
    for (const TWideCase& c : cases) {
        EXPECT_EQ(Std(EscapeC(NTesting::Wide(c.Raw))), c.Escaped);
        EXPECT_EQ(Std(UnescapeC(NTesting::Wide(c.Escaped))), c.Raw);
    }
}

TEST(Escape, AppendsToTheGivenString) {
    Stroka out("x=");
    EscapeC("a\nb", 3, out);
    EXPECT_EQ(Std(out), "x=a\\nb");

    // The source may be the target itself.
    Stroka self("\"q\"");
    EscapeC(self.data(), self.size(), self);
    EXPECT_EQ(Std(self), "\"q\"\\\"q\\\"");
    Stroka selfU("\\n");
    UnescapeC(selfU, selfU);
    EXPECT_EQ(Std(selfU), "\\n\n");

    TUtf16String wide(u"<");
    EscapeC(u"\u0416", 1, wide);
    EXPECT_EQ(Std(wide), u"<\\u0416");
}

TEST(Escape, QuotesEscapedText) {
    EXPECT_EQ(Std(QuoteString(Stroka())), "\"\"");
    EXPECT_EQ(Std(QuoteString(S("say \"hi\"\n"))), "\"say \\\"hi\\\"\\n\"");
    EXPECT_EQ(Std(QuoteString(NTesting::Wide(u"\u0416\u0416"))), u"\"\\u0416\\u0416\"");
}

// Forms that escaping never produces: C escapes, short or missing digits, code points.
TEST(Unescape, ReadsEveryEscapeForm) {
    const std::vector<TUnescapeCase> cases = {
        {"\\x41\\x4", {'A', '\x04'}},
        {"\\x", "x"},
        {"\\xg", "xg"},
        {"\\x414", "A4"},
        {"\\u00e9", "\xC3\xA9"},
        {"\\u0041", "A"},
        {"\\u0416", "\xD0\x96"},
        {"\\u20AC", "\xE2\x82\xAC"},
        {"\\u12", "u12"},
        {"\\U0001F600", "\xF0\x9F\x98\x80"},
        {"\\U00000041", "A"},
        {"\\U000007FF", "\xDF\xBF"},
        {"\\UFFFFFFFF", "\xF7\xBF\xBF\xBF"},  // four bytes from the low 21 bits
        {"\\U1234567", "U1234567"},
        {"\\101", "A"},
        {"\\477", {'\x27', '7'}},
        {"\\0", {'\0'}},
        {"\\1234", "S4"},
        {"\\8\\9\\a\\v\\?\\'\\\"\\\\", "89av?'\"\\"},
        {"\\b\\f\\n\\r\\t", "\b\f\n\r\t"},
        {"end\\", "end"},
        {"\\", ""},
        {"no escapes", "no escapes"},
    };
    for (const TUnescapeCase& c : cases) {
        EXPECT_EQ(Std(UnescapeC(S(c.Escaped))), c.Raw) << "escaped: " << c.Escaped;
    }
}

TEST(Unescape, WideCodePointsBecomeUnitsOrSurrogatePairs) {
    const std::vector<TWideUnescapeCase> cases = {
        {u"\\u0416", u"\u0416"},         {u"\\U00000416", u"\u0416"},
        {u"\\U0001F600", u"\U0001F600"}, {u"\\U0010FFFD", u"\U0010FFFD"},
        {u"\\U0010FFFF", u"\U0010FFFF"}, {u"\\U00110000", u"\uFFFD"},
        {u"\\U7FFFFFFF", u"\uFFFD"},     {u"\\xe9\\x4", {u'\u00E9', u'\x04'}},
        {u"\\377", u"\u00FF"},           {u"\\u041", u"u041"},
        {u"\u0416\\", u"\u0416"},
    };
    for (const TWideUnescapeCase& c : cases) {
        EXPECT_EQ(Std(UnescapeC(NTesting::Wide(c.Escaped))), c.Raw);
    }
}
