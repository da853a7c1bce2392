// Whole-text conversions to floating-point values, booleans and strings.
#include "util/convert/from_string.h"

#include "util/convert/cast_exception.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace {

// The value as text, or "!" and the message of the exception.
template <class T>
std::string Parse(const std::string& text) {
    try {
        const T v = FromString<T>(text.data(), text.size());
        if constexpr (std::is_same_v<T, bool>) {
            return v ? "true" : "false";
        } else {
            char buf[64];
            std::snprintf(buf, sizeof(buf), "%.17Lg", (long double)v);
            return buf;
        }
    } catch (const TFromStringException& e) {
        return std::string("!") + e.what();
    }
}

TEST(FromStringDouble, AcceptsOnlyOneWholeNumber) {
    const struct {
        std::string Text;
        std::string Expected;
    } cases[] = {
        {" 1.5", "1.5"},
        {"1.5 ", "!cannot parse float(1.5 )"},
        {"", "0"},
        {" ", "!cannot parse float( )"},
        {"+", "!cannot parse float(+)"},
        {"-", "!cannot parse float(-)"},
        {"-0", "-0"},
        {".5", "0.5"},
        {"5.", "5"},
        {"+.5e-1", "0.050000000000000003"},
        {"1e400", "inf"},
        {"-1e400", "-inf"},
        {"1e-400", "0"},
        {"0x10", "!cannot parse float(0x10)"},
        {"inf", "!cannot parse float(inf)"},
        {"nan", "!cannot parse float(nan)"},
        {"1,5", "!cannot parse float(1,5)"},
        {"1e", "!cannot parse float(1e)"},
        {"1e+", "!cannot parse float(1e+)"},
        {"- 5", "!cannot parse float(- 5)"},
        // A NUL ends the number; the message repeats the text, NUL and all, so what() ends there.
        {std::string("1\0"
                     "2",
                     3),
         "!cannot parse float(1"},
        {"123456789012345678901234567890", "1.2345678901234568e+29"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Parse<double>(c.Text), c.Expected) << c.Text;
    }
}

TEST(FromStringFloat, RoundsTheDoubleToAFloat) {
    EXPECT_EQ(Parse<float>("1e39"), "inf");
    EXPECT_EQ(Parse<float>("-1e39"), "-inf");
    EXPECT_EQ(FromString<float>("0.1", 3), float(0.1));
    EXPECT_EQ(FromString<float>("3.4028235e38", 12), std::numeric_limits<float>::max());
    EXPECT_EQ(Parse<float>("1.5x"), "!cannot parse float(1.5x)");
}

TEST(FromStringLongDouble, TakesWhatScanfTakesInTheFirst256Bytes) {
    EXPECT_EQ(Parse<long double>(" 2.5"), "2.5");
    EXPECT_EQ(Parse<long double>("2.5 "), "!cannot parse float(2.5 )");
    EXPECT_EQ(Parse<long double>(""), "!cannot parse float()");
    EXPECT_EQ(Parse<long double>("   "), "!cannot parse float(   )");
    EXPECT_EQ(Parse<long double>("0x1p3"), "8");
    EXPECT_EQ(Parse<long double>("inf"), "inf");
    EXPECT_EQ(Parse<long double>(std::string("7\0junk", 6)), "7");  // a NUL ends the scan
    // The 'x' lies beyond the 256 bytes that are looked at.
    const std::string digits(256, '1');
    EXPECT_EQ(FromString<long double>((digits + "x").data(), 257),
              FromString<long double>(digits.data(), 256));
    // A failure quotes at most the 256 bytes that were looked at.
    const std::string junk(300, 'z');
    EXPECT_EQ(Parse<long double>(junk), "!cannot parse float(" + junk.substr(0, 256) + ")");
    EXPECT_EQ(FromStringAlias<long double>("1.25", 4), 1.25L);
}

// "1", "0" and the words or their prefixes count, in any ASCII case; "o", a prefix of both
// "on" and "off", is no boolean.
TEST(FromStringBool, AcceptsWordsAndTheirPrefixes) {
    const struct {
        std::string Text;
        std::string Expected;
    } cases[] = {
        {"1", "true"},
        {"TRUE", "true"},
        {"Yes", "true"},
        {"da", "true"},
        {"On", "true"},
        {"t", "true"},
        {"y", "true"},
        {"0", "false"},
        {"False", "false"},
        {"no", "false"},
        {"NET", "false"},
        {"off", "false"},
        {"of", "false"},
        {"n", "false"},
        {"fal", "false"},
        {"o", "!cannot parse bool(o)"},
        {"O", "!cannot parse bool(O)"},
        {"", "!cannot parse bool()"},
        {"2", "!cannot parse bool(2)"},
        {"10", "!cannot parse bool(10)"},
        {"yes please", "!cannot parse bool(yes please)"},
        {"truex", "!cannot parse bool(truex)"},
        {" yes", "!cannot parse bool( yes)"},
        {std::string("yes\0x", 5), "true"},
        {std::string("ye\0x", 4), "!cannot parse bool(ye"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Parse<bool>(c.Text), c.Expected) << c.Text;
    }
}

// An empty text is not read, so it may come as a null pointer.
TEST(FromStringEmpty, EmptyTextNeedsNoData) {
    const char* none = nullptr;
    EXPECT_EQ(FromString<double>(none, 0), 0.0);
    EXPECT_EQ(FromString<float>(none, 0), 0.0f);
    auto message = [](auto parse) -> std::string {
        try {
            parse();
            return "no exception";
        } catch (const TFromStringException& e) {
            return e.what();
        }
    };
    EXPECT_EQ(message([&] { (void)FromString<long double>(none, 0); }), "cannot parse float()");
    EXPECT_EQ(message([&] { (void)FromString<bool>(none, 0); }), "cannot parse bool()");
    EXPECT_EQ(FromString<Stroka>(none, 0).size(), 0u);
    EXPECT_EQ(FromString<TUtf16String>(static_cast<const wchar16*>(nullptr), 0).size(), 0u);
}

TEST(FromStringText, CopiesExactlyTheGivenUnits) {
    const Stroka s = FromString<Stroka>("abc\0def", 7);
    EXPECT_EQ(s.size(), 7u);
    EXPECT_EQ(std::string(s.data(), s.size()), std::string("abc\0def", 7));
    EXPECT_EQ(FromString<Stroka>("xyz", 0).size(), 0u);
    const wchar16 units[] = {u'a', 0x0431, u'c'};
    const TUtf16String w = FromString<TUtf16String>(units, 2);
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w.data()[1], 0x0431);
    EXPECT_EQ(w.data()[2], 0) << "terminated after the copied units";
}

}  // namespace
