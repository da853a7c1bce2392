#include "util/convert/float_to_string.h"

#include "util/generic/exception.h"
#include "util/stream/output.h"
#include "util/stream/string_stream.h"
#include "util/testing/exception_matchers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

template <class T>
std::string Text(T v, size_t len = 64) {
    char buf[64];
    std::memset(buf, '#', sizeof(buf));
    const size_t n = FloatToString(v, buf, len);
    EXPECT_LE(n, len);
    if (n < sizeof(buf)) {
        EXPECT_EQ(buf[n], '#') << "nothing written past the text";
    }
    return std::string(buf, n);
}

TEST(FloatToString, DoubleLayout) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double Value;
        const char* Text;
    } cases[] = {
        {0.0, "0"},
        {-0.0, "-0"},
        {0.1, "0.1"},
        {1.0 / 3, "0.3333333333"},
        {-2.0 / 3, "-0.6666666667"},
        {123456789012.0, "1.23456789e+11"},  // the tenth digit is a zero and goes
        {1e10, "1e+10"},
        {1e9, "1000000000"},
        {1234.5, "1234.5"},
        {0.5, "0.5"},
        {0.001, "0.001"},
        {0.0001, "0.0001"},
        {0.00001, "1e-05"},
        {0.000015, "1.5e-05"},
        {1e20, "1e+20"},
        {1e100, "1e+100"},
        {1.7976931348623157e308, "1.797693135e+308"},
        {5e-324, "5e-324"},  // a subnormal: the shortest text that reads back
        {0x0.00000005c00cep-1022, "2.9789777e-317"},
        {0x0.fffffffffffffp-1022, "2.225073859e-308"},
        {9999999999.5, "1e+10"},  // rounding carries into a new decade
        {100.0, "100"},
        {inf, "inf"},
        {-inf, "-inf"},
        {nan, "nan"},
        {-nan, "-nan"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Text(c.Value), c.Text) << c.Text;
    }
}

TEST(FloatToString, FloatLayout) {
    const struct {
        float Value;
        const char* Text;
    } cases[] = {
        {3.14159274f, "3.14159"},
        {100000.0f, "100000"},
        {1000000.0f, "1e+06"},
        {1234567.0f, "1.23457e+06"},
        {1234565.0f, "1.23456e+06"},  // an exact tie goes to the even digit
        {0.1f, "0.1"},                // 0.100000001490116 correctly rounded to 6 digits
        {-0.0f, "-0"},
        {1e-5f, "1e-05"},
        {std::numeric_limits<float>::infinity(), "inf"},
        {std::numeric_limits<float>::max(), "3.40282e+38"},
        {std::numeric_limits<float>::denorm_min(), "1.4013e-45"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Text(c.Value), c.Text) << c.Text;
    }
}

TEST(FloatToString, ShortBufferCutsTheText) {
    EXPECT_EQ(Text(-12.5, 3), "-12");
    EXPECT_EQ(Text(-12.5, 0), "");
    EXPECT_EQ(Text(1e-5, 4), "1e-0");
    EXPECT_EQ(Text(-std::numeric_limits<double>::infinity(), 2), "-i");
    EXPECT_EQ(Text(0.0001f, 5), "0.000");
}

TEST(FormatLongDouble, FormatsAndRejectsAShortBuffer) {
    char buf[256];
    EXPECT_EQ(FormatLongDouble(1.5L, buf, sizeof(buf)), 3u);
    EXPECT_STREQ(buf, "1.5");
    EXPECT_EQ(FormatLongDouble(1.0L / 3, buf, sizeof(buf)), 12u);
    EXPECT_STREQ(buf, "0.3333333333");
    EXPECT_EQ(FormatLongDouble(buf, sizeof(buf), 1e100L), 6u);
    EXPECT_STREQ(buf, "1e+100");
    // The text and its NUL must both fit: a buffer of the text's length is one byte short.
    EXPECT_THAT([&] { FormatLongDouble(1.5L, buf, 3); },
                RaisesMessage<kexception>("cannot format float"))
        << "no exception";
    EXPECT_EQ(FormatLongDouble(1.5L, buf, 4), 3u);
}

TEST(FloatToString, StreamOutputOfEachType) {
    Stroka s;
    TStringOutput out(s);
    out << 0.1 << ' ' << 3.14159274f << ' ' << 1.0L / 3 << ' ' << -0.0 << ' ' << 1e300;
    EXPECT_EQ(std::string(s.data(), s.size()), "0.1 3.14159 0.3333333333 -0 1e+300");
}

// An exception message holds the thread's scratch buffer while the value is formatted in
// another one.
TEST(FloatToString, ValuesInExceptionMessages) {
    try {
        throw kexception() << "ratio " << 0.25 << ", limit " << 1e-7f;
    } catch (const kexception& e) {
        EXPECT_STREQ(e.what(), "ratio 0.25, limit 1e-07");
    }
}

}  // namespace
