// Buffered streams against recording slaves: how reads and writes reach the slave, line
// assembly across refills, finishing and error handling.
#include "util/stream/buffered.h"

#include "util/generic/exception.h"
#include "util/stream/memory.h"
#include "util/testing/exception_matchers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// An input over a string that records the length of every read asked of it.
class TRecordingInput : public TInputStream {
public:
    explicit TRecordingInput(std::string data) : Data(std::move(data)) {}

    std::string Data;
    size_t Pos = 0;
    std::vector<size_t> Asked;

protected:
    size_t DoRead(void* buffer, size_t length) override {
        Asked.push_back(length);
        const size_t n = std::min(length, Data.size() - Pos);
        memcpy(buffer, Data.data() + Pos, n);
        Pos += n;
        return n;
    }
};

// An output that records every call and can be told to fail.
class TRecordingOutput : public TOutputStream {
public:
    std::string Data;
    std::vector<std::string> Calls;
    int FailWrites = 0;  // the next writes to fail
    bool FailFinish = false;

protected:
    void DoWrite(const void* data, size_t length) override {
        Calls.push_back("write " + std::to_string(length));
        Fail();
        Data.append(static_cast<const char*>(data), length);
    }
    void DoWriteV(const TPart* parts, size_t count) override {
        std::string call = "writev";
        for (size_t i = 0; i < count; ++i) {
            call += " " + std::to_string(parts[i].len);
        }
        Calls.push_back(call);
        Fail();
        for (size_t i = 0; i < count; ++i) {
            Data.append(static_cast<const char*>(parts[i].buf), parts[i].len);
        }
    }
    void DoFlush() override { Calls.push_back("flush"); }
    void DoFinish() override {
        Calls.push_back("finish");
        if (FailFinish) {
            throw kexception() << "finish failed";
        }
    }

private:
    void Fail() {
        if (FailWrites > 0) {
            --FailWrites;
            throw kexception() << "disk on fire";
        }
    }
};

std::string Pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) {
        s[i] = char('a' + i % 23);
    }
    return s;
}

TEST(TBufferedInputTest, LargeReadsBypassTheBuffer) {
    TRecordingInput slave(Pattern(20000));
    TBufferedInput in(&slave, 8192);
    std::string got(20000, '\0');
    EXPECT_EQ(in.Read(got.data(), 5000), 5000u);
    EXPECT_EQ(in.Read(got.data() + 5000, 4096), 4096u);
    EXPECT_EQ(slave.Asked, (std::vector<size_t>{5000, 8192}));
    // The buffer holds 4096 more; a large read takes only those.
    EXPECT_EQ(in.Read(got.data() + 9096, 10000), 4096u);
    EXPECT_EQ(in.Load(got.data() + 13192, 6808), 6808u);
    EXPECT_EQ(got, slave.Data);
    EXPECT_EQ(in.Read(got.data(), 1), 0u);
}

TEST(TBufferedInputTest, ReadLineAcrossRefills) {
    struct TCase {
        size_t Buffer;
        std::string Text;
        std::vector<std::string> Lines;
    };
    const TCase cases[] = {
        {8192, "abc", {"abc"}},
        {4, "abc\nxyz", {"abc", "xyz"}},  // delimiter is the last byte of a refill
        {4, "a long line here\r\nb\n\nc", {"a long line here", "b", "", "c"}},
        {3, "\n\n", {"", ""}},
        {1, "ab\ncd\n", {"ab", "cd"}},
    };
    for (const auto& c : cases) {
        TRecordingInput slave(c.Text);
        TBufferedInput in(&slave, c.Buffer);
        std::vector<std::string> lines;
        Stroka line;
        while (in.ReadLine(line)) {
            lines.emplace_back(line.data(), line.size());
        }
        EXPECT_EQ(lines, c.Lines) << c.Text;
        EXPECT_TRUE(line.empty()) << "the string is emptied at the end";
    }
}

TEST(TBufferedInputTest, NextHandsOutTheBufferedChunk) {
    TRecordingInput slave("0123456789");
    TBufferedInput in(&slave, 4);
    char c;
    ASSERT_EQ(in.Read(&c, 1), 1u);
    const void* data;
    size_t length;
    ASSERT_TRUE(in.Next(&data, &length));
    EXPECT_EQ(std::string(static_cast<const char*>(data), length), "123");
    ASSERT_TRUE(in.Next(&data, &length));
    EXPECT_EQ(std::string(static_cast<const char*>(data), length), "4567");
    ASSERT_TRUE(in.Next(&data, &length));
    EXPECT_FALSE(in.Next(&data, &length));
    EXPECT_EQ(length, 0u);
}

TEST(TBufferedInputTest, SetSlaveReadsBufferedBytesFirst) {
    TRecordingInput first("abcdef");
    TRecordingInput second("XYZ");
    TBufferedInput in(&first, 4);
    char c;
    ASSERT_EQ(in.Read(&c, 1), 1u);
    in.SetSlave(&second);
    Stroka rest;
    ASSERT_TRUE(in.ReadLine(rest));
    EXPECT_EQ(rest, "bcdXYZ");
}

TEST(TBufferedOutputTest, SlaveGetsWholeBufferMultiples) {
    struct TCase {
        std::vector<size_t> Writes;
        std::vector<std::string> Calls;
        size_t Kept;
    };
    const TCase cases[] = {
        {{10000}, {"writev 0 8192"}, 1808},
        {{100, 8100}, {"writev 100 8092"}, 8},
        {{8192}, {}, 8192},  // exactly full: goes with the next write
        {{8192, 1}, {"writev 8192 0"}, 1},
        {{5000, 20000}, {"writev 5000 19576"}, 424},
    };
    for (const auto& c : cases) {
        TRecordingOutput slave;
        const std::string data = Pattern(30000);
        std::string written;
        {
            TBufferedOutput out(&slave, 8192);
            size_t pos = 0;
            for (size_t n : c.Writes) {
                out.Write(data.data() + pos, n);
                written += data.substr(pos, n);
                pos += n;
            }
            EXPECT_EQ(slave.Calls, c.Calls);
            EXPECT_EQ(written.size() - slave.Data.size(), c.Kept);
        }
        EXPECT_EQ(slave.Data, written) << "the destructor writes out the rest";
    }
}

TEST(TBufferedOutputTest, FlushAndFinishPropagation) {
    TRecordingOutput slave;
    TBufferedOutput out(&slave, 16);
    out.Write("abc", 3);
    out.Flush();
    EXPECT_EQ(slave.Calls, (std::vector<std::string>{"write 3"}));
    out.SetPropagateMode(true);
    out.Flush();  // nothing pending, the slave is flushed
    out.SetFinishPropagateMode(true);
    out.Write("de", 2);
    out.Finish();
    EXPECT_EQ(slave.Calls,
              (std::vector<std::string>{"write 3", "flush", "write 2", "flush", "finish"}));
    EXPECT_THAT([&] { out.Write("x", 1); },
                RaisesMessage<kexception>("can not write to finished stream"))
        << "a finished stream takes no writes";
    out.Flush();
    out.Finish();
    EXPECT_EQ(slave.Calls.size(), 5u);
    EXPECT_EQ(slave.Data, "abcde");
}

TEST(TBufferedOutputTest, FailedWriteOutKeepsBytesAndRaises) {
    TRecordingOutput slave;
    TBufferedOutput out(&slave, 16);
    out.Write("abc", 3);
    slave.FailWrites = 1;
    EXPECT_THROW(out.Flush(), kexception);
    out.Flush();  // the pending bytes are still there
    EXPECT_EQ(slave.Data, "abc");

    slave.FailWrites = 1;
    EXPECT_THROW(out.Write(Pattern(40).data(), 40), kexception);
    EXPECT_EQ(slave.Data, "abc");
}

TEST(TBufferedOutputTest, FinishRaisesTheWriteErrorAndStillFinishesSlave) {
    TRecordingOutput slave;
    auto out = std::make_unique<TBufferedOutput>(&slave, 16);
    out->SetFinishPropagateMode(true);
    out->Write("abc", 3);
    slave.FailWrites = 1;
    slave.FailFinish = true;
    EXPECT_THAT([&] { out->Finish(); }, RaisesMessage<kexception>("disk on fire"))
        << "the failed write-out must reach the caller";
    EXPECT_EQ(slave.Calls, (std::vector<std::string>{"write 3", "finish"}));
    EXPECT_NO_THROW(out.reset());
    EXPECT_EQ(slave.Calls.size(), 2u);
}

TEST(TBufferedOutputTest, DestructorSwallowsErrors) {
    TRecordingOutput slave;
    slave.FailFinish = true;
    {
        TBufferedOutput out(&slave, 16);
        out.SetFinishPropagateMode(true);
        out.Write("abc", 3);
        slave.FailWrites = 1;
    }
    EXPECT_EQ(slave.Calls, (std::vector<std::string>{"write 3", "finish"}));

    TRecordingOutput finishing;
    finishing.FailFinish = true;
    TBufferedOutput out(&finishing, 16);
    out.SetFinishPropagateMode(true);
    EXPECT_THROW(out.Finish(), kexception);
}

TEST(TBufferedOutputTest, ZeroLengthBufferPassesWritesThrough) {
    TRecordingOutput slave;
    TBufferedOutput out(&slave, 0);
    out.Write("abc", 3);
    out.Write("d", 1);
    EXPECT_EQ(slave.Calls, (std::vector<std::string>{"writev 0 3", "writev 0 1"}));
    EXPECT_EQ(slave.Data, "abcd");
}

}  // namespace
