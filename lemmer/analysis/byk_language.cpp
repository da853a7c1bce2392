#include "lemmer/analysis/byk_language.h"

#include "lemmer/alphabet/alphabet_registry.h"
#include "lemmer/alphabet/word_normalizer.h"
#include "lemmer/dictionary/dictionary_registry.h"
#include "lemmer/dictionary/rule_matcher.h"
#include "lemmer/generation/wordform_generator.h"
#include "lemmer/grammar/grammar_filter.h"
#include "lemmer/grammar/grammeme_constants.h"

#include <algorithm>
#include <cstring>

namespace {

NByk::TMatchState& ThreadMatchState() {
    thread_local NByk::TMatchState state;
    return state;
}

const char* FilterOrNull(const char* filter) {
    return filter != nullptr && *filter != 0 ? filter : nullptr;
}

}  // namespace

bool BuildLemma(TAnalysisRecord& record, const NByk::TMatchState& state, size_t resultIndex) {
    const NByk::TMatchResult& result = state.Results[resultIndex];
    const NByk::TMatchCandidate& c = state.Candidates[result.CandidateIndex];
    const size_t stem = c.Depth + c.Unmatched;
    const size_t kept = stem >= result.Cut ? stem - result.Cut : 0;
    const size_t ending = result.LemmaEndingLength();
    record.LemmaLength = 0;
    record.Lemma[0] = 0;
    if (kept + ending > TAnalysisRecord::LemmaCapacity - 1) {
        return false;
    }
    std::memcpy(record.Lemma, state.Word + c.StemStart, kept * sizeof(wchar16));
    NByk::CopyLemmaEnding(result, record.Lemma + kept);
    record.LemmaLength = kept + ending;
    record.Lemma[record.LemmaLength] = 0;
    return true;
}

size_t LookupInDictionary(const NByk::TDictionary& dictionary, const wchar16* word,
                          ptrdiff_t length, TAnalysisVector& out, uint64_t maxResults,
                          uint32_t mode, const char* grammarFilter) {
    if (maxResults == 0) {
        return 0;
    }
    if (length < 0) {
        length = static_cast<ptrdiff_t>(TCharTraits<wchar16>::GetLength(word));
    }
    NByk::TMatchState& s = ThreadMatchState();
    s.Word = word;
    s.Length = static_cast<int32_t>(std::min<ptrdiff_t>(length, INT32_MAX));
    if (NByk::MatchRules(dictionary, s) == 0) {
        return 0;
    }
    const uint32_t quality =
        NByk::EvaluateCandidates(dictionary, s, mode, FilterOrNull(grammarFilter));
    const uint32_t hypothesisFlags =
        quality == NByk::MV_PREFIX_HYPOTHESES ? AF_HYPOTHESIS | AF_KNOWN_BEGINNING : AF_HYPOTHESIS;
    const size_t first = out.size();
    for (uint64_t i = 0; i < s.ResultCount && out.size() - first < maxResults; ++i) {
        const NByk::TMatchResult& result = s.Results[i];
        const NByk::TMatchCandidate& c = s.Candidates[result.CandidateIndex];
        TAnalysisRecord& r = out.emplace_back();
        if (!BuildLemma(r, s, i)) {
            out.pop_back();
            continue;
        }
        r.StemDepth = c.Depth;
        SetRecordMatch(r, result.RuleId, c.StemStart, static_cast<size_t>(length) - c.StemEnd,
                       result.CommonGrammar);
        if (quality < NByk::MV_DICTIONARY) {
            r.Flags = hypothesisFlags;
        }
        uint32_t count = 0;
        const uint16_t* ids = NByk::ResultEndingIds(dictionary, result, &count);
        for (uint32_t k = 0; k < count; ++k) {
            const char* grammar = dictionary.Endings[ids[k]].FormGrammar;
            if (quality < NByk::MV_DICTIONARY && NByk::HasBarredGrammeme(grammar)) {
                continue;
            }
            if (r.FormGrammarCount < TAnalysisRecord::MaxFormGrammars) {
                r.FormGrammars[r.FormGrammarCount++] = grammar;
            }
        }
        if (r.FormGrammarCount == 0) {
            out.pop_back();
        }
    }
    return out.size() - first;
}

int RussianParadigmRating(const TAnalysisRecord& r, char* out, size_t size) {
    if (size != 0) {
        out[0] = 0;
    }
    int rating = ParadigmRating(r);
    if (r.FormGrammarCount == 0) {
        return rating;
    }
    static constexpr unsigned char KEPT[] = {191, 193, 175, 178, 195, 196, 197, 198};
    const char* form = nullptr;
    bool keep = false;
    for (size_t i = 0; i < r.FormGrammarCount && form == nullptr; ++i) {
        if (GrammarHas(r.FormGrammars[i], NGrammeme::NOM)) {
            form = r.FormGrammars[i];
            keep = true;
        }
    }
    for (size_t i = 0; i < r.FormGrammarCount && form == nullptr; ++i) {
        if (GrammarHas(r.FormGrammars[i], NGrammeme::INF)) {
            form = r.FormGrammars[i];
        }
    }
    if (form == nullptr) {
        return rating;
    }
    const bool noun =
        GrammarHas(r.CommonGrammar, NGrammeme::S) &&
        (GrammarHas(r.CommonGrammar, NGrammeme::SG) || GrammarHas(r.CommonGrammar, NGrammeme::PL));
    rating = std::max(rating, noun ? 3 : 1);
    if (size != 0 && keep) {
        size_t n = 0;
        for (const char* p = form; *p != 0 && n + 1 < size; ++p) {
            if (std::find(std::begin(KEPT), std::end(KEPT), static_cast<unsigned char>(*p)) !=
                std::end(KEPT)) {
                out[n++] = *p;
            }
        }
        out[n] = 0;
    }
    return rating;
}

TBykLanguage::~TBykLanguage() = default;

bool TBykLanguage::IsKnownWord(const wchar16* word, size_t length) const {
    const NByk::TDictionary* d = GetMainDictionary();
    if (d == nullptr || length > TAnalysisRecord::LemmaCapacity - 1) {
        return false;
    }
    wchar16 lower[TAnalysisRecord::LemmaCapacity];
    const NLemmer::TAlphabetWordNormalizer* normalizer =
        NLemmer::GetAlphabetWordNormalizer(static_cast<int>(Id()));
    size_t n = length;
    if (normalizer != nullptr) {
        n = normalizer->ToLower(word, length, lower, length).Length;
    } else {
        std::memcpy(lower, word, length * sizeof(wchar16));
    }
    NByk::TMatchState& s = ThreadMatchState();
    s.Word = lower;
    s.Length = static_cast<int32_t>(n);
    NByk::MatchRules(*d, s);
    return NByk::EvaluateCandidates(*d, s, NByk::MM_DICTIONARY, nullptr) == NByk::MV_DICTIONARY;
}

Stroka TBykLanguage::DictionaryFingerprint() const {
    Stroka text;
    if (const NByk::TDictionary* d = GetMainDictionary()) {
        text += d->Fingerprint;
    }
    if (const NByk::TDictionary* d = GetSecondDictionary()) {
        text += d->Fingerprint;
    }
    return text;
}

int TBykLanguage::SpecialParadigmKind(const TAnalysisRecord& record) const {
    return ParadigmRating(record);
}

std::unique_ptr<NLemmer::TGrammarFiltr> TBykLanguage::CreateGrammarFiltr(const char* clue) const {
    return std::make_unique<NLemmer::NDetail::TClueGrammarFiltr>(
        std::vector<Stroka>{Stroka(clue != nullptr ? clue : ""), Stroka()});
}

std::unique_ptr<TWordformGenerator> TBykLanguage::CreateWordformGenerator(
    const TAnalysisRecord& record, const NLemmer::TGrammarFiltr* filter) const {
    return std::make_unique<TWordformGenerator>(record, DictionaryForRecord(record), filter);
}

size_t TBykLanguage::Lookup(const wchar16* word, size_t length, TAnalysisVector& out,
                            const TRecognizeOptions& o) const {
    const ptrdiff_t n = static_cast<ptrdiff_t>(length);
    if (o.UseRegistry && (o.Flags & RF_DICTIONARY)) {
        const NByk::TDictionary* extra =
            NByk::TDictionaryRegistry::Find(NByk::GetDictionaryRegistry(), Id());
        if (extra != nullptr) {
            const size_t first = out.size();
            const size_t added = LookupInDictionary(*extra, word, n, out, o.MaxResults,
                                                    LM_DICTIONARY, o.GrammarFilter);
            if (added != 0) {
                for (size_t i = first; i < out.size(); ++i) {
                    out[i].Flags = AF_REGISTRY_DICTIONARY;
                }
                return added;
            }
        }
    }
    const NByk::TDictionary* main = GetMainDictionary();
    const uint32_t dictionaryMode = (o.Flags & RF_DICTIONARY) ? uint32_t(LM_DICTIONARY) : 0u;
    const NByk::TDictionary* second = GetSecondDictionary();
    if (second != nullptr && (o.Flags & RF_SECOND_DICTIONARY)) {
        const size_t first = out.size();
        size_t mainAdded = 0;
        if (main != nullptr) {
            mainAdded = LookupInDictionary(*main, word, n, out, o.MaxResults,
                                           dictionaryMode | LM_PREFIX_HYPOTHESES, o.GrammarFilter);
            if (mainAdded != 0 && (out[first].Flags & AF_NOT_FROM_DICTIONARY) == 0) {
                return mainAdded;
            }
        }
        out.resize(first);
        const size_t added =
            LookupInDictionary(*second, word, n, out, o.MaxResults, LM_DICTIONARY, o.GrammarFilter);
        for (size_t i = first; i < out.size(); ++i) {
            out[i].Flags =
                mainAdded != 0 ? AF_SECOND_DICTIONARY | AF_KNOWN_BEGINNING : AF_SECOND_DICTIONARY;
        }
        if (added != 0) {
            return added;
        }
    }
    if (main == nullptr) {
        return 0;
    }
    const uint32_t mode =
        dictionaryMode |
        ((o.Flags & RF_HYPOTHESES) ? uint32_t(LM_PREFIX_HYPOTHESES | LM_STEM_HYPOTHESES) : 0u);
    return LookupInDictionary(*main, word, n, out, o.MaxResults, mode, o.GrammarFilter);
}

const NByk::TDictionary* TBykLanguage::DictionaryForRecord(const TAnalysisRecord& r) const {
    if (r.Flags & (AF_PLACEHOLDER | AF_LEMMA_FROM_WORD)) {
        return nullptr;
    }
    if (r.Flags & AF_REGISTRY_DICTIONARY) {
        return NByk::TDictionaryRegistry::Find(NByk::GetDictionaryRegistry(), Id());
    }
    if (r.Flags & AF_SECOND_DICTIONARY) {
        return GetSecondDictionary();
    }
    return GetMainDictionary();
}
