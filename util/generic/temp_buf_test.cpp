#include "util/generic/temp_buf.h"

#include "util/generic/exception.h"
#include "util/testing/exception_matchers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

TEST(TempBuf, ReleasedDefaultBuffersComeBackLastInFirstOut) {
    const char* first;
    const char* second;
    {
        auto a = std::make_unique<TTempBuf>();
        auto b = std::make_unique<TTempBuf>();
        first = a->Data();
        second = b->Data();
        a->Proceed(10);
        b->Append("xyz", 3);
        a.reset();
        b.reset();
    }
    TTempBuf next;
    TTempBuf after;
    EXPECT_EQ(next.Data(), second);
    EXPECT_EQ(after.Data(), first);
    EXPECT_EQ(next.Filled(), 0u);
    EXPECT_EQ(after.Filled(), 0u);
}

TEST(TempBuf, SizesOfDefaultAndLargeRequests) {
    const struct {
        size_t request;
        size_t size;
        bool recycled;
    } cases[] = {
        {1, 65536, true},      {100, 65536, true},        {65536, 65536, true},
        {65537, 65537, false}, {1 << 20, 1 << 20, false},
    };
    for (const auto& c : cases) {
        const char* data;
        {
            TTempBuf b(c.request);
            EXPECT_EQ(b.Size(), c.size) << c.request;
            EXPECT_EQ(b.Left(), c.size);
            std::memset(b.Data(), 0x5A, b.Size());  // the whole size is usable
            data = b.Data();
        }
        TTempBuf again;
        if (c.recycled) {
            EXPECT_EQ(again.Data(), data) << c.request;
        }
    }
}

// A size whose allocation, header included, would wrap around 64 bits must not become a small
// block that claims to hold the whole size.
TEST(TempBuf, ImpossibleSizesAreAllocationFailures) {
    const size_t sizes[] = {static_cast<size_t>(-1), static_cast<size_t>(-16)};
    for (size_t n : sizes) {
        EXPECT_THROW(TTempBuf b(n), std::bad_alloc) << n;
        EXPECT_THROW(TTempBufOutput out(n), std::bad_alloc) << n;
    }
}

TEST(TempBuf, AppendFillsExactlyAndRaisesBeyond) {
    TTempBuf b;
    const std::string chunk(1000, 'q');
    b.Append(chunk.data(), chunk.size());
    EXPECT_EQ(b.Filled(), 1000u);
    EXPECT_EQ(b.Current(), b.Data() + 1000);
    const std::string rest(b.Left(), 'r');
    b.Append(rest.data(), rest.size());
    EXPECT_EQ(b.Left(), 0u);
    EXPECT_EQ(b.Filled(), 65536u);
    EXPECT_EQ(b.Data()[65535], 'r');

    EXPECT_THAT([&] { b.Append("!", 1); }, RaisesMessage<kexception>("temp buf exhausted(0, 1)"));
    EXPECT_EQ(b.Filled(), 65536u);

    b.SetPos(65530);
    EXPECT_THAT([&] { b.Append(chunk.data(), 7); },
                RaisesMessage<kexception>("temp buf exhausted(6, 7)"));
    EXPECT_EQ(b.Filled(), 65530u);
    b.Reset();
    EXPECT_EQ(b.Left(), 65536u);
}

TEST(TempBuf, CopiesShareOneBodyAndFillPosition) {
    TTempBuf a;
    TTempBuf b(a);
    EXPECT_EQ(a.RefCount(), 2u);
    a.Append("ab", 2);
    b.Append("cd", 2);
    EXPECT_EQ(a.Filled(), 4u);
    EXPECT_EQ(std::string(a.Data(), a.Filled()), "abcd");

    TTempBuf c;
    const char* cData = c.Data();
    c = a;
    EXPECT_EQ(c.Data(), a.Data());
    EXPECT_EQ(a.RefCount(), 3u);
    c = c;
    EXPECT_EQ(a.RefCount(), 3u);
    TTempBuf d;  // c's old body went back to the list and is handed out again
    EXPECT_EQ(d.Data(), cData);
}

TEST(TempBuf, OutputStreamWritesIntoItsBuffer) {
    TTempBufOutput out;
    out << "n=" << 12 << ';';
    TTempBufOutput copy(out);
    copy << "more";
    EXPECT_EQ(std::string(out.Data(), out.Filled()), "n=12;more");

    TTempBufOutput small(8);
    EXPECT_EQ(small.Size(), 65536u);
    TTempBufOutput large(100000);
    EXPECT_EQ(large.Size(), 100000u);
}

// A buffer made on one thread and released on another must not go back onto its creator's
// free list: that list belongs to another thread and may already be gone.
TEST(TempBuf, BuffersReleasedOnAnotherThreadAreFreedThere) {
    std::vector<TTempBuf> handedOver;
    std::thread creator([&handedOver] {
        for (int i = 0; i < 16; ++i) {
            TTempBuf b;
            b.Append("from creator", 12);
            handedOver.push_back(b);
        }
        TTempBuf recycled;  // the creator's own list is still served
        EXPECT_EQ(recycled.Filled(), 0u);
    });
    creator.join();  // the creator's free list is destroyed with the thread

    for (const TTempBuf& b : handedOver) {
        EXPECT_EQ(std::string(b.Data(), b.Filled()), "from creator");
    }
    auto mine = std::make_unique<TTempBuf>();
    const char* mineData = mine->Data();
    handedOver.clear();  // released here: freed, never pushed onto a foreign list

    // This thread's own list is untouched by the foreign releases.
    mine.reset();
    TTempBuf again;
    EXPECT_EQ(again.Data(), mineData);

    // And the other way round while both threads live: the creator keeps using its list while
    // this thread releases the creator's buffers.
    std::vector<TTempBuf> fromMain;
    for (int i = 0; i < 8; ++i) {
        fromMain.emplace_back();
    }
    std::thread user([&fromMain] {
        for (int round = 0; round < 100; ++round) {
            TTempBuf local;
            local.Append("x", 1);
        }
        fromMain.clear();
    });
    for (int round = 0; round < 100; ++round) {
        TTempBuf local;
        local.Append("y", 1);
    }
    user.join();
}

TEST(TempBuf, ExceptionMessagesWorkOnManyThreads) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 200; ++i) {
                try {
                    throw kexception() << "thread " << t << " round " << i;
                } catch (const kexception& e) {
                    EXPECT_EQ(std::string(e.what()),
                              "thread " + std::to_string(t) + " round " + std::to_string(i));
                }
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
}
