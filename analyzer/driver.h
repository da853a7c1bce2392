// The analysis run: reads the input to its end and writes the analysis to the output.
#pragma once

#include "analyzer/analyzer_options.h"
#include "util/stream/input.h"
#include "util/stream/output.h"

#include <cstddef>

namespace NLemmix {
class IWordAnalyzer;
}  // namespace NLemmix

// What the run keeps of the words it printed: the words seen often in a text fit many times.
inline constexpr size_t DefaultWordCacheBytes = size_t(40) << 20;

// The streams belong to the caller, who finishes the output afterwards. Every failure is
// raised (a kexception or a standard error such as bad allocation): the first decoding error
// ends the run after the output of the lines before it has been written to the stream.
//
// The input is read in blocks and cut into lines at the line feed of its encoding (the unit
// U+000A in UTF-16); each line is decoded to UTF-16, given a line feed and tokenised, and every
// word is analysed by `analyzer` and printed as the options say. Before every read of the
// input the output printed so far is written and flushed: with an input whose reads return
// what has arrived (TStandardInput) the analysis of each complete line is delivered before the
// run waits for the next one. What a word token printed is kept, within `wordCacheBytes`, and
// written again when the same token comes back in the same state (0 keeps nothing); the
// output is the same either way.
void RunAnalysis(TInputStream& input, TOutputStream& output, const TAnalyzerOptions* options,
                 NLemmix::IWordAnalyzer* analyzer, size_t wordCacheBytes = DefaultWordCacheBytes);

// The run of the lemmix command: the words are analysed in Russian.
void RunAnalysis(TInputStream& input, TOutputStream& output, const TAnalyzerOptions* options);
