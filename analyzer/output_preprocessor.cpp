#include "analyzer/output_preprocessor.h"

#include "data/lemma_frequency.h"
#include "lemmer/grammar/gram_codes.h"
#include "util/charset/codepage.h"
#include "util/stream/compact_trie_packer.h"

#include <algorithm>
#include <cstring>

namespace NLemmix {

namespace {

// -1, 0 or 1 as a is before, equal to or after b; a prefix comes first.
template <class TUnit>
int CompareUnits(const TUnit* a, size_t aLength, const TUnit* b, size_t bLength) {
    const size_t n = std::min(aLength, bLength);
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) {
            return a[i] < b[i] ? -1 : 1;
        }
    }
    return aLength == bLength ? 0 : (aLength < bLength ? -1 : 1);
}

int CompareLemmas(const TAnalysisRecord& a, const TAnalysisRecord& b) {
    return CompareUnits(a.Lemma, a.LemmaLength, b.Lemma, b.LemmaLength);
}

int CompareGrammars(const char* a, const char* b) {
    a = a ? a : "";
    b = b ? b : "";
    return CompareUnits(reinterpret_cast<const unsigned char*>(a), std::strlen(a),
                        reinterpret_cast<const unsigned char*>(b), std::strlen(b));
}

TPrintedAnalysis PrintedView(const TAnalysisRecord& record) {
    TPrintedAnalysis view;
    view.Lemma = record.Lemma;
    view.LemmaLength = record.LemmaLength;
    view.Flags = record.Flags;
    view.Grammar = record.CommonGrammar ? record.CommonGrammar : "";
    view.FormGrammars = record.FormGrammars;
    view.FormGrammarCount = record.FormGrammarCount;
    return view;
}

}  // namespace

void SortAnalysesByLemma(TAnalysisRecord* first, TAnalysisRecord* last) {
    const auto less = [](const TAnalysisRecord& a, const TAnalysisRecord& b) {
        const int byLemma = CompareLemmas(a, b);
        return byLemma != 0 ? byLemma < 0 : CompareGrammars(a.CommonGrammar, b.CommonGrammar) < 0;
    };
    // Most words have one record or records in order; the stable sort would still take a
    // buffer and copy them through it.
    if (!std::is_sorted(first, last, less)) {
        std::stable_sort(first, last, less);
    }
}

TBasicPreprocessor::TBasicPreprocessor(const TAnalyzerOptions* options, TAnalysisPrinter* printer)
    : Options_(options), Printer_(printer) {
    // Only -f shows frequencies: without it the table is never decoded, and start-up stays
    // that of the morphology alone.
    if (options->Frequency) {
        Frequencies_.Init(*GetLemmaFrequencyTable());
    }
}

TBasicPreprocessor::TBasicPreprocessor(const TAnalyzerOptions* options, TAnalysisPrinter* printer,
                                       const TBlob& frequencies)
    : Options_(options), Printer_(printer), Frequencies_(frequencies) {}

void TBasicPreprocessor::PrintText(const wchar16* text, size_t length) {
    Printer_->PrintText(text, length);
}

void TBasicPreprocessor::BeginSentence() {
    Printer_->PrintSentenceEnd();
}

void TBasicPreprocessor::EndWord() {
    Printer_->Flush();
}

void TBasicPreprocessor::PrintWord(const wchar16* text, size_t length, TAnalysisRecord* first,
                                   TAnalysisRecord* last) {
    Printer_->BeginAnalyses(text, length);
    if (first == last) {
        Printer_->PrintUnknownWord(text, length);
    } else {
        if (!Options_->GrammarInfo) {
            SortAnalysesByLemma(first, last);
            last = std::unique(first, last, [](const TAnalysisRecord& a, const TAnalysisRecord& b) {
                return CompareLemmas(a, b) == 0;
            });
        }
        for (TAnalysisRecord* record = first; record != last; ++record) {
            // Looked up only when shown: the frequency changes nothing else.
            const double frequency = Options_->Frequency ? LemmaFrequency(*record) : 0.0;
            Printer_->PrintAnalysis(PrintedView(*record), frequency);
        }
    }
    Printer_->EndAnalyses();
}

size_t LemmaFrequencyKey(const TAnalysisRecord& record, wchar16* key) {
    const Stroka names = GramCodesToText(record.CommonGrammar, 0, false);
    const size_t comma = names.find(',');
    const size_t nameLength = comma == Stroka::npos ? names.size() : comma;
    const size_t lemmaLength = std::min<size_t>(record.LemmaLength, TAnalysisRecord::LemmaCapacity);
    if (lemmaLength + 1 + nameLength > LemmaFrequencyKeyCapacity) {
        return 0;
    }
    std::copy(record.Lemma, record.Lemma + lemmaLength, key);
    key[lemmaLength] = u'=';
    const CodePage& korvel = *CodePageByCharset(CODES_KORVEL);
    for (size_t i = 0; i < nameLength; ++i) {
        key[lemmaLength + 1 + i] =
            static_cast<wchar16>(korvel.Unicode[static_cast<unsigned char>(names[i])]);
    }
    return lemmaLength + 1 + nameLength;
}

double TBasicPreprocessor::LemmaFrequency(const TAnalysisRecord& record) const {
    wchar16 key[LemmaFrequencyKeyCapacity];
    const size_t keyLength = LemmaFrequencyKey(record, key);
    size_t prefixLength = 0;
    const char* packed = nullptr;
    if (keyLength == 0 || !Frequencies_.FindLongestPrefix(key, keyLength, &prefixLength, &packed) ||
        prefixLength != keyLength) {
        return 0.0;
    }
    unsigned long value = 0;
    TCompactTriePacker<unsigned long>::UnpackLeaf(packed, value);
    return static_cast<double>(value) / 100.0;
}

}  // namespace NLemmix
