#include "lemmer/generation/wordform_segments.h"

#include <algorithm>

TWordformSegments::TWordformSegments(const TAnalysisRecord& record, size_t formIndex)
    : Source(&record) {
    if (formIndex < record.FormGrammarCount) {
        FormGrammar = record.FormGrammars[formIndex];
    }
    const wchar16* word = record.Normalized;
    const size_t length =
        std::min<size_t>(record.NormalizedLength, TAnalysisRecord::NormalizedCapacity - 1);
    const size_t p = std::min<size_t>(record.StemStart, length);
    Prefix = {word, p};
    size_t rest = length - p;
    const size_t t = rest >= record.TailLength ? record.TailLength : 0;
    Tail = {word + p + rest - t, t};
    rest -= t;
    const size_t e = rest >= record.EndingLength ? record.EndingLength : 0;
    Ending = {word + p + rest - e, e};
    Stem = {word + p, rest - e};
}
