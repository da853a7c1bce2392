// The embedded Russian dictionary under the analyser: a seeded sample of its wordforms must all be
// found with their lemmas, and a few words must analyse as the dictionary is meant to.
#include "lemmer/alphabet/alphabet_registry.h"
#include "lemmer/alphabet/word_normalizer.h"
#include "lemmer/analysis/analyze_word.h"
#include "lemmer/grammar/gram_codes.h"
#include "lemmer/token/word_parts.h"

#include "util/charset/utf8.h"
#include "util/testing/gzip_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A lemma as the analyser writes it (the Russian normaliser with its hook), ё as е.
std::u16string Fold(const wchar16* text, size_t length) {
    TUtf16String word(text, length);
    NLemmer::GetAlphabetWordNormalizer(1)->NormalizeWord(word, 0x3F);
    std::u16string s(word.data(), word.size());
    for (char16_t& c : s) {
        if (c == u'ё') {
            c = u'е';
        }
    }
    return s;
}

// A lemma the analyser wrote (already normalised) with ё as е.
bool SameLemma(const TAnalysisRecord& r, const std::u16string& folded) {
    if (r.LemmaLength != folded.size()) {
        return false;
    }
    for (size_t i = 0; i < folded.size(); ++i) {
        if ((r.Lemma[i] == u'ё' ? u'е' : r.Lemma[i]) != folded[i]) {
            return false;
        }
    }
    return true;
}

// A token whose parts are split at hyphens and apostrophes, as the tokeniser splits words.
struct TWordToken {
    std::u16string Text;
    std::vector<TTokenPart> Parts;

    explicit TWordToken(std::u16string text) : Text(std::move(text)) {
        NLemmer::SplitWordParts(Text.data(), Text.size(), Parts);
    }
    TTokenView View() const { return {Text.data(), Text.size(), Parts}; }
};

class RussianDictionaryTest : public ::testing::Test {
protected:
    // The analyses of a word that cover it whole.
    std::vector<const TAnalysisRecord*> Analyze(const std::u16string& word) {
        const TWordToken token(word);
        AnalyzeWord(token.View(), Out_, TLangMask(1), nullptr, Options);
        std::vector<const TAnalysisRecord*> whole;
        for (const TAnalysisRecord& r : Out_) {
            if (r.Language == 1 && r.FirstPart == 0 && r.PartCount == token.Parts.size()) {
                whole.push_back(&r);
            }
        }
        return whole;
    }

    TAnalyzeWordOptions Options;

private:
    TAnalysisVector Out_;
};

TEST_F(RussianDictionaryTest, EverySampledWordformFindsItsLemma) {
    // 100,000 wordforms drawn from all wordforms of the dictionary's source with their lemmas
    // (tools/opencorpora/sample_words.py); each must have its lemma among its dictionary
    // analyses.
    const Stroka sample = NTesting::ReadGzipFile(
        LEMMIX_SOURCE_DIR "/lemmer/analysis/testdata/russian-wordforms-sample.tsv.gz");
    Options.DictionaryOnly();
    size_t lines = 0;
    size_t missedCount = 0;
    std::vector<Stroka> missed;
    size_t start = 0;
    while (start < sample.size()) {
        size_t end = sample.find('\n', start);
        if (end == Stroka::npos) {
            end = sample.size();
        }
        const Stroka line(sample.data() + start, end - start);
        start = end + 1;
        const size_t tab = line.find('\t');
        ASSERT_NE(tab, Stroka::npos) << line.c_str();
        ++lines;
        const TUtf16String word = DecodeUtf8(line.data(), tab);
        const TUtf16String lemma16 = DecodeUtf8(line.data() + tab + 1, line.size() - tab - 1);
        const std::u16string lemma = Fold(lemma16.data(), lemma16.size());
        bool found = false;
        for (const TAnalysisRecord* r : Analyze(std::u16string(word.data(), word.size()))) {
            found = found || ((r->Flags & AF_NOT_FROM_DICTIONARY) == 0 && SameLemma(*r, lemma));
        }
        if (!found) {
            ++missedCount;
            if (missed.size() < 10) {
                missed.push_back(line);
            }
        }
    }
    EXPECT_EQ(lines, 100000u);
    EXPECT_EQ(missedCount, 0u) << "for example: " << (missed.empty() ? "" : missed[0].c_str());
}

TEST_F(RussianDictionaryTest, WordsAnalyseToTheirLemmas) {
    const struct {
        const char16_t* Word;
        const char16_t* Lemma;
    } cases[] = {
        {u"пальцу", u"палец"}, {u"столы", u"стол"}, {u"шёл", u"идти"},  {u"шел", u"идти"},
        {u"Меня", u"я"},       {u"мне", u"я"},      {u"есть", u"быть"}, {u"шлось", u"идтись"},
        {u"хлѣбъ", u"хлеб"},   {u"Мама", u"мама"},
    };
    Options.DictionaryOnly();
    for (const auto& c : cases) {
        bool found = false;
        for (const TAnalysisRecord* r : Analyze(c.Word)) {
            found =
                found || SameLemma(*r, Fold(c.Lemma, std::char_traits<char16_t>::length(c.Lemma)));
        }
        EXPECT_TRUE(found) << "case " << (&c - cases);
    }
}

TEST_F(RussianDictionaryTest, PatronymicsHaveTheirStandardSpellingAsLemma) {
    // OpenCorpora lists a spelling variant (василиевич) or a misprint (михаилович) before the
    // standard patronymic; every analysis must carry the standard one, also for the variant
    // itself. A patronymic known only in informal forms keeps its informal lemma.
    const struct {
        const char16_t* Word;
        const char16_t* Lemma;
    } cases[] = {
        {u"Васильевич", u"васильевич"},   {u"Васильевича", u"васильевич"},
        {u"Василиевич", u"васильевич"},   {u"Васильевна", u"васильевна"},
        {u"Григорьевна", u"григорьевна"}, {u"Михайлович", u"михайлович"},
        {u"Михайловна", u"михайловна"},   {u"Саввовна", u"саввовна"},
        {u"Гаврилыч", u"гаврилыч"},
    };
    Options.DictionaryOnly();
    for (const auto& c : cases) {
        const std::vector<const TAnalysisRecord*> found = Analyze(c.Word);
        EXPECT_FALSE(found.empty()) << "case " << (&c - cases);
        for (const TAnalysisRecord* r : found) {
            EXPECT_EQ(Fold(r->Lemma, r->LemmaLength), c.Lemma) << "case " << (&c - cases);
        }
    }
}

TEST_F(RussianDictionaryTest, OldSpellingIsFoundAndMarkedObsol) {
    Options.DictionaryOnly();
    const std::vector<const TAnalysisRecord*> found = Analyze(u"хлѣбъ");
    ASSERT_FALSE(found.empty());
    for (const TAnalysisRecord* r : found) {
        EXPECT_EQ(Fold(r->Lemma, r->LemmaLength), u"хлеб");
        EXPECT_EQ(GramCodesToText(r->ExtraGrammemes, 0, false), "obsol");
    }
}

TEST_F(RussianDictionaryTest, UnknownWordInOstGetsANounHypothesis) {
    const std::vector<const TAnalysisRecord*> found = Analyze(u"кракозябрость");
    ASSERT_FALSE(found.empty());
    EXPECT_NE(found[0]->Flags & AF_HYPOTHESIS, 0u);
    EXPECT_EQ(Fold(found[0]->Lemma, found[0]->LemmaLength), u"кракозябрость");
    ASSERT_NE(found[0]->CommonGrammar, nullptr);
    EXPECT_EQ(GramCodesToText(found[0]->CommonGrammar, 0, false).substr(0, 2), "S,");
}

}  // namespace
