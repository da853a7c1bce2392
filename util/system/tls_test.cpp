#include "util/system/tls.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// What the key destructors of one test saw, in order.
std::mutex EventsLock;
std::vector<int> Events;

void RecordDestroyed(void* value) {
    std::lock_guard<std::mutex> guard(EventsLock);
    Events.push_back(*static_cast<int*>(value));
}

TEST(TlsKeyTest, EachThreadSeesOnlyItsOwnValue) {
    NTls::TKey key(nullptr);
    EXPECT_EQ(key.Get(), nullptr);
    int mine = 1;
    key.Set(&mine);
    void* seenByOther = &mine;
    int theirs = 2;
    void* theirsAfterSet = nullptr;
    std::thread other([&] {
        seenByOther = key.Get();
        key.Set(&theirs);
        theirsAfterSet = key.Get();
    });
    other.join();
    EXPECT_EQ(seenByOther, nullptr);
    EXPECT_EQ(theirsAfterSet, &theirs);
    EXPECT_EQ(key.Get(), &mine);
}

TEST(TlsKeyTest, KeyCreatedAfterAThreadGrewItsTableIsFound) {
    std::vector<std::unique_ptr<NTls::TKey>> early;
    for (int i = 0; i < 5; ++i) {
        early.push_back(std::make_unique<NTls::TKey>(nullptr));
    }
    std::mutex stepLock;
    std::condition_variable stepDone;
    int step = 0;
    std::unique_ptr<NTls::TKey> late;
    int value = 9;
    void* lateSeen = &value;
    void* lateAfterSet = nullptr;

    std::thread worker([&] {
        for (auto& key : early) {
            key->Set(&value);
        }
        std::unique_lock<std::mutex> lock(stepLock);
        step = 1;
        stepDone.notify_all();
        stepDone.wait(lock, [&] { return step == 2; });
        lateSeen = late->Get();
        late->Set(&value);
        lateAfterSet = late->Get();
    });
    {
        std::unique_lock<std::mutex> lock(stepLock);
        stepDone.wait(lock, [&] { return step == 1; });
        late = std::make_unique<NTls::TKey>(nullptr);
        step = 2;
        stepDone.notify_all();
    }
    worker.join();
    EXPECT_EQ(lateSeen, nullptr);
    EXPECT_EQ(lateAfterSet, &value);
}

TEST(TlsKeyTest, ThreadValuesAreDestroyedLastCreatedFirst) {
    NTls::TKey first(RecordDestroyed);
    NTls::TKey second(RecordDestroyed);
    NTls::TKey third(RecordDestroyed);
    NTls::TKey unset(RecordDestroyed);
    static int one = 1, two = 2, three = 3;
    Events.clear();
    std::thread worker([&] {
        // Values are created in the order the thread first touches the keys, not key order.
        second.Set(&two);
        first.Set(&one);
        third.Set(&three);
        unset.Get();  // touched but null: no destructor call
    });
    worker.join();
    EXPECT_EQ(Events, (std::vector<int>{3, 1, 2}));
}

TEST(TlsKeyTest, DeletedKeyLeavesItsValuesToTheThreadExit) {
    static int value = 5;
    Events.clear();
    std::mutex stepLock;
    std::condition_variable stepDone;
    int step = 0;
    auto key = std::make_unique<NTls::TKey>(RecordDestroyed);
    std::thread worker([&] {
        key->Set(&value);
        std::unique_lock<std::mutex> lock(stepLock);
        step = 1;
        stepDone.notify_all();
        stepDone.wait(lock, [&] { return step == 2; });
    });
    {
        std::unique_lock<std::mutex> lock(stepLock);
        stepDone.wait(lock, [&] { return step == 1; });
        key.reset();
        step = 2;
        stepDone.notify_all();
    }
    worker.join();
    EXPECT_EQ(Events, (std::vector<int>{5}));
}

std::atomic<int> Live{0};
std::atomic<int> Built{0};

struct TCounted {
    TCounted() {
        ++Live;
        ++Built;
    }
    ~TCounted() { --Live; }
    int Uses = 0;
};

TEST(TlsValueTest, BuiltOnFirstUsePerThreadAndDestroyedAtThreadExit) {
    NTls::TValue<TCounted> value;
    const int builtBefore = Built.load();
    TCounted& mine = value.Get();
    ++mine.Uses;
    EXPECT_EQ(&value.Get(), &mine);
    EXPECT_EQ(value.Get().Uses, 1);
    EXPECT_EQ(Built.load(), builtBefore + 1);

    const int liveBefore = Live.load();
    std::vector<std::thread> threads;
    std::vector<TCounted*> seen(3);
    for (int i = 0; i < 3; ++i) {
        threads.emplace_back([&, i] {
            seen[i] = value.GetPtr();
            EXPECT_EQ(seen[i]->Uses, 0);
            EXPECT_EQ(value.GetPtr(), seen[i]);
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(Built.load(), builtBefore + 4);
    EXPECT_EQ(Live.load(), liveBefore);  // the three threads' values are gone
    EXPECT_NE(seen[0], &mine);
}

int ConstructorFailures = 1;

struct TFailsOnce {
    TFailsOnce() {
        if (ConstructorFailures > 0) {
            --ConstructorFailures;
            throw std::runtime_error("no");
        }
    }
    int Value = 3;
};

TEST(TlsValueTest, FailedConstructionStoresNothing) {
    NTls::TValue<TFailsOnce> value;
    EXPECT_THROW(value.Get(), std::runtime_error);
    EXPECT_EQ(value.Get().Value, 3);
}

struct TTagged {
    explicit TTagged(int tag) : Tag(tag) {}
    int Tag;
};

class TTaggedConstructor : public NTls::TValue<TTagged>::TConstructor {
public:
    TTagged* Construct(void* memory) const override { return ::new (memory) TTagged(77); }
};

TEST(TlsValueTest, UsesItsConstructorObject) {
    NTls::TValue<TTagged> value(new TTaggedConstructor());
    EXPECT_EQ(value.Get().Tag, 77);
}

void SayDestroyed(void* text) {
    std::fputs(static_cast<const char*>(text), stderr);
}

TEST(TlsDeathTest, MainThreadValuesAreDestroyedAtExit) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            static NTls::TKey* older = new NTls::TKey(SayDestroyed);
            static NTls::TKey* newer = new NTls::TKey(SayDestroyed);
            older->Set(const_cast<char*>("older\n"));
            newer->Set(const_cast<char*>("newer "));
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "newer older");
}

// A process without a free POSIX key cannot give threads their storage: the first access ends
// in a VERIFY report naming the failed call.
TEST(TlsDeathTest, NoKeyLeftForTheStorageEndsInAReport) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_DEATH(
        {
            pthread_key_t key;
            while (pthread_key_create(&key, nullptr) == 0) {
            }
            NTls::TKey first(nullptr);
            first.Get();
        },
        "VERIFY failed: pthread_key_create failed\n"
        "  util/system/tls:[0-9]+\n"
        "  TMasterTls\\(\\): requirement !pthread_key_create\\(&Key_, Dtor\\) failed\n");
}

}  // namespace
