// Small allocations from a pool against malloc and free.
#include "util/generic/memory_pool.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

void BM_PoolAllocate(benchmark::State& state) {
    const size_t len = static_cast<size_t>(state.range(0));
    TMemoryPool pool(65536);
    size_t served = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(pool.Allocate(len));
        if (++served == 100000) {
            state.PauseTiming();
            pool.Clear();
            served = 0;
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_PoolAllocate)->Arg(16)->Arg(80)->Arg(1000);

void BM_MallocFree(benchmark::State& state) {
    const size_t len = static_cast<size_t>(state.range(0));
    for (auto _ : state) {
        void* p = std::malloc(len);
        benchmark::DoNotOptimize(p);
        std::free(p);
    }
}
BENCHMARK(BM_MallocFree)->Arg(16)->Arg(80)->Arg(1000);

}  // namespace

BENCHMARK_MAIN();
