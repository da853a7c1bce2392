// Throughput of the buffered streams with the analyser's small writes and line reads, over
// memory-backed slaves so that only the buffering is measured.
#include "util/stream/buffered.h"

#include "util/stream/memory.h"
#include "util/stream/null.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// Writes of `state.range(0)` bytes through an 8192-byte buffer into a sink that drops them.
void BM_BufferedSmallWrites(benchmark::State& state) {
    const std::string piece(size_t(state.range(0)), 'w');
    TNullOutput sink;
    TBufferedOutput out(&sink, 8192);
    for (auto _ : state) {
        out.Write(piece.data(), piece.size());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_BufferedSmallWrites)->Arg(1)->Arg(16)->Arg(100)->Arg(5000)->Arg(20000);

// ReadLine over 1 MiB of 40-byte lines through an 8192-byte buffer.
void BM_BufferedReadLine(benchmark::State& state) {
    std::string text;
    while (text.size() < (1 << 20)) {
        text += std::string(39, 'r') + "\n";
    }
    Stroka line;
    for (auto _ : state) {
        TMemoryInput source(text.data(), text.size());
        TBufferedInput in(&source, 8192);
        size_t lines = 0;
        while (in.ReadLine(line)) {
            ++lines;
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_BufferedReadLine);

}  // namespace

BENCHMARK_MAIN();
