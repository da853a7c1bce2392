// Speed of floating-point text conversion, with the C library's functions on the same inputs
// as a yardstick.
#include "util/convert/decimal_scanner.h"
#include "util/convert/float_to_string.h"

#include <benchmark/benchmark.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

// Random bit patterns: every exponent equally likely.
std::vector<double> AnyDoubles() {
    std::mt19937_64 rng(1);
    std::vector<double> v;
    while (v.size() < 4096) {
        const double d = std::bit_cast<double>(rng());
        if (std::isfinite(d)) {
            v.push_back(d);
        }
    }
    return v;
}

// Prices, measurements and counters: the magnitudes that usually get printed.
std::vector<double> EverydayDoubles() {
    std::mt19937_64 rng(2);
    std::vector<double> v;
    for (int i = 0; i < 4096; ++i) {
        v.push_back(double(rng() % 10000000) / 100.0);
    }
    return v;
}

std::vector<std::string> Texts(const std::vector<double>& values, const char* format) {
    std::vector<std::string> texts;
    for (double d : values) {
        char buf[64];
        std::snprintf(buf, sizeof(buf), format, d);
        texts.push_back(buf);
    }
    return texts;
}

void FloatToStringDouble(benchmark::State& state, const std::vector<double>& values) {
    char buf[64];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FloatToString(values[i++ & 4095], buf, sizeof(buf)));
    }
}

void BM_FloatToString_AnyDouble(benchmark::State& state) {
    FloatToStringDouble(state, AnyDoubles());
}
void BM_FloatToString_EverydayDouble(benchmark::State& state) {
    FloatToStringDouble(state, EverydayDoubles());
}

void BM_FloatToString_Float(benchmark::State& state) {
    const std::vector<double> values = AnyDoubles();
    char buf[64];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FloatToString(float(values[i++ & 4095]), buf, sizeof(buf)));
    }
}

void BM_Snprintf10g_AnyDouble(benchmark::State& state) {
    const std::vector<double> values = AnyDoubles();
    char buf[64];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::snprintf(buf, sizeof(buf), "%.10g", values[i++ & 4095]));
    }
}

void StrToDOver(benchmark::State& state, const std::vector<std::string>& texts) {
    size_t i = 0;
    for (auto _ : state) {
        const std::string& t = texts[i++ & 4095];
        char* stop = nullptr;
        benchmark::DoNotOptimize(StrToD(t.data(), t.data() + t.size(), &stop));
    }
}

void StrtodOver(benchmark::State& state, const std::vector<std::string>& texts) {
    size_t i = 0;
    for (auto _ : state) {
        char* stop = nullptr;
        benchmark::DoNotOptimize(std::strtod(texts[i++ & 4095].c_str(), &stop));
    }
}

void BM_StrToD_Everyday(benchmark::State& state) {
    StrToDOver(state, Texts(EverydayDoubles(), "%.10g"));
}
void BM_StrToD_Any10Digits(benchmark::State& state) {
    StrToDOver(state, Texts(AnyDoubles(), "%.10g"));
}
void BM_StrToD_Any17Digits(benchmark::State& state) {
    StrToDOver(state, Texts(AnyDoubles(), "%.17g"));
}
void BM_Strtod_Everyday(benchmark::State& state) {
    StrtodOver(state, Texts(EverydayDoubles(), "%.10g"));
}
void BM_Strtod_Any17Digits(benchmark::State& state) {
    StrtodOver(state, Texts(AnyDoubles(), "%.17g"));
}

}  // namespace

BENCHMARK(BM_FloatToString_AnyDouble);
BENCHMARK(BM_FloatToString_EverydayDouble);
BENCHMARK(BM_FloatToString_Float);
BENCHMARK(BM_Snprintf10g_AnyDouble);
BENCHMARK(BM_StrToD_Everyday);
BENCHMARK(BM_StrToD_Any10Digits);
BENCHMARK(BM_StrToD_Any17Digits);
BENCHMARK(BM_Strtod_Everyday);
BENCHMARK(BM_Strtod_Any17Digits);

BENCHMARK_MAIN();
