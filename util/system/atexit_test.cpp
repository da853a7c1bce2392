// The at-exit run happens when a process ends, so every case runs in a child process that
// registers its callbacks and exits; the callbacks write what they do to standard error.
#include "util/system/atexit.h"

#include "util/system/singleton.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

void Say(void* text) {
    std::fputs(static_cast<const char*>(text), stderr);
}

void Throw(void*) {
    throw std::runtime_error("callback failed");
}

void SayEnd() {
    std::fputs("end\n", stderr);
}

// Registers the closing line first and at the lowest priority, so it runs last.
void Begin() {
    std::fputs("order: ", stderr);
    AtExit(SayEnd, 0);
}

class AtExitTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A fresh process per case: no registrations left over from earlier cases.
        ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    }
};

TEST_F(AtExitTest, HigherPriorityRunsFirst) {
    EXPECT_EXIT(
        {
            Begin();
            AtExit(Say, const_cast<char*>("1 "), 1);
            AtExit(Say, const_cast<char*>("3 "), 3);
            AtExit(Say, const_cast<char*>("2 "), 2);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "order: 3 2 1 end");
}

TEST_F(AtExitTest, SamePriorityRunsMostRecentFirst) {
    EXPECT_EXIT(
        {
            Begin();
            AtExit(Say, const_cast<char*>("a "), 7);
            AtExit(Say, const_cast<char*>("b "), 7);
            AtExit(Say, const_cast<char*>("c "), 7);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "order: c b a end");
}

TEST_F(AtExitTest, NoPriorityRunsBeforeEveryPriority) {
    EXPECT_EXIT(
        {
            Begin();
            AtExit(Say, const_cast<char*>("unprioritised "));
            AtExit(Say, const_cast<char*>("singleton "), 65536);
            AtExit(Say, const_cast<char*>("highest "), ~uint64_t(0) - 1);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "order: unprioritised highest singleton end");
}

void RegisterHigher(void*) {
    std::fputs("outer ", stderr);
    AtExit(Say, const_cast<char*>("inner-high "), 100);
    AtExit(Say, const_cast<char*>("inner-same "), 5);
}

TEST_F(AtExitTest, CallbackRegisteredDuringTheRunTakesItsPlace) {
    // The high one runs next, before the remaining 5 and 4; the one of priority 5 runs first
    // among the remaining records of its priority, being the most recent.
    EXPECT_EXIT(
        {
            Begin();
            AtExit(Say, const_cast<char*>("four "), 4);
            AtExit(Say, const_cast<char*>("five "), 5);
            AtExit(RegisterHigher, nullptr, 10);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "order: outer inner-high inner-same five four end");
}

TEST_F(AtExitTest, ThrowingCallbackIsSwallowed) {
    EXPECT_EXIT(
        {
            Begin();
            AtExit(Say, const_cast<char*>("after "), 1);
            AtExit(Throw, nullptr, 2);
            AtExit(Say, const_cast<char*>("before "), 3);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "order: before after end");
}

TEST_F(AtExitTest, RegistrationAfterTheRunStartsANewRegistry) {
    EXPECT_EXIT(
        {
            AtExit(Say, const_cast<char*>("first-run "), 1);
            RunAtExitCallbacks();
            std::fputs("| ", stderr);
            AtExit(Say, const_cast<char*>("second-run\n"), 1);
            RunAtExitCallbacks();  // nothing left: the second run has no registry
            std::fputs("| ", stderr);
            AtExit(Say, const_cast<char*>("at-exit\n"), 1);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "first-run \\| second-run\n\\| at-exit");
}

TEST_F(AtExitTest, ManyRegistrationsAllRunInOrder) {
    // Beyond the first chunk of the registry's pool and through many tree rebalancings.
    static char labels[300][16];
    EXPECT_EXIT(
        {
            Begin();
            for (int i = 0; i < 300; ++i) {
                std::snprintf(labels[i], sizeof(labels[i]), "%d ", i);
                AtExit(Say, labels[i], static_cast<uint64_t>(i % 3));
            }
            std::exit(0);
        },
        ::testing::ExitedWithCode(0),
        "order: 299 296 293 .* 5 2 298 295 .* 4 1 297 294 .* 3 0 end");
}

struct TLoudSingleton {
    ~TLoudSingleton() { std::fputs("loud-destroyed ", stderr); }
};

struct TLowSingleton {
    ~TLowSingleton() { std::fputs("low-destroyed ", stderr); }
};

TEST_F(AtExitTest, SingletonsAreDestroyedByPriority) {
    EXPECT_EXIT(
        {
            Begin();
            (SingletonWithPriority<TLowSingleton, 300>());
            Singleton<TLoudSingleton>();
            AtExit(Say, const_cast<char*>("between "), 1000);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "order: loud-destroyed between low-destroyed end");
}

}  // namespace
