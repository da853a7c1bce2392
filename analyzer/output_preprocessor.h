// The output preprocessor: between the token handler and the printer. It forwards text, sentence
// marks and end-of-word flushes, and for each word decides which analyses are printed, in which
// order, and with which lemma frequency (from the embedded lemma-frequency table).
#pragma once

#include "analyzer/analysis_printer.h"
#include "analyzer/analyzer_options.h"
#include "lemmer/record/analysis_record.h"
#include "util/generic/string.h"
#include "util/stream/compact_trie.h"

#include <cstddef>

namespace NLemmix {

// What the token handler sees of the output.
class IOutputPreprocessor {
public:
    virtual ~IOutputPreprocessor() = default;

    // Text that is not a word (blanks, punctuation, breaks, gaps between the parts of a word).
    virtual void PrintText(const wchar16* text, size_t length) = 0;
    // A word follows a sentence break.
    virtual void BeginSentence() = 0;
    // One word and its analyses; an empty range for a word without analyses. The records of
    // the range may be reordered and overwritten.
    virtual void PrintWord(const wchar16* text, size_t length, TAnalysisRecord* first,
                           TAnalysisRecord* last) = 0;
    // The handler has finished a word that received analyses.
    virtual void EndWord() = 0;
};

// Without -i each lemma is printed once (the record with the smallest common grammar), lemmas
// in unit order; with -i every record, in the order received. With -f it holds a share of the
// frequency table from construction to destruction, and the constructor raises the table's
// decoding errors; without -f the table is not decoded and every frequency is 0.
// Not thread-safe.
class TBasicPreprocessor : public IOutputPreprocessor {
public:
    TBasicPreprocessor(const TAnalyzerOptions* options, TAnalysisPrinter* printer);
    // Over another frequency table (a compact trie of the same form), with or without -f.
    TBasicPreprocessor(const TAnalyzerOptions* options, TAnalysisPrinter* printer,
                       const TBlob& frequencies);

    void PrintText(const wchar16* text, size_t length) override;
    void BeginSentence() override;
    void PrintWord(const wchar16* text, size_t length, TAnalysisRecord* first,
                   TAnalysisRecord* last) override;
    void EndWord() override;

    // The record's lemma frequency ("lemma=PART", PART the Latin name of the common grammar's
    // first grammeme); 0 when the table has no value for exactly that key.
    double LemmaFrequency(const TAnalysisRecord& record) const;

private:
    const TAnalyzerOptions* Options_;
    TAnalysisPrinter* Printer_;
    TCompactTrie Frequencies_;
};

// The key under which the frequency table holds a record's lemma: the lemma, "=" and the Latin
// name of the common grammar's first grammeme (nothing after "=" for an empty grammar). The
// offline counter of the table forms its keys here too, so both always agree.
inline constexpr size_t LemmaFrequencyKeyCapacity = TAnalysisRecord::LemmaCapacity + 1 + 64;
// Writes the key to `key` (LemmaFrequencyKeyCapacity units) and returns its length; 0 when the
// grammeme's name does not fit (no name is that long).
size_t LemmaFrequencyKey(const TAnalysisRecord& record, wchar16* key);

// Orders records by lemma (units unsigned, a prefix first), then common grammar (bytes
// unsigned, a prefix first). Records equal in both keep their order.
void SortAnalysesByLemma(TAnalysisRecord* first, TAnalysisRecord* last);

}  // namespace NLemmix
