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

// A stream's buffer may be written from its own bytes, and cut below the read position by its
// owner between reads.
TEST(BufferStreams, OwnBytesAndShrunkenBuffers) {
    TBufferOutput out(4);
    out.Write("abcd", 4);
    out.Write(out.Buffer().Data() + 1, 3);  // the block moves while the bytes are copied
    EXPECT_EQ(std::string(out.Buffer().Data(), out.Buffer().Size()), "abcdbcd");

    TBuffer buffer;
    buffer.Append("0123456789", 10);
    TBufferInput in(buffer);
    char got[16];
    EXPECT_EQ(in.Read(got, 8), 8u);
    buffer.Resize(4);
    EXPECT_EQ(in.Read(got, 16), 0u);
    EXPECT_EQ(in.Skip(16), 0u);
    buffer.Append("456789ab", 8);  // grown again past the position: reading resumes there
    EXPECT_EQ(in.Read(got, 16), 4u);
    EXPECT_EQ(std::string(got, 4), "89ab");
}
