#include "lemmer/analysis/language_objects.h"
#include "lemmer/analysis/analysis_test_helpers.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

namespace {

using NLemmer::NTest::LemmaOf;

using NByk::NTest::Gram;

// Splits between the first two maximal runs of letters of `text`.
bool Splits(uint32_t language, const std::u16string& text, bool pass) {
    size_t a = 0;
    while (a < text.size() && text[a] != u'\'') {
        ++a;
    }
    const size_t b = a + 1;
    return LanguageById(language)->SplitsBetween(text.data(), 0, a, b, text.size() - b, pass);
}

TEST(SplitRules, RussianKeepsAHardSignApostropheInTransliteration) {
    EXPECT_FALSE(Splits(1, u"ob'yavlenie", true));
    EXPECT_TRUE(Splits(1, u"ob'yavlenie", false));
    EXPECT_TRUE(Splits(1, u"oba'yavlenie", true));  // a vowel before the apostrophe
    EXPECT_TRUE(Splits(1, u"oB'yavlenie", true));   // consonants are lower-case only
    EXPECT_TRUE(Splits(1, u"'yavlenie", true));     // part A is empty
    // A hyphen is no hard sign.
    const std::u16string hyphen = u"ob-yavlenie";
    EXPECT_TRUE(LanguageById(1)->SplitsBetween(hyphen.data(), 0, 2, 3, 8, true));
    // Two units between the parts.
    const std::u16string two = u"ob''yavlenie";
    EXPECT_TRUE(LanguageById(1)->SplitsBetween(two.data(), 0, 2, 4, 8, true));
}

TEST(SplitRules, EnglishKeepsPossessivesAndNegatedContractions) {
    const struct {
        const char16_t* Text;
        bool Split;
    } cases[] = {
        {u"John's", false}, {u"don't", false}, {u"Don't", true},  {u"ran't", true},
        {u"it'd", true},    {u"can't", false}, {u"ain't", true},  {u"usedn't", false},
        {u"'s", true},      {u"dont't", true}, {u"don'tt", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Splits(2, c.Text, false), c.Split) << std::string(c.Text, c.Text + 3);
        EXPECT_EQ(Splits(53, c.Text, true), c.Split);
    }
}

TEST(ContractionTable, HoldsTheTwentyThreeWordsOnce) {
    const TEnglishContractionTable& t = GetEnglishContractionTable();
    EXPECT_EQ(&t, &GetEnglishContractionTable());
    EXPECT_EQ(t.Words.size(), 23u);
    EXPECT_EQ(t.Words.count(u"don't"), 1u);
    EXPECT_EQ(t.Words.count(u"Don't"), 0u);
    EXPECT_EQ(t.Words.count(u"ain't"), 0u);
    EXPECT_EQ(*t.Words.begin(), u"aren't");
    EXPECT_EQ(t.TUnit, u't');
    EXPECT_EQ(t.ApostropheUnit, u'\'');
}

TEST(TurkishCase, DottedAndDotlessI) {
    EXPECT_EQ(TurkishLowerUnit(u'I'), 0x131);
    EXPECT_EQ(TurkishLowerUnit(0x130), u'i');
    EXPECT_EQ(TurkishLowerUnit(u'A'), u'a');
    EXPECT_EQ(TurkishLowerUnit(u'Ж'), u'ж');
    EXPECT_EQ(TurkishUpperUnit(u'i'), 0x130);
    EXPECT_EQ(TurkishUpperUnit(0x131), u'I');
    EXPECT_EQ(TurkishUpperUnit(u'q'), u'Q');
}

// Records of one word with the given common and form grammars (names).
struct TGrammarSpec {
    const char* Common;
    const char* Form;
    uint32_t Flags = 0;
};

TEST(RussianPostProcess, FlagsRareDerivedFormsBesideOrdinaryOnes) {
    const struct {
        std::vector<TGrammarSpec> Records;
        std::vector<bool> Rare;
    } cases[] = {
        // A participle beside an adjective is ordinary.
        {{{"V", "partcp m nom sg"}, {"A", "m nom sg"}}, {false, false}},
        // A gerund is flagged beside anything ordinary.
        {{{"V", "ger"}, {"S m", "nom sg"}}, {true, false}},
        {{{"V", "ger"}, {"A", "brev"}, {"ADV", ""}}, {true, false, false}},
        // A short form beside an adverb is ordinary; beside a noun it is rare (the noun
        // wins over the adverb).
        {{{"A", "brev n sg"}, {"ADV", ""}}, {false, false}},
        {{{"A", "brev n sg"}, {"ADV", ""}, {"S m", "nom sg"}}, {true, false, false}},
        // An imperative is ordinary only beside a comparative.
        {{{"V", "imper sg"}, {"A", "comp"}}, {false, false}},
        {{{"V", "imper sg"}, {"A", "m nom sg"}}, {true, false}},
        // The derived form may sit in the common grammar.
        {{{"V partcp", "m nom sg"}, {"S m", "nom sg"}}, {true, false}},
        // Only derived forms, or derived forms and a placeholder: nothing is flagged.
        {{{"V", "partcp"}, {"V", "ger"}}, {false, false}},
        {{{"V", "ger"}, {"", "", AF_PLACEHOLDER}}, {false, false}},
        // A record with one ordinary form among derived ones is ordinary.
        {{{"V", "ger"}, {"V", "partcp"}, {"V", "inf"}}, {true, true, false}},
    };
    std::deque<std::string> grams;
    for (const auto& c : cases) {
        TAnalysisVector out(2);
        for (const TGrammarSpec& g : c.Records) {
            TAnalysisRecord& r = out.emplace_back();
            r.Flags = g.Flags;
            r.CommonGrammar = grams.emplace_back(Gram(g.Common)).c_str();
            if (!(g.Flags & AF_PLACEHOLDER)) {
                r.FormGrammars[r.FormGrammarCount++] = grams.emplace_back(Gram(g.Form)).c_str();
            }
        }
        if (c.Records.size() == 3 && std::string(c.Records[2].Form) == "inf") {
            // The third record holds a derived and an ordinary form.
            out[4].FormGrammars[out[4].FormGrammarCount++] =
                grams.emplace_back(Gram("partcp")).c_str();
        }
        const size_t end = out.size();
        EXPECT_EQ(LanguageById(1)->PostProcess(out, 2, end, NLemmer::TNormalizeResult(3)), end - 2);
        for (size_t i = 0; i < c.Rare.size(); ++i) {
            EXPECT_EQ((out[2 + i].Flags & AF_RARE_FORM) != 0, c.Rare[i])
                << c.Records[0].Common << "/" << c.Records[0].Form << " record " << i;
        }
        EXPECT_EQ(out[0].Flags, 0u);
    }
}

TEST(RussianPostProcess, OldSpellingGetsObsolInEveryNewRecord) {
    NLemmer::NTest::TAnalysisFixture fixture;
    TAnalysisVector out;
    const std::u16string word = u"хлѣбъ";
    ASSERT_EQ(LanguageById(1)->Recognize(word.data(), word.size(), out,
                                         MakeRecognizeOptions(3, "", true)),
              1u);
    EXPECT_EQ(LemmaOf(out[0]), u"хлеб");
    EXPECT_EQ(out[0].Flags, 0u);
    EXPECT_EQ(std::string(out[0].ExtraGrammemes), Gram("obsol"));
    // An old-spelling word the dictionary lacks: the placeholder is obsol too.
    out.clear();
    const std::u16string unknown = u"дѣдъ";
    ASSERT_EQ(LanguageById(1)->Recognize(
                  unknown.data(), unknown.size(), out,
                  TRecognizeOptions(TRecognizeOptions::Unlimited, RF_PLACEHOLDER, "", true)),
              1u);
    EXPECT_EQ(LemmaOf(out[0]), u"дед");
    EXPECT_EQ(std::string(out[0].ExtraGrammemes), Gram("obsol"));
    // Basic Russian neither marks nor flags, and reports Russian.
    out.clear();
    ASSERT_EQ(LanguageById(32)->Recognize(word.data(), word.size(), out,
                                          MakeRecognizeOptions(3, "", true)),
              1u);
    EXPECT_EQ(out[0].Language, 1u);
    EXPECT_EQ(out[0].ExtraGrammemes[0], 0);
}

TEST(RussianPostProcess, DictionaryWordsGetTheirFlags) {
    NLemmer::NTest::TAnalysisFixture fixture;
    const struct {
        const char16_t* Word;
        size_t Records;
        size_t Rare;
    } cases[] = {{u"плав", 2, 1}, {u"знающий", 2, 0}, {u"читающий", 1, 0}, {u"быстро", 2, 0}};
    for (const auto& c : cases) {
        TAnalysisVector out;
        const std::u16string word = c.Word;
        EXPECT_EQ(LanguageById(1)->Recognize(word.data(), word.size(), out,
                                             MakeRecognizeOptions(0, "", true)),
                  c.Records);
        size_t rare = 0;
        for (const TAnalysisRecord& r : out) {
            rare += (r.Flags & AF_RARE_FORM) != 0;
        }
        EXPECT_EQ(rare, c.Rare) << std::string(word.begin(), word.begin() + 2);
    }
}

TEST(BasicEnglish, KeepsTheLemmaAndItsSForms) {
    const std::string noun = Gram("S"), pl = Gram("pl"), sg = Gram("sg");
    const struct {
        const char16_t* Norm;
        const char16_t* Lemma;
        uint32_t Flags;
        const char* Form;
        bool Kept;
    } cases[] = {
        {u"cats", u"cat", 0, "", true},       {u"cat", u"cat", 0, "", true},
        {u"ran", u"run", 0, "", false},       {u"xyzs", u"xyz", 1, "", true},
        {u"wolves", u"wolf", 0, "pl", true},  {u"wolves", u"wolf", 0, "sg", false},
        {u"wolves", u"wolf", 1, "pl", false}, {u"flies", u"fly", 0, "", true},
        {u"boxes", u"box", 0, "", true},      {u"cat's", u"cat", 0, "", true},
        {u"es", u"", 0, "", false},           {u"cat", u"ca", 0, "", false},
    };
    TAnalysisVector out(1);
    for (const auto& c : cases) {
        TAnalysisRecord& r = out.emplace_back();
        const std::u16string norm = c.Norm, lemma = c.Lemma;
        SetRecordLemma(r, lemma.data(), lemma.size(), 1, 0, 0, noun.c_str());
        SetRecordText(r, norm.data(), norm.size());
        r.Language = 53;
        r.Flags = c.Flags;
        const std::string form = c.Form;
        if (!form.empty()) {
            r.FormGrammars[r.FormGrammarCount++] = form == "pl" ? pl.c_str() : sg.c_str();
        }
    }
    const size_t total = out.size() - 1;
    size_t expected = 0;
    for (const auto& c : cases) {
        expected += c.Kept;
    }
    EXPECT_EQ(LanguageById(53)->PostProcess(out, 1, out.size(), NLemmer::TNormalizeResult()),
              expected);
    ASSERT_EQ(out.size(), 1 + expected);
    size_t k = 1;
    for (size_t i = 0; i < total; ++i) {
        if (!cases[i].Kept) {
            continue;
        }
        EXPECT_EQ(LemmaOf(out[k]), std::u16string(cases[i].Lemma));
        EXPECT_EQ(out[k].Language, 2u);
        ++k;
    }
}

TEST(English, GivesOnlyPlaceholdersWithoutADictionary) {
    TAnalysisVector out;
    const std::u16string word = u"table";
    EXPECT_EQ(LanguageById(2)->Recognize(word.data(), word.size(), out,
                                         MakeRecognizeOptions(3, "", true)),
              1u);
    EXPECT_EQ(out[0].Flags, AF_PLACEHOLDER);
    EXPECT_EQ(out[0].Language, 2u);
    EXPECT_EQ(LanguageById(2)->Recognize(word.data(), word.size(), out,
                                         MakeRecognizeOptions(2, "", true)),
              0u);
}

}  // namespace
