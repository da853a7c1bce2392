// Records and streams for the analysis-run tests.
#pragma once

#include "lemmer/record/analysis_record.h"
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

#include "analyzer/token_handler.h"

#include <map>

// A small dictionary: every part of a token, and the whole token, found in `Words` gets its
// analyses (covering that part, or all parts); anything else gets the unknown-word placeholder
// unless dictionary analyses alone are asked for.
class TFixtureAnalyzer : public NLemmix::IWordAnalyzer {
public:
    std::map<std::u16string, std::vector<TAnalysisRecord>> Words;
    std::vector<bool> DictionaryOnlyCalls;

    size_t Analyze(const TTokenView& token, bool dictionaryOnly,
                   TAnalysisVector& records) override {
        DictionaryOnlyCalls.push_back(dictionaryOnly);
        const size_t n = token.Parts.size();
        auto add = [&](const std::u16string& text, uint64_t first, uint64_t count) {
            auto found = Words.find(text);
            if (found == Words.end()) {
                return;
            }
            for (TAnalysisRecord r : found->second) {
                r.FirstPart = first;
                r.PartCount = count;
                records.push_back(r);
            }
        };
        if (n > 1) {
            for (size_t i = 0; i < n; ++i) {
                add(std::u16string(token.Text + token.Parts[i].Pos, token.Parts[i].Len), i, 1);
            }
        }
        add(std::u16string(token.Text, token.Length), 0, n);
        if (records.empty() && !dictionaryOnly) {
            TAnalysisRecord placeholder;
            placeholder.Flags = AF_PLACEHOLDER;
            placeholder.CommonGrammar = "";
            records.push_back(placeholder);
        }
        return records.size();
    }
};
