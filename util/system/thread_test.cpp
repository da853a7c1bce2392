#include "util/system/thread.h"

#include "util/generic/exception.h"
#include "util/system/thread_id.h"
#include "util/testing/exception_matchers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

void* ReportIdentity(void* out) {
    *static_cast<uint64_t*>(out) = SystemCurrentThreadId();
    return out;
}

TEST(ThreadTest, RunsTheProcedureAndReturnsItsResult) {
    uint64_t seenInside = 0;
    TThread thread(ReportIdentity, &seenInside);
    EXPECT_FALSE(thread.Running());
    thread.Start();
    EXPECT_TRUE(thread.Running());
    const uint64_t id = thread.Id();
    EXPECT_EQ(thread.Join(), &seenInside);
    EXPECT_FALSE(thread.Running());
    EXPECT_EQ(seenInside, id);  // the owner and the thread agree on its identity
    EXPECT_NE(id, SystemCurrentThreadId());
}

TEST(ThreadTest, JoinWithoutARunningThreadDoesNothing) {
    TThread thread(ReportIdentity, nullptr);
    EXPECT_EQ(thread.Join(), nullptr);
    thread.Detach();
    EXPECT_FALSE(thread.Running());
}

std::atomic<bool> SlowDone{false};

void* SlowProc(void*) {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    SlowDone = true;
    return nullptr;
}

TEST(ThreadTest, DestructionJoinsAStartedThread) {
    SlowDone = false;
    {
        TThread thread(SlowProc, nullptr);
        thread.Start();
    }
    EXPECT_TRUE(SlowDone.load());
}

TEST(ThreadTest, DetachedThreadRunsOnItsOwn) {
    static std::atomic<bool> ran{false};
    TThread thread(
        [](void*) -> void* {
            ran = true;
            return nullptr;
        },
        nullptr);
    thread.Start();
    thread.Detach();
    EXPECT_FALSE(thread.Running());
    EXPECT_EQ(thread.Join(), nullptr);
    for (int i = 0; i < 1000 && !ran.load(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(ran.load());
}

TEST(ThreadTest, StackSizeIsRoundedUpToAPowerOfTwo) {
    // 100000 becomes 131072; a thread with that stack can use most of it.
    TThread thread(TThread::TParams(
        [](void*) -> void* {
            volatile char big[100000];
            big[0] = 1;
            big[sizeof(big) - 1] = 2;
            return reinterpret_cast<void*>(static_cast<uintptr_t>(big[0] + big[sizeof(big) - 1]));
        },
        nullptr, 100000));
    thread.Start();
    EXPECT_EQ(reinterpret_cast<uintptr_t>(thread.Join()), 3u);
}

TEST(ThreadTest, CreationFailureNamesTheSystemError) {
    // No system has room for a 2^50-byte stack.
    TThread thread(TThread::TParams(SlowProc, nullptr, size_t(1) << 50));
    try {
        thread.Start();
        FAIL() << "the thread was created";
    } catch (const kexception& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("failed to create thread: ", 0), 0u) << text;
        EXPECT_NE(text, "failed to create thread: Success");
    }
    EXPECT_FALSE(thread.Running());
}

TEST(ThreadTest, StackSizeTooLargeToRoundIsRefusedByTheSystem) {
    // Rounding a size above 2^63 up to a power of two would overflow.
    for (size_t size : {(size_t(1) << 63) + 1, ~size_t(0)}) {
        TThread thread(TThread::TParams(SlowProc, nullptr, size));
        EXPECT_THROW(thread.Start(), kexception) << size;
        EXPECT_FALSE(thread.Running());
    }
}

TEST(ThreadTest, SecondStartWhileRunningIsRefused) {
    // The running thread keeps its handle and is still joined.
    SlowDone = false;
    TThread thread(SlowProc, nullptr);
    thread.Start();
    const uint64_t id = thread.Id();
    EXPECT_THAT([&] { thread.Start(); }, RaisesMessage<kexception>("thread already started"))
        << "a second thread was started";
    EXPECT_EQ(thread.Id(), id);
    thread.Join();
    EXPECT_TRUE(SlowDone.load());

    // Once joined, the object may start again.
    SlowDone = false;
    thread.Start();
    thread.Join();
    EXPECT_TRUE(SlowDone.load());
}

class TSummingThread : public TSimpleThread {
public:
    explicit TSummingThread(int limit) : Limit_(limit) {}
    ~TSummingThread() override { Join(); }

    void* ThreadProc() override {
        for (int i = 1; i <= Limit_; ++i) {
            Sum += i;
        }
        return this;
    }

    long Sum = 0;

private:
    int Limit_;
};

TEST(SimpleThreadTest, RunsItsThreadProcOnTheNewThread) {
    TSummingThread thread(100);
    thread.Start();
    EXPECT_EQ(thread.Join(), &thread);
    EXPECT_EQ(thread.Sum, 5050);
}

}  // namespace
