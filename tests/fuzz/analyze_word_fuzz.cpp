// Any UTF-16 word (any length, any units, lone surrogates), cut into parts at hyphens,
// apostrophes, spaces and plus signs, analysed over the analysis fixture dictionary with
// options from the first byte. Every record must hold terminated texts within their
// capacities, grammar, and parts inside the token.
#include "lemmer/analysis/analysis_test_helpers.h"
#include "lemmer/analysis/analyze_word.h"
#include "lemmer/token/word_parts.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

bool IsJoiner(wchar16 u) {
    return u == u'-' || u == u'\'' || u == u' ' || u == u'+';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static NLemmer::NTest::TAnalysisFixture* fixture = new NLemmer::NTest::TAnalysisFixture();
    (void)fixture;
    if (size == 0) {
        return 0;
    }
    const uint8_t control = data[0];
    std::vector<wchar16> text((size - 1) / 2);
    if (!text.empty()) {
        std::memcpy(text.data(), data + 1, text.size() * sizeof(wchar16));
    }

    // Parts: maximal runs of non-joiners; the last part may stop before the end (a tail).
    std::vector<TTokenPart> parts;
    NLemmer::SplitWordParts(text.data(), text.size(), parts, IsJoiner);

    TAnalyzeWordOptions options;
    options.TailMode = control % 3;
    options.SplitMode = (control / 3) % 3;
    options.MaxJoinedUnits = (control >> 4) & 3;
    if (control & 0x40) {
        options.DictionaryOnly();
    }
    const TLangMask candidates((control & 0x80) ? 0x10000000000003ull : 1);
    TAnalysisVector out;
    const TTokenView token{text.data(), text.size(), parts};
    AnalyzeWord(token, out, candidates, nullptr, options);

    for (const TAnalysisRecord& r : out) {
        Check(r.LemmaLength < TAnalysisRecord::LemmaCapacity && r.Lemma[r.LemmaLength] == 0);
        Check(r.SourceLength < TAnalysisRecord::SourceCapacity && r.Source[r.SourceLength] == 0);
        Check(r.NormalizedLength < TAnalysisRecord::NormalizedCapacity &&
              r.Normalized[r.NormalizedLength] == 0);
        Check(r.TailLength <= r.LemmaLength && r.TailLength <= r.NormalizedLength);
        Check(r.CommonGrammar != nullptr);
        Check(r.FormGrammarCount <= TAnalysisRecord::MaxFormGrammars);
        Check((r.Flags & AF_PLACEHOLDER) || r.FormGrammarCount > 0);
        Check(r.PartCount >= 1 && r.FirstPart + r.PartCount <= std::min<size_t>(parts.size(), 63));
        Check(r.Language == 0 || r.Language == 1 || r.Language == 2 || r.Language == 53 ||
              r.Language == 32);
    }
    return 0;
}
