// Start-up cost of the embedded Russian dictionary: base64 decoding, inflating, hashing and
// loading, as the first analysed word pays it, and the memory the built dictionary keeps.
#include "lemmer/dictionary/embedded_dictionary.h"

#include "util/stream/zlib.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// A field of /proc/self/status ("VmRSS", "VmHWM") in MiB; 0 when it cannot be read.
double StatusMiB(const char* field) {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (f == nullptr) {
        return 0;
    }
    char line[256];
    double kib = 0;
    const size_t n = std::strlen(field);
    while (std::fgets(line, sizeof(line), f) != nullptr) {
        if (std::strncmp(line, field, n) == 0 && line[n] == ':') {
            std::sscanf(line + n + 1, "%lf", &kib);
            break;
        }
    }
    std::fclose(f);
    return kib / 1024;
}

void BM_BuildEmbeddedRussianDictionary(benchmark::State& state) {
    static NLemmer::NPrivate::TEmbeddedDictionarySite site;
    double residentGrowth = -1;
    for (auto _ : state) {
        const double before = StatusMiB("VmRSS");
        const NByk::TDictionary* d =
            NLemmer::NPrivate::GetEmbeddedDictionary(site, &GetEmbeddedRussianDictionaryChunk);
        benchmark::DoNotOptimize(d);
        state.PauseTiming();
        if (residentGrowth < 0) {  // the allocator keeps freed memory for the later builds
            residentGrowth = StatusMiB("VmRSS") - before;
        }
        NLemmer::NPrivate::ReleaseEmbeddedDictionary(site);
        state.ResumeTiming();
    }
    // What one built dictionary keeps resident, and the process's peak over all builds (the
    // benchmark program itself included).
    state.counters["kept_MiB"] = residentGrowth;
    state.counters["peak_rss_MiB"] = StatusMiB("VmHWM");
}
BENCHMARK(BM_BuildEmbeddedRussianDictionary)->Unit(benchmark::kMillisecond);

// The stages alone, for comparison: base64 decoding, then inflating, then hashing, each read
// through in 64 KiB pieces into one reused buffer.
void ReadThrough(TInputStream& in) {
    static char buffer[1 << 16];
    while (in.Read(buffer, sizeof(buffer)) != 0) {
    }
}

void BM_DecodeOnly(benchmark::State& state) {
    for (auto _ : state) {
        TStringDataInputStream decoded(&GetEmbeddedRussianDictionaryChunk, 12000);
        ReadThrough(decoded);
    }
}
BENCHMARK(BM_DecodeOnly)->Unit(benchmark::kMillisecond);

void BM_DecodeInflate(benchmark::State& state) {
    for (auto _ : state) {
        TStringDataInputStream decoded(&GetEmbeddedRussianDictionaryChunk, 12000);
        TZLibDecompress inflated(&decoded, EZLibStreamType::Auto, 8192);
        ReadThrough(inflated);
    }
}
BENCHMARK(BM_DecodeInflate)->Unit(benchmark::kMillisecond);

// The same into fresh memory, as the loader's tables are: what touching new pages costs.
void BM_DecodeInflateIntoNewMemory(benchmark::State& state) {
    for (auto _ : state) {
        TStringDataInputStream decoded(&GetEmbeddedRussianDictionaryChunk, 12000);
        TZLibDecompress inflated(&decoded, EZLibStreamType::Auto, 8192);
        constexpr size_t Step = 1 << 20;
        std::vector<std::unique_ptr<char[]>> pieces;
        do {
            pieces.emplace_back(new char[Step]);
        } while (inflated.Load(pieces.back().get(), Step) == Step);
        benchmark::DoNotOptimize(pieces.data());
    }
}
BENCHMARK(BM_DecodeInflateIntoNewMemory)->Unit(benchmark::kMillisecond);

void BM_DecodeInflateMd5(benchmark::State& state) {
    for (auto _ : state) {
        TStringDataInputStream decoded(&GetEmbeddedRussianDictionaryChunk, 12000);
        TZLibDecompress inflated(&decoded, EZLibStreamType::Auto, 8192);
        TInputMd5Stream hashed(&inflated);
        ReadThrough(hashed);
        char hex[33];
        benchmark::DoNotOptimize(hashed.Context().End(hex));
    }
}
BENCHMARK(BM_DecodeInflateMd5)->Unit(benchmark::kMillisecond);

// Later calls: the published dictionary, one atomic load.
void BM_GetBuiltEmbeddedRussianDictionary(benchmark::State& state) {
    GetEmbeddedRussianDictionary();
    for (auto _ : state) {
        benchmark::DoNotOptimize(GetEmbeddedRussianDictionary());
    }
}
BENCHMARK(BM_GetBuiltEmbeddedRussianDictionary);

}  // namespace

BENCHMARK_MAIN();
