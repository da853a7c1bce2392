#include "lemmer/alphabet/russian_normalizer.h"
#include "lemmer/alphabet/alphabet_registry.h"
#include "lemmer/alphabet/default_converter.h"

#include "util/charset/language.h"
#include "util/testing/utf.h"

#include <gtest/gtest.h>

#include <string>

namespace NRussianNormalizerTest {
using namespace NLemmer;

namespace {

struct THooked {
    std::u16string Text;
    TNormalizeResult R;
    bool Accepted = false;
};

THooked Hook(const TAlphabetWordNormalizer& n, const std::u16string& src, size_t room = 56) {
    std::u16string out(room, u'\0');
    THooked h;
    h.R = TNormalizeResult(src.size());
    h.Accepted = n.AdvancedConvert(src.data(), src.size(), out.data(), room, h.R);
    h.Text = out.substr(0, h.R.Length);
    return h;
}

// The two calls the analyser makes for every word: compose and derenyx into 112 units, then
// convert, hook and alphabet check into 56.
TNormalizeResult Lookup(int language, const std::u16string& word, std::u16string& out) {
    const TAlphabetWordNormalizer& n = *GetAlphabetWordNormalizer(language);
    wchar16 first[112];
    const TNormalizeResult a = n.NormalizeWord(word.data(), word.size(), first, 112, 0x0A);
    wchar16 second[56];
    TNormalizeResult b = n.NormalizeWord(first, a.Length, second, 56, 0x70);
    out.assign(second, b.Length);
    b.Valid = b.Valid && a.Valid;
    return b;
}

struct TOldSpelling {
    std::u16string In;
    std::u16string Out;
    bool Valid;
    bool Changed;
};

const TOldSpelling OLD_SPELLING[] = {
    {u"онѣ", u"они", true, true},
    {u"однѣ", u"одни", true, true},
    {u"однѣхъ", u"одних", true, true},
    {u"хлѣбъ", u"хлеб", true, true},
    {u"міръ", u"мир", true, true},
    {u"історія", u"істория", false, true},
    {u"безполезный", u"бесполезный", true, true},
    {u"разсказъ", u"рассказ", true, true},
    {u"возсоздать", u"воссоздать", true, true},
    {u"изслѣдованіе", u"исследование", true, true},
    {u"черезсчуръ", u"черессчур", true, true},
    {u"чрезсчуръ", u"чрессчур", true, true},
    {u"безъ", u"без", true, true},
    // Four units: no prefix rule.
    {u"разс", u"разс", true, false},
    // ъ after a vowel stays; a modern word is left alone.
    {u"подъ", u"под", true, true},
    {u"съѣзд", u"съезд", true, true},
    {u"слово", u"слово", true, false},
    {u"", u"", true, false},
};

}  // namespace

TEST(RussianNormalizer, HookRewritesOldSpelling) {
    const TAlphabetWordNormalizer& russian = *GetAlphabetWordNormalizer(LANG_RUS);
    for (const TOldSpelling& c : OLD_SPELLING) {
        SCOPED_TRACE(NTesting::Utf16ToUtf8(c.In));
        const THooked h = Hook(russian, c.In);
        EXPECT_TRUE(h.Accepted);
        EXPECT_EQ(h.Text, c.Out);
        EXPECT_EQ(h.R.Valid, c.Valid);
        EXPECT_EQ(h.R.Flags.Test(NS_ADVANCED_CONVERT), c.Changed);
    }
}

TEST(RussianNormalizer, AnalyserPipelineRewritesOldSpelling) {
    // The derenyx step turns ѣ into е before the hook runs; онѣ, однѣ and однѣхъ must still
    // become они, одни and одних.
    for (const TOldSpelling& c : OLD_SPELLING) {
        SCOPED_TRACE(NTesting::Utf16ToUtf8(c.In));
        std::u16string out;
        const TNormalizeResult r = Lookup(LANG_RUS, c.In, out);
        EXPECT_EQ(out, c.Out);
        EXPECT_EQ(r.Valid, c.Valid);
    }
    std::u16string out;
    EXPECT_TRUE(Lookup(LANG_RUS, u"онѣ", out).Flags.Test(NS_ADVANCED_CONVERT));
    // Spelt with е already, the words read the same way.
    Lookup(LANG_RUS, u"однехъ", out);
    EXPECT_EQ(out, u"одних");
    // Other words with е in that place are not touched.
    Lookup(LANG_RUS, u"онет", out);
    EXPECT_EQ(out, u"онет");
}

TEST(RussianNormalizer, HookEdgeCases) {
    const TAlphabetWordNormalizer& russian = *GetAlphabetWordNormalizer(LANG_RUS);
    // A Latin p after мі counts as р.
    EXPECT_EQ(Hook(russian, u"міp").Text, u"миp");
    const THooked h = Hook(russian, u"хлѣбъ", 3);
    EXPECT_EQ(h.Text, u"хле");
    EXPECT_FALSE(h.R.Valid);
}

TEST(DefaultConverter, FoldsDiacriticsAndCase) {
    const TAlphabetWordNormalizer& def = *GetAlphabetWordNormalizer(LANG_UNK);
    EXPECT_EQ(def.Alphabet(), nullptr);
    struct TCase {
        std::u16string In;
        std::u16string Out;
    } cases[] = {
        {u"Straße", u"strasse"}, {u"für", u"fuer"}, {u"Élan", u"elan"},
        {u"Ёлка", u"елка"},      {u"Й", u"й"},      {u"İı", u"ii"},
    };
    for (const TCase& c : cases) {
        const THooked h = Hook(def, c.In);
        EXPECT_TRUE(h.Accepted);
        EXPECT_EQ(h.Text, c.Out) << NTesting::Utf16ToUtf8(c.In);
        EXPECT_TRUE(h.R.Flags.Empty());
    }
    const THooked cut = Hook(def, u"Straße", 5);
    EXPECT_TRUE(cut.Accepted);
    EXPECT_EQ(cut.Text, u"stras");
    EXPECT_TRUE(cut.R.Valid);

    TUtf16String s(u"über");
    TNormalizeResult r(s.size());
    EXPECT_TRUE(def.AdvancedConvert(s, r));
    EXPECT_EQ(s, TUtf16String(u"ueber"));
}

}  // namespace NRussianNormalizerTest
