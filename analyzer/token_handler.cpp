#include "analyzer/token_handler.h"

#include <algorithm>

namespace NLemmix {

void SortAnalyses(TAnalysisRecord* first, TAnalysisRecord* last) {
    const auto less = [](const TAnalysisRecord& a, const TAnalysisRecord& b) {
        return a.PartCount != b.PartCount ? a.PartCount < b.PartCount : a.FirstPart < b.FirstPart;
    };
    // Records of a one-part word are in order already; the stable sort would still take a
    // buffer and copy them through it.
    if (!std::is_sorted(first, last, less)) {
        std::stable_sort(first, last, less);
    }
}

TTokenHandler::TTokenHandler(const TAnalyzerOptions* options, IOutputPreprocessor* preprocessor,
                             IWordAnalyzer* analyzer, IWordOutputCache* cache)
    : Preprocessor_(preprocessor),
      Analyzer_(analyzer),
      Cache_(cache),
      DictionaryOnly_(options->DictionaryOnly) {}

void TTokenHandler::OnToken(const TTokenView& token, size_t /*sourceLength*/, int32_t type) {
    if (type != TOKEN_WORD) {
        if (type == TOKEN_SENTENCE) {
            InSentence_ = false;
        }
        Preprocessor_->PrintText(token.Text, token.Length);
        return;
    }
    if (!InSentence_) {
        InSentence_ = true;
        Preprocessor_->BeginSentence();
    }
    const size_t parts = token.Parts.size();
    if (parts == 0 || (parts == 1 && token.Parts[0].Len == 0)) {
        Preprocessor_->PrintText(token.Text, token.Length);
        return;
    }
    if (!Cache_) {
        PrintWordToken(token);
        return;
    }
    if (Cache_->ReplayOrRecord(token)) {
        return;
    }
    try {
        PrintWordToken(token);
    } catch (...) {
        Cache_->AbandonRecord();
        throw;
    }
    Cache_->EndRecord();
}

void TTokenHandler::PrintWordToken(const TTokenView& token) {
    const size_t parts = token.Parts.size();
    Records_.clear();
    Analyzer_->Analyze(token, DictionaryOnly_, Records_);
    Records_.erase(
        std::remove_if(Records_.begin(), Records_.end(),
                       [](const TAnalysisRecord& r) { return (r.Flags & AF_PLACEHOLDER) != 0; }),
        Records_.end());
    TAnalysisRecord* first = Records_.data();
    TAnalysisRecord* last = first + Records_.size();
    if (first == last) {
        PrintParts(token, first, first);
        return;
    }
    SortAnalyses(first, last);
    if (last[-1].PartCount == parts) {
        TAnalysisRecord* whole = first;
        while (whole->PartCount != parts) {
            ++whole;
        }
        Preprocessor_->PrintWord(token.Text, token.Length, whole, last);
    } else {
        TAnalysisRecord* group = first;
        while (group != last && group->PartCount == first->PartCount) {
            ++group;
        }
        PrintParts(token, first, group);
    }
    Preprocessor_->EndWord();
}

void TTokenHandler::PrintParts(const TTokenView& token, TAnalysisRecord* first,
                               TAnalysisRecord* last) {
    uint64_t previousEnd = 0;
    TAnalysisRecord* cursor = first;
    for (size_t i = 0; i < token.Parts.size(); ++i) {
        const TTokenPart& part = token.Parts[i];
        Preprocessor_->PrintText(token.Text + previousEnd, part.Pos - previousEnd);
        previousEnd = part.Pos + part.Len;
        while (cursor != last && cursor->FirstPart < i) {
            ++cursor;
        }
        TAnalysisRecord* end = cursor;
        while (end != last && end->FirstPart == i) {
            ++end;
        }
        Preprocessor_->PrintWord(token.Text + part.Pos, part.Len, cursor, end);
        cursor = end;
    }
}

}  // namespace NLemmix
