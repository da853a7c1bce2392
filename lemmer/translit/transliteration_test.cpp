#include "lemmer/translit/transliteration.h"

#include "lemmer/grammar/gram_test_helpers.h"
#include "lemmer/translit/untranslit_rules.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <new>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr uint32_t Sg = 174, Pl = 175, Nom = 165, Gen = 166, Noun = 136, F = 191, M = 192;

TGramBitSet GramSet(std::initializer_list<uint32_t> codes) {
    TGramBitSet s;
    for (uint32_t c : codes) {
        s.Set(c);
    }
    return s;
}

// A record with what these paths read and write. Copies can be made to fail, as an allocation
// would.
struct TFakeRecord {
    std::u16string Lemma, Source, Normalized;
    uint32_t Flags = 0;
    uint32_t Language = 0;
    std::string Common, Form;

    static inline int CopiesLeft = -1;  // -1: no limit

    TFakeRecord() = default;
    TFakeRecord(std::u16string lemma, uint32_t flags) : Lemma(lemma), Flags(flags) {}
    TFakeRecord(const TFakeRecord& r) { *this = r; }
    TFakeRecord& operator=(const TFakeRecord& r) {
        if (CopiesLeft == 0) {
            throw std::bad_alloc();
        }
        if (CopiesLeft > 0) {
            --CopiesLeft;
        }
        std::tie(Lemma, Source, Normalized, Flags, Language, Common, Form) =
            std::tie(r.Lemma, r.Source, r.Normalized, r.Flags, r.Language, r.Common, r.Form);
        return *this;
    }
};

// Counts the untransliterators alive.
class TCountedUntransliter : public TUntransliter {
public:
    static inline int Alive = 0;
    template <class... A>
    explicit TCountedUntransliter(A&&... a) : TUntransliter(std::forward<A>(a)...) {
        ++Alive;
    }
    ~TCountedUntransliter() override { --Alive; }
};

struct TCall {
    std::u16string Text;
    uint32_t Lookup;
    friend bool operator==(const TCall&, const TCall&) = default;
    friend void PrintTo(const TCall& c, std::ostream* out) {
        *out << ::testing::PrintToString(c.Text) << " with lookup " << c.Lookup;
    }
};

// A language whose dictionary is a map from a word to its analyses {lemma, kind flags}.
class TFakeLanguage {
public:
    using TRecord = TFakeRecord;
    using TRecordVector = std::vector<TFakeRecord>;

    uint32_t IdValue = 1;
    std::map<uint32_t, const TFakeLanguage*> Registry;
    std::map<std::u16string, std::vector<std::pair<std::u16string, uint32_t>>> Dictionary;
    const TTranslitTable* Table = nullptr;
    TUntranslitRules* Rules = nullptr;
    mutable std::vector<TCall> Calls;
    mutable std::vector<std::pair<size_t, size_t>> PostProcessed;

    uint32_t Id() const { return IdValue; }
    const TFakeLanguage* LanguageById(size_t id) const {
        auto found = Registry.find(uint32_t(id));
        return found == Registry.end() ? nullptr : found->second;
    }
    const TTranslitTable* GetTranslitTable() const { return Table; }
    std::unique_ptr<TUntransliter> CreateUntransliter(const TUtf16String& word) const {
        if (Rules == nullptr) {
            return nullptr;
        }
        auto u = std::make_unique<TCountedUntransliter>(Rules->Nodes(), Rules->Lists(), nullptr, 0,
                                                        nullptr);
        u->Reset(word);
        return u;
    }
    size_t ClearAndRecognize(const wchar16* text, size_t n, TRecordVector& out,
                             const TTranslitRecognizeOptions& options) const {
        out.clear();
        const std::u16string word(text, n);
        Calls.push_back({word, options.Lookup});
        auto found = Dictionary.find(word);
        if (found != Dictionary.end()) {
            for (const auto& [lemma, kind] : found->second) {
                const uint32_t needs = kind == 0   ? TTranslitRecognizeOptions::Dictionary
                                       : kind == 2 ? TTranslitRecognizeOptions::SecondDictionary
                                                   : TTranslitRecognizeOptions::Hypotheses;
                if (options.Lookup & needs) {
                    TFakeRecord& r = out.emplace_back(lemma, kind);
                    r.Source = r.Normalized = word;
                    r.Language = IdValue;
                }
            }
        }
        if (out.empty() && (options.Lookup & TTranslitRecognizeOptions::Placeholder)) {
            AddUnknownWordAnalysis(text, n, out, 1);
        }
        return out.size();
    }
    size_t AddUnknownWordAnalysis(const wchar16* text, size_t n, TRecordVector& out,
                                  size_t max) const {
        if (max == 0) {
            return 0;
        }
        TFakeRecord& r = out.emplace_back(std::u16string(text, n), 0x8);
        r.Source = r.Normalized = r.Lemma;
        return 1;
    }
    size_t PostProcess(TRecordVector&, size_t start, size_t count,
                       const NLemmer::TNormalizeResult&) const {
        PostProcessed.emplace_back(start, count);
        return count;
    }

    static uint32_t Flags(const TRecord& r) { return r.Flags; }
    static void SetFlags(TRecord& r, uint32_t f) { r.Flags = f; }
    static void SetLanguage(TRecord& r, uint32_t id) { r.Language = id; }
    static void SetSource(TRecord& r, const wchar16* t, size_t n) { r.Source.assign(t, n); }
    static void SetNormalized(TRecord& r, const wchar16* t, size_t n) { r.Normalized.assign(t, n); }
    static void SetTranslatedLemma(TRecord& r, const wchar16* t, size_t n) {
        r.Lemma.assign(t, n);
        r.Common = TranslationCommonGrammar;
        r.Form = "";
    }
    static void SetLemmaFromNormalizedForm(TRecord& r) {
        if (r.Lemma != r.Normalized) {
            r.Flags |= 0x100000;
        }
        r.Lemma = r.Normalized;
    }
    static TWCharRange Lemma(const TRecord& r) { return {r.Lemma.data(), r.Lemma.size()}; }
    static TWCharRange Source(const TRecord& r) { return {r.Source.data(), r.Source.size()}; }
    static TWCharRange Normalized(const TRecord& r) {
        return {r.Normalized.data(), r.Normalized.size()};
    }
    static bool RecordLess(const TRecord& a, const TRecord& b) {
        return std::tie(a.Lemma, a.Flags) < std::tie(b.Lemma, b.Flags);
    }
};

static_assert(CTranslitLanguage<TFakeLanguage>);

std::vector<std::u16string> Lemmas(const std::vector<TFakeRecord>& records, size_t from = 0) {
    std::vector<std::u16string> out;
    for (size_t i = from; i < records.size(); ++i) {
        out.push_back(records[i].Lemma);
    }
    return out;
}

TEST(Transliteration, GrammarAgreementCountsSharedGrammemesUnlessACategoryClashes) {
    const struct {
        TGramBitSet A, B;
        int32_t Agreement;
    } cases[] = {
        {{}, GramSet({Sg}), 0},
        {GramSet({Sg, Nom}), {}, 0},
        {GramSet({Sg, Nom}), GramSet({Pl}), -1},
        {GramSet({Sg, Nom}), GramSet({Sg}), 1},
        {GramSet({Noun, Sg, Nom}), GramSet({Noun, Sg, Nom}), 3},
        {GramSet({Sg, Nom}), GramSet({Sg, Gen}), -1},
        {GramSet({Sg}), GramSet({Nom}), 0},
        {GramSet({Noun, F}), GramSet({Noun, M, Sg}), -1},
        {GramSet({209}), GramSet({210}), 0},  // unassigned codes have no category
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.Agreement, GramSetAgreement(c.A, c.B))
            << c.A.ToHexString().c_str() << " " << c.B.ToHexString().c_str();
        EXPECT_EQ(c.Agreement, GramSetAgreement(c.B, c.A));
    }
}

// "bank" translates as a singular or a plural noun; "bark" only into a grammar that clashes
// with every wanted one; the to-Latin side holds its own words.
TTranslitTable SampleTable() {
    TTranslitTable table;
    auto& from = table.Direction(TTranslitTable::FromLatinSide);
    const uint64_t sg = from.AddGrammar(GramSet({Noun, Sg})),
                   pl = from.AddGrammar(GramSet({Noun, Pl}));
    const uint64_t bank = from.AddWord(u"банк"), banks = from.AddWord(u"банки");
    const uint64_t shore = from.AddWord(u"берег");
    from.IndexWord(u"bank", from.AddList({{sg, bank, sg}, {pl, banks, pl}, {sg, shore, sg}}));
    from.IndexWord(u"bark", from.AddList({{pl, bank, pl}}));
    from.IndexWord(u"void", from.AddList({}));
    from.IndexWord(u"lost", 99);
    from.IndexWord(u"odd", from.AddList({{7, 42, 9}}));  // numbers past the arrays
    auto& to = table.Direction(TTranslitTable::ToLatinSide);
    const uint64_t any = to.AddGrammar({});
    to.IndexWord(u"банк", to.AddList({{any, to.AddWord(u"bank"), any}}));
    return table;
}

TEST(Transliteration, TableKeepsTheEntriesOfBestAgreementInListOrder) {
    const TTranslitTable table = SampleTable();
    const struct {
        const char16_t* Word;
        TGramBitSet Wanted;
        std::vector<std::u16string> Texts;
    } cases[] = {
        {u"bank", {}, {u"банк", u"банки", u"берег"}},
        {u"bank", GramSet({Sg}), {u"банк", u"берег"}},
        {u"bank", GramSet({Noun, Pl, Gen}), {u"банки"}},
        {u"bark", GramSet({Sg}), {}},
        {u"void", {}, {}},
        {u"lost", {}, {}},
        {u"none", {}, {}},
        {u"банк", {}, {}},  // only on the other side
        {nullptr, {}, {}},
    };
    for (const auto& c : cases) {
        std::vector<TTranslationCandidate> found(3);  // cleared by the lookup
        const size_t n = FromLatin(table, {c.Word, c.Wanted}, found);
        ASSERT_EQ(n, found.size());
        std::vector<std::u16string> texts;
        for (const auto& f : found) {
            texts.emplace_back(f.Text);
        }
        EXPECT_EQ(c.Texts, texts) << c.Wanted.ToHexString().c_str();
    }
    std::vector<TTranslationCandidate> found;
    ASSERT_EQ(2u, FromLatin(table, {u"bank", GramSet({Sg})}, found));
    EXPECT_EQ(GramSet({Noun, Sg}), found[0].Grammar);
    // An entry naming a missing word gives a candidate without text and an empty grammar.
    ASSERT_EQ(1u, FromLatin(table, {u"odd", GramSet({Sg})}, found));
    EXPECT_EQ(nullptr, found[0].Text);
    EXPECT_TRUE(found[0].Grammar.Empty());
    ASSERT_EQ(1u, ToLatin(table, {u"банк", GramSet({Sg})}, found));
    EXPECT_EQ(std::u16string(u"bank"), found[0].Text);
}

// Russian (1) with the sample table, English (2) knowing "banks" and "bankings".
struct TLanguages {
    TTranslitTable Table = SampleTable();
    TFakeLanguage Russian, English;

    TLanguages() {
        English.IdValue = 2;
        English.Dictionary[u"banks"] = {{u"bank", 0}, {u"banks", 1}, {u"bank", 1}};
        English.Dictionary[u"odd"] = {{u"odd", 0}};
        Russian.Dictionary[u"банки"] = {{u"банка", 0}, {u"банк", 0}};
        for (TFakeLanguage* l : {&Russian, &English}) {
            l->Registry = {{1, &Russian}, {2, &English}};
        }
        Russian.Table = &Table;
    }
};

TEST(Transliteration, TranslationNeedsATable) {
    TLanguages langs;
    langs.Russian.Table = nullptr;
    std::vector<TFakeRecord> out(1);
    EXPECT_EQ(0u, RecognizeFromLatin(langs.Russian, u"bank", 4, out, 5));
    EXPECT_EQ(0u, RecognizeToLatin(langs.Russian, u"банк", 4, out, 5));
    EXPECT_EQ(1u, out.size());
    EXPECT_TRUE(langs.English.Calls.empty());
}

TEST(Transliteration, FromLatinTranslatesTheWordOrElseItsEnglishLemmas) {
    TLanguages langs;
    std::vector<TFakeRecord> out(1);
    ASSERT_EQ(2u, RecognizeFromLatin(langs.Russian, u"bank", 4, out, 2));
    EXPECT_EQ((std::vector<std::u16string>{u"банк", u"банки"}), Lemmas(out, 1));
    for (size_t i = 1; i < out.size(); ++i) {
        EXPECT_EQ(u"bank", out[i].Source);
        EXPECT_EQ(u"bank", out[i].Normalized);
        EXPECT_EQ(TranslatedFromEnglishFlag, out[i].Flags);
        EXPECT_EQ(1u, out[i].Language);
        EXPECT_EQ(TranslationCommonGrammar, out[i].Common);
    }
    EXPECT_TRUE(langs.English.Calls.empty());

    // "banks" is not in the table: English finds the lemmas "bank", "banks", "bank"; the two
    // distinct ones are translated, each up to maxCount.
    out.clear();
    ASSERT_EQ(2u, RecognizeFromLatin(langs.Russian, u"banks", 5, out, 2));
    EXPECT_EQ((std::vector<std::u16string>{u"банк", u"банки"}), Lemmas(out));
    EXPECT_EQ((std::vector<TCall>{{u"banks", 60}}), langs.English.Calls);
    langs.Table.Direction(TTranslitTable::FromLatinSide).IndexWord(u"banks", 98);
    langs.English.Dictionary[u"banks"] = {{u"bank", 0}, {u"bark", 1}, {u"bank", 1}};
    langs.Table.Direction(TTranslitTable::FromLatinSide)
        .IndexWord(u"bark",
                   langs.Table.Direction(TTranslitTable::FromLatinSide).AddList({{0, 2, 0}}));
    out.clear();
    ASSERT_EQ(4u, RecognizeFromLatin(langs.Russian, u"banks", 5, out, 3));
    EXPECT_EQ((std::vector<std::u16string>{u"банк", u"банки", u"берег", u"берег"}), Lemmas(out));
    EXPECT_EQ(u"banks", out[3].Source);

    // Nothing found either way, or maxCount 0: nothing appended.
    out.clear();
    EXPECT_EQ(0u, RecognizeFromLatin(langs.Russian, u"zzz", 3, out, 2));
    EXPECT_EQ(0u, RecognizeFromLatin(langs.Russian, u"bank", 4, out, 0));
    // A table entry naming a missing word gives no record.
    EXPECT_EQ(0u, RecognizeFromLatin(langs.Russian, u"odd", 3, out, 2));
    EXPECT_TRUE(out.empty());
}

TEST(Transliteration, ToLatinTranslatesIntoEnglish) {
    TLanguages langs;
    std::vector<TFakeRecord> out;
    ASSERT_EQ(1u, RecognizeToLatin(langs.Russian, u"банк", 4, out, 4));
    EXPECT_EQ(u"bank", out[0].Lemma);
    EXPECT_EQ(2u, out[0].Language);
    EXPECT_EQ(TranslatedToEnglishFlag, out[0].Flags);
    // Through the Russian lemmas of "банки" ("банка" has no translation), with the texts of the
    // first analysis.
    out.clear();
    ASSERT_EQ(1u, RecognizeToLatin(langs.Russian, u"банки", 5, out, 4));
    EXPECT_EQ(u"bank", out[0].Lemma);
    EXPECT_EQ(u"банки", out[0].Normalized);
}

TEST(Transliteration, TranslationRejectsGrammemeCodesOutOfRange) {
    TLanguages langs;
    const TTranslator<TFakeLanguage> translator(langs.English, langs.Russian, langs.Table, true);
    std::vector<TFakeRecord> out;
    for (const std::string& codes : {G({Noun, 126}), G({250}), G({Sg, 255})}) {
        try {
            AddTranslatedAnalyses(translator, u"bank", 4, out, 5, codes.c_str());
            ADD_FAILURE() << "no error";
        } catch (const std::out_of_range& e) {
            EXPECT_STREQ("bitset", e.what());
        }
    }
    EXPECT_TRUE(out.empty());
    // In range, the wanted grammar picks the entries.
    EXPECT_EQ(1u, AddTranslatedAnalyses(translator, u"bank", 4, out, 5, G({Pl}).c_str()));
    EXPECT_EQ(u"банки", out[0].Lemma);
}

// Renderings of "a": x, y, z, w costing 100, 200, 272, 273; "b": б; "c": ц, ч costing 0, 1.
TUntranslitRules RankingRules() {
    TUntranslitRules rules;
    rules.Add(u"a", u"x", 100);
    rules.Add(u"a", u"y", 200);
    rules.Add(u"a", u"z", 272);
    rules.Add(u"a", u"w", 273);
    rules.Add(u"b", u"б", 0);
    for (char16_t c = u'а'; c <= u'я'; ++c) {
        rules.Add(u"c", std::u16string(1, c), c - u'а');
    }
    return rules;
}

TEST(Transliteration, RankingAnalysesRenderingsWithinTheBound) {
    TUntranslitRules rules = RankingRules();
    TFakeLanguage lang;
    lang.Rules = &rules;
    lang.Dictionary[u"x"] = {{u"xl", 1}, {u"xm", 1}};
    lang.Dictionary[u"y"] = {{u"xm", 1}, {u"yl", 1}};
    lang.Dictionary[u"w"] = {{u"wl", 1}};
    const TTranslitLookupFlags lookup;
    std::vector<TFakeRecord> out(1);
    // Score 100 bounds the rest at trunc(271.83 + 0.5) = 272: "w" is never analysed.
    const TRankResult r = RankUntransliterations(lang, u"a", 1, out, 10, &lookup);
    EXPECT_EQ(3u, r.Count);
    EXPECT_EQ(u"x", std::u16string(r.Best.data(), r.Best.size()));
    EXPECT_EQ((std::vector<std::u16string>{u"xl", u"xm", u"yl"}), Lemmas(out, 1));
    EXPECT_EQ((std::vector<TCall>{{u"x", 28}, {u"y", 28}, {u"z", 28}}), lang.Calls);
    EXPECT_EQ(0, TCountedUntransliter::Alive);

    // Without lookup flags only placeholders are asked for, and a full map stops the loop.
    out.clear();
    lang.Calls.clear();
    EXPECT_EQ(1u, RankUntransliterations(lang, u"a", 1, out, 1, nullptr).Count);
    EXPECT_EQ((std::vector<std::u16string>{u"x"}), Lemmas(out));
    EXPECT_EQ((std::vector<TCall>{{u"x", 32}, {u"y", 32}}), lang.Calls);
    // With lookup flags the loop goes on past a full map while hypotheses are still wanted,
    // and the output is cut at maxCount.
    out.clear();
    lang.Calls.clear();
    EXPECT_EQ(1u, RankUntransliterations(lang, u"a", 1, out, 1, &lookup).Count);
    EXPECT_EQ((std::vector<std::u16string>{u"xl"}), Lemmas(out));
    EXPECT_EQ(3u, lang.Calls.size());

    // At most ten renderings are analysed.
    out.clear();
    lang.Calls.clear();
    EXPECT_EQ(0u, RankUntransliterations(lang, u"c", 1, out, 4, &lookup).Count);
    EXPECT_EQ(10u, lang.Calls.size());
    EXPECT_TRUE(out.empty());

    // No untransliterator, or no rendering: nothing.
    EXPECT_EQ(0u, RankUntransliterations(lang, u"q", 1, out, 4, &lookup).Count);
    lang.Rules = nullptr;
    EXPECT_TRUE(RankUntransliterations(lang, u"a", 1, out, 4, &lookup).Best.empty());
}

TEST(Transliteration, DictionaryAnalysisDropsEarlierHypotheses) {
    TUntranslitRules rules = RankingRules();
    TFakeLanguage lang;
    lang.Rules = &rules;
    lang.Dictionary[u"x"] = {{u"xh", 1}};
    lang.Dictionary[u"y"] = {{u"yd", 0}, {u"yh", 1}};
    lang.Dictionary[u"z"] = {{u"zd", 0}, {u"zs", 2}};
    const TTranslitLookupFlags lookup;
    std::vector<TFakeRecord> out;
    EXPECT_EQ(3u, RankUntransliterations(lang, u"a", 1, out, 10, &lookup).Count);
    // "xh" is dropped, "yh" came with the dictionary analysis that cleared the map, and "zs"
    // is no longer looked for.
    EXPECT_EQ((std::vector<std::u16string>{u"yd", u"yh", u"zd"}), Lemmas(out));
    EXPECT_EQ((std::vector<TCall>{{u"x", 28}, {u"y", 28}, {u"z", 4}}), lang.Calls);
}

TEST(Transliteration, ExclusionFlagsPutTheNormalisedFormAsLemma) {
    TUntranslitRules rules = RankingRules();
    TFakeLanguage lang;
    lang.Rules = &rules;
    lang.Dictionary[u"xб"] = {{u"main", 0}, {u"second", 2}, {u"guess", 1}};
    const struct {
        uint64_t Exclusions;
        std::vector<std::u16string> Lemmas;
    } cases[] = {
        {0, {u"main", u"second", u"guess"}}, {4, {u"xб", u"second", u"guess"}},
        {8, {u"main", u"xб", u"guess"}},     {16, {u"main", u"second", u"xб"}},
        {28, {u"xб", u"xб", u"xб"}},  // three records, the kinds still tell them apart
    };
    for (const auto& c : cases) {
        const TTranslitLookupFlags lookup{c.Exclusions, ""};
        std::vector<TFakeRecord> out;
        RankUntransliterations(lang, u"ab", 2, out, 10, &lookup);
        EXPECT_EQ(c.Lemmas, Lemmas(out)) << c.Exclusions;
    }
}

TEST(Transliteration, TransliteratedWordGetsAnalysesOrAPlaceholder) {
    TUntranslitRules rules;
    rules.Add(u"d", u"д", 0);
    rules.Add(u"o", u"о", 9999);
    rules.Add(u"m", u"м", 0);
    rules.Add(u"t", u"т", 10000);
    TFakeLanguage lang;
    lang.Rules = &rules;
    lang.Dictionary[u"Дом"] = {{u"дом", 0}};
    const TTranslitLookupFlags lookup;
    std::vector<TFakeRecord> out(1);
    ASSERT_EQ(1u, RecognizeTransliterated(lang, u"Dom", 3, out, 4, &lookup));
    EXPECT_EQ(u"дом", out[1].Lemma);
    EXPECT_EQ(u"Dom", out[1].Source);
    EXPECT_EQ(TransliteratedFlag, out[1].Flags);
    EXPECT_EQ((std::vector<std::pair<size_t, size_t>>{{1, 1}}), lang.PostProcessed);

    // Nothing recognised: the first rendering, scoring 9999 over one unit, is the placeholder.
    const struct {
        const char16_t* Word;
        size_t MaxCount;
        std::vector<std::u16string> Lemmas;
    } cases[] = {
        {u"o", 4, {u"о"}}, {u"t", 4, {}},    // 10000
        {u"o", 0, {}},     {u"дом", 4, {}},  // not English
        {u"x", 4, {}},                       // no rendering
    };
    for (const auto& c : cases) {
        out.clear();
        lang.PostProcessed.clear();
        const size_t length = std::char_traits<char16_t>::length(c.Word);
        EXPECT_EQ(c.Lemmas.size(),
                  RecognizeTransliterated(lang, c.Word, length, out, c.MaxCount, &lookup));
        EXPECT_EQ(c.Lemmas, Lemmas(out));
        if (!out.empty()) {
            EXPECT_EQ(1u | TransliteratedFlag, out[0].Flags);
            EXPECT_EQ(c.Lemmas[0], out[0].Normalized);
            EXPECT_EQ(c.Word, out[0].Source);
            EXPECT_EQ(1u, out[0].Language);
        }
        const bool english = c.Word[0] < 0x80;
        EXPECT_EQ(english ? 1u : 0u, lang.PostProcessed.size());
    }
}

TEST(Transliteration, FailedAllocationLeavesNoPartialResults) {
    TUntranslitRules rules = RankingRules();
    TLanguages langs;
    langs.Russian.Rules = &rules;
    langs.Russian.Dictionary[u"x"] = {{u"xl", 1}, {u"xm", 1}};
    langs.Russian.Dictionary[u"y"] = {{u"yl", 1}};
    const TTranslitLookupFlags lookup;
    using TOut = std::vector<TFakeRecord>;
    const TTranslator<TFakeLanguage> translator(langs.English, langs.Russian, langs.Table, true);
    const std::function<void(TOut&)> calls[] = {
        [&](TOut& out) { AddTranslatedAnalyses(translator, u"bank", 4, out, 10, nullptr); },
        [&](TOut& out) { RankUntransliterations(langs.Russian, u"a", 1, out, 10, &lookup); },
        [&](TOut& out) { RecognizeTransliterated(langs.Russian, u"a", 1, out, 10, &lookup); },
        [&](TOut& out) { RecognizeFromLatin(langs.Russian, u"banks", 5, out, 10); },
        [&](TOut& out) { RecognizeToLatin(langs.Russian, u"банки", 5, out, 10); },
    };
    for (size_t call = 0; call < std::size(calls); ++call) {
        // Every copy a successful call makes fails in turn.
        TFakeRecord::CopiesLeft = 1000000;
        TOut full(2);
        calls[call](full);
        const int needed = 1000000 - TFakeRecord::CopiesLeft;
        ASSERT_GT(full.size(), 2u);
        for (int copies = 0; copies < needed; ++copies) {
            TFakeRecord::CopiesLeft = copies;
            TOut out(2);
            out[1].Lemma = u"kept";
            EXPECT_THROW(calls[call](out), std::bad_alloc) << call << " " << copies;
            EXPECT_EQ(2u, out.size()) << call << " " << copies;
            EXPECT_EQ(u"kept", out[1].Lemma);
            EXPECT_EQ(0, TCountedUntransliter::Alive);
        }
    }
    TFakeRecord::CopiesLeft = -1;
}

}  // namespace
