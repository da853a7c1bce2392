// The option paths of the word analysis: preferred languages, the default language beside a real
// one, the second dictionary with lemmas from the word, tails, the transliteration passes and
// the text capacities.
#include "lemmer/analysis/analysis_test_helpers.h"
#include "lemmer/analysis/analyze_word.h"
#include "lemmer/analysis/byk_language.h"
#include "lemmer/translit/transliteration.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace NAnalyzeWordOptionsTest {
namespace {

using NLemmer::NTest::Dump;
using NLemmer::NTest::Escaped;
using NLemmer::NTest::LemmaOf;
using NLemmer::NTest::TToken;

constexpr uint32_t Russian = 1;
constexpr uint32_t English = 2;
constexpr uint32_t BasicRussian = 32;
constexpr uint32_t NoObject = 7;  // a language without a language object

TLangMask Languages(std::initializer_list<uint32_t> ids) {
    TLangMask mask;
    for (uint32_t id : ids) {
        mask.SafeSet(static_cast<int>(id));
    }
    return mask;
}

// The expected dump, written with the words as they read.
std::string Expect(const std::u16string& dump) {
    return Escaped(dump);
}

class AnalyzeWordOptions : public ::testing::Test {
protected:
    std::string Analyze(const TToken& token, TLangMask candidates,
                        const uint32_t* preferred = nullptr) {
        AnalyzeWord(token.View(), Out, candidates, preferred, Options);
        return Dump(Out);
    }

    NLemmer::NTest::TAnalysisFixture Fixture;
    TAnalyzeWordOptions Options;
    TAnalysisVector Out;
};

TEST_F(AnalyzeWordOptions, PreferredLanguagesGateTheLanguagesAfterThem) {
    // Basic Russian (32) reads the same dictionary as Russian and reports its analyses as
    // Russian, so a word it analyses again shows as a second record.
    const uint32_t russianFirst[] = {Russian, 0};
    const uint32_t basicFirst[] = {BasicRussian, 0};
    const uint32_t englishFirst[] = {English, 0};
    const uint32_t notACandidate[] = {English, Russian, 0};
    struct TCase {
        const char* Name;
        TLangMask Candidates;
        const uint32_t* Preferred;
        bool Hypotheses;
        const char16_t* Word;
        const char16_t* Expected;
        ESplitMode Split = SM_BY_RULES;
    } cases[] = {
        {"dictionary word, none preferred", Languages({1, 32}), nullptr, true, u"стола",
         u"стол/1/0/0+1 стол/1/0/0+1 "},
        // Found in a preferred language's dictionary: no later language looks again.
        {"dictionary word, Russian preferred", Languages({1, 32}), russianFirst, true, u"стола",
         u"стол/1/0/0+1 "},
        // English is no candidate: its placeholder does not take the word from language 0.
        {"Latin word, an id outside the candidates preferred first", Languages({1}), notACandidate,
         true, u"Table", u"table/0/8/0+1 "},
        // The preference ends with the list: English gives nothing for a Cyrillic word, and
        // Russian's analysis after it is no preferred one, so basic Russian still looks.
        {"dictionary word, English preferred", Languages({1, 2, 32}), englishFirst, true, u"стола",
         u"стол/1/0/0+1 стол/1/0/0+1 "},
        {"hypothesis, none preferred", Languages({1, 32}), nullptr, true, u"шлеба",
         u"шлеб/1/1/0+1 шлеб/1/1/0+1 "},
        // Only hypotheses from a preferred language: later languages look in the dictionary
        // only.
        {"hypothesis, Russian preferred", Languages({1, 32}), russianFirst, true, u"шлеба",
         u"шлеб/1/1/0+1 "},
        {"hypothesis, basic Russian preferred", Languages({1, 32}), basicFirst, true, u"шлеба",
         u"шлеб/1/1/0+1 "},
        // A placeholder of a preferred language asks for no second placeholder.
        {"placeholder, none preferred", Languages({1, 32}), nullptr, false, u"шлеба",
         u"шлеба/1/8/0+1 шлеба/1/8/0+1 "},
        {"placeholder, Russian preferred", Languages({1, 32}), russianFirst, false, u"шлеба",
         u"шлеба/1/8/0+1 "},
        // A record of both parts raises no part's quality; a preferred language still looks
        // once only, in its turn in the list.
        {"two parts as one unit, Russian preferred", Languages({1}), russianFirst, true,
         u"кот-стол", u"кот-стол/1/0/0+2 кот-стол/0/8/0+2 ", SM_NEVER},
    };
    for (const TCase& c : cases) {
        Options = TAnalyzeWordOptions();
        if (!c.Hypotheses) {
            Options.HypothesisLanguages.Reset();
        }
        Options.SplitMode = c.Split;
        EXPECT_EQ(Analyze(TToken(c.Word), c.Candidates, c.Preferred), Expect(c.Expected)) << c.Name;
    }
}

TEST_F(AnalyzeWordOptions, DefaultLanguageStandsInForLanguagesWithoutObjects) {
    struct TCase {
        ESplitMode Split;
        bool UseDefault;
        const char16_t* Word;
        const char16_t* Expected;
    } cases[] = {
        // Part by part; the parts it covers get no placeholder of language 0, and the
        // transliteration passes (the token has a Latin part) add nothing.
        {SM_BY_RULES, true, u"кот-abc", u"кот/1/0/0+1 кот/7/8/0+1 abc/7/8/1+1 "},
        {SM_ALWAYS, true, u"кот-стол",
         u"кот/1/0/0+1 кот-стол/1/0/0+2 стол/1/0/1+1 кот/7/8/0+1 стол/7/8/1+1 "},
        // The whole token: Russian cannot take a unit that ends in a Latin part.
        {SM_NEVER, true, u"кот-abc", u"кот-abc/7/8/0+2 "},
        {SM_NEVER, true, u"кот-стол", u"кот-стол/1/0/0+2 кот-стол/7/8/0+2 "},
        {SM_NEVER, false, u"кот-abc", u"кот-abc/0/8/0+2 "},
        {SM_BY_RULES, false, u"кот-abc", u"кот/1/0/0+1 abc/0/8/1+1 "},
    };
    for (const TCase& c : cases) {
        Options.SplitMode = c.Split;
        Options.UseDefaultLanguage = c.UseDefault;
        EXPECT_EQ(Analyze(TToken(c.Word), Languages({Russian, NoObject})), Expect(c.Expected))
            << Escaped(c.Word) << ", split mode " << c.Split << ", default " << c.UseDefault;
    }
}

TEST_F(AnalyzeWordOptions, LemmaFromWordReadsTheMasksForTheRecordsLanguage) {
    // Basic Russian reports its analyses as Russian (1), and the masks are read for that id.
    Options.LemmaFromWordOutsideMasks = true;
    Options.DictionaryLanguages = Languages({BasicRussian});
    Options.PlaceholderLanguages = Languages({BasicRussian});
    EXPECT_EQ(Analyze(TToken(u"стола"), Languages({BasicRussian})), Expect(u"стол/1/0/0+1 "));
    Options.PlaceholderLanguages = Languages({BasicRussian, Russian});
    EXPECT_EQ(Analyze(TToken(u"стола"), Languages({BasicRussian})),
              Expect(u"стола/1/1048576/0+1 "));
}

TEST_F(AnalyzeWordOptions, TailsGoOnlyWhereATailIs) {
    struct TCase {
        ETailMode Mode;
        const char16_t* Text;
        size_t WordEnd;
        std::vector<std::u16string> Lemmas;
    } cases[] = {
        {TM_COPY, u"стол", 4, {u"стол"}},
        {TM_COPY, u"кот-стол", 8, {u"кот", u"кот-стол", u"стол"}},
        {TM_COPY, u"кот-стол++", 8, {u"кот", u"кот-стол", u"кот-стол++", u"стол", u"стол++"}},
        {TM_APPEND, u"кот-стол", 8, {u"кот", u"кот-стол", u"стол"}},
    };
    for (const TCase& c : cases) {
        Options.TailMode = c.Mode;
        Analyze(TToken(c.Text, c.WordEnd), Languages({Russian}));
        std::vector<std::u16string> lemmas;
        for (const TAnalysisRecord& r : Out) {
            lemmas.push_back(LemmaOf(r));
        }
        EXPECT_EQ(lemmas, c.Lemmas) << Escaped(c.Text) << ", tail mode " << c.Mode;
    }
}

// Russian over the analysis fixture and a second dictionary, standing in for the registered
// Russian while it lives. The transliteration passes find it noting what they ask and getting
// one record per call: "t" (untransliterated) or "l" (translated from English) as lemma.
class TWatchedRussian final : public TBykLanguage {
public:
    TWatchedRussian(const NByk::TDictionary* main, const NByk::TDictionary* second)
        : TBykLanguage(Russian, true), Main_(main), Second_(second), Registered_(StandIn(this)) {}
    ~TWatchedRussian() override { NLemmer::NPrivate::ReplaceLanguageById(Russian, Registered_); }

    const NByk::TDictionary* GetMainDictionary() const override { return Main_; }
    const NByk::TDictionary* GetSecondDictionary() const override { return Second_; }
    bool SplitsBetween(const wchar16* text, size_t startA, size_t lengthA, size_t startB,
                       size_t lengthB, bool transliterationPass) const override {
        return Registered_->SplitsBetween(text, startA, lengthA, startB, lengthB,
                                          transliterationPass);
    }
    size_t RecognizeTransliterated(const wchar16* word, size_t length, TAnalysisVector& out,
                                   size_t maxResults,
                                   const TTranslitLookupFlags* lookup) const override {
        Calls += "t " + Escaped(std::u16string(word, length)) + " " + std::to_string(maxResults) +
                 " " + std::to_string(lookup->Exclusions) + " " + lookup->GrammarFilter.c_str() +
                 "; ";
        return Answer(u"t", out, TransliteratedFlag);
    }
    size_t RecognizeFromLatin(const wchar16* word, size_t length, TAnalysisVector& out,
                              size_t maxResults, const char* grammarFilter) const override {
        Calls += "l " + Escaped(std::u16string(word, length)) + " " +
                 (maxResults == TRecognizeOptions::Unlimited ? "all" : "some") + " " +
                 grammarFilter + "; ";
        return Answer(u"l", out, TranslatedFromEnglishFlag);
    }

    mutable std::string Calls;

private:
    static const TLanguage* StandIn(const TLanguage* language) {
        GetRegisteredLanguages();  // the built-in languages first, or they would replace it
        return NLemmer::NPrivate::ReplaceLanguageById(Russian, language);
    }
    static size_t Answer(const char16_t* lemma, TAnalysisVector& out, uint32_t flags) {
        TAnalysisRecord& r = out.emplace_back();
        SetRecordLemma(r, lemma, 1, 0, 0, 0, "");
        r.Language = Russian;
        r.Flags = flags;
        return 1;
    }

    const NByk::TDictionary* Main_;
    const NByk::TDictionary* Second_;
    const TLanguage* Registered_;
};

// The second dictionary knows шкаф, which the analysis fixture lacks, and перестол, on which
// the fixture makes a hypothesis from the known beginning пере.
void FillSecondDictionary(NByk::NTest::TFixture& f) {
    f.Alphabet(u"абвгдеёжзийклмнопрстуфхцчшщъыьэюя-", u"аеёиоуыэюя");
    const uint16_t nom = f.Ending(u"", u"", "nom sg");
    const uint16_t gen = f.Ending(u"", u"а", "gen sg");
    f.Rule(f.List({nom, gen}), 0, u"", "S m inan");
    f.Stem(u"шкаф", {0});
    f.Stem(u"перестол", {0});
}

class AnalyzeWordWatched : public ::testing::Test {
protected:
    AnalyzeWordWatched()
        : Main_((NLemmer::NTest::FillAnalysisFixture(MainFixture_), &MainFixture_.Build())),
          Second_((FillSecondDictionary(SecondFixture_), &SecondFixture_.Build())),
          Russian_(Main_, Second_) {}

    std::string Analyze(const TToken& token) {
        Russian_.Calls.clear();
        AnalyzeWord(token.View(), Out, Languages({Russian}), nullptr, Options);
        return Dump(Out);
    }

    NByk::NTest::TFixture MainFixture_, SecondFixture_;
    const NByk::TDictionary* Main_;
    const NByk::TDictionary* Second_;
    TWatchedRussian Russian_;
    TAnalyzeWordOptions Options;
    TAnalysisVector Out;
};

TEST_F(AnalyzeWordWatched, SecondDictionaryAndLemmasFromTheWord) {
    struct TCase {
        const char* Name;
        bool LemmaFromWord;
        // The masks that hold Russian: Dictionary, Second dictionary, Hypotheses, Placeholders.
        const char* Masks;
        const char16_t* Word;
        const char16_t* Expected;
    } cases[] = {
        {"defaults: main", false, "DSHP", u"стола", u"стол/1/0/0+1 "},
        {"defaults: second", false, "DSHP", u"шкафа", u"шкаф/1/2/0+1 "},
        // The main dictionary gives only a hypothesis on a known beginning: flags 2 and 4.
        {"defaults: second after a hypothesis", false, "DSHP", u"перестола", u"перестол/1/6/0+1 "},
        {"no second dictionary", false, "DHP", u"шкафа", u"шкафа/1/8/0+1 "},
        // Widened: every lookup runs, and the lookups the masks lack give the word as lemma
        // (flag 0x100000).
        {"second outside its mask", true, "DHP", u"шкафа", u"шкафа/1/1048578/0+1 "},
        {"second inside its mask, hypotheses outside", true, "DSP", u"шкафа", u"шкаф/1/2/0+1 "},
        {"hypotheses outside their mask", true, "DSP", u"шлеба", u"шлеба/1/1048577/0+1 "},
        {"hypotheses inside their mask", true, "HP", u"шлеба", u"шлеб/1/1/0+1 "},
        {"main outside its mask", true, "SHP", u"стола", u"стола/1/1048576/0+1 "},
        {"main outside its mask, second inside", true, "SHP", u"шкафа", u"шкаф/1/2/0+1 "},
        // Not a placeholder language: nothing is widened, nothing replaced.
        {"no placeholders", true, "H", u"стола", u"стол/1/1/0+1 "},
    };
    for (const TCase& c : cases) {
        const std::string masks = c.Masks;
        auto mask = [&masks](char name) {
            return masks.find(name) != std::string::npos ? Languages({Russian}) : TLangMask();
        };
        Options.LemmaFromWordOutsideMasks = c.LemmaFromWord;
        Options.DictionaryLanguages = mask('D');
        Options.SecondDictionaryLanguages = mask('S');
        Options.HypothesisLanguages = mask('H');
        Options.PlaceholderLanguages = mask('P');
        EXPECT_EQ(Analyze(TToken(c.Word)), Expect(c.Expected)) << c.Name;
    }
}

TEST_F(AnalyzeWordWatched, TransliterationPassesRunWhenTheirMasksNameTheLanguage) {
    struct TCase {
        const char* Name;
        bool Transliterated, FromLatin, DictionaryOnly;
        const char16_t* Word;
        const char* Calls;
        const char16_t* Expected;
    } cases[] = {
        {"masks empty", false, false, false, u"dom", "", u"dom/0/8/0+1 "},
        // Pass 1 gets level 4 and the lookups the masks exclude; pass 2 every result and the
        // grammar filter. Their records follow pass 0's.
        {"pass 1", true, false, false, u"dom", "t dom 4 0 ; ", u"dom/0/8/0+1 t/1/262144/0+1 "},
        {"pass 2", false, true, false, u"dom", "l dom all ; ", u"dom/0/8/0+1 l/1/65536/0+1 "},
        {"both, dictionary only", true, true, true, u"dom", "t dom 4 56 ; l dom all ; ",
         u"dom/0/8/0+1 t/1/262144/0+1 l/1/65536/0+1 "},
        // A Cyrillic word is never English: neither pass has a unit.
        {"Cyrillic", true, true, false, u"кот", "", u"кот/1/0/0+1 "},
        // Pass 1 splits by Russian's rule, which keeps a consonant and an apostrophe with what
        // follows; pass 2 by English's, which parts them.
        {"hard sign", true, true, false, u"ob'jom",
         "t ob'jom 4 0 ; l ob all ; l ob'jom all ; l jom all ; ",
         u"ob/0/8/0+1 jom/0/8/1+1 t/1/262144/0+2 l/1/65536/0+1 l/1/65536/0+2 l/1/65536/1+1 "},
        // A unit ends before a Cyrillic part: none reaches across it.
        {"Latin parts around a Cyrillic one", true, false, false, u"ab-кот-cd",
         "t ab 4 0 ; t cd 4 0 ; ",
         u"кот/1/0/1+1 ab/0/8/0+1 cd/0/8/2+1 t/1/262144/0+1 t/1/262144/2+1 "},
        // A Cyrillic part is no English one, whatever Russian's rule says.
        {"hard sign before a Cyrillic part", true, true, false, u"ob'ём", "t ob 4 0 ; l ob all ; ",
         u"ем/1/8/1+1 ob/0/8/0+1 t/1/262144/0+1 l/1/65536/0+1 "},
    };
    for (const TCase& c : cases) {
        Options = TAnalyzeWordOptions();
        if (c.DictionaryOnly) {
            Options.DictionaryOnly();
        }
        Options.TransliteratedLanguages = c.Transliterated ? Languages({Russian}) : TLangMask();
        Options.FromLatinLanguages = c.FromLatin ? Languages({Russian}) : TLangMask();
        EXPECT_EQ(Analyze(TToken(c.Word)), Expect(c.Expected)) << c.Name;
        EXPECT_EQ(Russian_.Calls, c.Calls) << c.Name;
    }
}

TEST_F(AnalyzeWordWatched, UnitsAndTailsStopAtTheirCapacities) {
    // A Latin word: pass 0 gives language 0's placeholder, pass 1 the watched record "t".
    // A language gets at most 112 units of a unit; Source keeps 111, a lemma 55, and a tail is
    // what the view holds after the unit within 112 units of the unit's start.
    struct TCase {
        const char* Name;
        char16_t Letter;
        size_t Letters;
        const char16_t* Tail;
        size_t Given;  // units pass 1 gives the language
        struct {
            size_t Lemma, Source, Tail;
        } Placeholder, Watched;
    } cases[] = {
        {"120 letters", u'd', 120, u"", 112, {55, 111, 0}, {1, 111, 0}},
        {"lemma and tail one under", u'd', 52, u"++", 52, {54, 54, 2}, {3, 54, 2}},
        {"lemma and tail at capacity", u'd', 53, u"++", 53, {55, 55, 2}, {3, 55, 2}},
        {"lemma and tail one over", u'd', 54, u"++", 54, {54, 54, 0}, {3, 56, 2}},
        // Each ligature is two letters in the view: of the five units of tail, the two within
        // 112 units of the word's start remain.
        {"view longer than the text", u'\uFB01', 55, u"+++++", 110, {55, 55, 0}, {3, 57, 2}},
    };
    Options.TransliteratedLanguages = Languages({Russian});
    for (const TCase& c : cases) {
        Analyze(TToken(std::u16string(c.Letters, c.Letter) + c.Tail, c.Letters));
        ASSERT_EQ(Out.size(), 2u) << c.Name;
        EXPECT_EQ(Out[0].Language, 0u);
        EXPECT_EQ(Out[1].Flags, TransliteratedFlag);
        EXPECT_EQ(Russian_.Calls.size(), std::string("t  4 0 ; ").size() + c.Given) << c.Name;
        for (const auto& [r, expected] : {std::pair(Out[0], c.Placeholder), {Out[1], c.Watched}}) {
            EXPECT_EQ(r.LemmaLength, expected.Lemma) << c.Name;
            EXPECT_EQ(r.SourceLength, expected.Source) << c.Name;
            EXPECT_EQ(r.TailLength, expected.Tail) << c.Name;
        }
    }
}

TEST(AppendRecordTailCapacity, EachTextTakesTheTailUpToItsCapacity) {
    // Lemma and normalised form hold 55 units, the source 111; one unit over any of them and
    // the record keeps no tail at all.
    struct TCase {
        size_t Lemma, Source, Normalized, Tail;
        bool Fits;
    } cases[] = {
        {4, 3, 3, 51, true},    {4, 3, 3, 52, false},   // the lemma is the longest
        {3, 3, 4, 51, true},    {3, 3, 4, 52, false},   // the normalised form
        {3, 59, 3, 52, true},   {3, 60, 3, 52, false},  // the source
        {55, 111, 55, 0, true},
    };
    for (const TCase& c : cases) {
        TAnalysisRecord r;
        const std::u16string a(120, u'а'), tail(c.Tail, u'+');
        SetRecordLemma(r, a.data(), c.Lemma, 1, 0, 0, "");
        SetRecordSourceText(r, a.data(), c.Source);
        SetRecordText(r, a.data(), c.Normalized);
        ASSERT_EQ(r.SourceLength, c.Source);
        EXPECT_EQ(AppendRecordTail(r, tail.data(), tail.size()), c.Fits)
            << c.Lemma << " " << c.Source << " " << c.Normalized << " " << c.Tail;
        const size_t added = c.Fits ? c.Tail : 0;
        EXPECT_EQ(r.TailLength, added);
        EXPECT_EQ(r.LemmaLength, c.Lemma + added);
        EXPECT_EQ(r.SourceLength, c.Source + added);
        EXPECT_EQ(r.NormalizedLength, c.Normalized + added);
        EXPECT_EQ(r.Lemma[r.LemmaLength], 0);
        EXPECT_EQ(r.Source[r.SourceLength], 0);
        EXPECT_EQ(r.Normalized[r.NormalizedLength], 0);
    }
}

}  // namespace
}  // namespace NAnalyzeWordOptionsTest
