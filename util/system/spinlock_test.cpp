#include "util/system/spinlock.h"

#include "util/system/guard.h"
#include "util/system/thread_id.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

TEST(SpinBackoffTest, PausesThenYieldsOnceThenSleepsLonger) {
    TSpinBackoff backoff;
    std::vector<uint32_t> bases;
    for (uint32_t attempt = 1; attempt <= 2000 * 14; ++attempt) {
        const uint32_t base = backoff.SleepBase();
        const TSpinBackoff::TStep step = backoff.Next();
        if (attempt == 2000) {
            ASSERT_EQ(step.Action, TSpinBackoff::Yield);
        } else if (attempt % 2000 == 0) {
            ASSERT_EQ(step.Action, TSpinBackoff::Sleep) << attempt;
            // Between 0.8 and 1.2 times the base.
            EXPECT_GE(step.SleepMicroSeconds, base * 4 / 5) << attempt;
            EXPECT_LE(step.SleepMicroSeconds, base * 6 / 5) << attempt;
            bases.push_back(base);
        } else {
            ASSERT_EQ(step.Action, TSpinBackoff::Pause) << attempt;
        }
    }
    EXPECT_EQ(bases, (std::vector<uint32_t>{500, 750, 1125, 1687, 2530, 3795, 5692, 8538, 12807,
                                            19210, 20000, 20000, 20000}));
    EXPECT_EQ(backoff.FailedAttempts(), 2000u * 14);
}

TEST(SpinBackoffTest, WaitersDrawDifferentSleeps) {
    // Two waiters in step must not wake in step: the sleep comes from a shared counter's hash.
    std::vector<uint32_t> sleeps;
    for (int waiter = 0; waiter < 4; ++waiter) {
        TSpinBackoff backoff;
        TSpinBackoff::TStep step{};
        for (int i = 0; i < 4000; ++i) {
            step = backoff.Next();
        }
        ASSERT_EQ(step.Action, TSpinBackoff::Sleep);
        sleeps.push_back(step.SleepMicroSeconds);
    }
    EXPECT_FALSE(sleeps[0] == sleeps[1] && sleeps[1] == sleeps[2] && sleeps[2] == sleeps[3]);
}

TEST(SpinLockTest, ExcludesOtherThreads) {
    static TSpinLockWord lock{0};
    constexpr int threadCount = 4;
    constexpr int rounds = 20000;
    long counter = 0;  // deliberately not atomic: only the lock protects it
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < rounds; ++i) {
                TSpinLockGuard guard(lock);
                ++counter;
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(counter, threadCount * rounds);
}

TEST(SpinLockTest, WaiterGetsTheLockAfterALongHold) {
    // Long enough that the waiter goes through its yield and at least one sleep.
    TSpinLockWord lock{0};
    AcquireSpinLock(&lock);
    std::atomic<bool> taken{false};
    std::thread waiter([&] {
        AcquireSpinLock(&lock);
        taken = true;
        ReleaseSpinLock(&lock);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(taken.load());
    ReleaseSpinLock(&lock);
    waiter.join();
    EXPECT_TRUE(taken.load());
    EXPECT_EQ(lock.load(), 0u);
}

TEST(SpinLockTest, GuardReleasesWhenAnExceptionLeavesTheScope) {
    TSpinLockWord lock{0};
    try {
        TSpinLockGuard guard(&lock);
        EXPECT_EQ(lock.load(), 1u);
        throw std::runtime_error("leave");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(TryAcquireSpinLock(&lock));
    EXPECT_FALSE(TryAcquireSpinLock(&lock));
}

TEST(RecursiveSpinLockTest, FreeOnlyAfterAsManyReleasesAsTakes) {
    TRecursiveSpinLock lock;
    lock.Acquire();
    lock.Acquire();
    EXPECT_TRUE(lock.IsOwnedByCurrentThread());
    lock.Release();
    EXPECT_TRUE(lock.IsOwnedByCurrentThread());

    std::atomic<bool> taken{false};
    std::thread other([&] {
        EXPECT_FALSE(lock.IsOwnedByCurrentThread());
        TGuard<TRecursiveSpinLock> guard(lock);
        taken = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(taken.load());  // still held once by this thread
    lock.Release();
    other.join();
    EXPECT_TRUE(taken.load());
    EXPECT_FALSE(lock.IsOwnedByCurrentThread());
}

TEST(ThreadIdTest, StablePerThreadAndDistinctAcrossThreads) {
    const uint64_t mine = SystemCurrentThreadId();
    EXPECT_EQ(SystemCurrentThreadId(), mine);
    EXPECT_EQ(MixThreadHandle(static_cast<uint64_t>(pthread_self())), mine);
    uint64_t others[2] = {};
    std::thread a([&] { others[0] = SystemCurrentThreadId(); });
    std::thread b([&] { others[1] = SystemCurrentThreadId(); });
    a.join();
    b.join();
    EXPECT_NE(others[0], mine);
    EXPECT_NE(others[1], mine);
    ThreadYield();
}

TEST(ThreadIdTest, MixingSpreadsAlignedHandles) {
    // Handles differ only above their alignment; their identities must differ in the low bits.
    uint64_t lowBitsSeen = 0;
    for (uint64_t i = 1; i <= 64; ++i) {
        lowBitsSeen |= uint64_t(1) << (MixThreadHandle(0x7f0000000000 + i * 4096) & 63);
    }
    EXPECT_GT(__builtin_popcountll(lowBitsSeen), 24);
}

}  // namespace
