#include "lemmer/record/analysis_record.h"

#include "lemmer/alphabet/alphabet_registry.h"
#include "lemmer/alphabet/word_normalizer.h"

#include <algorithm>
#include <cstring>

namespace {

size_t CopyCut(wchar16* dst, size_t capacity, const wchar16* text, size_t length) {
    const size_t n = std::min(length, capacity - 1);
    if (n != 0) {
        std::memmove(dst, text, n * sizeof(wchar16));
    }
    dst[n] = 0;
    return n;
}

}  // namespace

void TAnalysisRecord::Init() {
    Lemma[0] = 0;
    LemmaLength = 0;
    TailLength = 0;
    Language = 0;
    RuleId = 0;
    Flags = 0;
    StemDepth = 0;
    CommonGrammar = nullptr;
    FormGrammarCount = 0;
    StemStart = 0;
    EndingLength = 0;
    Source[0] = 0;
    SourceLength = 0;
    Normalized[0] = 0;
    NormalizedLength = 0;
    ShapeFlags = 0;
    FirstPart = 0;
    PartCount = 1;
    ExtraGrammemes[0] = 0;
}

uint16_t TAnalysisRecord::Quality() const {
    if (Flags & AF_PLACEHOLDER) {
        return 1;
    }
    if (Flags & (AF_HYPOTHESIS | AF_SECOND_DICTIONARY)) {
        return 2;
    }
    return 3;
}

void SetRecordMatch(TAnalysisRecord& record, uint32_t ruleId, size_t stemStart, size_t endingLength,
                    const char* commonGrammar) {
    record.RuleId = ruleId;
    record.StemStart = stemStart;
    record.EndingLength = endingLength;
    record.CommonGrammar = commonGrammar;
}

void SetRecordLemma(TAnalysisRecord& record, const wchar16* text, size_t length, uint32_t ruleId,
                    size_t stemStart, size_t endingLength, const char* commonGrammar) {
    record.LemmaLength = CopyCut(record.Lemma, TAnalysisRecord::LemmaCapacity, text, length);
    SetRecordMatch(record, ruleId, stemStart, endingLength, commonGrammar);
}

void SetRecordSourceText(TAnalysisRecord& record, const wchar16* text, size_t length) {
    record.SourceLength = CopyCut(record.Source, TAnalysisRecord::SourceCapacity, text, length);
}

void SetRecordText(TAnalysisRecord& record, const wchar16* text, size_t length) {
    record.NormalizedLength =
        CopyCut(record.Normalized, TAnalysisRecord::NormalizedCapacity, text, length);
}

void SetLemmaFromNormalizedForm(TAnalysisRecord& record, bool renormalise) {
    wchar16 lemma[TAnalysisRecord::LemmaCapacity];
    size_t length = 0;
    bool done = false;
    if (renormalise) {
        const NLemmer::TAlphabetWordNormalizer* normalizer =
            NLemmer::GetAlphabetWordNormalizer(static_cast<int>(record.Language));
        if (normalizer != nullptr) {
            const NLemmer::TNormalizeResult r = normalizer->NormalizeWord(
                record.Normalized, record.NormalizedLength, lemma, TAnalysisRecord::LemmaCapacity,
                NLemmer::TNormalizationMask(0x70));
            if (r.Valid && r.Length < TAnalysisRecord::LemmaCapacity) {
                length = r.Length;
                done = true;
            }
        }
    }
    if (!done) {
        length = CopyCut(lemma, TAnalysisRecord::LemmaCapacity, record.Normalized,
                         record.NormalizedLength);
    }
    lemma[length] = 0;
    const bool changed = length != record.LemmaLength ||
                         std::memcmp(lemma, record.Lemma, length * sizeof(wchar16)) != 0;
    std::memcpy(record.Lemma, lemma, (length + 1) * sizeof(wchar16));
    record.LemmaLength = length;
    if (changed) {
        record.Flags |= AF_LEMMA_FROM_WORD;
    }
}

bool AnalysisRecordLess(const TAnalysisRecord& a, const TAnalysisRecord& b) {
    const size_t n = std::min(a.LemmaLength, b.LemmaLength);
    for (size_t i = 0; i < n; ++i) {
        if (a.Lemma[i] != b.Lemma[i]) {
            return static_cast<uint16_t>(a.Lemma[i]) < static_cast<uint16_t>(b.Lemma[i]);
        }
    }
    if (a.LemmaLength != b.LemmaLength) {
        return a.LemmaLength < b.LemmaLength;
    }
    if (a.Language != b.Language) {
        return a.Language < b.Language;
    }
    return a.RuleId < b.RuleId;
}

size_t CollectDistinctLemmas(const TAnalysisRecord* begin, const TAnalysisRecord* end,
                             std::vector<const TAnalysisRecord*>& out) {
    out.clear();
    for (const TAnalysisRecord* r = begin; r != end; ++r) {
        const bool seen = std::any_of(out.begin(), out.end(), [r](const TAnalysisRecord* o) {
            return o->LemmaLength == r->LemmaLength &&
                   std::memcmp(o->Lemma, r->Lemma, r->LemmaLength * sizeof(wchar16)) == 0;
        });
        if (!seen) {
            out.push_back(r);
        }
    }
    return out.size();
}

bool GrammarHas(const char* grammar, unsigned char code) {
    if (grammar == nullptr) {
        return false;
    }
    for (const char* p = grammar; *p != 0; ++p) {
        if (static_cast<unsigned char>(*p) == code) {
            return true;
        }
    }
    return false;
}
