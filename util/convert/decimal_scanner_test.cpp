#include "util/convert/decimal_scanner.h"

#include <gtest/gtest.h>

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

struct TRead {
    double Value;
    ptrdiff_t Stop;
    int Errno;
};

TRead Read(const std::string& text, size_t len) {
    char* stop = nullptr;
    errno = 0;
    const double v = StrToD(text.data(), text.data() + len, &stop);
    return {v, stop - text.data(), errno};
}

TEST(StrToD, ReadsTheNumberAtTheStartOfTheRange) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        std::string Text;
        double Value;
        ptrdiff_t Stop;
        int Errno = 0;
    } cases[] = {
        {" 1.5", 1.5, 4},
        {"\t\v\f\r\n1.5", 1.5, 8},
        {"+1.5", 1.5, 4},
        {".5", 0.5, 2},
        {"5.", 5.0, 2},
        {"000", 0.0, 3},
        {"1.5 ", 1.5, 3},
        {"1e", 1.0, 1},
        {"1e+", 1.0, 1},
        {"1e-x", 1.0, 1},
        {"1e0010", 1e10, 6},  // leading zeros of the exponent
        {"0.000125", 0.000125, 8},
        {"100000000000000000000000", 1e23, 24},  // trailing zeros are only scale
        {"1.000000000000000000000000001", 1.0, 29},
        {"123456789012345e10", 1.23456789012345e24, 18},  // exact in two products
        {"9007199254740993", 9007199254740992.0, 16},     // 17 digits: a tie, to even
        {"0x10", 0.0, 1},
        {"inf", 0.0, 0},
        {"nan", 0.0, 0},
        {".", 0.0, 0},
        {"-", 0.0, 0},
        {"- 1", 0.0, 0},
        {"", 0.0, 0},
        {"   ", 0.0, 0},
        {"1e400", inf, 5, ERANGE},
        {"-1e400", -inf, 6, ERANGE},
        {"1e-400", 0.0, 6, ERANGE},
        {"1e99999999999", inf, 13, ERANGE},  // eleven nines count as 19999
        {"1e-99999999999", 0.0, 14, ERANGE},
        {"0e999999", 0.0, 8},
        {"123456789012345678901234567890", 1.2345678901234568e29, 30},
        {"2.2250738585072011e-308", std::strtod("2.2250738585072011e-308", nullptr), 23},
    };
    for (const auto& c : cases) {
        const TRead r = Read(c.Text, c.Text.size());
        EXPECT_EQ(std::bit_cast<uint64_t>(r.Value), std::bit_cast<uint64_t>(c.Value)) << c.Text;
        EXPECT_EQ(r.Stop, c.Stop) << c.Text;
        EXPECT_EQ(r.Errno, c.Errno) << c.Text;
    }
}

TEST(StrToD, SignOfZeroIsKept) {
    for (const char* text : {"-0", "-0.0", "-0e5", "-.0", "-1e-400"}) {
        char* stop = nullptr;
        EXPECT_TRUE(std::signbit(StrToD(text, &stop))) << text;
    }
    char* stop = nullptr;
    EXPECT_FALSE(std::signbit(StrToD("0", &stop)));
}

TEST(StrToD, EndOfRangeOrNulEndsTheNumber) {
    const std::string text("125", 3);
    EXPECT_EQ(Read(text, 2).Value, 12.0);
    EXPECT_EQ(Read(text, 2).Stop, 2);
    const std::string nul(
        "12\0"
        "5",
        4);
    EXPECT_EQ(Read(nul, 4).Value, 12.0);
    EXPECT_EQ(Read(nul, 4).Stop, 2);
    const std::string exponent("1e25", 4);
    EXPECT_EQ(Read(exponent, 3).Value, 100.0);  // the range cuts the exponent to "e2"
    EXPECT_EQ(Read(exponent, 2).Stop, 1);       // and to an incomplete "e"
    EXPECT_EQ(StrToD("2.5", nullptr), 2.5);     // the stop position is optional
}

// The plain readers have no range check: they wrap like the machine word they fill.
TEST(StrToInt, ReadsLikeAtoiAndWraps) {
    const struct {
        const char* Text;
        int Int;
        long Long;
    } cases[] = {
        {"\t-42x", -42, -42},
        {"+", 0, 0},
        {"", 0, 0},
        {"  +17", 17, 17},
        {"\x01\x1f 9", 9, 9},
        {"12 34", 12, 12},
        {"--1", 0, 0},
        {"2147483647", 2147483647, 2147483647L},
        {"-2147483648", int(-2147483647 - 1), -2147483648L},
        {"4294967297", 1, 4294967297L},
        {"18446744073709551617", 1, 1L},
        {"-9223372036854775808", 0, std::numeric_limits<long>::min()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StrToInt(c.Text), c.Int) << c.Text;
        EXPECT_EQ(StrToLongInt(c.Text), c.Long) << c.Text;
    }
}

}  // namespace
