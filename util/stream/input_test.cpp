#include "util/stream/input.h"

#include "util/generic/buffer.h"
#include "util/generic/exception.h"
#include "util/stream/memory.h"
#include "util/stream/output.h"
#include "util/stream/string_stream.h"
#include "util/testing/exception_matchers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

// A source that only implements DoRead and hands out at most `Step` bytes per call, so the
// defaults of TInputStream are what the tests see.
class TTrickleInput : public TInputStream {
public:
    TTrickleInput(std::string data, size_t step) : Data_(std::move(data)), Step_(step) {}

    int Reads = 0;

protected:
    size_t DoRead(void* buffer, size_t length) override {
        ++Reads;
        size_t n = std::min({length, Step_, Data_.size() - Pos_});
        std::memcpy(buffer, Data_.data() + Pos_, n);
        Pos_ += n;
        return n;
    }

private:
    std::string Data_;
    size_t Step_;
    size_t Pos_ = 0;
};

// Both the defaults (byte by byte) and the memory stream's own DoReadTo must agree.
std::vector<std::unique_ptr<TInputStream>> SourcesOver(const std::string& data,
                                                       std::vector<std::string>& storage) {
    storage.push_back(data);
    std::vector<std::unique_ptr<TInputStream>> sources;
    sources.push_back(std::make_unique<TTrickleInput>(data, 1));
    sources.push_back(std::make_unique<TTrickleInput>(data, 3));
    sources.push_back(std::make_unique<TMemoryInput>(storage.back().data(), data.size()));
    return sources;
}

class TStringSink : public TOutputStream {
public:
    std::string Text;

protected:
    void DoWrite(const void* data, size_t length) override {
        Text.append(static_cast<const char*>(data), length);
    }
};

}  // namespace

TEST(InputStream, ReadLineDropsOneCarriageReturnBeforeTheLineFeed) {
    const struct {
        std::string input;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\r\nb", {"a", "b"}}, {"\r\n", {""}},
        {"a\r\r\n", {"a\r"}},   {"a\rb", {"a\rb"}},
        {"a\n", {"a"}},         {"a\nb\n", {"a", "b"}},
        {"\n\n", {"", ""}},     {"", {}},
        {"\r", {""}},           {std::string("x\0y\n", 4), {std::string("x\0y", 3)}},
    };
    std::vector<std::string> storage;
    for (const auto& c : cases) {
        for (auto& in : SourcesOver(c.input, storage)) {
            std::vector<std::string> lines;
            Stroka line;
            while (in->ReadLine(line)) {
                lines.emplace_back(line.data(), line.size());
            }
            EXPECT_EQ(lines, c.lines) << testing::PrintToString(c.input);
        }
    }
}

TEST(InputStream, ReadToSplitsAtTheDelimiter) {
    std::vector<std::string> storage;
    for (auto& in : SourcesOver(",x", storage)) {
        Stroka s("previous");
        EXPECT_TRUE(in->ReadTo(s, ','));
        EXPECT_EQ(s, "");
        EXPECT_TRUE(in->ReadTo(s, ','));
        EXPECT_EQ(s, "x");
        EXPECT_FALSE(in->ReadTo(s, ','));
        EXPECT_EQ(s, "x");  // left untouched at the end
    }
}

TEST(InputStream, StringFormsRaiseAtTheEnd) {
    TTrickleInput in("one\ntwo", 2);
    EXPECT_EQ(in.ReadLine(), "one");
    EXPECT_EQ(in.ReadTo('\n'), "two");
    EXPECT_THAT([&] { in.ReadLine(); }, RaisesMessage<kexception>("can not read line from stream"));
    EXPECT_THAT([&] { in.ReadTo(','); }, RaisesMessage<kexception>("can not read from stream"));
}

TEST(InputStream, ReadLineIntoASharedStringLeavesTheOtherHolder) {
    TTrickleInput in("new\n", 1);
    Stroka line("old");
    const Stroka holder = line;
    EXPECT_TRUE(in.ReadLine(line));
    EXPECT_EQ(line, "new");
    EXPECT_EQ(holder, "old");
}

TEST(InputStream, LoadCollectsUntilFullOrEnd) {
    const struct {
        size_t available;
        size_t step;
        size_t asked;
        size_t expected;
    } cases[] = {
        {4, 1, 10, 4}, {10, 3, 10, 10}, {20, 7, 10, 10}, {0, 1, 5, 0}, {5, 1, 0, 0},
    };
    for (const auto& c : cases) {
        TTrickleInput in(std::string(c.available, 'z'), c.step);
        char buf[32] = {};
        EXPECT_EQ(in.Load(buf, c.asked), c.expected);
        EXPECT_EQ(std::string(buf, c.expected), std::string(c.expected, 'z'));
        if (c.asked == 0) {
            EXPECT_EQ(in.Reads, 0);
        }
    }
}

TEST(InputStream, DefaultSkipReadsAndStopsAtTheEnd) {
    TTrickleInput in("0123456789", 4);
    EXPECT_EQ(in.Skip(3), 3u);
    char c;
    ASSERT_TRUE(in.ReadChar(c));
    EXPECT_EQ(c, '3');
    EXPECT_EQ(in.Skip(100000), 6u);  // above the default scratch size: one allocation
    EXPECT_FALSE(in.ReadChar(c));
    EXPECT_EQ(c, '3');
    EXPECT_EQ(in.Skip(0), 0u);
    // A length no scratch buffer can have is an allocation failure, never a short buffer.
    EXPECT_THROW(in.Skip(static_cast<size_t>(-1)), std::bad_alloc);
}

TEST(InputStream, TransferDataCopiesEverythingInEveryForm) {
    const std::string data(200000, 'd');
    {
        TTrickleInput in(data, 70000);
        TStringSink out;
        EXPECT_EQ(TransferData(&in, &out), data.size());
        EXPECT_EQ(out.Text, data);
    }
    {
        TTrickleInput in(data, 1 << 20);
        TStringSink out;
        EXPECT_EQ(TransferData(&in, &out, 100), data.size());
        EXPECT_EQ(out.Text, data);
    }
    {
        TTrickleInput in(data, 1 << 20);
        TStringSink out;
        TBuffer scratch;
        scratch.Resize(333);
        EXPECT_EQ(TransferData(&in, &out, scratch), data.size());
        EXPECT_EQ(out.Text, data);
    }
    {
        TTrickleInput in(data, 1 << 20);
        TStringSink out;
        char scratch[1];
        EXPECT_EQ(TransferData(&in, &out, scratch, 0), 0u);
        EXPECT_EQ(in.Reads, 0);
    }
}

TEST(InputStream, ReadAllReturnsTheRest) {
    TTrickleInput in("head\nbody and tail", 5);
    EXPECT_EQ(in.ReadLine(), "head");
    EXPECT_EQ(in.ReadAll(), "body and tail");
    EXPECT_EQ(in.ReadAll(), "");
}
