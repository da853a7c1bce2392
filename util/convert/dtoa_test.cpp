#include "util/convert/dtoa.h"

#include "util/convert/decimal_scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

struct TDigits {
    std::string Text;
    int Point;
    int Sign;
};

TDigits Digits(double v, int mode, int ndigits) {
    NDtoa::TParserClosure closure;
    int point = 0;
    int sign = 0;
    char* end = nullptr;
    const char* s = NDtoa::DoubleToDigits(closure, v, mode, ndigits, &point, &sign, &end);
    EXPECT_EQ(end, s + std::strlen(s));
    return {s, point, sign};
}

TEST(DoubleToDigits, ModesAndSpecialValues) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct TCase {
        double Value;
        int Mode;
        int NDigits;
        const char* Text;
        int Point;
        int Sign;
    } cases[] = {
        {0.0, 0, 0, "0", 1, 0},
        {-0.0, 0, 0, "0", 1, 1},
        {0.0, 2, 5, "0", 1, 0},
        {inf, 0, 0, "inf", 9999, 0},
        {-inf, 2, 3, "inf", 9999, 1},
        {nan, 0, 0, "nan", 9999, 0},
        {-nan, 0, 0, "nan", 9999, 1},
        {0.1, 0, 0, "1", 0, 0},
        {0.1, 1, 0, "1", 0, 0},
        // The shortest digits lie exactly on the boundary to the next smaller double: mode 0
        // takes them (the mantissa is even), mode 1 never does.
        {61677584511189104.0, 0, 0, "616775845111891", 17, 0},
        {61677584511189104.0, 1, 0, "61677584511189104", 17, 0},
        {-1.5, 0, 0, "15", 1, 1},
        {1e23, 0, 0, "1", 24, 0},
        {5e-324, 0, 0, "5", -323, 0},
        {2.0 / 3, 2, 6, "666667", 0, 0},
        {2.0 / 3, 6, 6, "666667", 0, 0},  // the same without the floating-point shortcut
        {2.0 / 3, 2, 0, "7", 0, 0},       // fewer than one digit counts as one
        {1.0 / 3, 4, 10, "3333333333", 0, 0},
        {0.5, 4, 10, "5", 0, 0},  // stops early: trailing zeros are not returned
        {1234.5678, 3, 2, "123457", 4, 0},
        {1234.5678, 7, 2, "123457", 4, 0},
        {1234.5678, 5, 2, "123457", 4, 0},
        {0.4, 3, 0, "", 0, 0},  // rounds to no digit: point at -ndigits
        {0.6, 3, 0, "1", 1, 0},
        {40.0, 3, -1, "4", 2, 0},
        {0.001, 3, 1, "", -1, 0},
        {5.0, 3, -2000, "", 2000, 0},  // far left of the value: nothing, the point stays exact
        {0.5, 7, -2000, "", 2000, 0},
        {123.0, 5, -3000, "", 3000, 0},
        {9.5, 2, 1, "1", 2, 0},  // exact tie, rounds to even, carrying a decade
        {8.5, 2, 1, "8", 1, 0},
        {12345678905.0, 4, 10, "123456789", 11, 0},
        {0.1, 2, 20, "10000000000000000555", 0, 0},
        {0.1, 3, 30, "100000000000000005551115123126", 0, 0},
        {123.0, 42, 3, "123", 3, 0},  // a mode out of range counts as 0
    };
    for (const TCase& c : cases) {
        const TDigits d = Digits(c.Value, c.Mode, c.NDigits);
        EXPECT_EQ(d.Text, c.Text) << c.Value << " mode " << c.Mode << "/" << c.NDigits;
        EXPECT_EQ(d.Point, c.Point) << c.Value << " mode " << c.Mode << "/" << c.NDigits;
        EXPECT_EQ(d.Sign, c.Sign) << c.Value << " mode " << c.Mode << "/" << c.NDigits;
    }
}

TEST(DoubleToDigits, ExactExpansionOfTheSmallestSubnormal) {
    // 2^-1074 has 751 significant digits; asking for more returns them all, exactly.
    const TDigits d = Digits(5e-324, 2, 1000);
    EXPECT_EQ(d.Text.size(), 751u);
    EXPECT_EQ(d.Text.substr(0, 20), "49406564584124654417");
    EXPECT_EQ(d.Text.substr(d.Text.size() - 6), "265625");
    EXPECT_EQ(d.Point, -323);
}

// Digits and point position of a plain decimal text such as "-0.00120" or "123.5".
TDigits FromDecimal(const std::string& text) {
    std::string all;
    int intLen = 0;
    bool afterPoint = false;
    for (char ch : text) {
        if (ch == '.') {
            afterPoint = true;
        } else if (ch >= '0' && ch <= '9') {
            all += ch;
            intLen += afterPoint ? 0 : 1;
        }
    }
    const size_t lead = std::min(all.find_first_not_of('0'), all.size());
    std::string digits = all.substr(lead);
    while (!digits.empty() && digits.back() == '0') {
        digits.pop_back();
    }
    return {digits, intLen - int(lead), text[0] == '-'};
}

// The other modes against the C library: mode 0 against the shortest round-trip text,
// modes 2 and 6 against "%.*e" and modes 3 and 7 against "%.*f", over random values and
// digit counts.
TEST(DoubleToDigits, ModesAgreeWithTheCLibrary) {
    std::mt19937_64 rng(11);
    for (int i = 0; i < 20000; ++i) {
        const double v = double(int64_t(rng() >> 11) - (int64_t(1) << 52)) *
                         std::pow(10.0, int(rng() % 60) - 45);
        char buf[128];
        const auto r = std::to_chars(buf, buf + sizeof(buf), v, std::chars_format::scientific);
        const std::string shortest(buf, r.ptr);
        TDigits expected = FromDecimal(shortest.substr(0, shortest.find('e')));
        expected.Point += std::atoi(shortest.c_str() + shortest.find('e') + 1);
        const TDigits got = Digits(v, 0, 0);
        ASSERT_EQ(got.Text, expected.Text) << shortest;
        ASSERT_EQ(got.Point, expected.Point) << shortest;

        const int significant = 1 + int(rng() % 25);
        std::snprintf(buf, sizeof(buf), "%.*e", significant - 1, v);
        const std::string sci(buf);
        TDigits exp2 = FromDecimal(sci.substr(0, sci.find('e')));
        exp2.Point += std::atoi(sci.c_str() + sci.find('e') + 1);
        for (int mode : {2, 6}) {
            const TDigits d = Digits(v, mode, significant);
            ASSERT_EQ(d.Text, exp2.Text) << sci << " mode " << mode;
            ASSERT_EQ(d.Point, exp2.Point) << sci << " mode " << mode;
        }

        const int after = int(rng() % 25);
        std::snprintf(buf, sizeof(buf), "%.*f", after, v);
        TDigits exp3 = FromDecimal(buf);
        if (exp3.Text.empty()) {
            exp3.Point = -after;  // rounds to nothing: no digit, point at -ndigits
        }
        for (int mode : {3, 7}) {
            const TDigits d = Digits(v, mode, after);
            ASSERT_EQ(d.Text, exp3.Text) << buf << " mode " << mode;
            ASSERT_EQ(d.Point, exp3.Point) << buf << " mode " << mode;
            ASSERT_EQ(d.Sign, v < 0) << buf;
        }

        // Modes 4 and 5 (8 and 9 without the shortcut) give the shortest digits when they fit
        // in the count, else the rounded digits of modes 2 and 3.
        const int shortLen = int(expected.Text.size());
        const TDigits& exp4 = shortLen <= significant ? expected : exp2;
        for (int mode : {4, 8}) {
            const TDigits d = Digits(v, mode, significant);
            ASSERT_EQ(d.Text, exp4.Text) << shortest << " mode " << mode << "/" << significant;
            ASSERT_EQ(d.Point, exp4.Point) << shortest << " mode " << mode << "/" << significant;
        }
        const TDigits& exp5 = expected.Point - shortLen >= -after ? expected : exp3;
        for (int mode : {5, 9}) {
            const TDigits d = Digits(v, mode, after);
            ASSERT_EQ(d.Text, exp5.Text) << shortest << " mode " << mode << "/" << after;
            ASSERT_EQ(d.Point, exp5.Point) << shortest << " mode " << mode << "/" << after;
        }

        // Mode 1 never settles on a boundary point, so it may need more digits than mode 0,
        // but they still read back as the value.
        const TDigits d1 = Digits(v, 1, 0);
        const std::string back = (v < 0 ? "-0." : "0.") + d1.Text + "e" + std::to_string(d1.Point);
        ASSERT_EQ(std::strtod(back.c_str(), nullptr), v) << shortest << " mode 1: " << back;
    }
}

// Digit strings live in the closure until it goes, so several conversions can share one.
TEST(DoubleToDigits, DigitsStayValidWhileTheClosureLives) {
    NDtoa::TParserClosure closure;
    int point = 0;
    int sign = 0;
    const char* first = NDtoa::DoubleToDigits(closure, 0.125, 0, 0, &point, &sign, nullptr);
    const char* second = NDtoa::DoubleToDigits(closure, 1e300 / 7, 2, 17, &point, &sign, nullptr);
    const char* third = NDtoa::DoubleToDigits(closure, -0.0, 0, 0, &point, &sign, nullptr);
    EXPECT_STREQ(first, "125");
    EXPECT_STREQ(second, "14285714285714286");
    EXPECT_STREQ(third, "0");
    EXPECT_EQ(sign, 1);
}

double Core(const std::string& text, ptrdiff_t* stopAt = nullptr, int* err = nullptr) {
    NDtoa::TParserClosure closure(text.data(), text.data() + text.size());
    char* stop = nullptr;
    errno = 0;
    const double v = NDtoa::StrToDCore(closure, text.data(), text.data() + text.size(), &stop);
    if (err) {
        *err = errno;
    }
    if (stopAt) {
        *stopAt = stop - text.data();
    }
    return v;
}

TEST(StrToDCore, GrammarStopAndRange) {
    const double inf = std::numeric_limits<double>::infinity();
    struct TCase {
        std::string Text;
        double Value;
        ptrdiff_t Stop;
        int Errno;
    } cases[] = {
        {"", 0.0, 0, 0},
        {" \t\n1.5", 1.5, 6, 0},
        {"+1.5x", 1.5, 4, 0},
        {"-.5", -0.5, 3, 0},
        {"5.", 5.0, 2, 0},
        {".", 0.0, 0, 0},
        {"-", 0.0, 0, 0},
        {"- 1", 0.0, 0, 0},
        {"1e", 1.0, 1, 0},
        {"1e+", 1.0, 1, 0},
        {"1E-2", 0.01, 4, 0},
        {"0x10", 0.0, 1, 0},
        {"inf", 0.0, 0, 0},
        {std::string("12\0"
                     "5",
                     4),
         12.0, 2, 0},
        {"1e400", inf, 5, ERANGE},
        {"-1e400", -inf, 6, ERANGE},
        {"1e-400", 0.0, 6, ERANGE},
        {"1e99999999999", inf, 13, ERANGE},
        {"0e99999", 0.0, 7, 0},
        // Either side of the midpoint between the largest double and 2^1024.
        {"1.7976931348623158080e308", inf, 25, ERANGE},
        {"1.7976931348623158079e308", 1.7976931348623157e308, 25, 0},
        // Either side of half the smallest subnormal.
        {"2.4703282292062328e-324", 5e-324, 23, 0},
        {"2.4703282292062327e-324", 0.0, 23, ERANGE},
        {"2.2250738585072011e-308", std::strtod("2.2250738585072011e-308", nullptr), 23, 0},
        {"123456789012345678901234567890", 1.2345678901234568e29, 30, 0},
    };
    for (const TCase& c : cases) {
        ptrdiff_t stop = -1;
        int err = 0;
        const double v = Core(c.Text, &stop, &err);
        EXPECT_EQ(std::bit_cast<uint64_t>(v), std::bit_cast<uint64_t>(c.Value)) << c.Text;
        EXPECT_EQ(stop, c.Stop) << c.Text;
        EXPECT_EQ(err, c.Errno) << c.Text;
    }
    EXPECT_TRUE(std::signbit(Core("-0")));
    EXPECT_TRUE(std::signbit(Core("-1e-400")));
}

// Just below the smallest normal double the gap between doubles is the subnormal one: text a
// hair below the midpoint between the largest subnormal and the smallest normal must not be
// settled by the extended-precision estimate, whose last bits mean something else there.
TEST(StrToDCore, MidpointBelowTheSmallestNormal) {
    const double below = std::nextafter(std::numeric_limits<double>::min(), 0.0);
    const long double mid = ((long double)below + std::numeric_limits<double>::min()) / 2;
    char buf[1200];
    std::snprintf(buf, sizeof(buf), "%.1100Le", mid);
    std::string text(buf);
    const size_t last = text.find_last_not_of('0', text.find('e') - 1) + 1;
    text.erase(last, text.find('e') - last);  // the zeros after the last digit
    const size_t e = text.find('e');
    std::string hairBelow = text;
    hairBelow[e - 1] = char(hairBelow[e - 1] - 1);  // the exact midpoint ends in 5
    hairBelow.insert(e, std::string(40, '9'));
    std::string hairAbove = text;
    hairAbove.insert(e, std::string(39, '0') + "1");
    const struct {
        std::string Text;
        double Value;
    } cases[] = {
        {hairBelow, below},
        {text, std::numeric_limits<double>::min()},  // a tie: the even neighbour
        {hairAbove, std::numeric_limits<double>::min()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::bit_cast<uint64_t>(Core(c.Text)), std::bit_cast<uint64_t>(c.Value))
            << c.Text;
        char* stop = nullptr;
        EXPECT_EQ(std::bit_cast<uint64_t>(StrToD(c.Text.c_str(), &stop)),
                  std::bit_cast<uint64_t>(c.Value))
            << c.Text;
    }
}

// Far more digits than fit in one scratch buffer: the big integers grow onto the heap and the
// result is still the correctly rounded one (the halfway text below must round up, as the
// final 1 lies beyond the tie; without it, the tie goes to the even neighbour).
TEST(StrToDCore, TextLongerThanTheScratchBufferConverts) {
    const std::string tie = "9007199254740993";  // 2^53 + 1: halfway between two doubles
    const std::string zeros(100000, '0');
    for (bool nudge : {false, true}) {
        const std::string text = tie + "." + zeros + (nudge ? "1" : "");
        ptrdiff_t stop = 0;
        const double v = Core(text, &stop);
        EXPECT_EQ(v, nudge ? 9007199254740994.0 : 9007199254740992.0);
        EXPECT_EQ(stop, ptrdiff_t(text.size()));
        char* end = nullptr;
        EXPECT_EQ(StrToD(text.c_str(), &end), v);
    }
    // Just above half the smallest subnormal, written with 59000 digits.
    std::string small = "0." + std::string(19000, '0') + "247032822920623272088284396434110686";
    small += std::string(40000, '7') + "e18677";
    EXPECT_EQ(Core(small), 5e-324);
}

// Threads that all need the same powers of five at once share one cache; every result must
// still be exact.
TEST(StrToDCore, ConcurrentConversionsShareThePowersOfFive) {
    std::vector<std::string> texts;
    for (int e = -340; e <= 300; e += 7) {
        texts.push_back("12345678901234567890123e" + std::to_string(e));
    }
    std::vector<double> expected;
    for (const std::string& t : texts) {
        expected.push_back(std::strtod(t.c_str(), nullptr));
    }
    std::vector<int> failures(8, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round) {
                for (size_t i = 0; i < texts.size(); ++i) {
                    const size_t j = (i * 7 + size_t(t)) % texts.size();
                    if (Core(texts[j]) != expected[j]) {
                        ++failures[t];
                    }
                }
            }
        });
    }
    for (std::thread& th : threads) {
        th.join();
    }
    for (int f : failures) {
        EXPECT_EQ(f, 0);
    }
}

// Code that runs at exit after the cache's first use (registered before it, so run after any
// static destructor of the cache) must still convert: the cached powers are never freed.
TEST(StrToDCore, ConvertsFromCodeThatRunsAtExit) {
    EXPECT_EXIT(
        {
            std::atexit([] {
                const std::string text = "2.2250738585072011e-308";
                const bool same = Core(text) == std::strtod(text.c_str(), nullptr);
                std::_Exit(same ? 0 : 1);
            });
            // Halfway to the smallest subnormal: decided by exact arithmetic with powers of five.
            (void)Core("2.4703282292062328e-324");
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
