// The transliterating recognition of the language objects: what the languages of this system
// give (nothing), and what a language with a translation table or an untransliterator gets.
#include "lemmer/analysis/language_registry.h"

#include "lemmer/translit/transliteration.h"
#include "lemmer/translit/untranslit_rules.h"

#include "util/testing/utf.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using NTesting::Std;

TEST(LanguageTransliteration, LanguagesOfThisSystemGiveNothing) {
    const TTranslitLookupFlags lookup{0, ""};
    for (const TLanguage* l : GetLanguageList()) {
        TAnalysisVector out(1);
        EXPECT_EQ(l->RecognizeFromLatin(u"house", 5, out, 4, ""), 0u) << l->Id();
        EXPECT_EQ(l->RecognizeToLatin(u"дом", 3, out, 4, ""), 0u) << l->Id();
        EXPECT_EQ(l->RecognizeTransliterated(u"dom", 3, out, 4, &lookup), 0u) << l->Id();
        EXPECT_EQ(l->RecognizeTransliterated(u"dom", 3, out, 4, nullptr), 0u) << l->Id();
        // Not a word English accepts.
        EXPECT_EQ(l->RecognizeTransliterated(u"дом", 3, out, 4, &lookup), 0u) << l->Id();
        EXPECT_EQ(out.size(), 1u) << l->Id();
        EXPECT_EQ(l->GetTranslitTable(), nullptr);
        EXPECT_EQ(l->CreateUntransliter(TUtf16String(u"dom")), nullptr);
    }
}

// Russian-like (id 1, not registered) with a table between "house" and "дом", rules that
// render d, o, m, k, t letter by letter, and a dictionary of "дом" and "кот" (lemma "котик").
class TTableLanguage final : public TLanguage {
public:
    TTableLanguage() : TLanguage(1, true) {
        auto& from = Table.Direction(TTranslitTable::FromLatinSide);
        from.IndexWord(u"house", from.AddList({{0, from.AddWord(u"дом"), 0}}));
        from.IndexWord(u"cafe", from.AddList({{0, from.AddWord(u"кафе"), 0}}));
        auto& to = Table.Direction(TTranslitTable::ToLatinSide);
        to.IndexWord(u"дом", to.AddList({{0, to.AddWord(u"house"), 0}}));
        for (const auto& [latin, cyrillic] : std::map<std::u16string, std::u16string>{
                 {u"d", u"д"}, {u"o", u"о"}, {u"m", u"м"}, {u"k", u"к"}, {u"t", u"т"}}) {
            Rules.Add(latin, cyrillic, 0);
        }
    }
    ~TTableLanguage() override = default;

    const TTranslitTable* GetTranslitTable() const override { return &Table; }
    std::unique_ptr<TUntransliter> CreateUntransliter(const TUtf16String& word) const override {
        auto u = std::make_unique<TUntransliter>(Rules.Nodes(), Rules.Lists(), nullptr, 0, nullptr);
        u->Reset(word);
        return u;
    }
    size_t Lookup(const wchar16* word, size_t length, TAnalysisVector& out,
                  const TRecognizeOptions& options) const override {
        const std::u16string w(word, length);
        if ((options.Flags & RF_DICTIONARY) == 0 || (w != u"дом" && w != u"кот")) {
            return 0;
        }
        const std::u16string lemma = w == u"кот" ? u"котик" : w;
        SetRecordLemma(out.emplace_back(), lemma.data(), lemma.size(), 7, 0, 0, "\x88");
        return 1;
    }

    TTranslitTable Table;
    mutable TUntranslitRules Rules;
};

TEST(LanguageTransliteration, TableTranslatesTheWordOrTheLemmasEnglishFinds) {
    const TTableLanguage russian;
    TAnalysisVector out(1);
    ASSERT_EQ(russian.RecognizeFromLatin(u"house", 5, out, 4, ""), 1u);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(Std(out[1].LemmaText()), u"дом");
    EXPECT_EQ(Std(out[1].SourceText()), u"house");
    EXPECT_EQ(Std(out[1].NormalizedText()), u"house");
    EXPECT_EQ(out[1].Language, 1u);
    EXPECT_EQ(out[1].Flags, TranslatedFromEnglishFlag);
    EXPECT_FALSE(russian.IsOwnAnalysis(out[1]));
    EXPECT_STREQ(out[1].CommonGrammar, TranslationCommonGrammar);
    ASSERT_EQ(out[1].FormGrammarCount, 1u);
    EXPECT_STREQ(out[1].FormGrammars[0], "");

    // Not in the table as written (an e with a combining acute): English (no dictionary)
    // gives the placeholder "cafe", its lookup form, whose translation carries the word.
    out.clear();
    ASSERT_EQ(russian.RecognizeFromLatin(u"cafe\u0301", 5, out, 4, ""), 1u);
    EXPECT_EQ(Std(out[0].LemmaText()), u"кафе");
    EXPECT_EQ(Std(out[0].SourceText()), u"cafe\u0301");
    EXPECT_EQ(out[0].Language, 1u);
    EXPECT_EQ(out[0].Flags, TranslatedFromEnglishFlag);

    out.clear();
    ASSERT_EQ(russian.RecognizeToLatin(u"дом", 3, out, 4, ""), 1u);
    EXPECT_EQ(Std(out[0].LemmaText()), u"house");
    EXPECT_EQ(out[0].Language, 2u);
    EXPECT_EQ(out[0].Flags, TranslatedToEnglishFlag);

    out.clear();
    EXPECT_EQ(russian.RecognizeFromLatin(u"house", 5, out, 0, ""), 0u);
    EXPECT_EQ(russian.RecognizeFromLatin(u"garden", 6, out, 4, ""), 0u);
    EXPECT_TRUE(out.empty());
}

TEST(LanguageTransliteration, UntransliteratorRendersLatinWordsForTheLanguage) {
    const TTableLanguage russian;
    const TTranslitLookupFlags lookup{0, ""};
    TAnalysisVector out(1);
    ASSERT_EQ(russian.RecognizeTransliterated(u"dom", 3, out, 4, &lookup), 1u);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(Std(out[1].LemmaText()), u"дом");
    EXPECT_EQ(Std(out[1].SourceText()), u"dom");
    EXPECT_EQ(out[1].Language, 1u);
    EXPECT_EQ(out[1].RuleId, 7u);
    EXPECT_EQ(out[1].Flags, TransliteratedFlag);

    // Nothing recognised: a placeholder holds the best rendering.
    out.clear();
    ASSERT_EQ(russian.RecognizeTransliterated(u"mod", 3, out, 4, &lookup), 1u);
    EXPECT_EQ(Std(out[0].LemmaText()), u"мод");
    EXPECT_EQ(Std(out[0].SourceText()), u"mod");
    EXPECT_EQ(out[0].Flags, 1u | TransliteratedFlag);

    // The lookups named in the exclusion flags give the normalised form as lemma.
    out.clear();
    ASSERT_EQ(russian.RecognizeTransliterated(u"kot", 3, out, 4, &lookup), 1u);
    EXPECT_EQ(Std(out[0].LemmaText()), u"котик");
    out.clear();
    const TTranslitLookupFlags excluded{RF_DICTIONARY, ""};
    ASSERT_EQ(russian.RecognizeTransliterated(u"kot", 3, out, 4, &excluded), 1u);
    EXPECT_EQ(Std(out[0].LemmaText()), u"кот");
    EXPECT_NE(out[0].Flags & AF_LEMMA_FROM_WORD, 0u);

    out.clear();
    EXPECT_EQ(russian.RecognizeTransliterated(u"dom", 3, out, 0, &lookup), 0u);
    EXPECT_TRUE(out.empty());
}

}  // namespace
