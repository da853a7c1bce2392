#include "util/system/time.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <thread>

TEST(Time, ClocksAgreeWithTheSystemClock) {
    const uint64_t before =
        static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                  std::chrono::system_clock::now().time_since_epoch())
                                  .count());
    const uint64_t us = MicroSeconds();
    const uint64_t ms = MilliSeconds();
    const uint32_t s = Seconds();
    EXPECT_GE(us, before);
    EXPECT_LT(us - before, 5000000u);
    EXPECT_GE(ms, us / 1000);
    EXPECT_LT(ms - us / 1000, 5000u);
    EXPECT_GE(s, us / 1000000);
    EXPECT_LE(s, ms / 1000 + 1);
}

TEST(Time, ConversionsTruncateToMicroseconds) {
    EXPECT_EQ(TimeValToMicroSeconds(timeval{3, 999999}), 3999999u);
    EXPECT_EQ(TimeSpecToMicroSeconds(timespec{2, 999}), 2000000u);
    EXPECT_EQ(TimeSpecToMicroSeconds(timespec{2, 1999}), 2000001u);
    // Past 2^32 seconds the count must not wrap at 32 bits.
    EXPECT_EQ(TimeValToMicroSeconds(timeval{5000000000LL, 1}), 5000000000000001ull);
}

// One thread's CPU time grows with its work, never faster than the wall clock, and not while
// it sleeps. The loop waits for the growth rather than for a fixed time, so that a loaded
// machine only makes it slower.
TEST(Time, ThreadCpuTimeGrowsOnlyWithWork) {
    const uint64_t start = ThreadCPUTime();
    const uint64_t wallStart = MicroSeconds();
    volatile uint64_t sink = 0;
    while (ThreadCPUTime() - start < 20000 && MicroSeconds() - wallStart < 20000000) {
        for (int i = 0; i < 1000; ++i) {
            sink = sink + static_cast<uint64_t>(i);
        }
    }
    const uint64_t busy = ThreadCPUTime() - start;
    const uint64_t wall = MicroSeconds() - wallStart;
    EXPECT_GE(busy, 20000u);
    // One thread cannot use more processor time than passes on the clock; the slack covers
    // the two clocks being read at slightly different moments on a loaded virtual machine.
    EXPECT_LE(busy, wall + wall / 10 + 5000);

    const uint64_t beforeSleep = ThreadCPUTime();
    NanoSleep(50000000);
    EXPECT_LT(ThreadCPUTime() - beforeSleep, 20000u);
}

// More than a second in one request: the seconds and nanoseconds are split, not rejected.
TEST(NanoSleep, SleepsPastOneSecond) {
    const uint64_t start = MicroSeconds();
    EXPECT_EQ(NanoSleep(1000100000), 0);
    EXPECT_GE(MicroSeconds() - start, 1000100u);
}

namespace {
void IgnoreSignal(int) {}
}  // namespace

// A signal during the sleep must not cut it short: the remainder is slept.
TEST(NanoSleep, ResumesAfterAnInterruption) {
    struct sigaction action = {};
    action.sa_handler = &IgnoreSignal;  // no SA_RESTART: nanosleep fails with EINTR
    struct sigaction old;
    ASSERT_EQ(sigaction(SIGUSR1, &action, &old), 0);

    const pthread_t sleeper = pthread_self();
    std::atomic<bool> done{false};
    std::thread interrupter([&] {
        for (int i = 0; i < 5 && !done; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            pthread_kill(sleeper, SIGUSR1);
        }
    });
    const uint64_t start = MicroSeconds();
    NanoSleep(250000000);
    const uint64_t slept = MicroSeconds() - start;
    done = true;
    interrupter.join();
    sigaction(SIGUSR1, &old, nullptr);
    EXPECT_GE(slept, 250000u);
}
