#include "lemmer/grammar/grammar_filter.h"

#include "lemmer/analysis/language_objects.h"
#include "lemmer/analysis/language_registry.h"
#include "lemmer/dictionary/dictionary_test_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using NByk::NTest::Gram;
using NLemmer::NDetail::TClueGrammarFiltr;
using NLemmer::NDetail::TDummyGrammarFiltr;

TAnalysisRecord RecordWithGrammar(const std::string& common) {
    static std::vector<std::string> kept;  // the record borrows its grammar
    kept.push_back(common);
    TAnalysisRecord r;
    r.CommonGrammar = kept.back().c_str();
    return r;
}

std::vector<std::string> Targets(const TClueGrammarFiltr& f) {
    std::vector<std::string> out;
    for (const Stroka& t : f.Targets()) {
        out.emplace_back(t.data(), t.size());
    }
    return out;
}

TEST(DummyGrammarFiltr, AcceptsEveryFormOnlyOncePrepared) {
    TDummyGrammarFiltr f;
    const std::string pl = Gram("nom pl");
    EXPECT_FALSE(f.IsProperLemma());
    EXPECT_FALSE(f.IsProperForm(pl.c_str()));
    EXPECT_FALSE(f.IsProperForm(nullptr));
    const auto unprepared = f.Clone();
    f.SetLemma(TAnalysisRecord());
    EXPECT_TRUE(f.IsProperLemma());
    EXPECT_TRUE(f.IsProperForm(pl.c_str()));
    EXPECT_TRUE(f.IsProperForm(""));
    EXPECT_TRUE(f.IsProperForm(nullptr));
    EXPECT_FALSE(unprepared->IsProperForm(pl.c_str()));
    EXPECT_TRUE(f.Clone()->IsProperForm(pl.c_str()));
}

TEST(ClueGrammarFiltr, TakesTheCluesBeforeTheFirstEmptyOne) {
    const TClueGrammarFiltr two({Stroka(Gram("pl").c_str()), Stroka(Gram("f").c_str()), Stroka(),
                                 Stroka(Gram("sg").c_str())});
    ASSERT_EQ(two.Clues().size(), 2u);
    EXPECT_EQ(std::string(two.Clues()[1].c_str()), Gram("f"));
    for (const std::vector<Stroka>& none : {std::vector<Stroka>{}, std::vector<Stroka>{Stroka()}}) {
        const TClueGrammarFiltr f(none);
        ASSERT_EQ(f.Clues().size(), 1u);
        EXPECT_TRUE(f.Clues()[0].empty());
        EXPECT_FALSE(f.IsProperLemma()) << "no targets before SetLemma";
    }
}

// Clue against the lemma's common grammar: the targets left, and forms accepted or not.
TEST(ClueGrammarFiltr, KeepsWhatTheLemmaDoesNotFixAndDropsWhatContradictsIt) {
    struct TCase {
        const char* Common;
        std::vector<const char*> Clues;
        std::vector<const char*> Targets;
        std::vector<const char*> Accepted;
        std::vector<const char*> Rejected;
    };
    const TCase cases[] = {
        // A number the lemma leaves open must be in the form.
        {"S m inan", {"pl"}, {"pl"}, {"nom pl", "gen pl"}, {"nom sg", ""}},
        // A gender against the lemma's gender drops the clue: nothing is accepted.
        {"S m inan", {"f"}, {}, {}, {"nom sg", "f", ""}},
        // The part of speech is fixed by the lemma and skipped.
        {"S", {"S pl"}, {"pl"}, {"dat pl"}, {"dat sg"}},
        // All of a clue must be in the form; a later clue may still accept.
        {"A", {"f sg", "pl"}, {"f sg", "pl"}, {"nom f sg", "gen pl"}, {"nom f", "nom m sg"}},
        // One dropped clue beside a kept one.
        {"S f anim", {"m", "pl"}, {"pl"}, {"nom pl"}, {"nom sg"}},
        // Grammemes of no category: equal ones are fixed, others never contradict.
        {"S abbr", {"abbr pl"}, {"pl"}, {"pl"}, {"sg"}},
        {"S abbr", {"rare"}, {"rare"}, {"gen rare"}, {"gen"}},
        // An empty clue, or one fixed wholly by the lemma, accepts every form, even one
        // without grammar.
        {"S m", {""}, {""}, {"nom sg", "", nullptr}, {}},
        {"S m inan", {"m inan"}, {""}, {"ins pl", nullptr}, {}},
        // A target that is not empty rejects a form without grammar.
        {"V", {"inf"}, {"inf"}, {"inf"}, {"", nullptr}},
    };
    for (const TCase& c : cases) {
        std::vector<Stroka> clues;
        for (const char* clue : c.Clues) {
            clues.emplace_back(Gram(clue).c_str());
        }
        clues.emplace_back();
        TClueGrammarFiltr f(clues);
        f.SetLemma(RecordWithGrammar(Gram(c.Common)));
        const std::string label = std::string(c.Common) + " / " + c.Clues[0];
        std::vector<std::string> expected;
        for (const char* t : c.Targets) {
            expected.push_back(Gram(t));
        }
        EXPECT_EQ(Targets(f), expected) << label;
        EXPECT_EQ(f.IsProperLemma(), !expected.empty()) << label;
        for (const char* form : c.Accepted) {
            const std::string g = form ? Gram(form) : "";
            EXPECT_TRUE(f.IsProperForm(form ? g.c_str() : nullptr)) << label << " : " << form;
        }
        for (const char* form : c.Rejected) {
            const std::string g = form ? Gram(form) : "";
            EXPECT_FALSE(f.IsProperForm(form ? g.c_str() : nullptr)) << label << " : " << form;
        }
    }
}

TEST(ClueGrammarFiltr, RebuildsTargetsForEachLemmaAndClonesIndependently) {
    TClueGrammarFiltr f({Stroka(Gram("f").c_str())});
    f.SetLemma(RecordWithGrammar(Gram("S m")));
    EXPECT_FALSE(f.IsProperLemma());
    f.SetLemma(RecordWithGrammar(Gram("A")));
    EXPECT_TRUE(f.IsProperLemma());
    // A record not filled yet has no common grammar: nothing is fixed.
    TClueGrammarFiltr open({Stroka(Gram("S pl").c_str())});
    open.SetLemma(TAnalysisRecord());
    EXPECT_EQ(Targets(open), std::vector<std::string>{Gram("S pl")});

    const std::unique_ptr<NLemmer::TGrammarFiltr> copy = f.Clone();
    f.SetLemma(RecordWithGrammar(Gram("S m")));
    EXPECT_FALSE(f.IsProperLemma());
    EXPECT_TRUE(copy->IsProperLemma());
    const std::string nomF = Gram("nom f sg");
    EXPECT_TRUE(copy->IsProperForm(nomF.c_str()));
    const auto* clue = dynamic_cast<const TClueGrammarFiltr*>(copy.get());
    ASSERT_NE(clue, nullptr);
    EXPECT_EQ(Targets(*clue), std::vector<std::string>{Gram("f")});
}

TEST(LanguageFilters, DictionaryLanguagesFilterByClueOthersAcceptAll) {
    const std::string clue = Gram("pl");
    const auto russian = LanguageById(1)->CreateGrammarFiltr(clue.c_str());
    const auto* f = dynamic_cast<const TClueGrammarFiltr*>(russian.get());
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(f->Clues().size(), 1u);
    EXPECT_EQ(std::string(f->Clues()[0].c_str()), clue);
    const auto empty = LanguageById(2)->CreateGrammarFiltr("");
    f = dynamic_cast<const TClueGrammarFiltr*>(empty.get());
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(f->Clues().size(), 1u);
    EXPECT_TRUE(f->Clues()[0].empty());

    const auto dummy = LanguageById(0)->CreateGrammarFiltr(clue.c_str());
    ASSERT_NE(dynamic_cast<const TDummyGrammarFiltr*>(dummy.get()), nullptr);
    EXPECT_FALSE(dummy->IsProperLemma());
}

TEST(LanguageFilters, ParadigmFilterFollowsTheRecordsRating) {
    // A Russian noun that is its own lemma, with a plural nominative first among its nominatives.
    TAnalysisRecord noun = RecordWithGrammar(Gram("S f inan"));
    noun.Language = 1;
    const std::u16string word = u"ножницы";
    SetRecordLemma(noun, word.data(), word.size(), 1, 0, 0, noun.CommonGrammar);
    SetRecordText(noun, word.data(), word.size());
    const std::string gen = Gram("gen pl"), nom = Gram("nom pl");
    noun.FormGrammars[0] = gen.c_str();
    noun.FormGrammars[1] = nom.c_str();
    noun.FormGrammarCount = 2;

    const auto filter = LanguageById(1)->CreateParadigmFiltr(noun);
    ASSERT_NE(filter, nullptr);
    const auto* clue = dynamic_cast<const TClueGrammarFiltr*>(filter.get());
    ASSERT_NE(clue, nullptr);
    // The clue is what the first nominative form carries of gender, number, aspect and voice.
    EXPECT_EQ(std::string(clue->Clues()[0].c_str()), Gram("pl"));
    EXPECT_EQ(Targets(*clue), std::vector<std::string>{Gram("pl")});
    EXPECT_TRUE(filter->IsProperForm(gen.c_str()));
    const std::string sg = Gram("nom sg");
    EXPECT_FALSE(filter->IsProperForm(sg.c_str()));
    EXPECT_EQ(CreateRecordParadigmFiltr(noun) != nullptr, true);

    // Base-class languages: a prepared filter with the empty clue, or none at rating 0.
    TAnalysisRecord english = noun;
    english.Language = 2;
    const auto any = LanguageById(2)->CreateParadigmFiltr(english);
    if (LanguageById(2)->SpecialParadigmKind(english) == 0) {
        EXPECT_EQ(any, nullptr);
    } else {
        ASSERT_NE(any, nullptr);
        EXPECT_TRUE(any->IsProperForm(sg.c_str()));
    }
    // A placeholder rates 0 everywhere; the default language rates a record that is its own
    // lemma 2 and gives it the prepared filter with the empty clue.
    TAnalysisRecord placeholder = noun;
    placeholder.Flags = AF_PLACEHOLDER;
    placeholder.CommonGrammar = "";
    placeholder.FormGrammarCount = 0;
    EXPECT_EQ(LanguageById(1)->CreateParadigmFiltr(placeholder), nullptr);
    EXPECT_EQ(LanguageById(0)->CreateParadigmFiltr(placeholder), nullptr);
    EXPECT_EQ(LanguageById(0)->SpecialParadigmKind(noun), 2);
    const auto basic = LanguageById(0)->CreateParadigmFiltr(noun);
    ASSERT_NE(basic, nullptr);
    EXPECT_TRUE(basic->IsProperForm(sg.c_str()));
    TAnalysisRecord unknownLanguage = noun;
    unknownLanguage.Language = 7;
    EXPECT_EQ(&LanguageOfRecord(unknownLanguage), LanguageById(0));
    EXPECT_NE(CreateRecordParadigmFiltr(unknownLanguage), nullptr);
    TAnalysisRecord inflected = unknownLanguage;
    const std::u16string other = u"ножниц";
    SetRecordText(inflected, other.data(), other.size());
    EXPECT_EQ(LanguageById(0)->SpecialParadigmKind(inflected), 0);
}

}  // namespace
