// Cost of the two normalisation calls the analyser makes per word and language, of the word's
// language mask, and of building the registry with every alphabet.
#include "lemmer/alphabet/alphabet_registry.h"

#include "util/charset/language.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

const std::vector<std::u16string>& Words() {
    static const std::vector<std::u16string> words = {
        u"молоко",   u"хлѣбъ",           u"Ёлка",        u"мoлoкo", u"разсказъ", u"безполезный",
        u"е\u0308ж", u"пере\u0301писка", u"государство", u"word",
    };
    return words;
}

void BM_AnalyserNormalization(benchmark::State& state) {
    const NLemmer::TAlphabetWordNormalizer* n = NLemmer::GetAlphabetWordNormalizer(LANG_RUS);
    wchar16 first[112];
    wchar16 second[56];
    for (auto _ : state) {
        for (const std::u16string& w : Words()) {
            const NLemmer::TNormalizeResult a =
                n->NormalizeWord(w.data(), w.size(), first, 112, 0x0A);
            benchmark::DoNotOptimize(n->NormalizeWord(first, a.Length, second, 56, 0x70));
        }
    }
    state.SetItemsProcessed(state.iterations() * Words().size());
}
BENCHMARK(BM_AnalyserNormalization);

void BM_CompilerNormalization(benchmark::State& state) {
    const NLemmer::TAlphabetWordNormalizer* n = NLemmer::GetAlphabetWordNormalizer(LANG_RUS);
    wchar16 out[56];
    for (auto _ : state) {
        for (const std::u16string& w : Words()) {
            benchmark::DoNotOptimize(n->NormalizeWord(w.data(), w.size(), out, 56, 0x1F));
        }
    }
    state.SetItemsProcessed(state.iterations() * Words().size());
}
BENCHMARK(BM_CompilerNormalization);

void BM_WordLanguageMask(benchmark::State& state) {
    for (auto _ : state) {
        for (const std::u16string& w : Words()) {
            benchmark::DoNotOptimize(NLemmer::GetWordLanguageMask(w.data(), w.size(), false));
        }
    }
    state.SetItemsProcessed(state.iterations() * Words().size());
}
BENCHMARK(BM_WordLanguageMask);

void BM_BuildRegistry(benchmark::State& state) {
    NLemmer::TAlphabetRegistry::Instance();  // the alphabets and tables themselves are built once
    for (auto _ : state) {
        auto registry = std::make_unique<NLemmer::TAlphabetRegistry>();
        benchmark::DoNotOptimize(registry.get());
    }
}
BENCHMARK(BM_BuildRegistry)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
