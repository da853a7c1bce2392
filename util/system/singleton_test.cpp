#include "util/system/singleton.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

std::atomic<int> SlowConstructions{0};

struct TSlowToBuild {
    TSlowToBuild() {
        ++SlowConstructions;
        // Widen the window in which the other threads find no instance yet.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        Value = 42;
    }
    int Value = 0;
};

TEST(SingletonTest, BuiltOnceWhileThreadsRace) {
    constexpr int threadCount = 8;
    std::atomic<int> ready{0};
    std::vector<TSlowToBuild*> seen(threadCount);
    std::vector<std::thread> threads;
    for (int i = 0; i < threadCount; ++i) {
        threads.emplace_back([&, i] {
            ++ready;
            while (ready.load() < threadCount) {
            }
            seen[i] = Singleton<TSlowToBuild>();
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(SlowConstructions.load(), 1);
    for (TSlowToBuild* instance : seen) {
        ASSERT_EQ(instance, seen[0]);
        EXPECT_EQ(instance->Value, 42);  // fully built before anyone saw it
    }
}

int FailuresLeft = 1;
int FlakyConstructions = 0;

struct TFlaky {
    TFlaky() {
        ++FlakyConstructions;
        if (FailuresLeft > 0) {
            --FailuresLeft;
            throw std::runtime_error("not yet");
        }
    }
};

TEST(SingletonTest, FailedBuildIsRetriedOnTheNextCall) {
    EXPECT_THROW(Singleton<TFlaky>(), std::runtime_error);
    // The creation lock was released, or this call would never return.
    TFlaky* instance = Singleton<TFlaky>();
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(Singleton<TFlaky>(), instance);
    EXPECT_EQ(FlakyConstructions, 2);
}

struct TTag {
    int Value = 7;
};

TEST(SingletonTest, EachPriorityIsItsOwnInstance) {
    TTag* usual = Singleton<TTag>();
    TTag* low = SingletonWithPriority<TTag, 256>();
    EXPECT_NE(usual, low);
    EXPECT_EQ(usual, (SingletonWithPriority<TTag, DefaultSingletonPriority>()));
    EXPECT_EQ(low->Value, 7);
}

}  // namespace
