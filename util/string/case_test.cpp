#include "util/string/case.h"

#include "util/charset/codepage.h"
#include "util/generic/exception.h"
#include "util/testing/utf.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using U16 = std::u16string;

U16 StdText(const TUtf16String& s) {
    return U16(s.data(), s.size());
}

const CodePage& PageOf(ECharset code) {
    return CodePageRegistry::Instance()[code];
}

TEST(Utf16Case, ChangesCodePointsOfTheRange) {
    enum EOp { Lower, Upper, Title };
    struct TCase {
        EOp Op;
        U16 Source;
        size_t Pos;
        size_t N;
        U16 Expected;
        bool Changed;
    };
    const size_t all = CASE_WHOLE_STRING;
    const TCase cases[] = {
        {Upper, u"abc", 0, all, u"ABC", true},
        {Lower, u"\u041F\u0420\u0418\u0412\u0415\u0422", 0, all,
         u"\u043F\u0440\u0438\u0432\u0435\u0442", true},
        {Lower, u"ABC", 1, 1, u"AbC", true},
        {Lower, u"ABC", 1, 100, u"Abc", true},  // n larger than what remains
        {Lower, u"ABC", 3, 1, u"ABC", false},
        {Lower, u"ABC", 10, all, u"ABC", false},  // pos beyond the length
        {Lower, u"ABC", 0, 0, u"ABC", false},
        {Upper, u"abc", 0, all, u"ABC", true},
        {Upper, u"ABC1", 0, all, u"ABC1", false},
        {Upper,
         u"\xD800"
         u"a",
         0, all,
         u"\xD800"
         u"A",
         true},  // lone high surrogate stays
        {Upper,
         u"\xDC00"
         u"a",
         0, all,
         u"\xDC00"
         u"A",
         true},                                                 // lone low surrogate too
        {Lower, u"\U00010400x", 0, all, u"\U00010428x", true},  // a pair becomes a pair
        {Upper, u"\U00010428", 0, all, u"\U00010400", true},
        {Lower, u"\U00010400", 0, 1, u"\U00010400", false},  // the range cuts the pair
        {Lower, u"\u0130", 0, all, u"i", true},
        {Upper, u"\u00DF", 0, all, u"\u00DF", false},  // no one-unit upper case
        {Upper, u"\u00FF", 0, all, u"\u0178", true},
        {Title, u"hELLO", 0, all, u"Hello", true},
        {Title, u"\u01C6EMAL", 0, all, u"\u01C5emal", true},
        {Title, u"\U00010428\U00010400", 0, all, u"\U00010400\U00010428", true},
        {Title, u"Hello", 0, all, u"Hello", false},
        {Title, u"", 0, all, u"", false},
    };
    for (const TCase& c : cases) {
        TUtf16String s = NTesting::Wide(c.Source);
        bool changed = false;
        switch (c.Op) {
            case Lower:
                changed = ToLower(s, c.Pos, c.N);
                break;
            case Upper:
                changed = ToUpper(s, c.Pos, c.N);
                break;
            case Title:
                changed = ToTitle(s);
                break;
        }
        EXPECT_EQ(StdText(s), c.Expected) << int(c.Op) << " case " << (&c - cases);
        EXPECT_EQ(changed, c.Changed) << int(c.Op) << " case " << (&c - cases);
    }
}

TEST(Utf16Case, CopiesASharedStringOnlyWhenItChanges) {
    const TUtf16String original = NTesting::Wide(u"abc");
    TUtf16String copy = original;
    EXPECT_TRUE(ToUpper(copy));
    EXPECT_EQ(StdText(copy), u"ABC");
    EXPECT_EQ(StdText(original), u"abc");

    TUtf16String same = original;
    EXPECT_FALSE(ToLower(same));
    EXPECT_EQ(same.data(), original.data());  // still shared
}

TEST(ByteCase, ChangesBytesThroughThePageTables) {
    Stroka s("hELLO");
    EXPECT_TRUE(ToTitle(s, PageOf(CODES_WIN)));
    EXPECT_EQ(s, TCharRange("Hello"));
    EXPECT_FALSE(ToTitle(s, PageOf(CODES_WIN)));

    Stroka cyr("\xCF\xD0\xC8");  // windows-1251 capitals
    EXPECT_TRUE(ToLower(cyr, 1, CASE_WHOLE_STRING, PageOf(CODES_WIN)));
    EXPECT_EQ(cyr, TCharRange("\xCF\xF0\xE8"));
    EXPECT_FALSE(ToLower(cyr, 5, 1, PageOf(CODES_WIN)));

    Stroka korvel("\x8C\x9B");  // accented small letters whose capitals code 9 lacks
    EXPECT_TRUE(ToUpper(korvel, 0, CASE_WHOLE_STRING, PageOf(CODES_KORVEL)));
    EXPECT_EQ(korvel, TCharRange("EO"));
}

TEST(ByteCase, CopiesASharedStringOnlyWhenItChanges) {
    const Stroka original("abc");
    Stroka copy = original;
    EXPECT_TRUE(ToUpper(copy, 0, 2, PageOf(CODES_WIN)));
    EXPECT_EQ(copy, TCharRange("ABc"));
    EXPECT_EQ(original, TCharRange("abc"));

    Stroka same = original;
    EXPECT_FALSE(ToLower(same, 0, CASE_WHOLE_STRING, PageOf(CODES_WIN)));
    EXPECT_EQ(same.data(), original.data());
}

TEST(ByteCase, RejectsARecordOutsideTheTable) {
    Stroka s("abc");
    EXPECT_THROW(ToLower(s, 0, CASE_WHOLE_STRING, PageOf(CODES_UNKNOWN)), kexception);
}

}  // namespace
