// Integer text into a caller's buffer, against the standard library's to_chars.
#include "util/convert/int_to_string.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdint>
#include <random>
#include <vector>

namespace {

std::vector<uint64_t> Values() {
    std::mt19937_64 random(7);
    std::vector<uint64_t> values(4096);
    for (uint64_t& v : values) {
        v = random() >> (random() % 64);  // all magnitudes
    }
    return values;
}

void BM_ToStringDecimal(benchmark::State& state) {
    const auto values = Values();
    char buf[256];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ToString<unsigned long>(values[i++ & 4095], buf, sizeof(buf)));
    }
}
BENCHMARK(BM_ToStringDecimal);

void BM_ToStringSignedDecimal(benchmark::State& state) {
    const auto values = Values();
    char buf[256];
    size_t i = 0;
    for (auto _ : state) {
        const long v = static_cast<long>(values[i++ & 4095]) - (1L << 40);
        benchmark::DoNotOptimize(ToString<long>(v, buf, sizeof(buf)));
    }
}
BENCHMARK(BM_ToStringSignedDecimal);

void BM_IntToStringHex(benchmark::State& state) {
    const auto values = Values();
    char buf[16];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            IntToString<unsigned long, 16>(values[i++ & 4095], buf, sizeof(buf)));
    }
}
BENCHMARK(BM_IntToStringHex);

void BM_StdToCharsDecimal(benchmark::State& state) {
    const auto values = Values();
    char buf[256];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::to_chars(buf, buf + sizeof(buf), values[i++ & 4095]).ptr);
    }
}
BENCHMARK(BM_StdToCharsDecimal);

}  // namespace

BENCHMARK_MAIN();
