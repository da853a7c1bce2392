// Analysing a word written in another script or language: translation through a language's
// translation table (from English, to English), and untransliteration of a Latin word into the
// language's script with the renderings ranked by the language's own recognition.
//
// The algorithms are written against the language interface `CTranslitLanguage` below, so that
// any language class that offers these operations gets them unchanged:
//     size_t n = RecognizeFromLatin(russian, word, length, records, maxCount);
//     size_t m = RecognizeTransliterated(russian, word, length, records, 4, &lookup);
// A language without a table or an untransliterator gets no analyses from them. Every function
// appends to the caller's vector and, when it raises (the standard bad-allocation error, or
// "bitset" for a grammeme code outside 127 to 249), leaves the vector as it found it.
#pragma once

#include "lemmer/alphabet/normalize_result.h"
#include "lemmer/grammar/gram_bitset.h"
#include "lemmer/translit/translit_table.h"
#include "lemmer/translit/untransliterator.h"

#include "util/generic/string.h"

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Flags of the analyses these paths make.
inline constexpr uint32_t TranslatedFromEnglishFlag = 0x10000;
inline constexpr uint32_t TranslatedToEnglishFlag = 0x20000;
inline constexpr uint32_t TransliteratedFlag = 0x40000;
// The kind bits of an analysis: 0 from the main dictionary, 2 from the second dictionary, 1 a
// hypothesis.
inline constexpr uint32_t AnalysisKindMask = 0xB;
inline constexpr uint32_t EnglishLanguageId = 2;
// The one-grammeme common grammar of a translation, "COM".
inline constexpr char TranslationCommonGrammar[] = "\x82";

// The lookups one recognition call asks of a language.
struct TTranslitRecognizeOptions {
    static constexpr uint32_t Dictionary = 4;
    static constexpr uint32_t SecondDictionary = 8;
    static constexpr uint32_t Hypotheses = 16;
    static constexpr uint32_t Placeholder = 32;

    uint32_t MaxCount = 0;  // 0: unlimited
    uint32_t Lookup = 0;    // the bits above
    Stroka GrammarFilter;
    bool Normalized = false;  // the word is already normalised
};

// What the analysis passes ask of the ranking: the kinds of analysis whose lemma is replaced by
// the normalised form (the Dictionary, SecondDictionary and Hypotheses bits) and the grammar
// filter.
struct TTranslitLookupFlags {
    uint64_t Exclusions = 0;
    Stroka GrammarFilter;
};

// The operations of a language these algorithms use. Records are values of L::TRecord in an
// L::TRecordVector (a std::vector-like sequence); the record operations are static.
template <class L>
concept CTranslitLanguage = requires(const L& lang, typename L::TRecord& rec,
                                     const typename L::TRecord& crec,
                                     typename L::TRecordVector& records, const wchar16* text,
                                     size_t n, const TTranslitRecognizeOptions& options,
                                     const NLemmer::TNormalizeResult& normalized,
                                     const TUtf16String& word) {
    { lang.Id() } -> std::convertible_to<uint32_t>;
    { lang.LanguageById(n) } -> std::convertible_to<const L*>;
    // The language's translation table; null when it has none.
    { lang.GetTranslitTable() } -> std::convertible_to<const TTranslitTable*>;
    // An untransliterator already reset for the word; null when the language has none.
    { lang.CreateUntransliter(word) } -> std::convertible_to<std::unique_ptr<TUntransliter>>;
    // Empties `records`, recognises the word into it, returns the count.
    { lang.ClearAndRecognize(text, n, records, options) } -> std::convertible_to<size_t>;
    // Appends at most `n` placeholder records; returns how many.
    { lang.AddUnknownWordAnalysis(text, n, records, n) } -> std::convertible_to<size_t>;
    // Post-processes records [start, start + count); returns how many are left.
    { lang.PostProcess(records, n, n, normalized) } -> std::convertible_to<size_t>;
    { L::Flags(crec) } -> std::convertible_to<uint32_t>;
    L::SetFlags(rec, uint32_t());
    L::SetLanguage(rec, uint32_t());
    L::SetSource(rec, text, n);
    L::SetNormalized(rec, text, n);
    // The lemma of a translation: rule 0, stem start 0, no ending, the common grammar
    // TranslationCommonGrammar, and the empty form grammar when the record has room for one.
    L::SetTranslatedLemma(rec, text, n);
    L::SetLemmaFromNormalizedForm(rec);
    { L::Lemma(crec) } -> std::convertible_to<TWCharRange>;
    { L::Source(crec) } -> std::convertible_to<TWCharRange>;
    { L::Normalized(crec) } -> std::convertible_to<TWCharRange>;
    { L::RecordLess(crec, crec) } -> std::convertible_to<bool>;
};

namespace NTranslitPrivate {

// Cuts a vector back to its size at construction unless released: the partial results of a
// call that raises do not stay behind.
template <class V>
class TTruncateOnThrow {
public:
    explicit TTruncateOnThrow(V& v) : V_(v), Size_(v.size()) {}
    ~TTruncateOnThrow() {
        if (!Released_ && V_.size() > Size_) {
            V_.erase(V_.begin() + Size_, V_.end());
        }
    }
    void Release() { Released_ = true; }

private:
    V& V_;
    size_t Size_;
    bool Released_ = false;
};

size_t TextLength(const wchar16* text);
bool SameText(TWCharRange a, TWCharRange b);
// The English normalisation of a transliterated word (compose, look-alike letters, conversions,
// alphabet check) into `out`; false when the result is not valid.
bool NormalizeAsEnglish(const wchar16* word, size_t length, wchar16 (&out)[56],
                        NLemmer::TNormalizeResult& result);

}  // namespace NTranslitPrivate

// The score bound of the renderings after the first: trunc(score × 2.7182818459045 + 0.5) in
// extended precision, 0xFFFFFFFF when larger.
uint32_t RankingBound(uint32_t firstScore);
// First renderings scoring above this give no placeholder text.
inline constexpr uint32_t MaxPlaceholderScore = 9999;

// A translator: one direction of a language's table between it and English.
template <CTranslitLanguage L>
class TTranslator {
public:
    TTranslator(const L& english, const L& language, const TTranslitTable& table, bool fromEnglish)
        : English_(english), Language_(language), Table_(table), FromEnglish_(fromEnglish) {}

    const L& Source() const { return FromEnglish_ ? English_ : Language_; }
    const L& Target() const { return FromEnglish_ ? Language_ : English_; }
    uint32_t Flag() const {
        return FromEnglish_ ? TranslatedFromEnglishFlag : TranslatedToEnglishFlag;
    }
    size_t Translate(const TTranslationRequest& request,
                     std::vector<TTranslationCandidate>& candidates) const {
        return FromEnglish_ ? FromLatin(Table_, request, candidates)
                            : ToLatin(Table_, request, candidates);
    }

private:
    const L& English_;
    const L& Language_;
    const TTranslitTable& Table_;
    bool FromEnglish_;
};

// Translates one word (with the wanted grammar `grammarCodes`, a grammar string; null is none)
// and appends one record per candidate, at most maxCount; returns how many. A candidate without
// text is passed over.
template <CTranslitLanguage L>
size_t AddTranslatedAnalyses(const TTranslator<L>& translator, const wchar16* word, size_t length,
                             typename L::TRecordVector& out, size_t maxCount,
                             const char* grammarCodes) {
    const TUtf16String copy(word, length);
    const TTranslationRequest request{copy.c_str(), TGramBitSet::FromCodes(grammarCodes)};
    std::vector<TTranslationCandidate> candidates;
    if (translator.Translate(request, candidates) == 0 || maxCount == 0) {
        return 0;
    }
    NTranslitPrivate::TTruncateOnThrow guard(out);
    size_t added = 0;
    for (const TTranslationCandidate& c : candidates) {
        if (added == maxCount) {
            break;
        }
        if (c.Text == nullptr) {
            continue;
        }
        L::SetTranslatedLemma(out.emplace_back(), c.Text, NTranslitPrivate::TextLength(c.Text));
        ++added;
    }
    guard.Release();
    return added;
}

// The word translated by the table, or else the lemmas the source language finds for it, each
// translated (up to maxCount records per lemma). The records carry the target language, the
// translator's flag, and the word (or the first source analysis's texts) as source and
// normalised text.
template <CTranslitLanguage L>
size_t RecognizeTranslated(const L& language, bool fromEnglish, const wchar16* word, size_t length,
                           typename L::TRecordVector& out, size_t maxCount) {
    const TTranslitTable* table = language.GetTranslitTable();
    const L* english = language.LanguageById(EnglishLanguageId);
    if (table == nullptr || english == nullptr) {
        return 0;
    }
    const TTranslator<L> translator(*english, language, *table, fromEnglish);
    const size_t start = out.size();
    NTranslitPrivate::TTruncateOnThrow guard(out);
    TWCharRange source(word, length), normalized(word, length);
    size_t n = AddTranslatedAnalyses(translator, word, length, out, maxCount, nullptr);
    typename L::TRecordVector found;
    if (n == 0) {
        TTranslitRecognizeOptions options;
        options.Lookup = 60;  // every kind, and a placeholder
        const size_t count = translator.Source().ClearAndRecognize(word, length, found, options);
        std::vector<const typename L::TRecord*> distinct;
        for (size_t i = 0; i < count && i < found.size(); ++i) {
            bool seen = false;
            for (const auto* d : distinct) {
                seen = seen || NTranslitPrivate::SameText(L::Lemma(*d), L::Lemma(found[i]));
            }
            if (!seen) {
                distinct.push_back(&found[i]);
            }
        }
        for (const auto* d : distinct) {
            const TWCharRange lemma = L::Lemma(*d);
            n +=
                AddTranslatedAnalyses(translator, lemma.Data, lemma.Length, out, maxCount, nullptr);
        }
        if (n != 0) {
            source = L::Source(*distinct.front());
            normalized = L::Normalized(*distinct.front());
        }
    }
    for (size_t i = start; i < out.size(); ++i) {
        L::SetLanguage(out[i], translator.Target().Id());
        L::SetSource(out[i], source.Data, source.Length);
        L::SetNormalized(out[i], normalized.Data, normalized.Length);
        L::SetFlags(out[i], translator.Flag());
    }
    guard.Release();
    return n;
}

template <CTranslitLanguage L>
size_t RecognizeFromLatin(const L& language, const wchar16* word, size_t length,
                          typename L::TRecordVector& out, size_t maxCount) {
    return RecognizeTranslated(language, true, word, length, out, maxCount);
}

template <CTranslitLanguage L>
size_t RecognizeToLatin(const L& language, const wchar16* word, size_t length,
                        typename L::TRecordVector& out, size_t maxCount) {
    return RecognizeTranslated(language, false, word, length, out, maxCount);
}

struct TRankResult {
    size_t Count = 0;
    TUtf16String Best;  // the first rendering when it scores at most MaxPlaceholderScore
};

// Renders the word with the language's untransliterator, recognises up to ten renderings (those
// after the first within RankingBound of its score) and appends the distinct analyses in the
// order first met, at most maxCount. Once a rendering has a main-dictionary analysis, what
// earlier renderings gave is dropped and later ones are looked up in the main dictionary only.
template <CTranslitLanguage L>
TRankResult RankUntransliterations(const L& language, const wchar16* word, size_t length,
                                   typename L::TRecordVector& out, size_t maxCount,
                                   const TTranslitLookupFlags* lookup) {
    using TRecord = typename L::TRecord;
    using TOpts = TTranslitRecognizeOptions;
    TRankResult result;
    std::unique_ptr<TUntransliter> untransliter =
        language.CreateUntransliter(TUtf16String(word, length));
    if (!untransliter) {
        return result;
    }
    TUntransliter::TAnswer answer = untransliter->GetNextAnswer(0);
    if (answer.Empty()) {
        return result;
    }
    const uint32_t firstScore = UntranslitScore(answer.Cost, answer.Consumed);
    const uint32_t bound = RankingBound(firstScore);
    if (firstScore <= MaxPlaceholderScore) {
        result.Best = answer.Text;
    }

    TOpts options;
    options.MaxCount = 28;
    options.Lookup = lookup ? TOpts::Dictionary | TOpts::SecondDictionary | TOpts::Hypotheses
                            : TOpts::Placeholder;
    options.GrammarFilter = lookup ? lookup->GrammarFilter : Stroka();
    options.Normalized = true;
    const uint64_t exclusions = lookup ? lookup->Exclusions : 0;
    auto less = [](const TRecord& a, const TRecord& b) { return L::RecordLess(a, b); };
    std::map<TRecord, size_t, decltype(less)> seen(less);

    typename L::TRecordVector found;
    for (size_t taken = 0;;) {
        const size_t reported =
            language.ClearAndRecognize(answer.Text.data(), answer.Text.size(), found, options);
        const size_t count = std::min<size_t>(reported, found.size());
        const bool both = (options.Lookup & TOpts::Dictionary) &&
                          (options.Lookup & (TOpts::SecondDictionary | TOpts::Hypotheses));
        if (count != 0 && (L::Flags(found[0]) & AnalysisKindMask) == 0 && both) {
            options.Lookup &= ~(TOpts::SecondDictionary | TOpts::Hypotheses);
            seen.clear();
        }
        if (seen.size() < maxCount) {
            for (size_t i = 0; i < count; ++i) {
                const uint32_t kind = L::Flags(found[i]) & AnalysisKindMask;
                if (((exclusions & TOpts::Dictionary) && kind == 0) ||
                    ((exclusions & TOpts::SecondDictionary) && kind == 2) ||
                    ((exclusions & TOpts::Hypotheses) && kind == 1)) {
                    L::SetLemmaFromNormalizedForm(found[i]);
                }
                seen.emplace(found[i], seen.size());
            }
        } else if (!((options.Lookup & TOpts::Dictionary) &&
                     (options.Lookup & TOpts::Hypotheses))) {
            break;
        }
        answer = untransliter->GetNextAnswer(bound);
        if (answer.Empty() || ++taken > 9) {
            break;
        }
    }
    untransliter.reset();

    const size_t start = out.size();
    NTranslitPrivate::TTruncateOnThrow guard(out);
    out.resize(start + std::min(maxCount, seen.size()));
    for (const auto& [record, number] : seen) {
        if (number < maxCount) {
            out[start + number] = record;
            result.Count = std::max(result.Count, number + 1);
        }
    }
    guard.Release();
    return result;
}

// A Latin word normalised as English, rendered in the language's script and ranked; when no
// rendering is recognised, a placeholder holds the best rendering. The records get the word as
// source and TransliteratedFlag, and go through the language's post-processing.
template <CTranslitLanguage L>
size_t RecognizeTransliterated(const L& language, const wchar16* word, size_t length,
                               typename L::TRecordVector& out, size_t maxCount,
                               const TTranslitLookupFlags* lookup) {
    wchar16 normalized[56];
    NLemmer::TNormalizeResult steps;
    if (!NTranslitPrivate::NormalizeAsEnglish(word, length, normalized, steps)) {
        return 0;
    }
    const size_t start = out.size();
    NTranslitPrivate::TTruncateOnThrow guard(out);
    TRankResult ranked =
        RankUntransliterations(language, normalized, steps.Length, out, maxCount, lookup);
    size_t count = ranked.Count;
    if (count == 0 && !ranked.Best.empty() && maxCount != 0) {
        count = language.AddUnknownWordAnalysis(ranked.Best.data(), ranked.Best.size(), out, 1);
        if (count != 0) {
            L::SetFlags(out[start], 1);
            L::SetNormalized(out[start], ranked.Best.data(), ranked.Best.size());
            L::SetLanguage(out[start], language.Id());
        }
    }
    for (size_t i = start; i < start + count; ++i) {
        L::SetSource(out[i], word, length);
        L::SetFlags(out[i], L::Flags(out[i]) | TransliteratedFlag);
    }
    guard.Release();
    return language.PostProcess(out, start, count, steps);
}
