#include "lemmer/generation/wordform_generator.h"

#include "lemmer/analysis/analysis_test_helpers.h"
#include "lemmer/analysis/language_registry.h"
#include "lemmer/dictionary/dictionary_loader.h"
#include "lemmer/generation/wordform_test_helpers.h"

#include "util/generic/memory_pool.h"
#include "util/stream/file_stream.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using NByk::NTest::Gram;
using NLemmer::NTest::Dump;
using NLemmer::NTest::FormKeys;

TAnalysisRecord Placeholder(const std::u16string& lemma, const std::u16string& word,
                            size_t tail = 0) {
    TAnalysisRecord r;
    SetRecordLemma(r, lemma.data(), lemma.size(), 0, 0, 0, "");
    SetRecordText(r, word.data(), word.size());
    r.TailLength = tail;
    r.Flags = AF_PLACEHOLDER;
    return r;
}

std::vector<TGeneratedForm> Generate(TWordformGenerator& g) {
    std::vector<TGeneratedForm> forms;
    TGeneratedForm f;
    while (g.Next(f)) {
        forms.push_back(f);
    }
    EXPECT_FALSE(g.Next(f)) << "stays at its end";
    return forms;
}

TEST(DefaultWordformIterator, GivesTheLemmaAndADifferentWord) {
    struct TCase {
        std::u16string Lemma, Word;
        size_t Tail;
        std::string Forms;
    };
    const TCase cases[] = {
        {u"стол", u"стол", 0, "стол:"},
        {u"стол", u"столы", 0, "стол: столы:"},
        {u"", u"столы", 0, "столы:"},
        // No empty form for a record without a normalised word.
        {u"стол", u"", 0, "стол:"},
        {u"", u"", 0, ""},
        {u"стол-то", u"столы-то", 3, "стол-то: столы-то:"},
    };
    for (const TCase& c : cases) {
        const TAnalysisRecord r = Placeholder(c.Lemma, c.Word, c.Tail);
        TWordformGenerator g(r, nullptr, nullptr);
        EXPECT_TRUE(g.HasIterator());
        const std::vector<TGeneratedForm> forms = Generate(g);
        EXPECT_EQ(Dump(forms), c.Forms);
        for (const TGeneratedForm& f : forms) {
            EXPECT_EQ(f.PostfixLength, c.Tail);
            EXPECT_EQ(f.StemLength + f.PostfixLength, f.Text.size());
            EXPECT_EQ(f.PrefixLength, 0u);
            EXPECT_TRUE(f.Grammars.empty());
        }
    }
    // The default language generates through the same iterator.
    std::vector<TGeneratedForm> forms;
    EXPECT_EQ(GenerateWordforms(Placeholder(u"кот", u"коты"), "", forms), 2u);
    EXPECT_EQ(Dump(forms), "кот: коты:");
}

TEST(DefaultWordformIterator, PiecesCompareAsJoinedTexts) {
    TWordformPieces a, b;
    const std::u16string ab = u"абв", x = u"аб", y = u"в", z = u"б";
    a.Pieces[TWordformPieces::Stem] = {ab.data(), 3};
    b.Pieces[TWordformPieces::Prefix] = {x.data(), 2};
    b.Pieces[TWordformPieces::Postfix] = {y.data(), 1};
    EXPECT_TRUE(a.SameText(b));
    EXPECT_TRUE(b.SameText(ab.data(), 3));
    EXPECT_FALSE(b.SameText(x.data(), 2));
    EXPECT_EQ(a.CommonPrefixLength(b), 3u);
    b.Pieces[TWordformPieces::Ending] = {z.data(), 1};
    EXPECT_EQ(a.CommonPrefixLength(b), 2u);
    EXPECT_FALSE(a.SameText(b));
    EXPECT_EQ(std::u16string(b.Text().data(), b.Text().size()), u"аббв");
    b.Pieces[TWordformPieces::Ending] = {};
    b.Pieces[TWordformPieces::Spare] = {y.data(), 1};
    EXPECT_EQ(a.CommonPrefixLength(b), 3u) << "a longer text agrees on all of the shorter";
    EXPECT_FALSE(a.SameText(b));
}

// A paradigm of four stem variants by hand: ид (the lemma's), one with no endings, ш, and a last
// one with no endings again. The record's texts lie at odd offsets, as four variants put them.
TEST(BykWordformIterator, WalksVariantsInOrderSkippingEmptyOnes) {
    NByk::NTest::TFixture f;
    f.Alphabet(u"абвгдеёжзийклмнопрстуфхцчшщъыьэюя", u"аеёиоуыэюя");
    const uint16_t inf = f.Ending(u"", u"ти", "inf");
    const uint16_t first = f.Ending(u"", u"у", "praes sg 1p");
    const uint16_t past = f.Ending(u"", u"ёл", "praet sg m");
    const uint16_t prefixed = f.Ending(u"по", u"ёл", "praet sg m");
    const uint16_t present = f.List({inf, first});
    const uint16_t none = f.List({});
    const uint16_t pasts = f.List({past, prefixed});
    const std::string common = Gram("V ipf");
    std::string rule = {4, 0, 0, 2};
    auto u16 = [&rule](uint32_t v) {
        rule.push_back(static_cast<char>(v & 0xFF));
        rule.push_back(static_cast<char>(v >> 8));
    };
    for (uint16_t list : {present, none, pasts, none}) {
        u16(list);
    }
    rule += {2, 2, 4, 4};  // letters of the lemma each variant drops
    for (uint32_t end : {31, 31, 31, 33}) {
        u16(end);  // texts 0 (ти) to 3 (ш, the stem tail of the third variant)
    }
    u16(33);
    rule.push_back(static_cast<char>(common.size()));
    ASSERT_EQ(rule.size(), 27u);
    for (char16_t u : std::u16string(u"тиш")) {
        u16(u);
    }
    rule += common + '\0';
    f.RawRule(rule);
    f.Stem(u"ид", {0});
    const NByk::TDictionary& d = f.Build();

    TAnalysisRecord r;
    const std::u16string lemma = u"идти";
    SetRecordLemma(r, lemma.data(), lemma.size(), 0, 0, 2, nullptr);
    r.CommonGrammar = NByk::TextOrEmpty(reinterpret_cast<const char*>(d.Rules[0].Data) + 33);
    r.Language = 1;
    TWordformGenerator g(r, &d, nullptr);
    const std::vector<TGeneratedForm> forms = Generate(g);
    EXPECT_EQ(Dump(forms), "идти:inf иду:praes sg 1p шёл:praet sg m пошёл:praet sg m");
    ASSERT_EQ(forms.size(), 4u);
    EXPECT_EQ(forms[2].StemLength, 1u);
    EXPECT_EQ(forms[3].StemLength, 1u);
    EXPECT_EQ(forms[3].PrefixLength, 2u);
    EXPECT_EQ(forms[0].CommonGrammar, r.CommonGrammar);

    // With a clue only the forms that carry it.
    const NLemmer::NDetail::TClueGrammarFiltr past3({Stroka(Gram("praet").c_str())});
    TWordformGenerator narrowed(r, &d, &past3);
    EXPECT_EQ(Dump(Generate(narrowed)), "шёл:praet sg m пошёл:praet sg m");
}

class SampleDictionary : public ::testing::Test {
protected:
    SampleDictionary() : Pool_(1 << 16) {
        TFileInput in{Stroka(LEMMIX_SAMPLE_DICTIONARY)};
        NByk::LoadDictionary(Dictionary_, in, Pool_);
        Guard_ = std::make_unique<NLemmer::NTest::TRussianDictionaryGuard>(&Dictionary_);
        TFileInput source{
            Stroka(LEMMIX_SOURCE_DIR "/lemmer/compiler/testdata/sample-entries.dict")};
        const Stroka text = source.ReadAll();
        for (NLemmer::NTest::TSourceEntry& e :
             NLemmer::NTest::ReadSourceEntries(std::string(text.data(), text.size()))) {
            Entries_.push_back(std::move(e));
        }
    }

    // The dictionary analyses of a word whose lemma is `lemma`.
    TAnalysisVector Analyses(const std::u16string& word, const std::u16string& lemma) {
        TAnalysisVector all, out;
        LanguageById(1)->Recognize(
            word.data(), word.size(), all,
            TRecognizeOptions(TRecognizeOptions::Unlimited, RF_DICTIONARY, "", false));
        for (const TAnalysisRecord& r : all) {
            if (std::u16string(r.Lemma, r.LemmaLength) == lemma) {
                out.push_back(r);
            }
        }
        return out;
    }

    TMemoryPool Pool_;
    NByk::TDictionary Dictionary_;
    std::unique_ptr<NLemmer::NTest::TRussianDictionaryGuard> Guard_;
    std::vector<NLemmer::NTest::TSourceEntry> Entries_;
};

// Every entry of the source, found through any of its words, generates exactly its wordforms
// with their grammar, whichever stem variant, prefix or ending they have.
TEST_F(SampleDictionary, EveryEntryGeneratesItsWordforms) {
    ASSERT_GT(Entries_.size(), 5u);
    for (const NLemmer::NTest::TSourceEntry& e : Entries_) {
        const std::string lemma = NLemmer::NTest::ToUtf8(e.Lemma.data(), e.Lemma.size());
        std::set<std::u16string> words(e.Words.begin(), e.Words.end());
        for (const std::u16string& word : words) {
            bool found = false;
            for (const TAnalysisRecord& r : Analyses(word, e.Lemma)) {
                if (std::string(r.CommonGrammar) != e.Common) {
                    continue;
                }
                std::vector<TGeneratedForm> forms;
                GenerateWordforms(r, "", forms);
                found = found || FormKeys(forms) == e.Forms;
            }
            EXPECT_TRUE(found) << lemma << " through "
                               << NLemmer::NTest::ToUtf8(word.data(), word.size());
        }
    }
}

TEST_F(SampleDictionary, MergesFormsThatDifferOnlyInGrammar) {
    const TAnalysisVector r = Analyses(u"столы", u"стол");
    ASSERT_EQ(r.size(), 1u);
    std::vector<TGeneratedForm> forms;
    GenerateWordforms(r[0], "", forms);
    // Each text once, and the two plural forms "столы" as one record of two grammars.
    std::set<std::string> texts;
    for (const TGeneratedForm& f : forms) {
        const std::string text = NLemmer::NTest::ToUtf8(f.Text.data(), f.Text.size());
        EXPECT_TRUE(texts.insert(text).second) << Dump(forms);
        EXPECT_EQ(f.Language, 1u);
        EXPECT_EQ(f.CommonGrammar, r[0].CommonGrammar);
        EXPECT_EQ(f.StemLength, 4u) << text;
        EXPECT_EQ(f.PrefixLength + f.PostfixLength, 0u);
        if (text == "столы") {
            EXPECT_EQ(f.Grammars.size(), 2u);
            EXPECT_EQ(FormKeys({f}), (std::set<std::string>{"столы:acc pl", "столы:nom pl"}));
        }
    }
    EXPECT_EQ(texts.size(), 10u) << Dump(forms);
}

TEST_F(SampleDictionary, StemVariantsAndPrefixesMakeTheirForms) {
    // палец: the variant пальц cuts two letters of the lemma and adds ьц.
    const TAnalysisVector finger = Analyses(u"пальцами", u"палец");
    ASSERT_EQ(finger.size(), 1u);
    std::vector<TGeneratedForm> forms;
    GenerateWordforms(finger[0], Gram("ins").c_str(), forms);
    EXPECT_EQ(FormKeys(forms), (std::set<std::string>{"пальцем:ins sg", "пальцами:ins pl"}));
    EXPECT_EQ(forms.at(0).StemLength, 5u);

    // он: н before the stem is the form's prefix.
    const TAnalysisVector he = Analyses(u"него", u"он");
    ASSERT_FALSE(he.empty());
    forms.clear();
    GenerateWordforms(he[0], Gram("abl").c_str(), forms);
    ASSERT_EQ(forms.size(), 1u) << Dump(forms);
    const std::u16string nem = NLemmer::NTest::NormalizeRussian(u"нём");
    EXPECT_EQ(FormKeys(forms),
              std::set<std::string>{NLemmer::NTest::ToUtf8(nem.data(), nem.size()) + ":abl"});
    EXPECT_EQ(forms[0].PrefixLength, 1u);
    EXPECT_EQ(forms[0].StemLength, 1u);
}

TEST_F(SampleDictionary, ClueNarrowsOrRefusesTheLemma) {
    const TAnalysisVector r = Analyses(u"стол", u"стол");
    ASSERT_EQ(r.size(), 1u);
    std::vector<TGeneratedForm> forms;
    EXPECT_EQ(GenerateWordforms(r[0], Gram("pl").c_str(), forms), 5u) << Dump(forms);
    for (const TGeneratedForm& f : forms) {
        for (const char* g : f.Grammars) {
            EXPECT_NE(NLemmer::NTest::GramNames(g).find("pl"), std::string::npos) << Dump(forms);
        }
    }
    // f against the lemma's m: no iterator, nothing at all.
    const auto filter = LanguageById(1)->CreateGrammarFiltr(Gram("f").c_str());
    const auto generator = LanguageById(1)->CreateWordformGenerator(r[0], filter.get());
    EXPECT_FALSE(generator->HasIterator());
    TGeneratedForm f;
    EXPECT_FALSE(generator->Next(f));
    forms.clear();
    EXPECT_EQ(GenerateWordforms(r[0], Gram("f").c_str(), forms), 0u);
    // A clue the lemma fixes whole (S m inan) keeps every form.
    EXPECT_EQ(GenerateWordforms(r[0], Gram("S inan").c_str(), forms), 10u);
    // The generator keeps its own copy of the filter.
    const auto pl = LanguageById(1)->CreateGrammarFiltr(Gram("pl").c_str());
    auto g = std::make_unique<TWordformGenerator>(r[0], &Dictionary_, pl.get());
    EXPECT_EQ(Generate(*g).size(), 5u);
}

TEST_F(SampleDictionary, TokenTailFollowsEveryForm) {
    TAnalysisVector r = Analyses(u"мама", u"мама");
    ASSERT_EQ(r.size(), 1u);
    const std::u16string tail = u"-то";
    std::copy(tail.begin(), tail.end(), r[0].Lemma + r[0].LemmaLength);
    r[0].LemmaLength += tail.size();
    r[0].TailLength = tail.size();
    std::vector<TGeneratedForm> forms;
    GenerateWordforms(r[0], "", forms);
    EXPECT_EQ(FormKeys(forms),
              (std::set<std::string>{"мама-то:nom", "мамы-то:gen", "маме-то:dat", "маму-то:acc"}));
    for (const TGeneratedForm& form : forms) {
        EXPECT_EQ(form.PostfixLength, 3u);
        EXPECT_EQ(form.StemLength, 3u);
    }
}

TEST_F(SampleDictionary, RecordsWithoutAParadigmFallBackOrGiveNothing) {
    TAnalysisVector r = Analyses(u"маме", u"мама");
    ASSERT_EQ(r.size(), 1u);
    // A rule id the dictionary does not hold: no forms rather than a read out of bounds.
    TAnalysisRecord bad = r[0];
    bad.RuleId = Dictionary_.RuleCount;
    TWordformGenerator none(bad, &Dictionary_, nullptr);
    EXPECT_TRUE(Generate(none).empty());
    // A lemma taken from the word has no dictionary paradigm: lemma and word.
    TAnalysisRecord replaced = r[0];
    SetLemmaFromNormalizedForm(replaced, false);
    ASSERT_NE(replaced.Flags & AF_LEMMA_FROM_WORD, 0u);
    std::vector<TGeneratedForm> forms;
    GenerateWordforms(replaced, "", forms);
    EXPECT_EQ(Dump(forms), "маме:");
}

}  // namespace
