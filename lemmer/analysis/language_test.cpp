#include "lemmer/analysis/analysis_test_helpers.h"
#include "lemmer/analysis/byk_language.h"
#include "lemmer/analysis/language_objects.h"
#include "lemmer/analysis/language_registry.h"
#include "lemmer/dictionary/rule_matcher.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using NLemmer::NTest::LemmaOf;

using NByk::NTest::Gram;

size_t Recognize(uint32_t id, const std::u16string& word, TAnalysisVector& out, uint64_t flags,
                 uint64_t maxResults = TRecognizeOptions::Unlimited) {
    return LanguageById(id)->Recognize(word.data(), word.size(), out,
                                       TRecognizeOptions(maxResults, flags, "", true));
}

TEST(LanguageRegistry, HoldsTheFiveLanguagesByIdAndInMask) {
    ASSERT_NE(LanguageById(0), nullptr);
    EXPECT_EQ(LanguageById(0)->Id(), 0u);
    EXPECT_EQ(LanguageById(7), nullptr);
    EXPECT_EQ(LanguageById(58), nullptr);
    EXPECT_EQ(GetRegisteredLanguages().Mask.Value(),
              (1ull << 0) | (1ull << 1) | (1ull << 31) | (1ull << 52));
    std::vector<uint32_t> ids;
    for (const TLanguage* l : GetLanguageList()) {
        ids.push_back(l->Id());
    }
    EXPECT_EQ(ids, (std::vector<uint32_t>{0, 1, 2, 32, 53}));
    EXPECT_EQ(LanguageObjectByName("rus"), LanguageById(1));
    EXPECT_EQ(LanguageObjectByName("klingon"), LanguageById(0));
    EXPECT_EQ(ParseLanguageList("rus,eng,rus", ",").Value(), 3u);
    EXPECT_EQ(ParseLanguageList(",,", ",").Value(), 0u);
    EXPECT_EQ(ParseLanguageList("", ",").Value(), 0u);
    EXPECT_EQ(RegisteredCharLanguages(u'ж').Value(), 1u | (1ull << 31));
}

TEST(LanguageRegistry, LevelsGiveTheirLookupFlags) {
    const uint64_t expected[] = {4, 12, 28, 60, 60, 60};
    const int levels[] = {0, 1, 2, 3, 7, -1};
    for (size_t i = 0; i < 6; ++i) {
        const TRecognizeOptions o = MakeRecognizeOptions(levels[i], "x", false);
        EXPECT_EQ(o.Flags, expected[i]) << levels[i];
        EXPECT_EQ(o.MaxResults, TRecognizeOptions::Unlimited);
        EXPECT_FALSE(o.AlreadyNormalized);
        EXPECT_FALSE(o.UseRegistry);
    }
}

TEST(LanguageRegistry, OwnAnalysisExcludesTransliterations) {
    TAnalysisRecord r;
    r.Language = 1;
    EXPECT_TRUE(LanguageById(1)->IsOwnAnalysis(r));
    EXPECT_FALSE(LanguageById(2)->IsOwnAnalysis(r));
    r.Flags = AF_TRANSLITERATED;
    EXPECT_FALSE(LanguageById(1)->IsOwnAnalysis(r));
}

TEST(Recognize, StampsLanguageAndBothTextsIntoEveryRecord) {
    NLemmer::NTest::TAnalysisFixture fixture;
    TAnalysisVector out(1);  // recognition appends after what is there
    // Recognition does not change case: the token's preparation lowers it.
    ASSERT_EQ(Recognize(1, u"столы", out, RF_DICTIONARY | RF_PLACEHOLDER), 1u);
    ASSERT_EQ(out.size(), 2u);
    const TAnalysisRecord& r = out[1];
    EXPECT_EQ(LemmaOf(r), u"стол");
    EXPECT_EQ(r.Language, 1u);
    EXPECT_EQ(r.Flags, 0u);
    EXPECT_EQ(r.RuleId, NLemmer::NTest::AR_NOUN);
    EXPECT_EQ(std::u16string(r.Source, r.SourceLength), u"столы");
    EXPECT_EQ(std::u16string(r.Normalized, r.NormalizedLength), u"столы");
    EXPECT_EQ(r.StemStart, 0u);
    EXPECT_EQ(r.EndingLength, 1u);
    EXPECT_EQ(std::string(r.CommonGrammar), Gram("S m inan"));
    ASSERT_EQ(r.FormGrammarCount, 1u);
    EXPECT_EQ(std::string(r.FormGrammars[0]), Gram("nom pl"));
}

TEST(Recognize, PlaceholderLemmaIsTheLookupText) {
    NLemmer::NTest::TAnalysisFixture fixture;
    TAnalysisVector out;
    // ё becomes е only in the second step, so lemma and normalised form differ.
    ASSERT_EQ(Recognize(1, u"ёжик", out, RF_DICTIONARY | RF_PLACEHOLDER), 1u);
    EXPECT_EQ(out[0].Flags, AF_PLACEHOLDER);
    EXPECT_EQ(LemmaOf(out[0]), u"ежик");
    EXPECT_EQ(std::u16string(out[0].Normalized, out[0].NormalizedLength), u"ёжик");
    EXPECT_EQ(std::u16string(out[0].Source, out[0].SourceLength), u"ёжик");
    EXPECT_STREQ(out[0].CommonGrammar, "");
    EXPECT_EQ(out[0].RuleId, 0u);
}

TEST(Recognize, GivesNothingForInvalidWordsOrNoRoom) {
    NLemmer::NTest::TAnalysisFixture fixture;
    TAnalysisVector out;
    EXPECT_EQ(Recognize(1, u"table", out, RF_PLACEHOLDER | RF_DICTIONARY), 0u);
    EXPECT_EQ(Recognize(1, std::u16string(60, u'ж'), out, RF_PLACEHOLDER), 0u);
    EXPECT_EQ(Recognize(1, u"ззз", out, RF_PLACEHOLDER, 0), 0u);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(Recognize(1, std::u16string(55, u'ж'), out, RF_PLACEHOLDER), 1u);
}

TEST(Recognize, AlreadyNormalizedWordIsLookedUpAsPassed) {
    NLemmer::NTest::TAnalysisFixture fixture;
    TAnalysisVector out;
    TRecognizeOptions o(TRecognizeOptions::Unlimited, RF_DICTIONARY | RF_PLACEHOLDER, "", true);
    o.AlreadyNormalized = true;
    const std::u16string word = u"Столы";
    ASSERT_EQ(LanguageById(1)->Recognize(word.data(), word.size(), out, o), 1u);
    EXPECT_EQ(out[0].Flags, AF_PLACEHOLDER);  // the capital is not lowered
    EXPECT_EQ(std::u16string(out[0].Normalized, out[0].NormalizedLength), u"Столы");
}

TEST(Recognize, MaxResultsCutsTheNewRecords) {
    NLemmer::NTest::TAnalysisFixture fixture;
    TAnalysisVector out;
    EXPECT_EQ(Recognize(1, u"плав", out, RF_DICTIONARY), 2u);
    out.clear();
    EXPECT_EQ(Recognize(1, u"плав", out, RF_DICTIONARY, 1), 1u);
    EXPECT_EQ(out.size(), 1u);
}

TEST(Lookup, ModesChooseDictionaryOrHypotheses) {
    NLemmer::NTest::TAnalysisFixture fixture;
    TAnalysisVector out;
    // Dictionary only: an unknown word gives nothing.
    EXPECT_EQ(Recognize(1, u"столище", out, RF_DICTIONARY), 0u);
    // Hypotheses only: even a dictionary word gets hypotheses, never a dictionary analysis.
    ASSERT_GT(Recognize(1, u"хлебы", out, RF_HYPOTHESES), 0u);
    for (const TAnalysisRecord& r : out) {
        EXPECT_NE(r.Flags & AF_HYPOTHESIS, 0u) << r.Flags;
    }
    out.clear();
    ASSERT_GT(Recognize(1, u"перестола", out, RF_DICTIONARY | RF_HYPOTHESES), 0u);
    EXPECT_EQ(out[0].Flags, AF_HYPOTHESIS | AF_KNOWN_BEGINNING);
    EXPECT_EQ(LemmaOf(out[0]), u"перестол");
}

TEST(Lookup, LemmaTooLongDropsTheCandidate) {
    NByk::NTest::TFixture f;
    f.Alphabet(u"аб", u"а");
    f.Ending(u"", u"", "nom");
    f.List({0});
    f.Rule(0, 0, u"бббббббббб", "S");
    const std::u16string stem(50, u'а');
    f.Stem(stem, {0});
    f.Stem(u"аб", {0});
    const NByk::TDictionary& d = f.Build();
    TAnalysisVector out;
    EXPECT_EQ(LookupInDictionary(d, stem.c_str(), -1, out, 10, LM_DICTIONARY, ""), 0u);
    EXPECT_EQ(LookupInDictionary(d, u"аб", 2, out, 10, LM_DICTIONARY, ""), 1u);
    EXPECT_EQ(LemmaOf(out[0]), u"аббббббббббб");
    EXPECT_EQ(LookupInDictionary(d, u"аб", 2, out, 0, LM_DICTIONARY, ""), 0u);
}

TEST(Lookup, HypothesisKeepsNoBarredFormGrammar) {
    NByk::NTest::TFixture f;
    NByk::NTest::FillSample(f);
    const NByk::TDictionary& d = f.Build();
    TAnalysisVector out;
    // A dictionary match keeps the rare form grammar; hypotheses never carry it.
    ASSERT_EQ(LookupInDictionary(d, u"тишью", 5, out, 10, LM_DICTIONARY, ""), 1u);
    EXPECT_TRUE(NByk::HasBarredGrammeme(out[0].FormGrammars[0]));
    out.clear();
    LookupInDictionary(d, u"глушью", 6, out, 10, LM_STEM_HYPOTHESES | LM_PREFIX_HYPOTHESES, "");
    for (const TAnalysisRecord& r : out) {
        for (size_t i = 0; i < r.FormGrammarCount; ++i) {
            EXPECT_FALSE(NByk::HasBarredGrammeme(r.FormGrammars[i]));
        }
    }
}

TEST(Lookup, KnownWordsAndFingerprint) {
    NLemmer::NTest::TAnalysisFixture fixture;
    const TLanguage* russian = LanguageById(1);
    EXPECT_TRUE(russian->IsKnownWord(u"СТОЛЫ", 5));
    EXPECT_FALSE(russian->IsKnownWord(u"столище", 7));
    EXPECT_FALSE(LanguageById(2)->IsKnownWord(u"table", 5));
    EXPECT_EQ(LanguageById(2)->DictionaryFingerprint(), Stroka());
    {
        const NByk::TDictionary empty;
        NLemmer::NTest::TRussianDictionaryGuard none(&empty);
        EXPECT_FALSE(russian->IsKnownWord(u"стол", 4));
    }
}

TEST(ParadigmRating, RatesOwnLemmasOfContentWords) {
    const std::string noun = Gram("S m"), prep = Gram("PR"), nomPl = Gram("nom pl");
    const std::string nomSgF = Gram("nom sg f pass");
    struct TCase {
        const char* Common;
        const char* Form;
        const char16_t* Lemma;
        uint32_t Flags;
        int Base, Russian;
        std::string Clue;
    } cases[] = {
        {noun.c_str(), nomPl.c_str(), u"кот", 0, 2, 2, Gram("pl")},
        {noun.c_str(), nomPl.c_str(), u"коты", 0, 0, 1, Gram("pl")},
        {noun.c_str(), nomSgF.c_str(), u"кот", 0, 2, 2, Gram("f pass")},
        {noun.c_str(), nomPl.c_str(), u"кот", AF_PLACEHOLDER, 0, 1, Gram("pl")},
        {prep.c_str(), nomPl.c_str(), u"кот", 0, 0, 1, Gram("pl")},
    };
    for (const TCase& c : cases) {
        TAnalysisRecord r;
        const std::u16string lemma(c.Lemma);
        SetRecordLemma(r, lemma.data(), lemma.size(), 1, 0, 0, c.Common);
        SetRecordText(r, u"кот", 3);
        r.Flags = c.Flags;
        r.FormGrammars[r.FormGrammarCount++] = c.Form;
        EXPECT_EQ(ParadigmRating(r), c.Base);
        char clue[255];
        EXPECT_EQ(RussianParadigmRating(r, clue, sizeof(clue)), c.Russian);
        EXPECT_EQ(std::string(clue), c.Clue);
    }
}

TEST(ParadigmRating, NounWithNumberInCommonGrammarRatesThree) {
    const std::string common = Gram("S pl"), form = Gram("nom");
    TAnalysisRecord r;
    SetRecordLemma(r, u"ножницы", 7, 1, 0, 0, common.c_str());
    SetRecordText(r, u"ножницам", 8);
    r.FormGrammars[r.FormGrammarCount++] = form.c_str();
    EXPECT_EQ(LanguageById(1)->SpecialParadigmKind(r), 3);
    EXPECT_EQ(LanguageById(2)->SpecialParadigmKind(r), 1);
}

}  // namespace
