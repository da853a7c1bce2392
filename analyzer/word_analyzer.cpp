#include "analyzer/word_analyzer.h"

namespace {
constexpr uint32_t RussianLanguage = 1;
}  // namespace

TRussianWordAnalyzer::TRussianWordAnalyzer() {
    // The defaults are the analyser's: up to three parts joined into one unit, no grammar
    // filter, tails appended, splitting by the rules, every language in every level mask.
    DictionaryOnlyOptions_.DictionaryOnly();
}

size_t TRussianWordAnalyzer::Analyze(const TTokenView& token, bool dictionaryOnly,
                                     TAnalysisVector& records) {
    return AnalyzeWord(token, records, TLangMask(uint64_t(1) << (RussianLanguage - 1)), nullptr,
                       dictionaryOnly ? DictionaryOnlyOptions_ : Options_);
}
