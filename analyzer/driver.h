// The analysis run: reads the input to its end and writes the analysis to the output.
#pragma once

#include "analyzer/analyzer_options.h"
#include "util/stream/input.h"
#include "util/stream/output.h"

// The streams belong to the caller, who finishes the output afterwards: the run leaves in the
// output's buffer whatever it wrote last. Every failure is raised (a kexception or a standard
// error such as bad allocation); what was written before it stays written.
//
// For now the run only moves the text: with CopyAll every input line is written out with a
// line feed (one carriage return before the line feed is dropped), without it the input is
// read and dropped. Words are not analysed yet.
void RunAnalysis(TInputStream& input, TOutputStream& output, const TAnalyzerOptions* options);
