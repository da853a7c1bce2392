// Randomised comparison of our floating-point text conversions with the C library's, which
// glibc performs exactly: FloatToString must print what "%.10g" (double; a subnormal the
// shortest text that reads back when that is shorter) and "%g" (float) print, and StrToD must
// read what strtod reads, bit for bit.
#include "util/convert/decimal_scanner.h"
#include "util/convert/float_to_string.h"
#include "util/convert/from_string.h"

#include <gtest/gtest.h>

#include <bit>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

std::string Ours(double v) {
    char buf[64];
    return std::string(buf, FloatToString(v, buf, sizeof(buf)));
}

std::string Ours(float v) {
    char buf[64];
    return std::string(buf, FloatToString(v, buf, sizeof(buf)));
}

std::string Printf(const char* format, double v) {
    char buf[64];
    const int n = std::snprintf(buf, sizeof(buf), format, v);
    return std::string(buf, size_t(n));
}

uint64_t Bits(double v) {
    return std::bit_cast<uint64_t>(v);
}

// Reads text with both converters; returns false (after recording a failure) on a difference.
bool ReadsLikeStrtod(const std::string& text) {
    char* libStop = nullptr;
    const double expected = std::strtod(text.c_str(), &libStop);
    char* ourStop = nullptr;
    errno = 0;
    const double got = StrToD(text.data(), text.data() + text.size(), &ourStop);
    const int ourErrno = errno;
    EXPECT_EQ(Bits(got), Bits(expected)) << text << ": " << got << " vs " << expected;
    EXPECT_EQ(ourStop - text.data(), libStop - text.c_str()) << text;
    if ((std::isinf(expected) || expected == 0.0) &&
        std::strspn(text.c_str(), " +-0.") < std::strcspn(text.c_str(), "eE")) {
        // A non-zero text that overflows or vanishes reports it.
        EXPECT_EQ(ourErrno, ERANGE) << text;
    }
    return Bits(got) == Bits(expected) && ourStop - text.data() == libStop - text.c_str();
}

// The text a double must print as: the shortest of at most 10 digits that reads back, else
// the value rounded to 10 digits. For a normal double a text of 10 digits or fewer that reads
// back lies within half an ulp, far inside the rounding of the tenth digit, so it is what
// "%.10g" prints; only a subnormal, with fewer bits, can read back from a shorter text.
std::string ExpectedDouble(double v) {
    if (std::fpclassify(v) == FP_SUBNORMAL) {
        for (const char* format :
             {"%.1g", "%.2g", "%.3g", "%.4g", "%.5g", "%.6g", "%.7g", "%.8g", "%.9g"}) {
            const std::string text = Printf(format, v);
            if (std::strtod(text.c_str(), nullptr) == v) {
                return text;
            }
        }
    }
    return Printf("%.10g", v);
}

// One double: its printed text, and the read-back of that text and of its exact shortest form.
bool CheckDouble(double v) {
    const std::string ours = Ours(v);
    const std::string expected = ExpectedDouble(v);
    EXPECT_EQ(ours, expected) << Printf("%a", v);
    if (ours != expected) {
        return false;
    }
    if (!std::isfinite(v)) {
        return true;
    }
    const std::string full = Printf("%.17g", v);
    char* stop = nullptr;
    const double back = StrToD(full.c_str(), &stop);
    EXPECT_EQ(Bits(back), Bits(v)) << full;
    return Bits(back) == Bits(v) && ReadsLikeStrtod(ours);
}

bool CheckFloat(float v) {
    const std::string ours = Ours(v);
    const std::string expected = Printf("%g", double(v));
    EXPECT_EQ(ours, expected) << Printf("%a", double(v));
    if (ours != expected || !std::isfinite(v)) {
        return ours == expected;
    }
    const std::string full = Printf("%.9g", double(v));
    const float back = FromString<float>(full.data(), full.size());
    EXPECT_EQ(std::bit_cast<uint32_t>(back), std::bit_cast<uint32_t>(v)) << full;
    return std::bit_cast<uint32_t>(back) == std::bit_cast<uint32_t>(v);
}

// Random bit patterns cover every exponent, subnormals and NaNs evenly.
void RandomDoubles(uint64_t seed, long count) {
    std::mt19937_64 rng(seed);
    for (long i = 0; i < count; ++i) {
        if (!CheckDouble(std::bit_cast<double>(rng()))) {
            return;  // one reported difference is enough to go on
        }
    }
}

void RandomFloats(uint64_t seed, long count) {
    std::mt19937_64 rng(seed);
    for (long i = 0; i < count; ++i) {
        const uint64_t r = rng();
        if (!CheckFloat(std::bit_cast<float>(uint32_t(r))) ||
            !CheckFloat(std::bit_cast<float>(uint32_t(r >> 32)))) {
            return;
        }
    }
}

// Random decimal texts of up to 40 significant digits with exponents across (and beyond) the
// double range, so that the exact comparison decides between close neighbours.
void RandomTexts(uint64_t seed, long count) {
    std::mt19937_64 rng(seed);
    for (long i = 0; i < count; ++i) {
        const int digits = 1 + int(rng() % 40);
        std::string text;
        if (rng() & 1) {
            text += '-';
        }
        for (int d = 0; d < digits; ++d) {
            text += char('0' + rng() % 10);
        }
        if (digits > 1 && rng() % 3 == 0) {
            text.insert(text.size() - size_t(rng() % digits), ".");
        }
        text += 'e' + std::to_string(int(rng() % 700) - 360);
        if (!ReadsLikeStrtod(text)) {
            return;
        }
    }
}

long Count(long normal) {
    if (const char* scale = std::getenv("LEMMIX_ORACLE_SCALE")) {
        return normal * std::atol(scale);
    }
    return normal;
}

// Four shards so that the suite's parallel run spreads the work.
TEST(FloatOracle, RandomDoublesPrintAndReadBackShard0) {
    RandomDoubles(1, Count(150000));
}
TEST(FloatOracle, RandomDoublesPrintAndReadBackShard1) {
    RandomDoubles(2, Count(150000));
}
TEST(FloatOracle, RandomDoublesPrintAndReadBackShard2) {
    RandomDoubles(3, Count(150000));
}
TEST(FloatOracle, RandomDoublesPrintAndReadBackShard3) {
    RandomDoubles(4, Count(150000));
}
TEST(FloatOracle, RandomFloatsPrintAndReadBack) {
    RandomFloats(5, Count(200000));  // two floats per draw
}
TEST(FloatOracle, RandomLongDecimalTextsReadLikeStrtod) {
    RandomTexts(6, Count(100000));
}

// Random doubles drawn uniformly over [0, 1) and over small integers hit the fixed layout and
// the exact short paths far more often than random bit patterns do.
TEST(FloatOracle, EverydayMagnitudes) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (long i = 0; i < Count(50000); ++i) {
        const double a = unit(rng);
        const double b = double(int64_t(rng() % 100000000000)) / 1000.0;
        if (!CheckDouble(a) || !CheckDouble(b) || !CheckFloat(float(a * 1000.0))) {
            return;
        }
    }
}

TEST(FloatOracle, HardValues) {
    const double hard[] = {
        0.0,
        -0.0,
        std::numeric_limits<double>::denorm_min(),  // 2^-1074
        -std::numeric_limits<double>::denorm_min(),
        2 * std::numeric_limits<double>::denorm_min(),
        std::nextafter(DBL_MIN, 0.0),  // largest subnormal
        DBL_MIN,
        std::nextafter(DBL_MIN, 1.0),
        DBL_MAX,
        -DBL_MAX,
        std::nextafter(DBL_MAX, 0.0),
        DBL_EPSILON,
        1.0,
        std::nextafter(1.0, 2.0),
        std::nextafter(1.0, 0.0),
        0.1,
        1.0 / 3,
        2.0 / 3,
        5e-324,
        1e23,
        9007199254740993.0,
        12345678905.0,  // ties at the tenth digit
        12345678915.0,
        1234567.5,
        999999999.95,
        9999999999.5,  // rounds up to a new decade
        0.00009999999999,
        1e-5,
        1e10,
        1e9,
        std::ldexp(1.0, 1023),
        std::ldexp(1.0, -1022),
        std::ldexp(1.0, -1023),
        std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN(),
        -std::numeric_limits<double>::quiet_NaN(),
    };
    for (double v : hard) {
        CheckDouble(v);
    }
    // Every power of two and of ten across the range, and their neighbours.
    for (int e = -1074; e <= 1023; ++e) {
        const double p = std::ldexp(1.0, e);
        CheckDouble(p);
        CheckDouble(std::nextafter(p, 0.0));
        CheckDouble(std::nextafter(p, INFINITY));
    }
    for (int e = -323; e <= 308; ++e) {
        const std::string text = "1e" + std::to_string(e);
        ReadsLikeStrtod(text);
        CheckDouble(std::strtod(text.c_str(), nullptr));
    }
    const float hardFloats[] = {0.0f,         -0.0f,      FLT_MIN,    FLT_MAX,
                                FLT_TRUE_MIN, 1234565.0f, 1234575.0f, 3.14159274f,
                                100000.0f,    1000000.0f, 0.1f};
    for (float v : hardFloats) {
        CheckFloat(v);
    }
    // Powers of two end in ...5 and so give exact ties at the last kept digit.
    for (int e = -149; e <= 127; ++e) {
        CheckFloat(std::ldexp(1.0f, e));
        CheckFloat(3 * std::ldexp(1.0f, e - 2));
    }
}

// Texts exactly halfway between two neighbouring doubles, written out in full, and the same
// texts nudged by one unit in their 60th digit: ties go to the even neighbour, anything off
// the tie to the nearer one.
TEST(FloatOracle, ExactHalfwayCasesWrittenInFull) {
    std::mt19937_64 rng(8);
    for (int i = 0; i < 3000; ++i) {
        double v = std::bit_cast<double>(rng() >> 1);
        if (!std::isfinite(v) || v == DBL_MAX) {
            continue;
        }
        if (i % 3 == 0) {
            v = std::bit_cast<double>(rng() % (uint64_t(1) << 52));  // subnormal
        }
        const long double mid = ((long double)v + (long double)std::nextafter(v, INFINITY)) / 2;
        char buf[1200];
        std::snprintf(buf, sizeof(buf), "%.1100Le", mid);  // exact: the midpoint has 54 bits
        std::string text(buf);
        // Drop the zeros after the last significant digit of the mantissa.
        const size_t e = text.find('e');
        size_t last = e;
        while (text[last - 1] == '0') {
            --last;
        }
        text.erase(last, e - last);
        if (!ReadsLikeStrtod(text)) {
            return;
        }
        if (text.find('.') == std::string::npos) {
            continue;
        }
        std::string above = text;
        above.insert(above.find('e'), "00000000000000000001");
        if (!ReadsLikeStrtod(above)) {
            return;
        }
    }
}

// The exact decimal text of a long double, without the zeros after its last digit.
std::string ExactText(long double v) {
    char buf[1200];
    std::snprintf(buf, sizeof(buf), "%.1100Le", v);
    std::string text(buf);
    const size_t e = text.find('e');
    size_t last = e;
    while (text[last - 1] == '0') {
        --last;
    }
    if (text[last - 1] == '.') {
        --last;
    }
    text.erase(last, e - last);
    return text;
}

// The text of a decimal mantissa moved by one unit in a digit 40 places past its last one:
// closer to the original than any estimate can tell apart.
std::string Nudged(const std::string& text, bool up) {
    const size_t e = text.find('e');
    std::string mantissa = text.substr(0, e);
    if (mantissa.find('.') == std::string::npos) {
        mantissa += '.';
    }
    if (up) {
        mantissa += std::string(39, '0') + "1";
    } else {
        mantissa.back() = char(mantissa.back() - 1);  // an exact binary fraction ends in 5
        mantissa += std::string(40, '9');
    }
    return mantissa + text.substr(e);
}

// The point halfway between lo and the next double hi, written out in full; the points 1/1024
// of the gap to either side of it (long double holds them exactly: 53 bits of lo and 11 more);
// and the points a hair to either side of it.
bool MidpointAndNeighboursReadLikeStrtod(long double lo, long double hi) {
    const long double mid = (lo + hi) / 2;
    const long double nudge = (hi - lo) / 1024;
    const std::string text = ExactText(mid);
    return ReadsLikeStrtod(text) && ReadsLikeStrtod(ExactText(mid - nudge)) &&
           ReadsLikeStrtod(ExactText(mid + nudge)) && ReadsLikeStrtod(Nudged(text, false)) &&
           ReadsLikeStrtod(Nudged(text, true));
}

// Where the gap between doubles changes: at every power of two the gap below is half the gap
// above, and the edges of the range round to zero (below half the smallest subnormal) or to
// infinity (from halfway past the largest double).
TEST(FloatOracle, HalfwayCasesAtTheEdgesOfEachBinade) {
    for (int e = -1073; e <= 1023; ++e) {
        const double p = std::ldexp(1.0, e);
        if (!MidpointAndNeighboursReadLikeStrtod(std::nextafter(p, 0.0), p) ||
            !MidpointAndNeighboursReadLikeStrtod(p, std::nextafter(p, INFINITY))) {
            return;
        }
    }
    MidpointAndNeighboursReadLikeStrtod(0.0L, std::numeric_limits<double>::denorm_min());
    const long double max = DBL_MAX;
    MidpointAndNeighboursReadLikeStrtod(max, max + (max - std::nextafter(DBL_MAX, 0.0)));
    for (const std::string sign : {"", "-"}) {
        ReadsLikeStrtod(sign + ExactText(std::numeric_limits<double>::denorm_min() / 2.0L));
        ReadsLikeStrtod(sign + ExactText(max + (max - std::nextafter(DBL_MAX, 0.0)) / 2));
    }
}

TEST(FloatOracle, SpellingsThatAreNoNumber) {
    for (const char* text : {"inf", "-inf", "INF", "infinity", "nan", "NaN", "-nan", "nan(1)"}) {
        char* stop = nullptr;
        EXPECT_EQ(StrToD(text, &stop), 0.0) << text;
        EXPECT_EQ(stop, text) << text;
    }
}

// Behind the "long" label: LEMMIX_ORACLE_SCALE=50 ctest -L long runs fifty times these draws.
TEST(FloatOracle, LongRun) {
    if (!std::getenv("LEMMIX_ORACLE_SCALE")) {
        GTEST_SKIP() << "set LEMMIX_ORACLE_SCALE for the long run";
    }
    RandomDoubles(100, Count(200000));
    RandomFloats(101, Count(100000));
    RandomTexts(102, Count(50000));
}

}  // namespace
