#include "lemmer/alphabet/alphabet_registry.h"

#include "util/charset/language.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace NAlphabetRegistryTest {
using namespace NLemmer;

namespace {

TLangMask MaskOf(std::initializer_list<int> languages) {
    TLangMask m;
    for (int l : languages) {
        m.SafeSet(l);
    }
    return m;
}

const TLangMask CYRILLIC =
    MaskOf({LANG_RUS, LANG_UKR, LANG_TAT, LANG_BLR, LANG_KAZ, LANG_BUL, LANG_BASIC_RUS, LANG_CHU});
const TLangMask LATIN = MaskOf({LANG_ENG, LANG_POL, LANG_GER, LANG_FRE, LANG_SPA, LANG_ITA,
                                LANG_POR, LANG_CZE, LANG_TUR, LANG_RUM, LANG_BASIC_ENG});

TLangMask WordMask(const std::u16string& w, bool skipDigits = false) {
    return GetWordLanguageMask(w.data(), w.size(), skipDigits);
}

uint64_t Shape(const std::u16string& w) {
    return GetWordCharClassFlags(w.data(), w.size());
}

}  // namespace

TEST(AlphabetRegistry, NormalizersByLanguage) {
    const std::vector<int> withAlphabet = {1,  2,  3,  5,  6,  7,  8,  9,  10, 12,
                                           13, 14, 16, 21, 24, 32, 44, 45, 53, 57};
    for (int id = 0; id < LANG_MAX; ++id) {
        const bool has =
            std::find(withAlphabet.begin(), withAlphabet.end(), id) != withAlphabet.end();
        const TAlphabetWordNormalizer* n = GetAlphabetWordNormalizer(id);
        if (id == 0) {
            ASSERT_NE(n, nullptr);
            EXPECT_EQ(n->Alphabet(), nullptr);
        } else {
            EXPECT_EQ(n != nullptr, has) << id;
        }
    }
    EXPECT_EQ(GetAlphabetWordNormalizer(LANG_ENG), GetAlphabetWordNormalizer(LANG_BASIC_ENG));
    EXPECT_NE(GetAlphabetWordNormalizer(LANG_RUS), GetAlphabetWordNormalizer(LANG_BASIC_RUS));
    // Ids beyond the table give no normaliser instead of reading past it.
    for (int id : {58, 59, 100, 1000000, -1}) {
        EXPECT_EQ(GetAlphabetWordNormalizer(id), nullptr) << id;
    }
}

TEST(AlphabetRegistry, CharacterMasks) {
    const TAlphabetRegistry& r = TAlphabetRegistry::Instance();
    // ж: every Cyrillic alphabet, no Latin one.
    EXPECT_EQ(r.Accept(u'ж'), CYRILLIC);
    EXPECT_EQ(r.Distinctive(u'ж'), CYRILLIC);
    EXPECT_EQ(GetCharLanguageValue(u'ж'), CYRILLIC);
    // a: every Latin alphabet; i is also an extra letter of the Cyrillic alphabets other than
    // Church Slavonic, accepted but not distinctive there.
    EXPECT_EQ(GetCharLanguageValue(u'a'), LATIN);
    EXPECT_EQ(r.Accept(u'a'), LATIN);
    EXPECT_EQ(r.Accept(u'i'), LATIN | (CYRILLIC & ~MaskOf({LANG_CHU})));
    EXPECT_EQ(r.Distinctive(u'i'), LATIN);
    // Ё is an extra letter in Ukrainian only: accepted, not a letter.
    EXPECT_TRUE(r.Accept(u'Ё').SafeTest(LANG_UKR));
    EXPECT_FALSE(GetCharLanguageValue(u'Ё').SafeTest(LANG_UKR));
    EXPECT_TRUE(GetCharLanguageValue(u'Ё').SafeTest(LANG_RUS));
    // Pre-reform letters are Russian, not basic Russian.
    EXPECT_TRUE(GetCharLanguageValue(u'ѣ').SafeTest(LANG_RUS));
    EXPECT_FALSE(r.Accept(u'ѣ').SafeTest(LANG_BASIC_RUS));
    // The ignorable stress mark is known but never distinctive.
    EXPECT_TRUE(r.Accept(0x0301).SafeTest(LANG_RUS));
    EXPECT_TRUE(r.Accept(0x0301).SafeTest(LANG_ENG));
    EXPECT_TRUE(r.Distinctive(0x0301).Empty());
    EXPECT_TRUE(r.Accept(0x0300).SafeTest(LANG_BUL));
    EXPECT_TRUE(r.Accept(0x0302).SafeTest(LANG_ITA));
    // A mark of a letter's decomposition is ignorable, hence never distinctive.
    EXPECT_EQ(r.Distinctive(0x0308) & CYRILLIC, TLangMask());
    EXPECT_TRUE(r.Accept(0).Empty());
}

TEST(AlphabetRegistry, WordMasks) {
    EXPECT_EQ(WordMask(u"жук"), CYRILLIC);
    EXPECT_EQ(WordMask(u"word"), LATIN);
    EXPECT_TRUE(WordMask(u"word").SafeTest(LANG_ENG));
    EXPECT_TRUE(WordMask(u"word").SafeTest(LANG_BASIC_ENG));
    EXPECT_EQ(WordMask(u"straße"), MaskOf({LANG_GER}));
    EXPECT_EQ(WordMask(u"ёж"), CYRILLIC & ~MaskOf({LANG_BUL}));
    // Mixed scripts: only alphabets that know every unit.
    EXPECT_EQ(WordMask(u"жi"), CYRILLIC & ~MaskOf({LANG_CHU}));
    EXPECT_TRUE(WordMask(u"жw").Empty());
    // Signs and marks alone, digits alone: no language.
    EXPECT_TRUE(WordMask(u"'-").Empty());
    EXPECT_TRUE(WordMask(u"12").Empty());
    EXPECT_TRUE(WordMask(u"12", true).Empty());
    EXPECT_TRUE(WordMask(u"").Empty());
    EXPECT_TRUE(WordMask(u"жук1").Empty());
    EXPECT_EQ(WordMask(u"жук1", true), CYRILLIC);
    EXPECT_EQ(WordMask(u"i"), LATIN);
    // Letters of one alphabet only.
    struct TCase {
        std::u16string Word;
        TLangMask Mask;
    } own[] = {
        {u"բարև՚ի", MaskOf({LANG_ARM})}, {u"řeka", MaskOf({LANG_CZE})},
        {u"ağaç", MaskOf({LANG_TUR})},   {u"ţară", MaskOf({LANG_RUM})},
        {u"ąę", MaskOf({LANG_POL})},     {u"ґанок", MaskOf({LANG_UKR, LANG_BLR})},
        {u"ўсё", MaskOf({LANG_BLR})},    {u"әни", MaskOf({LANG_TAT, LANG_KAZ})},
        {u"ғылым", MaskOf({LANG_KAZ})},  {u"ѡѳ", MaskOf({LANG_CHU})},
        {u"ñu", MaskOf({LANG_SPA})},     {u"cœur", MaskOf({LANG_FRE})},
        {u"ìo", MaskOf({LANG_ITA})},     {u"ãe", MaskOf({LANG_POR})},
    };
    for (const TCase& c : own) {
        EXPECT_EQ(WordMask(c.Word).Value(), c.Mask.Value()) << c.Word.size();
    }
}

TEST(AlphabetRegistry, WordShapeFlags) {
    struct TCase {
        std::u16string Word;
        uint64_t Flags;
    } cases[] = {
        {u"Word", 0x53}, {u"WORD", 0x93}, {u"word", 0x113},     {u"wOrd", 0x213},
        {u"12", 0x9C},   {u"", 0x1FF},    {u"Жук", 0x63},       {u"a1", 0x213 & ~0x01 & ~0x100},
        {u"1a", 0x58},   {u"a-b", 0x210}, {u"е\u0308ж", 0x123},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Shape(c.Word), c.Flags) << std::string(c.Word.begin(), c.Word.end());
    }
}

}  // namespace NAlphabetRegistryTest
