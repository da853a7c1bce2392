// The dictionary-backed language: looks a normalised word up in a binary dictionary through the
// rule matcher and turns the matcher's results into analysis records. Russian and English
// derive from it and supply the dictionaries.
#pragma once

#include "lemmer/analysis/language.h"
#include "lemmer/dictionary/dictionary.h"
#include "lemmer/record/analysis_record.h"

#include <cstddef>
#include <cstdint>

namespace NByk {
struct TMatchState;
}

// Mode bits of LookupInDictionary: the matcher's EMatchMode.
enum ELookupMode : uint32_t {
    LM_DICTIONARY = 1,
    LM_PREFIX_HYPOTHESES = 2,
    LM_STEM_HYPOTHESES = 4,
};

// Appends the analyses of one normalised word (a negative length: NUL-terminated) found in
// `dictionary` with `mode`, at most maxResults; returns how many. Allocates nothing but the
// vector's growth: the matcher's work space is per thread.
size_t LookupInDictionary(const NByk::TDictionary& dictionary, const wchar16* word,
                          ptrdiff_t length, TAnalysisVector& out, uint64_t maxResults,
                          uint32_t mode, const char* grammarFilter);

// The lemma of a matcher result: the stem less the rule's cut, then the rule's lemma ending.
// Fails, leaving the lemma empty, when that exceeds 55 units.
bool BuildLemma(TAnalysisRecord& record, const NByk::TMatchState& state, size_t resultIndex);

// 0 to 3; with size > 0 writes the clue grammemes of the first nominative (or infinitive) form
// into `out`, NUL-terminated, at most size - 1 of them.
int RussianParadigmRating(const TAnalysisRecord& record, char* out, size_t size);

class TBykLanguage : public TLanguage {
public:
    using TLanguage::TLanguage;
    ~TBykLanguage() override = 0;

    bool IsKnownWord(const wchar16* word, size_t length) const override;
    Stroka DictionaryFingerprint() const override;
    int SpecialParadigmKind(const TAnalysisRecord& record) const override;
    // A clue filter (grammar_filter.h) over the one clue given.
    std::unique_ptr<NLemmer::TGrammarFiltr> CreateGrammarFiltr(const char* clue) const override;
    // The forms of the record's paradigm in the dictionary it came from, or the lemma and word
    // when DictionaryForRecord gives none.
    std::unique_ptr<TWordformGenerator> CreateWordformGenerator(
        const TAnalysisRecord& record, const NLemmer::TGrammarFiltr* filter) const override;
    size_t Lookup(const wchar16* word, size_t length, TAnalysisVector& out,
                  const TRecognizeOptions& options) const override;

    // The main dictionary, null when the language has none. May build it on first call.
    virtual const NByk::TDictionary* GetMainDictionary() const = 0;
    virtual const NByk::TDictionary* GetSecondDictionary() const { return nullptr; }
    // The dictionary a record came from; null for placeholders and replaced lemmas.
    virtual const NByk::TDictionary* DictionaryForRecord(const TAnalysisRecord& record) const;
};
