// The analysis run: reads the input to its end and writes the analysis to the output.
#pragma once

#include "analyzer/analyzer_options.h"
#include "util/stream/input.h"
#include "util/stream/output.h"

namespace NLemmix {
class IWordAnalyzer;
}  // namespace NLemmix

// The streams belong to the caller, who finishes the output afterwards: the run neither
// flushes nor finishes it at the end. Every failure is raised (a kexception or a standard
// error such as bad allocation): the first decoding error ends the run after the output of the
// lines before it has been written to the stream.
//
// The input is read in blocks and cut into lines at the line feed of its encoding (the unit
// U+000A in UTF-16); each line is decoded to UTF-16, given a line feed and tokenised, and every
// word is analysed by `analyzer` and printed as the options say.
void RunAnalysis(TInputStream& input, TOutputStream& output, const TAnalyzerOptions* options,
                 NLemmix::IWordAnalyzer* analyzer);

// The run of the lemmix command: the words are analysed in Russian.
void RunAnalysis(TInputStream& input, TOutputStream& output, const TAnalyzerOptions* options);
