// Records and streams for the analysis-run tests.
#pragma once

#include "lemmer/analysis_record.h"
#include "util/stream/output.h"

#include <cstring>
#include <string>
#include <vector>

// An analysis of the given lemma with grammar codes; covers part `first` and `count` parts.
inline TAnalysisRecord Analysis(const std::u16string& lemma, const char* grammar = "",
                                uint32_t flags = 0, std::vector<const char*> forms = {},
                                uint64_t first = 0, uint64_t count = 1) {
    TAnalysisRecord r;
    const size_t n = std::min(lemma.size(), TAnalysisRecord::LemmaCapacity - 1);
    std::memcpy(r.Lemma, lemma.data(), n * sizeof(wchar16));
    r.LemmaLength = n;
    r.CommonGrammar = grammar;
    r.Flags = flags;
    for (const char* form : forms) {
        r.FormGrammars[r.FormGrammarCount++] = form;
    }
    r.FirstPart = first;
    r.PartCount = count;
    return r;
}

// Keeps what is written; marks every flush with "|F|" and counts the writes.
class TTraceOutput : public TOutputStream {
public:
    std::string Text;
    std::string Trace;
    size_t Writes = 0;

protected:
    void DoWrite(const void* data, size_t length) override {
        Text.append(static_cast<const char*>(data), length);
        Trace.append(static_cast<const char*>(data), length);
        ++Writes;
    }
    void DoFlush() override { Trace += "|F|"; }
};
