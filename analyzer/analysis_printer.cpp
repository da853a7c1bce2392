#include "analyzer/analysis_printer.h"

#include "lemmer/grammar/gram_codes.h"
#include "util/string/escape.h"
#include "util/string/printf.h"

#include <cstring>

namespace {

constexpr uint32_t UncertainFlags = 0xB;  // hypothesis, second dictionary, placeholder
constexpr unsigned char ReservedCode = 0x90;
constexpr size_t LargePending = 1 << 16;
constexpr size_t MaxGrammarTexts = 1 << 14;
constexpr size_t MaxGrammarCodes = 255;

}  // namespace

TAnalysisPrinter::TAnalysisPrinter(const TAnalyzerOptions* options, TOutputStream* output)
    : Options_(options),
      Output_(output),
      Recoder_(options->Encoding),
      AsciiIsOneByte_(Recoder_.AsciiIsOneByte()) {}

void TAnalysisPrinter::WritePending() {
    if (Pending_.empty()) {
        return;
    }
    if (Recording_) {
        Recording_->Bytes.append(Pending_.data() + RecordedFrom_, Pending_.size() - RecordedFrom_);
        RecordedFrom_ = 0;
    }
    try {
        Output_->Write(Pending_.data(), Pending_.size());
    } catch (...) {
        Pending_.clear();  // a stream that failed is not given the same bytes again
        RecordedFrom_ = 0;
        throw;
    }
    Pending_.clear();  // keeps the buffer for the next word
}

void TAnalysisPrinter::WriteIfLarge() {
    if (Pending_.size() >= LargePending) {
        WritePending();
    }
}

void TAnalysisPrinter::Flush() {
    WritePending();
    if (Recording_) {
        Recording_->Flushes.push_back(Recording_->Bytes.size());
    }
    Output_->Flush();
}

void TAnalysisPrinter::StartRecording(TPrintedStretch* into) {
    into->Bytes.clear();
    into->Flushes.clear();
    Recording_ = into;
    RecordedFrom_ = Pending_.size();
}

void TAnalysisPrinter::StopRecording() {
    if (!Recording_) {
        return;
    }
    Recording_->Bytes.append(Pending_.data() + RecordedFrom_, Pending_.size() - RecordedFrom_);
    Recording_->LinePendingAfter = LinePending_;
    Recording_ = nullptr;
}

void TAnalysisPrinter::Replay(const TPrintedStretchView& stretch) {
    size_t from = 0;
    for (size_t i = 0; i < stretch.FlushCount; ++i) {
        uint32_t at = 0;
        std::memcpy(&at, stretch.Flushes + i * sizeof(at), sizeof(at));
        Pending_.append(stretch.Bytes.data() + from, at - from);
        from = at;
        Flush();
    }
    Pending_.append(stretch.Bytes.data() + from, stretch.Bytes.size() - from);
    LinePending_ = stretch.LinePendingAfter;
    WriteIfLarge();
}

void TAnalysisPrinter::LineFeed() {
    Put('\n');
    Flush();
}

void TAnalysisPrinter::WriteRecoded(const wchar16* text, size_t length) {
    Recoder_.AppendUtf16(text, length, Pending_);
}

void TAnalysisPrinter::BeginAnalyses(const wchar16* text, size_t length) {
    if (LinePending_ && Options_->WordPerLine) {
        LineFeed();
    }
    if (!Options_->LemmasOnly) {
        WriteRecoded(text, length);
    }
    if (!(Options_->WordPerLine && Options_->LemmasOnly)) {
        Put('{');
    }
    LinePending_ = false;
    LemmaWritten_ = false;
}

void TAnalysisPrinter::PrintUnknownWord(const wchar16* text, size_t length) {
    WriteRecoded(text, length);
    PutAscii("??", 2);
}

void TAnalysisPrinter::PrintAnalysis(const TPrintedAnalysis& analysis, double frequency) {
    if (LemmaWritten_) {
        Put('|');
    }
    WriteRecoded(analysis.Lemma, analysis.LemmaLength);
    const bool uncertain = (analysis.Flags & UncertainFlags) != 0;
    if (uncertain) {
        Put('?');
    }
    if (Options_->Frequency) {
        if (AsciiIsOneByte_) {
            AppendFormatted(Pending_, ":%.2lf", frequency);
        } else {
            Number_.clear();
            AppendFormatted(Number_, ":%.2lf", frequency);
            PutAscii(Number_.data(), Number_.size());
        }
    }
    if (Options_->GrammarInfo) {
        const size_t k = analysis.FormGrammarCount;
        if (Options_->GlueGrammar) {
            Put('=');
            PrintGrammar(analysis.Grammar);
            Put('=');
            if (k > 1) {
                Put('(');
            }
            for (size_t i = 0; i < k; ++i) {
                if (i > 0) {
                    Put('|');
                }
                PrintGrammar(analysis.FormGrammars[i]);
            }
            if (k > 1) {
                Put(')');
            }
        } else {
            for (size_t i = 0; i < k; ++i) {
                if (i > 0) {
                    Put('|');
                    if (uncertain) {
                        Put('?');
                    }
                }
                Put('=');
                PrintGrammar(analysis.Grammar);
                Put('=');
                PrintGrammar(analysis.FormGrammars[i]);
            }
        }
    }
    LemmaWritten_ = true;
}

void TAnalysisPrinter::EndAnalyses() {
    if (!(Options_->WordPerLine && Options_->LemmasOnly)) {
        Put('}');
    }
    if (Options_->WordPerLine) {
        LineFeed();
    }
}

void TAnalysisPrinter::PrintText(const wchar16* text, size_t length) {
    if (!Options_->CopyAll) {
        return;
    }
    LinePending_ = true;
    if (!Options_->WordPerLine) {
        WriteRecoded(text, length);
        WriteIfLarge();
        return;
    }
    Escaped_.clear();
    EscapeC(text, length, Escaped_);
    const wchar16* p = Escaped_.data();
    const wchar16* end = p + Escaped_.size();
    const wchar16* stretch = p;
    for (; p != end; ++p) {
        if (*p == u' ' || *p == u'_') {
            WriteRecoded(stretch, static_cast<size_t>(p - stretch));
            if (*p == u'_') {
                Put('\\');
            }
            Put('_');
            stretch = p + 1;
        }
    }
    WriteRecoded(stretch, static_cast<size_t>(end - stretch));
    WriteIfLarge();
}

void TAnalysisPrinter::PrintSentenceEnd() {
    if (!(Options_->CopyAll && Options_->SentenceMark)) {
        return;
    }
    if (Options_->WordPerLine) {
        PutAscii("\\s", 2);
    } else {
        PutAscii("{\\s}", 4);
    }
    LinePending_ = true;
}

void TAnalysisPrinter::PrintGrammar(const char* codes) {
    // What is printed depends on the first 255 codes alone.
    GrammarKey_.assign(codes, strnlen(codes, MaxGrammarCodes));
    if (const auto known = GrammarTexts_.find(GrammarKey_); known != GrammarTexts_.end()) {
        Pending_.append(known->second.data(), known->second.size());
        return;
    }
    const size_t from = Pending_.size();
    char buffer[MaxGrammarCodes + 1];
    const size_t n = GrammarKey_.size();
    std::memcpy(buffer, GrammarKey_.data(), n);
    buffer[n] = '\0';
    if (void* reserved = std::memchr(buffer, ReservedCode, n)) {
        char* at = static_cast<char*>(reserved);
        std::memmove(at, at + 1, static_cast<size_t>(buffer + n - at));  // the NUL moves too
    }
    GrammarText_ = GramCodesToText(buffer, 0, true);
    Recoder_.AppendKorvel(GrammarText_.data(), GrammarText_.size(), Pending_);
    if (GrammarTexts_.size() < MaxGrammarTexts) {
        GrammarTexts_.emplace(GrammarKey_,
                              std::string(Pending_.data() + from, Pending_.size() - from));
    }
}
