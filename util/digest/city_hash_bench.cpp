#include "util/digest/city_hash.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {
// Hash throughput by input length: each length class takes its own path.
void BM_CityHash64(benchmark::State& state) {
    const size_t length = static_cast<size_t>(state.range(0));
    std::vector<char> data(length + 1);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<char>(i * 7 + 3);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(CityHash64(data.data() + 1, length));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(length));
}

void BM_CityHash128(benchmark::State& state) {
    const size_t length = static_cast<size_t>(state.range(0));
    std::vector<char> data(length, 'x');
    for (auto _ : state) {
        benchmark::DoNotOptimize(CityHash128(data.data(), length));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(length));
}
}  // namespace

BENCHMARK(BM_CityHash64)->Arg(3)->Arg(8)->Arg(16)->Arg(32)->Arg(64)->Arg(256)->Arg(4096);
BENCHMARK(BM_CityHash128)->Arg(16)->Arg(256)->Arg(4096);
BENCHMARK_MAIN();
