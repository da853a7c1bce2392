// Throughput of the conversions on the analyser's road: decoding input lines and encoding
// output pieces, and resolving an encoding name.
#include "util/charset/charset_names.h"
#include "util/charset/recode.h"
#include "util/charset/utf8.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A line of Russian text in windows-1251, about 1 KiB.
std::string Win1251Line() {
    std::string line;
    while (line.size() < 1024) {
        line += "\xCC\xE0\xEC\xE0 \xEC\xFB\xEB\xE0 \xF0\xE0\xEC\xF3, 2024. ";
    }
    return line;
}

void BM_RecodeToUtf16SingleByte(benchmark::State& state) {
    const std::string line = Win1251Line();
    for (auto _ : state) {
        benchmark::DoNotOptimize(RecodeToUtf16(CODES_WIN, line.data(), line.size()));
    }
    state.SetBytesProcessed(state.iterations() * line.size());
}
BENCHMARK(BM_RecodeToUtf16SingleByte);

void BM_DecodeUtf8(benchmark::State& state) {
    const TUtf16String wide = RecodeToUtf16(CODES_WIN, Win1251Line().data(), 1024);
    const Stroka utf8 = RecodeFromUtf16(CODES_UTF8, wide.data(), wide.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(DecodeUtf8(utf8.data(), utf8.size()));
    }
    state.SetBytesProcessed(state.iterations() * utf8.size());
}
BENCHMARK(BM_DecodeUtf8);

void BM_RecodeFromUtf16SingleByte(benchmark::State& state) {
    const TUtf16String wide = RecodeToUtf16(CODES_WIN, Win1251Line().data(), 1024);
    for (auto _ : state) {
        benchmark::DoNotOptimize(RecodeFromUtf16(CODES_WIN, wide.data(), wide.size()));
    }
    state.SetBytesProcessed(state.iterations() * wide.size());
}
BENCHMARK(BM_RecodeFromUtf16SingleByte);

void BM_RecodeToUtf16Iconv(benchmark::State& state) {
    const TUtf16String wide = RecodeToUtf16(CODES_WIN, Win1251Line().data(), 1024);
    const Stroka eucJp = RecodeFromUtf16(CharsetByName("EUC-JP"), wide.data(), wide.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            RecodeToUtf16(CharsetByName("EUC-JP"), eucJp.data(), eucJp.size()));
    }
    state.SetBytesProcessed(state.iterations() * eucJp.size());
}
BENCHMARK(BM_RecodeToUtf16Iconv);

void BM_CharsetByName(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(CharsetByName("X_ISO_8859_5"));
    }
}
BENCHMARK(BM_CharsetByName);

}  // namespace

BENCHMARK_MAIN();
