#include "lemmer/alphabet/word_normalizer.h"
#include "lemmer/alphabet/alphabet_registry.h"

#include "util/charset/language.h"
#include "util/testing/exception_matchers.h"
#include "util/testing/utf.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace NWordNormalizerTest {
using namespace NLemmer;

namespace {

const TAlphabetWordNormalizer& Normalizer(int language) {
    const TAlphabetWordNormalizer* n = GetAlphabetWordNormalizer(language);
    EXPECT_NE(n, nullptr);
    return *n;
}

struct TNormalized {
    std::u16string Text;
    TNormalizeResult R;
    bool Terminated = false;
};

TNormalized Normalize(const TAlphabetWordNormalizer& n, const std::u16string& src, uint64_t mask,
                      size_t room = 56) {
    std::u16string out(room + 1, u'#');
    TNormalized r;
    r.R = n.NormalizeWord(src.data(), src.size(), out.data(), room, mask);
    EXPECT_LE(r.R.Length, room);
    r.Text = out.substr(0, r.R.Length);
    r.Terminated = r.R.Length < room && out[r.R.Length] == 0;
    EXPECT_EQ(out[room], u'#') << "wrote past the room";
    return r;
}

}  // namespace

TEST(WordNormalizer, PipelineCasesWithTheirFlags) {
    struct TCase {
        int Language;
        std::u16string In;
        uint64_t Mask;
        std::u16string Out;
        bool Valid;
        uint64_t Flags;
    } cases[] = {
        // No step: a plain copy.
        {LANG_RUS, u"Слово", 0x00, u"Слово", true, 0},
        // Decomposition flags always; the ligature splits.
        {LANG_ENG, u"\uFB01ne", 0x01, u"fine", true, 0x01},
        // Compatibility splits are not undone; composing plain letters changes nothing.
        {LANG_ENG, u"\uFB01ne", 0x03, u"fine", true, 0x01},
        // Russian: Ё and е + U+0308 both come out as ё.
        {LANG_RUS, u"Ёлка", 0x07, u"ёлка", true, 0x07},
        {LANG_RUS, u"е\u0308лка", 0x06, u"ёлка", true, 0x06},
        // Convert then turns ё into е and drops the stress mark.
        {LANG_RUS, u"Ёлка", 0x1F, u"елка", true, 0x17},
        {LANG_RUS, u"мо\u0301ре", 0x10, u"море", true, 0x10},
        // Look-alike Latin letters in a Cyrillic word (o, c, p, A, x).
        {LANG_RUS, u"мoлoкo", 0x0A, u"молоко", true, 0x08},
        {LANG_RUS, u"Acpx", 0x4A, u"Асрх", true, 0x08},
        {LANG_UKR, u"cмiх", 0x4A, u"сміх", true, 0x08},
        // Lower case: the dotted capital I decomposed, and the Turkish pre-lower table.
        {LANG_ENG, u"I\u0307", 0x04, u"i", true, 0x04},
        {LANG_TUR, u"IİSTANBUL", 0x04, u"ıistanbul", true, 0x04},
        // Turkish conversion deletes apostrophes, the alphabet check then passes.
        {LANG_TUR, u"Ankara'da", 0x50, u"Ankarada", true, 0x10},
        // A middle step lengthens the word (ß becomes ss); the steps after it see all of it.
        {LANG_GER, u"Straße", 0x34, u"strasse", true, 0x14},
        // A language without a derenyx table: the step is skipped without a flag.
        {LANG_ENG, u"word", 0x0A, u"word", true, 0x00},
        {LANG_ENG, u"wo\u0301rd", 0x0A, u"word", true, 0x00},
        // A Latin i in a Russian word fails the alphabet check unless derenyx replaces it.
        {LANG_RUS, u"мiръ", 0x40, u"мiръ", false, 0},
        {LANG_RUS, u"мiръ", 0x48, u"міръ", true, 0x08},
        // A digit: no alphabet has it; the default normaliser accepts everything.
        {LANG_ENG, u"abc1", 0x40, u"abc1", false, 0},
        {LANG_UNK, u"abc1", 0x40, u"abc1", true, 0},
        // The default normaliser's hook folds diacritics without a flag.
        {LANG_UNK, u"Élan", 0x20, u"elan", true, 0},
        // An alphabet-aware composition that finds no letter invalidates the word.
        {LANG_RUS, u"а\u0308", 0x02, u"\u04D3", false, 0x02},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(NTesting::Utf16ToUtf8(c.In) + " mask " + std::to_string(c.Mask));
        const TNormalized r = Normalize(Normalizer(c.Language), c.In, c.Mask);
        EXPECT_EQ(r.Text, c.Out);
        EXPECT_EQ(r.R.Valid, c.Valid);
        EXPECT_EQ(r.R.Flags.Value(), c.Flags);
        EXPECT_TRUE(r.Terminated);
    }
}

TEST(WordNormalizer, DottedIRepair) {
    struct TCase {
        std::u16string In;
        std::u16string Out;
    } cases[] = {
        {u"I\u0307", u"i"},
        {u"i\u0301\u0307", u"i\u0301"},
        {u"i\u0436\u0307", u"i\u0436\u0307"},  // a letter between: nothing removed
        {u"\u0131\u0307x", u"ix"},
        {u"i\u0307\u0307", u"i\u0307"},  // each position is examined once
        {u"\u0130", u"i"},
    };
    const TAlphabetWordNormalizer& n = Normalizer(LANG_UNK);
    for (const TCase& c : cases) {
        std::u16string out(16, u'\0');
        const TNormalizeResult r = n.ToLower(c.In.data(), c.In.size(), out.data(), 16);
        EXPECT_EQ(out.substr(0, r.Length), c.Out) << NTesting::Utf16ToUtf8(c.In);
        EXPECT_EQ(r.Flags.Value(), uint64_t(1) << NS_LOWERCASE);
    }
}

TEST(WordNormalizer, CutsAtTheCallersBuffer) {
    const TAlphabetWordNormalizer& english = Normalizer(LANG_ENG);
    const std::u16string word(60, u'a');
    // The convert step writes into a scratch buffer of twice the room; only the silent final
    // copy cuts.
    TNormalized r = Normalize(english, word, 0x70, 56);
    EXPECT_EQ(r.Text, word.substr(0, 56));
    EXPECT_TRUE(r.R.Valid);
    // When the last requested step writes into the caller's buffer, the cut is reported.
    r = Normalize(english, word, 0x10, 56);
    EXPECT_EQ(r.R.Length, 56u);
    EXPECT_FALSE(r.R.Valid);
    for (uint64_t mask : {0x01, 0x02, 0x04, 0x08 | 0x10}) {
        r = Normalize(english, word, mask, 10);
        EXPECT_EQ(r.R.Length, 10u) << mask;
        EXPECT_FALSE(r.R.Valid) << mask;
    }
    // A plain copy cut to the room stays valid, and an exact fit has no terminator.
    r = Normalize(english, u"abcdef", 0, 4);
    EXPECT_EQ(r.Text, u"abcd");
    EXPECT_TRUE(r.R.Valid);
    r = Normalize(english, u"abcd", 0x04, 4);
    EXPECT_EQ(r.Text, u"abcd");
    EXPECT_FALSE(r.Terminated);
    EXPECT_TRUE(r.R.Valid);
    // A failed step stops the pipeline: the cut lower-case text is not converted further.
    r = Normalize(Normalizer(LANG_RUS), u"А\u0308Ж", 0x06, 8);
    EXPECT_FALSE(r.R.Valid);
    EXPECT_EQ(r.Text, u"\u04D2Ж");
    EXPECT_EQ(r.R.Flags.Value(), 0x02u);
}

// An empty word given as a null pointer, and a null buffer of no room, are valid calls of
// every step (the sanitizer build catches a null pointer handed on to memmove).
TEST(WordNormalizer, EmptyWordAsNullPointer) {
    for (int language : {0, int(LANG_ENG), int(LANG_RUS), int(LANG_TUR)}) {
        const TAlphabetWordNormalizer* n = GetAlphabetWordNormalizer(language);
        if (n == nullptr) {
            continue;
        }
        for (uint64_t mask = 0; mask < 0x80; ++mask) {
            wchar16 out[4] = {u'#', u'#', u'#', u'#'};
            const TNormalizeResult r = n->NormalizeWord(nullptr, 0, out, 4, mask);
            EXPECT_EQ(r.Length, 0u) << language << " " << mask;
            EXPECT_EQ(out[0], 0) << language << " " << mask;
            EXPECT_EQ(n->NormalizeWord(nullptr, 0, nullptr, 0, mask).Length, 0u);
        }
        wchar16 out[2] = {u'#', u'#'};
        EXPECT_EQ(n->ToTitle(nullptr, 0, out, 2).Length, 0u);
        EXPECT_EQ(n->ToUpper(nullptr, 0, out, 2).Length, 0u);
        EXPECT_EQ(n->Compose(nullptr, 0, out, 2).Length, 0u);
    }
}

TEST(WordNormalizer, LongWordsUseHeapScratchBuffers) {
    const TAlphabetWordNormalizer& russian = Normalizer(LANG_RUS);
    std::u16string word;
    for (int i = 0; i < 700; ++i) {
        word += u"Е\u0308";
    }
    const TNormalized r = Normalize(russian, word, 0x1F, 2000);
    EXPECT_EQ(r.Text, std::u16string(700, u'е'));
    EXPECT_TRUE(r.R.Valid);
}

TEST(WordNormalizer, SingleStepOperations) {
    const TAlphabetWordNormalizer& english = Normalizer(LANG_ENG);
    const TAlphabetWordNormalizer& russian = Normalizer(LANG_RUS);
    const TAlphabetWordNormalizer& turkish = Normalizer(LANG_TUR);
    wchar16 out[16];
    const std::u16string w = u"Word\u2019s";

    // Without a derenyx table: a copy without a flag.
    TNormalizeResult r = english.Derenyx(w.data(), w.size(), out, 16);
    EXPECT_EQ(std::u16string(out, r.Length), w);
    EXPECT_TRUE(r.Flags.Empty());
    r = english.Derenyx(w.data(), w.size(), out, 3);
    EXPECT_FALSE(r.Valid);

    r = english.Convert(w.data(), w.size(), out, 16);
    EXPECT_EQ(std::u16string(out, r.Length), u"Word's");
    EXPECT_EQ(r.Flags.Value(), 0x10u);

    r = english.Compose(w.data(), w.size(), out, 16);
    EXPECT_EQ(r.Flags.Value(), 0x02u);  // set even when nothing changed

    // The base hook declines: a copy and no flag.
    r = english.ApplyAdvancedConvert(w.data(), w.size(), out, 16);
    EXPECT_EQ(std::u16string(out, r.Length), w);
    EXPECT_TRUE(r.Flags.Empty());
    const std::u16string old = u"хлѣбъ";
    r = russian.ApplyAdvancedConvert(old.data(), old.size(), out, 16);
    EXPECT_EQ(std::u16string(out, r.Length), u"хлеб");
    EXPECT_EQ(r.Flags.Value(), 0x20u);

    const std::u16string t = u"istanbul";
    r = turkish.ToUpper(t.data(), t.size(), out, 16);
    EXPECT_EQ(std::u16string(out, r.Length), u"İSTANBUL");
    EXPECT_EQ(r.Flags.Value(), 0x80u);
    r = turkish.ToTitle(t.data(), t.size(), out, 16);
    EXPECT_EQ(std::u16string(out, r.Length), u"İstanbul");
    EXPECT_EQ(r.Flags.Value(), 0x100u);
    const std::u16string dotted = u"xI\u0307";
    r = english.ToTitle(dotted.data(), dotted.size(), out, 16);
    EXPECT_EQ(std::u16string(out, r.Length), u"Xi");
    EXPECT_EQ(r.Flags.Value(), 0x104u);

    EXPECT_EQ(turkish.ToLowerChar(u'I'), u'ı');
    EXPECT_EQ(turkish.ToUpperChar(u'i'), u'İ');
    EXPECT_EQ(english.ToUpperChar(u'i'), u'I');
    EXPECT_EQ(russian.ToTitleChar(u'ж'), u'Ж');
}

TEST(WordNormalizer, StringForms) {
    const TAlphabetWordNormalizer& russian = Normalizer(LANG_RUS);
    TUtf16String s(u"Е\u0308лка");
    const TUtf16String shared = s;
    TNormalizeResult r = russian.NormalizeWord(s, 0x1F);
    EXPECT_EQ(s, TUtf16String(u"елка"));
    EXPECT_EQ(shared, TUtf16String(u"Е\u0308лка"));  // the shared copy is left alone
    EXPECT_EQ(r.Length, 4u);

    TUtf16String g(u"Straße");
    Normalizer(LANG_GER).Convert(g);
    EXPECT_EQ(g, TUtf16String(u"Strasse"));

    TUtf16String big(u"\uFDFA");  // one of the longest compatibility decompositions
    r = russian.Decompose(big);
    EXPECT_TRUE(r.Valid);
    EXPECT_EQ(big.size(), 18u);

    // Thirty letters of three units each once decomposed: the buffer must grow past the word.
    TUtf16String viet(30, u'\u1EC7');
    r = russian.Decompose(viet);
    EXPECT_TRUE(r.Valid);
    EXPECT_EQ(viet.size(), 90u);
    EXPECT_EQ(std::u16string(viet.data(), 3), u"e\u0323\u0302");
    EXPECT_EQ(std::u16string(viet.data() + 87, 3), u"e\u0323\u0302");

    TUtf16String old(u"разсказъ");
    r = russian.ApplyAdvancedConvert(old);
    EXPECT_EQ(old, TUtf16String(u"рассказ"));
    EXPECT_TRUE(r.Flags.Test(NS_ADVANCED_CONVERT));
}

TEST(WordNormalizer, BitSetsRejectBitsBeyondTheirSize) {
    TNormalizationMask mask;
    mask.Set(NS_CONVERT).Set(NS_ADVANCED_CONVERT).Set(NS_CHECK_ALPHABET);
    EXPECT_EQ(mask.Value(), 0x70u);
    // Step indices are 0 to 6: any other is refused with "bitset" and leaves the mask as it was.
    for (size_t bad : {size_t(7), size_t(8), size_t(64), ~size_t(0)}) {
        EXPECT_THAT([&] { mask.Set(bad); }, RaisesMessage<std::out_of_range>("bitset")) << bad;
        EXPECT_THAT([&] { mask.Reset(bad); }, RaisesMessage<std::out_of_range>("bitset")) << bad;
        EXPECT_THAT([&] { (void)mask.Test(bad); }, RaisesMessage<std::out_of_range>("bitset"))
            << bad;
    }
    EXPECT_EQ(mask.Value(), 0x70u);
    EXPECT_EQ(TNormalizationMask().Set(0).Set(6).Value(), 0x41u);
    TNormalizationFlags flags;
    flags.Set(NS_TITLECASE);
    EXPECT_THROW(flags.Set(9), std::out_of_range);
    EXPECT_THAT([&] { flags.Test(100); }, RaisesMessage<std::out_of_range>("bitset"));
}

}  // namespace NWordNormalizerTest
