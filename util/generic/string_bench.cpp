// Costs of the core runtime: string copies and appends, scratch buffers, exception messages.
#include "util/generic/exception.h"
#include "util/generic/string.h"
#include "util/generic/temp_buf.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void BM_StrokaCopy(benchmark::State& state) {
    const Stroka original("a string long enough to need a heap block of its own");
    for (auto _ : state) {
        Stroka copy = original;
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_StrokaCopy);

void BM_StdStringCopy(benchmark::State& state) {
    const std::string original("a string long enough to need a heap block of its own");
    for (auto _ : state) {
        std::string copy = original;
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_StdStringCopy);

void BM_StrokaAppendChars(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        Stroka s;
        for (int i = 0; i < n; ++i) {
            s.append('x');
        }
        benchmark::DoNotOptimize(s.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_StrokaAppendChars)->Arg(16)->Arg(1024);

void BM_DefaultTempBuf(benchmark::State& state) {
    for (auto _ : state) {
        TTempBuf b;
        benchmark::DoNotOptimize(b.Data());
    }
}
BENCHMARK(BM_DefaultTempBuf);

void BM_ThrowAndCatchStreamedException(benchmark::State& state) {
    for (auto _ : state) {
        try {
            throw kexception() << "can't read " << 4096 << " bytes at offset " << 123456789UL;
        } catch (const kexception& e) {
            benchmark::DoNotOptimize(e.what());
        }
    }
}
BENCHMARK(BM_ThrowAndCatchStreamedException);

}  // namespace

BENCHMARK_MAIN();
