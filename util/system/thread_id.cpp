// Thread identity and yielding over POSIX threads.
#include "util/system/thread_id.h"

#include <pthread.h>
#include <sched.h>

uint64_t MixThreadHandle(uint64_t x) noexcept {
    // The 64-bit integer hash: pthread_t values are aligned addresses whose low bits carry
    // nothing, so they are spread before anyone compares or hashes them.
    x += ~(x << 32);
    x ^= (x >> 22);
    x += ~(x << 13);
    x ^= (x >> 8);
    x += (x << 3);
    x ^= (x >> 15);
    x += ~(x << 27);
    x ^= (x >> 31);
    return x;
}

uint64_t SystemCurrentThreadId() noexcept {
    return MixThreadHandle(static_cast<uint64_t>(pthread_self()));
}

void ThreadYield() noexcept {
    // pthread_yield is deprecated in glibc; sched_yield does the same for the calling thread.
    sched_yield();
}
