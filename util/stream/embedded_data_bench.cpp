// Throughput of the road that the embedded data sets take at start-up: base64 chunks decoded,
// inflated and (for the dictionary) hashed with MD5, each step alone and the whole chain.
#include "util/stream/embedded_data.h"

#include "util/digest/md5.h"
#include "util/stream/memory.h"
#include "util/stream/null.h"
#include "util/stream/string_stream.h"
#include "util/stream/zlib.h"
#include "util/string/base64.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

// About 4 MiB of dictionary-like text: words from a small vocabulary with counts.
const std::string& SampleText() {
    static const std::string text = [] {
        std::mt19937 rng(1);
        std::vector<std::string> words;
        for (int i = 0; i < 5000; ++i) {
            std::string w;
            for (int n = 3 + rng() % 8; n > 0; --n) {
                w += static_cast<char>('a' + rng() % 26);
            }
            words.push_back(w);
        }
        std::string s;
        while (s.size() < (4u << 20)) {
            s += words[rng() % words.size()] + "\t" + std::to_string(rng() % 10000) + "\n";
        }
        return s;
    }();
    return text;
}

const std::string& SampleCompressed() {
    static const std::string packed = [] {
        Stroka out;
        TStringOutput sink(out);
        TZLibCompress z(&sink, EZLibStreamType::GZip, 9);
        z.Write(SampleText().data(), SampleText().size());
        z.Finish();
        return std::string(out.data(), out.size());
    }();
    return packed;
}

std::vector<std::string> Chunks;

const char* BenchChunk(uint64_t index) {
    return index < Chunks.size() ? Chunks[index].c_str() : "";
}

void MakeChunks() {
    if (!Chunks.empty()) {
        return;
    }
    const std::string& data = SampleCompressed();
    for (size_t pos = 0; pos < data.size(); pos += EmbeddedChunkBytes) {
        const Stroka text = Base64Encode(
            Stroka(data.data() + pos, std::min(EmbeddedChunkBytes, data.size() - pos)));
        Chunks.emplace_back(text.data(), text.size());
    }
}

void BM_Base64DecodeChunk(benchmark::State& state) {
    const std::string text(EmbeddedChunkChars, 'Q');
    std::vector<char> out(EmbeddedChunkBytes);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Base64Decode(out.data(), text.data(), text.data() + text.size()));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_Base64DecodeChunk);

void BM_Inflate(benchmark::State& state) {
    const std::string& packed = SampleCompressed();
    std::vector<char> buf(65536);
    for (auto _ : state) {
        TMemoryInput source(packed.data(), packed.size());
        TZLibDecompress in(&source, EZLibStreamType::Auto, 8192);
        while (in.Read(buf.data(), buf.size())) {
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(SampleText().size()));
}
BENCHMARK(BM_Inflate)->Unit(benchmark::kMillisecond);

void BM_Deflate(benchmark::State& state) {
    const std::string& text = SampleText();
    for (auto _ : state) {
        TNullOutput sink;
        TZLibCompress out(&sink, EZLibStreamType::GZip, size_t(state.range(0)));
        out.Write(text.data(), text.size());
        out.Finish();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_Deflate)->Arg(1)->Arg(6)->Arg(9)->Unit(benchmark::kMillisecond);

void BM_Md5(benchmark::State& state) {
    const std::string& text = SampleText();
    char hex[33];
    for (auto _ : state) {
        benchmark::DoNotOptimize(MD5::Data(text.data(), uint32_t(text.size()), hex));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_Md5)->Unit(benchmark::kMillisecond);

// The dictionary's road: chunks presized to 12000 bytes, inflated, hashed.
void BM_EmbeddedChain(benchmark::State& state) {
    MakeChunks();
    char hex[33];
    for (auto _ : state) {
        TStringDataInputStream chunks(BenchChunk, EmbeddedChunkBytes);
        TZLibDecompress in(&chunks, EZLibStreamType::Auto, 8192);
        benchmark::DoNotOptimize(MD5::Stream(&in, hex));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(SampleText().size()));
}
BENCHMARK(BM_EmbeddedChain)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
