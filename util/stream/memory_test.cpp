#include "util/stream/memory.h"

#include "util/generic/exception.h"
#include "util/testing/exception_matchers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

TEST(MemoryInput, ReadsLinesSkipsAndReads) {
    const struct {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\nb", {"a", "b"}},
        {"a\n", {"a"}},
        {"\n", {""}},
        {"", {}},
        {"no delimiter", {"no delimiter"}},
    };
    for (const auto& c : cases) {
        TMemoryInput in(c.text.data(), c.text.size());
        std::vector<std::string> lines;
        Stroka line("before");
        while (in.ReadLine(line)) {
            lines.emplace_back(line.data(), line.size());
        }
        EXPECT_EQ(lines, c.lines) << c.text;
        EXPECT_TRUE(in.Exhausted());
    }

    const char data[] = "0123456789";
    TMemoryInput in(data, 10);
    char buf[4];
    EXPECT_EQ(in.Read(buf, 4), 4u);
    EXPECT_EQ(std::string(buf, 4), "0123");
    EXPECT_EQ(in.Skip(3), 3u);
    EXPECT_EQ(in.Avail(), 3u);
    EXPECT_EQ(in.Read(buf, 4), 3u);
    EXPECT_EQ(std::string(buf, 3), "789");
    EXPECT_EQ(in.Read(buf, 4), 0u);
    EXPECT_EQ(in.Skip(5), 0u);

    TMemoryInput empty;
    Stroka untouched("kept");
    EXPECT_FALSE(empty.ReadTo(untouched, ','));
    EXPECT_EQ(untouched, "kept");
}

TEST(MemoryInput, NextHandsOutTheWholeRegionOnce) {
    const char data[] = "region";
    TMemoryInput in(data, 6);
    char first;
    ASSERT_TRUE(in.ReadChar(first));
    const void* chunk = nullptr;
    size_t length = 0;
    ASSERT_TRUE(in.Next(&chunk, &length));
    EXPECT_EQ(chunk, data + 1);
    EXPECT_EQ(length, 5u);
    EXPECT_FALSE(in.Next(&chunk, &length));
    EXPECT_EQ(length, 0u);

    IZeroCopyInput& zeroCopy = in;  // reachable through the interface as well
    EXPECT_FALSE(zeroCopy.Next(&chunk, &length));
}

TEST(MemoryOutput, WritesAreAllOrNothing) {
    char region[4] = {'.', '.', '.', '.'};
    TMemoryOutput out(region, sizeof(region));
    out.Write("abc", 3);
    out.Write("d", 1);
    EXPECT_EQ(out.Avail(), 0u);
    EXPECT_THAT([&] { out.Write("e", 1); },
                RaisesMessage<kexception>("memory output stream exhausted"));
    EXPECT_EQ(std::string(region, 4), "abcd");

    char small[4] = {'.', '.', '.', '.'};
    TMemoryOutput bounded(small, small + 4);
    bounded << "xy";
    EXPECT_THROW(bounded << "xyz", kexception);
    EXPECT_EQ(std::string(small, 4), "xy..");
    EXPECT_EQ(bounded.Buf(), small + 2);
}

// Empty writes and reads may carry null pointers (an empty part of a vectored write, a read of
// nothing); they must copy nothing rather than hand the null pointer to the C library.
TEST(MemoryOutput, EmptyWritesIntoAnEmptyRegion) {
    TMemoryOutput out(static_cast<void*>(nullptr), 0);
    const TOutputStream::TPart parts[] = {{nullptr, 0}, {"", 0}};
    out.Write(parts, 2);
    EXPECT_EQ(out.Avail(), 0u);
    EXPECT_THROW(out.Write("x", 1), kexception);

    TMemoryInput in(nullptr, 0);
    EXPECT_EQ(in.Read(nullptr, 0), 0u);
    const char data[] = "ab";
    TMemoryInput some(data, 2);
    EXPECT_EQ(some.Read(nullptr, 0), 0u);
    EXPECT_EQ(some.Avail(), 2u);
}
