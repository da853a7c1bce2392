// Spin-lock waiting and the recursive spin lock.
#include "util/system/spinlock.h"

#include "util/system/thread_id.h"

#include <unistd.h>

#include <algorithm>

namespace {
constexpr uint32_t AttemptsPerRound = 2000;
constexpr uint32_t MaxSleepBase = 20000;

// Shared by all waiters so that two waiters that start together draw different sleeps.
std::atomic<uint64_t> WaitCounter{0};

uint32_t IntHash32(uint32_t h) noexcept {
    h += ~(h << 15);
    h ^= (h >> 10);
    h += (h << 3);
    h ^= (h >> 6);
    h += ~(h << 11);
    h ^= (h >> 16);
    return h;
}

inline void CpuPause() noexcept {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}
}  // namespace

TSpinBackoff::TStep TSpinBackoff::Next() noexcept {
    ++Attempts_;
    if (Attempts_ == AttemptsPerRound) {
        return {Yield, 0};
    }
    if (Attempts_ % AttemptsPerRound == 0) {
        const uint32_t c = static_cast<uint32_t>(WaitCounter.fetch_add(1) + 1);
        const uint32_t h = IntHash32(c);
        const uint32_t sleep = ((h % Base_) + 2 * Base_) * 2 / 5;
        Base_ = std::min(Base_ * 3 / 2, MaxSleepBase);
        return {Sleep, sleep};
    }
    return {Pause, 0};
}

void AcquireSpinLockSlow(TSpinLockWord* word) noexcept {
    TSpinBackoff backoff;
    for (;;) {
        if (word->load(std::memory_order_relaxed) == 0 && TryAcquireSpinLock(word)) {
            return;
        }
        const TSpinBackoff::TStep step = backoff.Next();
        switch (step.Action) {
            case TSpinBackoff::Yield:
                ThreadYield();
                break;
            case TSpinBackoff::Sleep:
                usleep(step.SleepMicroSeconds);
                break;
            case TSpinBackoff::Pause:
                CpuPause();
                break;
        }
    }
}

void TRecursiveSpinLock::Acquire() noexcept {
    const uint64_t me = SystemCurrentThreadId();
    if (Owner_.load(std::memory_order_relaxed) == me) {
        ++Depth_;
        return;
    }
    AcquireSpinLock(&Word_);
    Owner_.store(me, std::memory_order_relaxed);
    Depth_ = 1;
}

void TRecursiveSpinLock::Release() noexcept {
    if (--Depth_ == 0) {
        Owner_.store(NoOwner, std::memory_order_relaxed);
        ReleaseSpinLock(&Word_);
    }
}

bool TRecursiveSpinLock::IsOwnedByCurrentThread() const noexcept {
    return Owner_.load(std::memory_order_relaxed) == SystemCurrentThreadId();
}
