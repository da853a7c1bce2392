#include "util/system/mutex.h"

#include "util/system/guard.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(MutexTest, RecursiveForItsOwnerAndClosedToOthers) {
    TMutex mutex;
    mutex.Acquire();
    EXPECT_TRUE(mutex.TryAcquire());  // the owner may take it again
    bool otherTook = true;
    std::thread([&] { otherTook = mutex.TryAcquire(); }).join();
    EXPECT_FALSE(otherTook);

    mutex.Release();
    std::thread([&] { otherTook = mutex.TryAcquire(); }).join();
    EXPECT_FALSE(otherTook);  // still held once

    mutex.Release();
    std::thread([&] {
        otherTook = mutex.TryAcquire();
        if (otherTook) {
            mutex.Release();
        }
    }).join();
    EXPECT_TRUE(otherTook);
}

TEST(MutexTest, ExcludesOtherThreads) {
    TMutex mutex;
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) {
                TGuard<TMutex> guard(mutex);
                ++counter;
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(counter, 40000);
}

TEST(MutexTest, HandleIsTheRecursivePosixMutex) {
    TMutex mutex;
    auto* handle = static_cast<pthread_mutex_t*>(mutex.Handle());
    ASSERT_EQ(pthread_mutex_lock(handle), 0);
    ASSERT_EQ(pthread_mutex_lock(handle), 0);
    ASSERT_EQ(pthread_mutex_unlock(handle), 0);
    ASSERT_EQ(pthread_mutex_unlock(handle), 0);
    EXPECT_TRUE(mutex.TryAcquire());
    mutex.Release();
}

TEST(MutexTest, MovedFromMutexIsDestroyedWithoutAction) {
    TMutex first;
    TMutex second(std::move(first));
    second.Acquire();
    second.Release();
}

TEST(MutexDeathTest, UnlockByANonOwnerIsAVerifyFailure) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_DEATH(
        {
            TMutex mutex;
            mutex.Release();
        },
        "VERIFY failed: mutex unlock failure \\(Operation not permitted\\)\n"
        "  util/system/mutex:[0-9]+\n"
        "  Release\\(\\): requirement result == 0 failed");
}

}  // namespace
