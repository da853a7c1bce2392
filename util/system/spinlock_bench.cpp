// The costs on the common paths: an uncontended spin lock, a built singleton, a thread-local
// value and the recursive mutex.
#include "util/system/mutex.h"
#include "util/system/singleton.h"
#include "util/system/spinlock.h"
#include "util/system/tls.h"

#include <benchmark/benchmark.h>

namespace {

void BM_SpinLockUncontended(benchmark::State& state) {
    static TSpinLockWord lock{0};
    for (auto _ : state) {
        AcquireSpinLock(&lock);
        ReleaseSpinLock(&lock);
    }
}
BENCHMARK(BM_SpinLockUncontended);

void BM_SpinLockContended(benchmark::State& state) {
    static TSpinLockWord lock{0};
    static long counter = 0;
    for (auto _ : state) {
        TSpinLockGuard guard(lock);
        benchmark::DoNotOptimize(++counter);
    }
}
BENCHMARK(BM_SpinLockContended)->Threads(1)->Threads(4);

void BM_RecursiveSpinLock(benchmark::State& state) {
    static TRecursiveSpinLock lock;
    for (auto _ : state) {
        lock.Acquire();
        lock.Release();
    }
}
BENCHMARK(BM_RecursiveSpinLock);

void BM_MutexUncontended(benchmark::State& state) {
    TMutex mutex;
    for (auto _ : state) {
        mutex.Acquire();
        mutex.Release();
    }
}
BENCHMARK(BM_MutexUncontended);

struct TTable {
    int Value = 1;
};

void BM_SingletonAccess(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(Singleton<TTable>()->Value);
    }
}
BENCHMARK(BM_SingletonAccess);

void BM_TlsValueGet(benchmark::State& state) {
    static NTls::TValue<TTable> value;
    for (auto _ : state) {
        benchmark::DoNotOptimize(value.Get().Value);
    }
}
BENCHMARK(BM_TlsValueGet);

}  // namespace

BENCHMARK_MAIN();
