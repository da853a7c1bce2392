#include "util/stream/output.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

// Records every primitive call so that tests see how many writes an operation made.
class TWriteLog : public TOutputStream {
public:
    std::string Text;
    std::vector<std::string> Writes;
    int Flushes = 0;

protected:
    void DoWrite(const void* data, size_t length) override {
        Writes.emplace_back(static_cast<const char*>(data), length);
        Text.append(static_cast<const char*>(data), length);
    }
    void DoFlush() override { ++Flushes; }
};

std::string ByteString(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) {
        s.push_back(static_cast<char>(b));
    }
    return s;
}

}  // namespace

TEST(OutputStream, InsertionOperatorsWriteEachValueWithOneWrite) {
    const struct {
        const char* name;
        std::function<void(TOutputStream&)> write;
        std::string expected;
    } cases[] = {
        {"text", [](TOutputStream& o) { o << "hello"; }, "hello"},
        {"null text", [](TOutputStream& o) { o << static_cast<const char*>(nullptr); }, "(null)"},
        {"string with NUL", [](TOutputStream& o) { o << Stroka("a\0b", 3); },
         std::string("a\0b", 3)},
        {"range", [](TOutputStream& o) { o << TCharRange("abcdef", 4); }, "abcd"},
        {"chars", [](TOutputStream& o) { o << 'x'; }, "x"},
        {"signed char", [](TOutputStream& o) { o << static_cast<signed char>(-1); }, "\xFF"},
        {"unsigned char", [](TOutputStream& o) { o << static_cast<unsigned char>(0xE9); }, "\xE9"},
        {"short", [](TOutputStream& o) { o << static_cast<short>(SHRT_MIN); }, "-32768"},
        {"int", [](TOutputStream& o) { o << INT_MIN; }, "-2147483648"},
        {"long", [](TOutputStream& o) { o << LONG_MIN; }, "-9223372036854775808"},
        {"long long", [](TOutputStream& o) { o << -1LL; }, "-1"},
        {"unsigned short", [](TOutputStream& o) { o << static_cast<unsigned short>(65535); },
         "65535"},
        {"unsigned", [](TOutputStream& o) { o << UINT_MAX; }, "4294967295"},
        {"unsigned long", [](TOutputStream& o) { o << ULONG_MAX; }, "18446744073709551615"},
        {"unsigned long long", [](TOutputStream& o) { o << 0ULL; }, "0"},
        {"true", [](TOutputStream& o) { o << true; }, "1"},
        {"false", [](TOutputStream& o) { o << false; }, "0"},
        {"utf16 string", [](TOutputStream& o) { o << TUtf16String(u"\u00E9t\u00E9"); },
         "\xC3\xA9t\xC3\xA9"},
        {"utf16 text", [](TOutputStream& o) { o << u"\u00E9!"; }, "\xC3\xA9!"},
        {"null utf16 text", [](TOutputStream& o) { o << static_cast<const wchar16*>(nullptr); },
         "(null)"},
        {"utf16 view", [](TOutputStream& o) { o << TWCharRange(u"abc", 2); }, "ab"},
    };
    for (const auto& c : cases) {
        TWriteLog out;
        c.write(out);
        EXPECT_EQ(out.Text, c.expected) << c.name;
        EXPECT_EQ(out.Writes.size(), 1u) << c.name;
    }
}

TEST(OutputStream, PointersAreSixteenHexDigitsAfter0x) {
    const struct {
        const void* pointer;
        const char* expected;
    } cases[] = {
        {nullptr, "0x0000000000000000"},
        {reinterpret_cast<int*>(0xABCDEF12), "0x00000000ABCDEF12"},
        {reinterpret_cast<const char*>(0xFEDCBA9876543210ull), "0xFEDCBA9876543210"},
    };
    for (const auto& c : cases) {
        TWriteLog out;
        out << c.pointer;
        EXPECT_EQ(out.Text, c.expected);
    }
    TWriteLog out;
    out << reinterpret_cast<int*>(0x10) << "/" << static_cast<const char*>("text");
    EXPECT_EQ(out.Text, "0x0000000000000010/text");
}

TEST(OutputStream, EmptyValuesMakeNoWrite) {
    TWriteLog out;
    out << "" << Stroka() << TCharRange() << TUtf16String() << TWCharRange();
    out.Write("ignored", 0);
    EXPECT_TRUE(out.Writes.empty());
}

TEST(OutputStream, OperatorsChain) {
    TWriteLog out;
    out << "a=" << 1 << ", b=" << -2L << ", " << Stroka("c") << '!';
    EXPECT_EQ(out.Text, "a=1, b=-2, c!");
}

TEST(OutputStream, HexFlagsChooseThePrefixAndThePadding) {
    const struct {
        uint64_t value;
        uint32_t flags;
        const char* expected;
    } cases[] = {
        {0xAB, 0, "AB"},
        {0xAB, Hex::HF_ADDX, "0xAB"},
        {0xAB, Hex::HF_FULL, "00000000000000AB"},
        {0xAB, Hex::HF_FULL | Hex::HF_ADDX, "0x00000000000000AB"},
        {0, 0, "0"},
        {UINT64_MAX, Hex::HF_FULL | Hex::HF_ADDX, "0xFFFFFFFFFFFFFFFF"},
        {0x123456789ABCDEF0ull, Hex::HF_FULL, "123456789ABCDEF0"},
    };
    for (const auto& c : cases) {
        TWriteLog out;
        out << Hex(c.value, c.flags);
        EXPECT_EQ(out.Text, c.expected);
    }
}

TEST(OutputStream, Utf16IsWrittenAsUtf8) {
    const struct {
        std::u16string units;
        std::string expected;
    } cases[] = {
        {u"a", "a"},
        {u"\u00E9", ByteString({0xC3, 0xA9})},
        {u"\u07FF\u0800", ByteString({0xDF, 0xBF, 0xE0, 0xA0, 0x80})},
        {u"\uFFFF", ByteString({0xEF, 0xBF, 0xBF})},
        {u"\xD83D\xDE00", ByteString({0xF0, 0x9F, 0x98, 0x80})},
        {u"\xDBFF\xDFFF", ByteString({0xF4, 0x8F, 0xBF, 0xBF})},
        {u"\xD800"
         u"a",
         ByteString({0xEF, 0xBF, 0xBD, 0x61})},
        {u"\xD800", ByteString({0xEF, 0xBF, 0xBD})},
        {u"\xD800\xD800\xDC00", ByteString({0xEF, 0xBF, 0xBD, 0xF0, 0x90, 0x80, 0x80})},
        {u"\xDC00", ByteString({0xED, 0xB0, 0x80})},
        {u"\xDC00\xD800", ByteString({0xED, 0xB0, 0x80, 0xEF, 0xBF, 0xBD})},
        {std::u16string(1, u'\0'), std::string(1, '\0')},
    };
    for (const auto& c : cases) {
        TWriteLog out;
        WriteUtf16(out, c.units.data(), c.units.size());
        EXPECT_EQ(out.Text, c.expected);
        EXPECT_EQ(out.Writes.size(), 1u);
    }
    TWriteLog out;
    WriteUtf16(out, u"", 0);
    EXPECT_TRUE(out.Writes.empty());

    // A long text goes out in one write as well.
    const std::u16string longText(30000, u'\u20AC');
    WriteUtf16(out, longText.data(), longText.size());
    ASSERT_EQ(out.Writes.size(), 1u);
    EXPECT_EQ(out.Text.size(), 90000u);
}

TEST(OutputStream, EndlWritesALineFeedAndFlushes) {
    TWriteLog out;
    out << "line" << Endl;
    EXPECT_EQ(out.Text, "line\n");
    EXPECT_EQ(out.Flushes, 1);
    out << Flush;
    EXPECT_EQ(out.Flushes, 2);
    out.Finish();  // by default a flush
    EXPECT_EQ(out.Flushes, 3);
}

TEST(OutputStream, VectoredWriteGoesPartByPartIncludingEmptyParts) {
    TWriteLog out;
    const TOutputStream::TPart parts[] = {{"ab", 2}, {"", 0}, {"cde", 3}};
    out.Write(parts, 3);
    const std::vector<std::string> expected = {"ab", "", "cde"};
    EXPECT_EQ(out.Writes, expected);
}
