// Costs of the Unicode services on the analyser's road: property look-ups, the decomposing
// writer, building the composition pairs, and UTF-16 case changes.
#include "util/charset/composition.h"
#include "util/charset/decomposition.h"
#include "util/charset/unicode_table.h"
#include "util/string/case.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

std::u16string SampleText() {
    std::u16string text;
    for (int i = 0; i < 100; ++i) {
        text +=
            u"\u0421\u044A\u0435\u0448\u044C \u0436\u0435 \u0435\u0449\u0451 "
            u"\u044D\u0442\u0438\u0445 "
            u"Stra\u00DFe caf\u00E9 \uFB01ne ";
    }
    return text;
}

void BM_PropertyLookup(benchmark::State& state) {
    uint32_t cp = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(UnicodeCharInfo(cp).Info);
        cp = (cp + 7919) % 0x30000;
    }
}
BENCHMARK(BM_PropertyLookup);

void BM_DecomposeUtf16(benchmark::State& state) {
    const std::u16string text = SampleText();
    std::vector<wchar16> out(text.size() * 2);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            DecomposeUtf16(text.data(), text.size(), out.data(), out.size(), true, false));
    }
    state.SetItemsProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_DecomposeUtf16);

void BM_ToLowerUtf16(benchmark::State& state) {
    const std::u16string text = SampleText();
    const TUtf16String source(text.data(), text.size());
    for (auto _ : state) {
        TUtf16String s = source;
        benchmark::DoNotOptimize(ToLower(s));
    }
    state.SetItemsProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_ToLowerUtf16);

void BM_BuildCompositionTable(benchmark::State& state) {
    for (auto _ : state) {
        TCompositionTable table;
        benchmark::DoNotOptimize(table.Size());
    }
}
BENCHMARK(BM_BuildCompositionTable);

}  // namespace

BENCHMARK_MAIN();
