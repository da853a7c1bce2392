// Cost of the grammeme operations on the printer's road (grammar strings to Cyrillic names)
// and of the name lookups behind the grammar parsers.
#include "lemmer/grammar/gram_bitset.h"
#include "lemmer/grammar/gram_codes.h"
#include "lemmer/grammar/grammeme_table.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// S, gen, sg, m, inan: a typical printed noun grammar.
const std::string NounGrammar = "\x88\xA6\xAE\xC0\xCA";

void BM_GramCodesToTextCyrillic(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(GramCodesToText(NounGrammar.c_str(), 0, true));
    }
}
BENCHMARK(BM_GramCodesToTextCyrillic);

void BM_FindCode(benchmark::State& state) {
    const TGrammemeTable& table = TGrammemeTable::Instance();
    const std::string names[] = {"nom", "poss-3p-pl", "\xD0\xB8\xD0\xBC", "nothing"};
    size_t i = 0;
    for (auto _ : state) {
        const std::string& name = names[i++ & 3];
        benchmark::DoNotOptimize(table.FindCode(name.data(), name.size()));
    }
}
BENCHMARK(BM_FindCode);

void BM_GramBitSetFromString(benchmark::State& state) {
    const std::string text = "S, gen, sg, m, inan";
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            TGramBitSet::FromString(TCharRange(text.data(), text.size()), ","));
    }
}
BENCHMARK(BM_GramBitSetFromString);

void BM_GramBitSetToString(benchmark::State& state) {
    const TGramBitSet set = TGramBitSet::FromCodes(NounGrammar.c_str());
    for (auto _ : state) {
        benchmark::DoNotOptimize(set.ToString(",", false));
    }
}
BENCHMARK(BM_GramBitSetToString);

}  // namespace

BENCHMARK_MAIN();
