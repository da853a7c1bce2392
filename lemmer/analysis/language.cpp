#include "lemmer/analysis/language.h"

#include "lemmer/alphabet/alphabet_registry.h"
#include "lemmer/alphabet/word_normalizer.h"
#include "lemmer/generation/wordform_generator.h"
#include "lemmer/grammar/grammar_filter.h"
#include "lemmer/grammar/grammeme_constants.h"

#include "util/charset/language.h"

#include <algorithm>
#include <cstring>

namespace {

// Callers cut words to this many units; the first normalisation step writes into as many.
constexpr size_t WordCapacity = 112;
constexpr size_t LookupCapacity = 56;

const NLemmer::TNormalizationMask& FirstStepMask() {
    static const NLemmer::TNormalizationMask mask =
        NLemmer::TNormalizationMask().Set(NLemmer::NS_COMPOSE).Set(NLemmer::NS_DERENYX);
    return mask;
}

const NLemmer::TNormalizationMask& SecondStepMask() {
    static const NLemmer::TNormalizationMask mask = NLemmer::TNormalizationMask()
                                                        .Set(NLemmer::NS_CONVERT)
                                                        .Set(NLemmer::NS_ADVANCED_CONVERT)
                                                        .Set(NLemmer::NS_CHECK_ALPHABET);
    return mask;
}

TRegisteredLanguages& RawRegistry() {
    static TRegisteredLanguages registry;
    return registry;
}

}  // namespace

TLanguage::TLanguage(uint32_t id, bool doNotRegister) : Id_(id) {
    if (!doNotRegister) {
        RegisterLanguage(this);
    }
}

TLanguage::~TLanguage() = default;

bool TLanguage::IsKnownWord(const wchar16*, size_t) const {
    return false;
}

bool TLanguage::IsOwnAnalysis(const TAnalysisRecord& record) const {
    return record.Language == Id_ && (record.Flags & AF_TRANSLIT_MASK) == 0;
}

Stroka TLanguage::DictionaryFingerprint() const {
    return Stroka();
}

int TLanguage::SpecialParadigmKind(const TAnalysisRecord& record) const {
    return ParadigmRating(record);
}

std::unique_ptr<NLemmer::TGrammarFiltr> TLanguage::CreateGrammarFiltr(const char*) const {
    return std::make_unique<NLemmer::NDetail::TDummyGrammarFiltr>();
}

std::unique_ptr<NLemmer::TGrammarFiltr> TLanguage::CreateParadigmFiltr(
    const TAnalysisRecord& record) const {
    if (SpecialParadigmKind(record) == 0) {
        return nullptr;
    }
    std::unique_ptr<NLemmer::TGrammarFiltr> filter = CreateGrammarFiltr("");
    filter->SetLemma(record);
    return filter;
}

std::unique_ptr<TWordformGenerator> TLanguage::CreateWordformGenerator(
    const TAnalysisRecord& record, const NLemmer::TGrammarFiltr* filter) const {
    return std::make_unique<TWordformGenerator>(record, nullptr, filter);
}

size_t TLanguage::Recognize(const wchar16* word, size_t length, TAnalysisVector& out,
                            const TRecognizeOptions& options) const {
    NLemmer::TNormalizeResult result(length);
    const wchar16* lookupText = word;
    const wchar16* normalizedText = word;
    size_t normalizedLength = length;
    wchar16 firstStep[WordCapacity];
    wchar16 lookup[LookupCapacity];
    if (!options.AlreadyNormalized) {
        const NLemmer::TAlphabetWordNormalizer* normalizer =
            NLemmer::GetAlphabetWordNormalizer(static_cast<int>(Id_));
        if (normalizer == nullptr) {
            return 0;
        }
        const NLemmer::TNormalizeResult first =
            normalizer->NormalizeWord(word, length, firstStep, WordCapacity, FirstStepMask());
        if (!first.Valid) {
            return 0;
        }
        result = normalizer->NormalizeWord(firstStep, first.Length, lookup, LookupCapacity,
                                           SecondStepMask());
        if (!result.Valid) {
            return 0;
        }
        lookupText = lookup;
        normalizedText = firstStep;
        normalizedLength = first.Length;
    }

    const size_t first = out.size();
    size_t added = Lookup(lookupText, result.Length, out, options);
    if (added == 0 && (options.Flags & RF_PLACEHOLDER)) {
        added = AddUnknownWordAnalysis(lookupText, result.Length, out, options.MaxResults);
    }
    for (size_t i = first; i < first + added; ++i) {
        TAnalysisRecord& r = out[i];
        r.Language = Id_;
        SetRecordSourceText(r, word, length);
        SetRecordText(r, normalizedText, normalizedLength);
    }
    const size_t kept = PostProcess(out, first, first + added, result);
    if (kept > options.MaxResults) {
        out.resize(first + options.MaxResults);
        return options.MaxResults;
    }
    return kept;
}

bool TLanguage::SplitsBetween(const wchar16*, size_t, size_t, size_t, size_t, bool) const {
    return true;
}

size_t TLanguage::PostProcess(TAnalysisVector&, size_t first, size_t end,
                              const NLemmer::TNormalizeResult&) const {
    return end - first;
}

size_t TLanguage::Lookup(const wchar16*, size_t, TAnalysisVector&, const TRecognizeOptions&) const {
    return 0;
}

size_t TLanguage::ClearAndRecognize(const wchar16* word, size_t length, TAnalysisVector& out,
                                    const TRecognizeOptions& options) const {
    out.clear();
    return Recognize(word, length, out, options);
}

size_t TLanguage::ClearAndRecognizeFromLatin(const wchar16* word, size_t length,
                                             TAnalysisVector& out, size_t maxResults,
                                             const char* grammarFilter) const {
    out.clear();
    return RecognizeFromLatin(word, length, out, maxResults, grammarFilter);
}

size_t TLanguage::ClearAndRecognizeToLatin(const wchar16* word, size_t length, TAnalysisVector& out,
                                           size_t maxResults, const char* grammarFilter) const {
    out.clear();
    return RecognizeToLatin(word, length, out, maxResults, grammarFilter);
}

TDefaultLanguage::~TDefaultLanguage() = default;

int ParadigmRating(const TAnalysisRecord& r) {
    if ((r.Flags & (AF_PLACEHOLDER | AF_LEMMA_FROM_WORD)) || r.CommonGrammar == nullptr) {
        return 0;
    }
    const unsigned char pos = static_cast<unsigned char>(r.CommonGrammar[0]);
    if (pos != NGrammeme::A && pos != NGrammeme::ADV && pos != NGrammeme::S &&
        pos != NGrammeme::V) {
        return 0;
    }
    const bool own = r.LemmaLength == r.NormalizedLength &&
                     std::memcmp(r.Lemma, r.Normalized, r.LemmaLength * sizeof(wchar16)) == 0;
    return own ? 2 : 0;
}

size_t AddUnknownWordAnalysis(const wchar16* word, size_t length, TAnalysisVector& out,
                              uint64_t maxResults) {
    if (maxResults == 0) {
        return 0;
    }
    TAnalysisRecord& r = out.emplace_back();
    SetRecordLemma(r, word, length, 0, 0, 0, "");
    r.Flags = AF_PLACEHOLDER;
    return 1;
}

TRecognizeOptions MakeRecognizeOptions(int level, const char* grammarFilter, bool useRegistry) {
    static constexpr uint64_t FLAGS[] = {
        RF_DICTIONARY,
        RF_DICTIONARY | RF_SECOND_DICTIONARY,
        RF_DICTIONARY | RF_SECOND_DICTIONARY | RF_HYPOTHESES,
    };
    const uint64_t flags = level >= 0 && level < 3 ? FLAGS[level] : FLAGS[2] | RF_PLACEHOLDER;
    return TRecognizeOptions(TRecognizeOptions::Unlimited, flags, grammarFilter, useRegistry);
}

void RegisterLanguage(const TLanguage* language) {
    const uint32_t id = language->Id();
    if (id >= TRegisteredLanguages::IdCount) {
        ThrowRangeError("bitset");
    }
    TRegisteredLanguages& r = RawRegistry();
    auto at = std::upper_bound(r.List.begin(), r.List.end(), id,
                               [](uint32_t i, const TLanguage* l) { return i < l->Id(); });
    r.List.insert(at, language);
    if (id >= 1) {
        r.Mask.SafeSet(static_cast<int>(id));
    }
    r.ById[id] = language;
}

namespace NLemmer::NPrivate {

const TRegisteredLanguages& RegisteredLanguagesSoFar() {
    return RawRegistry();
}

const TLanguage* ReplaceLanguageById(uint32_t id, const TLanguage* language) {
    if (id >= TRegisteredLanguages::IdCount) {
        ThrowRangeError("bitset");
    }
    const TLanguage*& slot = RawRegistry().ById[id];
    const TLanguage* replaced = slot;
    slot = language;
    return replaced;
}

}  // namespace NLemmer::NPrivate
