#include "util/stream/buffer_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(BufferStreams, OutputGrowsToTwiceTheNeededLength) {
    const struct {
        size_t initial;
        std::vector<size_t> writes;
        size_t capacity;
    } cases[] = {
        {1024, {1000, 100}, 4096},  // 2 * 1100 = 2200, rounded up
        {1024, {1000, 24}, 1024},   // fits exactly
        {0, {5}, 16},
        {16, {10, 7}, 64},
    };
    for (const auto& c : cases) {
        TBufferOutput out(c.initial);
        size_t total = 0;
        for (size_t n : c.writes) {
            out.Write(std::string(n, 'w').data(), n);
            total += n;
        }
        EXPECT_EQ(out.Buffer().Capacity(), c.capacity);
        EXPECT_EQ(out.Buffer().Size(), total);
        EXPECT_EQ(out.Range().Length, total);
    }
}

TEST(BufferStreams, OutputAppendsToTheCallersBuffer) {
    TBuffer buffer;
    buffer.Append("head:", 5);
    {
        TBufferOutput out(buffer);
        out << "tail " << 1;
        EXPECT_EQ(&out.Buffer(), &buffer);
    }
    EXPECT_EQ(std::string(buffer.Data(), buffer.Size()), "head:tail 1");  // outlives the stream
}

TEST(BufferStreams, InputReadsAndSkipsFromTheStart) {
    TBuffer buffer;
    buffer.Append("line one\nline two", 17);
    TBufferInput in(buffer);
    EXPECT_EQ(in.ReadLine(), "line one");
    EXPECT_EQ(in.Skip(5), 5u);
    char rest[8];
    EXPECT_EQ(in.Read(rest, 8), 3u);
    EXPECT_EQ(std::string(rest, 3), "two");
    EXPECT_EQ(in.Skip(1), 0u);
    EXPECT_EQ(in.Read(rest, 8), 0u);
}
