#include "lemmer/alphabet/unicode_services.h"

#include <gtest/gtest.h>

#include <string>

namespace NUnicodeServicesTest {
using namespace NLemmer;

namespace {

std::u16string Decompose(const std::u16string& s, size_t room = 64, bool* complete = nullptr) {
    std::u16string out(room, u'\0');
    const TUnicodeNormResult r = DecomposeWord(s.data(), s.size(), out.data(), room);
    EXPECT_TRUE(r.Changed);
    if (complete) {
        *complete = r.Complete;
    }
    out.resize(r.Length);
    return out;
}

std::u16string Compose(const std::u16string& s, size_t room = 64, bool* complete = nullptr) {
    std::u16string out(room, u'\0');
    const TUnicodeNormResult r = ComposeWord(s.data(), s.size(), out.data(), room);
    EXPECT_TRUE(r.Changed);
    if (complete) {
        *complete = r.Complete;
    }
    out.resize(r.Length);
    return out;
}

}  // namespace

TEST(UnicodeServices, PropertyRecordFallsBackBeyondTheCodeSpace) {
    EXPECT_EQ(GetUnicodeCharInfo(u'a')->Category(), UC_LOWER);
    EXPECT_EQ(GetUnicodeCharInfo(0x0416)->Category(), UC_UPPER);
    EXPECT_EQ(GetUnicodeCharInfo(0x0301)->Category(), UC_MARK_NONSPACING);
    EXPECT_EQ(GetUnicodeCharInfo(0x200000), GetUnicodeCharInfo(0xE001));
    EXPECT_EQ(GetUnicodeCharInfo(0x200000)->Category(), 0u);
}

TEST(UnicodeServices, DecomposesCompatibilityFormsAndOrdersMarks) {
    struct TCase {
        std::u16string In;
        std::u16string Out;
    } cases[] = {
        {u"\uFB01", u"fi"},
        {u"\u00BD", u"1\u20442"},
        {u"\u0401", u"\u0415\u0308"},
        {u"\u0451\u0436", u"\u0435\u0308\u0436"},
        // Marks out of canonical order: U+0323 (class 220) goes before U+0301 (230).
        {u"a\u0301\u0323", u"a\u0323\u0301"},
        {u"word", u"word"},
        {u"\U0001D400", u"A"},  // a supplementary letter with a compatibility mapping
        {u"x\xD800", u"x\uFFFD"},
        {u"", u""},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Decompose(c.In), c.Out) << std::string(c.In.begin(), c.In.end());
    }
}

TEST(UnicodeServices, ComposesCanonicallyButKeepsCompatibilitySplits) {
    struct TCase {
        std::u16string In;
        std::u16string Out;
    } cases[] = {
        {u"\u0415\u0308", u"\u0401"},
        {u"\u0435\u0308\u0436", u"\u0451\u0436"},
        {u"\uFB01", u"fi"},
        {u"a\u0301\u0323", u"\u1EA1\u0301"},  // a + dot below composes first
        {u"\u0418\u0306", u"\u0419"},
        {u"\u1100\u1161", u"\uAC00"},  // Hangul syllable
        {u"\xD800", u"\uFFFD"},
        {u"plain", u"plain"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Compose(c.In), c.Out) << std::string(c.In.begin(), c.In.end());
    }
}

TEST(UnicodeServices, CutsAtTheOutputSize) {
    bool complete = true;
    EXPECT_EQ(Decompose(u"abc", 2, &complete), u"ab");
    EXPECT_FALSE(complete);
    EXPECT_EQ(Decompose(u"\u00BD", 2, &complete), u"1\u2044");
    EXPECT_FALSE(complete);
    // A surrogate pair that does not fit whole is left out.
    EXPECT_EQ(Decompose(u"a\U0001F600", 2, &complete), u"a");
    EXPECT_FALSE(complete);
    EXPECT_EQ(Compose(u"\u0415\u0308x", 1, &complete), u"\u0401");
    EXPECT_FALSE(complete);
    EXPECT_EQ(Compose(u"ab", 2, &complete), u"ab");
    EXPECT_TRUE(complete);
}

TEST(UnicodeServices, MapsCaseOverSurrogatesInPlace) {
    std::u16string s = u"\u0130Ab\U00010400\xD800";
    std::u16string out(s.size(), u'\0');
    out.resize(ToLowerUtf16(s.data(), s.size(), out.data()));
    EXPECT_EQ(out, u"iab\U00010428\uFFFD");

    std::u16string inPlace = u"\u0451\u0436\U00010428";
    inPlace.resize(ToUpperUtf16(inPlace.data(), inPlace.size(), inPlace.data()));
    EXPECT_EQ(inPlace, u"\u0401\u0416\U00010400");

    std::u16string title = u"\u01C6ABC";  // dz digraph: title case is U+01C5
    title.resize(ToTitleUtf16(title.data(), title.size(), title.data()));
    EXPECT_EQ(title, u"\u01C5abc");

    // A lone low surrogate passes unchanged.
    std::u16string low = u"A\xDC00";
    low.resize(ToLowerUtf16(low.data(), low.size(), low.data()));
    EXPECT_EQ(low, u"a\xDC00");
}

}  // namespace NUnicodeServicesTest
