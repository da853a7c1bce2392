// The counting of the lemma-frequency table: a stand-in for the output preprocessor that sees
// every word the analyser prints with its analyses, and the table's rows made from the counts.
#pragma once

#include "analyzer/output_preprocessor.h"
#include "util/stream/output.h"

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// Each printed word counts once in the total. Its dictionary analyses give their distinct keys
// (LemmaFrequencyKey), and each of the n keys gets 1/n. Hypotheses, second-dictionary analyses
// and placeholders give none: a hypothesis is a guess from the word's ending, one unknown word
// yields several invented lemmas and its forms yield different ones, so their counts would not
// add up to any lemma's frequency and would only fill the table. A key whose name is not a part
// of speech (an empty grammar) is not counted but tallied by name in Skipped().
class TFrequencyCounter : public NLemmix::IOutputPreprocessor {
public:
    void PrintText(const wchar16*, size_t) override {}
    void BeginSentence() override {}
    void EndWord() override {}
    void PrintWord(const wchar16* text, size_t length, TAnalysisRecord* first,
                   TAnalysisRecord* last) override;

    uint64_t Words() const { return Words_; }
    const std::unordered_map<std::u16string, double>& Counts() const { return Counts_; }
    const std::map<std::u16string, uint64_t>& Skipped() const { return Skipped_; }

private:
    uint64_t Words_ = 0;
    std::vector<std::u16string> Keys_;  // of the current word, reused
    std::unordered_map<std::u16string, double> Counts_;
    std::map<std::u16string, uint64_t> Skipped_;
};

// The table's rows: UTF-8 key and count per million words x 100, rounded to the nearest
// integer and at least 1, sorted by the keys' bytes. REQUIRES: words > 0.
std::vector<std::pair<std::string, uint64_t>> FrequencyRows(
    const std::unordered_map<std::u16string, double>& counts, uint64_t words);

// Writes the rows as "key TAB value" lines.
void WriteFrequencyRows(const std::vector<std::pair<std::string, uint64_t>>& rows,
                        TOutputStream& out);
