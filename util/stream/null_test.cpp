#include "util/stream/null.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(NullStreams, NeverFailAndHoldNothing) {
    TNullIO& null = NullStream();
    null << "anything" << 1 << Endl;
    null.Write("x", 1);
    null.Finish();
    char buf[4];
    EXPECT_EQ(null.Read(buf, 4), 0u);
    Stroka line("kept");
    EXPECT_FALSE(null.ReadLine(line));
    EXPECT_EQ(line, "kept");
    const void* chunk;
    size_t length = 7;
    EXPECT_FALSE(null.Next(&chunk, &length));
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(null.Skip(10), 0u);
}

TEST(NullStreams, OneProcessWideInstance) {
    std::vector<TNullIO*> seen(8);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i) {
        threads.emplace_back([&seen, i] { seen[i] = &NullStream(); });
    }
    for (auto& t : threads) {
        t.join();
    }
    for (TNullIO* p : seen) {
        EXPECT_EQ(p, &NullStream());
    }
}
