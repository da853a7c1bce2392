// The token handler: receives the tokeniser's tokens, keeps the sentence state, sends each word
// to the morphology, keeps the analyses worth printing and hands text, words and analyses to
// the output preprocessor, as one word or part by part.
#pragma once

#include "analyzer/analyzer_options.h"
#include "analyzer/output_preprocessor.h"
#include "lemmer/record/analysis_record.h"
#include "lemmer/token/token.h"

#include <cstddef>
#include <cstdint>

namespace NLemmix {

// The morphology as the handler uses it: appends the analyses of a word token to `records`
// and returns their number. `dictionaryOnly` asks for dictionary analyses alone (no
// hypotheses, no unknown-word placeholder).
class IWordAnalyzer {
public:
    virtual ~IWordAnalyzer() = default;
    virtual size_t Analyze(const TTokenView& token, bool dictionaryOnly,
                           TAnalysisVector& records) = 0;
};

// Output kept from earlier word tokens of the run. For a word token the handler first asks
// ReplayOrRecord: true means the token's whole output has been written again and the handler
// is done with it; false means the cache is now keeping what is printed, and the handler ends
// the token with EndRecord, or with AbandonRecord when the token's printing failed.
class IWordOutputCache {
public:
    virtual ~IWordOutputCache() = default;
    virtual bool ReplayOrRecord(const TTokenView& token) = 0;
    virtual void EndRecord() = 0;
    virtual void AbandonRecord() noexcept = 0;
};

// One handler serves a whole run; its sentence state carries over from line to line. Owns
// nothing; passes on what the analyser and the preprocessor raise. Not thread-safe.
class TTokenHandler : public ITokenHandler {
public:
    // `cache` may be null: every word is then analysed.
    TTokenHandler(const TAnalyzerOptions* options, IOutputPreprocessor* preprocessor,
                  IWordAnalyzer* analyzer, IWordOutputCache* cache = nullptr);

    void OnToken(const TTokenView& token, size_t sourceLength, int32_t type) override;

private:
    void PrintWordToken(const TTokenView& token);
    void PrintParts(const TTokenView& token, TAnalysisRecord* first, TAnalysisRecord* last);

    IOutputPreprocessor* Preprocessor_;
    IWordAnalyzer* Analyzer_;
    IWordOutputCache* Cache_;
    bool DictionaryOnly_;
    bool InSentence_ = true;
    TAnalysisVector Records_;  // reused for every word
};

// Orders records by the number of token parts they cover, then by the first part they cover.
// Records equal in both keep their order.
void SortAnalyses(TAnalysisRecord* first, TAnalysisRecord* last);

}  // namespace NLemmix
