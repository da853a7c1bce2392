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

size_t Decimal(uint64_t v, char* buf, size_t len) {
    return ToString<unsigned long>(v, buf, len);
}

size_t SignedDecimal(uint64_t v, char* buf, size_t len) {
    return ToString<long>(static_cast<long>(v) - (1L << 40), buf, len);
}

// The 16 bytes that the stream output of hexadecimal values offers.
size_t Hexadecimal(uint64_t v, char* buf, size_t) {
    return IntToString<unsigned long, 16>(v, buf, 16);
}

size_t StdToCharsDecimal(uint64_t v, char* buf, size_t len) {
    return static_cast<size_t>(std::to_chars(buf, buf + len, v).ptr - buf);
}

// One formatter over values of all magnitudes; the formatter is a template argument, so it is
// called directly, not through a pointer.
template <size_t (*Format)(uint64_t, char*, size_t)>
void BM_Format(benchmark::State& state) {
    const auto values = Values();
    char buf[256];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Format(values[i++ & 4095], buf, sizeof(buf)));
    }
}
BENCHMARK_TEMPLATE(BM_Format, Decimal);
BENCHMARK_TEMPLATE(BM_Format, SignedDecimal);
BENCHMARK_TEMPLATE(BM_Format, Hexadecimal);
BENCHMARK_TEMPLATE(BM_Format, StdToCharsDecimal);

}  // namespace

BENCHMARK_MAIN();
