// AnalyzeWord over real Russian words with the analysis fixture as the Russian dictionary:
// words/s for dictionary words and for unknown words, and heap allocations per word (after
// the first round, which sizes the result vector).
#include "lemmer/analysis_test_helpers.h"
#include "lemmer/analyze_word.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

namespace {

std::atomic<uint64_t> Allocations{0};

}  // namespace

// Counting replacements of the global allocation functions. g++ sees the replaced delete free
// what its inlined new took from malloc and warns of a mismatch that is none.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t n) {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
#pragma GCC diagnostic pop

namespace {

const std::vector<std::u16string> DICTIONARY_WORDS = {
    u"Столы",  u"стола", u"хлеб", u"Кот",   u"плав",  u"знающий", u"читающий",
    u"быстро", u"котов", u"стол", u"хлеба", u"бегай", u"бегать",  u"сильный",
};

const std::vector<std::u16string> UNKNOWN_WORDS = {
    u"машина",   u"дорогой",   u"красивая", u"говорили", u"правительство", u"Москва",
    u"человека", u"несколько", u"работать", u"вопросы",  u"переписывать",  u"домами",
};

void RunWords(benchmark::State& state, const std::vector<std::u16string>& words) {
    NLemmer::NTest::TAnalysisFixture fixture;
    TAnalyzeWordOptions options;
    TAnalysisVector out;
    std::vector<TTokenPart> parts(words.size());
    for (size_t i = 0; i < words.size(); ++i) {
        parts[i].Len = words[i].size();
    }
    auto once = [&](size_t i) {
        const TTokenView token{words[i].data(), words[i].size(), {&parts[i], 1}};
        AnalyzeWord(token, out, TLangMask(1), nullptr, options);
        benchmark::DoNotOptimize(out.data());
    };
    for (size_t i = 0; i < words.size(); ++i) {
        once(i);  // warms the tables and sizes the vector
    }
    const uint64_t before = Allocations.load();
    size_t n = 0;
    for (auto _ : state) {
        once(n % words.size());
        ++n;
    }
    state.SetItemsProcessed(static_cast<int64_t>(n));
    state.counters["allocs/word"] = n ? double(Allocations.load() - before) / double(n) : 0.0;
}

void BM_DictionaryWords(benchmark::State& state) {
    RunWords(state, DICTIONARY_WORDS);
}
void BM_UnknownWords(benchmark::State& state) {
    RunWords(state, UNKNOWN_WORDS);
}

BENCHMARK(BM_DictionaryWords);
BENCHMARK(BM_UnknownWords);

}  // namespace

BENCHMARK_MAIN();
