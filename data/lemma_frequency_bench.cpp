// Start-up cost of -f: the embedded lemma-frequency table decoded from its base64 chunks,
// inflated and opened as a compact trie, as the first preprocessor of a run does (the goal is
// well under 20 ms); and one look-up in the decoded table.
#include "data/lemma_frequency.h"

#include "util/stream/compact_trie.h"
#include "util/stream/embedded_data.h"

#include <benchmark/benchmark.h>

namespace {

void BM_DecodeLemmaFrequencyTable(benchmark::State& state) {
    size_t bytes = 0;
    for (auto _ : state) {
        const TBlob table = ReadCompressedStaticData(GetLemmaFrequencyChunk);
        const TCompactTrie trie(table);
        benchmark::DoNotOptimize(trie.Data());
        bytes = table.Size();
    }
    state.counters["inflated_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_DecodeLemmaFrequencyTable)->Unit(benchmark::kMillisecond);

void BM_LookUpLemmaFrequency(benchmark::State& state) {
    const TCompactTrie trie(*GetLemmaFrequencyTable());
    const char16_t key[] = u"быть=V";
    for (auto _ : state) {
        const char* value = nullptr;
        benchmark::DoNotOptimize(trie.Find(key, sizeof(key) / sizeof(key[0]) - 1, &value));
    }
}
BENCHMARK(BM_LookUpLemmaFrequency);

}  // namespace

BENCHMARK_MAIN();
