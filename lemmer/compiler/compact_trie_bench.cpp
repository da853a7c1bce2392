// Time and memory of building, saving and minimising a compact trie of 50,000 keys shaped like
// the lemma-frequency table's ("lemma=POS" with a frequency value). Peak memory is the
// process's peak resident size, so run one benchmark per process to read it:
//     compact_trie_bench --benchmark_filter=Build/
#include "lemmer/compiler/compact_trie_builder.h"
#include "lemmer/compiler/compact_trie_minimizer.h"
#include "util/stream/buffer_stream.h"
#include "util/system/rusage.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {
using TBuilder = TCompactTrieBuilder<wchar16, unsigned long>;

struct TEntry {
    std::u16string Key;
    unsigned long Value;
};

// Distinct "lemma=POS" keys over the Russian alphabet with skewed frequencies times 100.
const std::vector<TEntry>& Entries() {
    static const std::vector<TEntry> entries = [] {
        static const char16_t* const parts[] = {u"S",    u"V",    u"A",      u"ADV", u"PR",
                                                u"CONJ", u"SPRO", u"APRO",   u"NUM", u"PART",
                                                u"INTJ", u"ANUM", u"ADVPRO", u"COM"};
        std::mt19937 rng(50000);
        std::vector<TEntry> result;
        std::vector<std::u16string> seen;
        while (result.size() < 50000) {
            std::u16string key;
            const size_t len = 3 + rng() % 10;
            for (size_t i = 0; i < len; ++i) {
                key.push_back(char16_t(0x0430 + rng() % 32));
            }
            key += u"=";
            key += parts[std::min<size_t>(rng() % 20, std::size(parts) - 1)];
            const unsigned long value = 100 * (1 + (rng() % 1000) * (rng() % 1000) / 997);
            result.push_back({key, value});
        }
        std::sort(result.begin(), result.end(),
                  [](const TEntry& a, const TEntry& b) { return a.Key < b.Key; });
        result.erase(std::unique(result.begin(), result.end(),
                                 [](const TEntry& a, const TEntry& b) { return a.Key == b.Key; }),
                     result.end());
        std::shuffle(result.begin(), result.end(), rng);
        return result;
    }();
    return entries;
}

void Fill(TBuilder& builder, const std::vector<TEntry>& entries) {
    for (const TEntry& e : entries) {
        builder.Add(e.Key.data(), e.Key.size(), e.Value);
    }
}

std::string Saved(const std::vector<TEntry>& entries) {
    TBuilder builder;
    Fill(builder, entries);
    TBufferOutput out;
    builder.Save(out);
    return std::string(out.Range().data(), out.Range().size());
}

void ReportPeakMemory(benchmark::State& state) {
    TRusage usage;
    usage.Fill();
    state.counters["peak_rss_mb"] = static_cast<double>(usage.MaxRss) / (1 << 20);
    state.counters["keys"] = static_cast<double>(Entries().size());
}

// The memory baseline: the key set alone.
void KeySetOnly(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(Entries().size());
    }
    ReportPeakMemory(state);
}
BENCHMARK(KeySetOnly);

void Build(benchmark::State& state) {
    const auto& entries = Entries();
    for (auto _ : state) {
        TBuilder builder;
        Fill(builder, entries);
        benchmark::DoNotOptimize(builder.NodeCount());
    }
    ReportPeakMemory(state);
}
BENCHMARK(Build)->Unit(benchmark::kMillisecond);

void BuildGroupedSorted(benchmark::State& state) {
    std::vector<TEntry> sorted = Entries();
    std::sort(sorted.begin(), sorted.end(),
              [](const TEntry& a, const TEntry& b) { return a.Key < b.Key; });
    for (auto _ : state) {
        TBuilder builder(NCompactTrie::PrefixGroupedInput);
        Fill(builder, sorted);
        TBufferOutput out;
        benchmark::DoNotOptimize(builder.Save(out));
    }
    ReportPeakMemory(state);
}
BENCHMARK(BuildGroupedSorted)->Unit(benchmark::kMillisecond);

void Save(benchmark::State& state) {
    TBuilder builder;
    Fill(builder, Entries());
    uint64_t size = 0;
    for (auto _ : state) {
        TBufferOutput out;
        size = builder.Save(out);
    }
    state.counters["trie_bytes"] = static_cast<double>(size);
    ReportPeakMemory(state);
}
BENCHMARK(Save)->Unit(benchmark::kMillisecond);

void Minimize(benchmark::State& state) {
    const std::string trie = Saved(Entries());
    size_t size = 0;
    for (auto _ : state) {
        TBufferOutput out;
        size = TCompactTrieMinimizer::WriteMinimizedTree(out, trie.data(), trie.size(), false,
                                                         TPackedValueSkipper());
    }
    state.counters["trie_bytes"] = static_cast<double>(trie.size());
    state.counters["minimized_bytes"] = static_cast<double>(size);
    ReportPeakMemory(state);
}
BENCHMARK(Minimize)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
