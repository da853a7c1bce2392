// The morphology behind the analyser's token handler: Russian, with the options of the command
// line.
#pragma once

#include "analyzer/token_handler.h"
#include "lemmer/analysis/analyze_word.h"

// Analyses words in Russian alone: dictionary analyses, second-dictionary analyses,
// hypotheses and the unknown-word placeholder, or with `dictionaryOnly` dictionary analyses
// alone. Stateless between calls; raises what the morphology raises.
class TRussianWordAnalyzer : public NLemmix::IWordAnalyzer {
public:
    TRussianWordAnalyzer();

    size_t Analyze(const TTokenView& token, bool dictionaryOnly, TAnalysisVector& records) override;

private:
    TAnalyzeWordOptions Options_;
    TAnalyzeWordOptions DictionaryOnlyOptions_;
};
