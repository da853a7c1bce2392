// Correctly rounded decimal-to-double conversion: an exact shortcut for short numbers, a close
// estimate in extended precision, then big-integer comparisons of the decimal value with the
// candidate double and half its gap until the candidate is the nearest (ties to even).
#include "util/convert/dtoa.h"

#include "util/convert/decimal_exponent.h"
#include "util/convert/dtoa_bignum.h"
#include "util/convert/dtoa_powers.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>

namespace NDtoa {

namespace {

constexpr uint64_t FracMask = (uint64_t(1) << 52) - 1;

// The number as found in the text: value = N * 10^Exp10, N the integer of the Nd digits that
// start at First (a '.' among them is skipped), without leading or trailing zeros.
struct TDecimalText {
    bool Negative = false;
    const char* First = nullptr;
    int Nd = 0;
    int64_t Exp10 = 0;
};

bool IsDigit(char ch) noexcept {
    return ch >= '0' && ch <= '9';
}

// Reads the number at the start of [begin, end); returns the position after it, or null when
// there is none.
const char* Scan(const char* begin, const char* end, TDecimalText& out) {
    const char* s = begin;
    auto more = [end](const char* p) { return p != end && *p != 0; };
    while (more(s) && (*s == ' ' || (*s >= 9 && *s <= 13))) {
        ++s;
    }
    if (more(s) && (*s == '+' || *s == '-')) {
        out.Negative = *s == '-';
        ++s;
    }
    bool anyDigit = false;
    int64_t fracDigits = 0;
    int64_t nd = 0;
    const char* last = nullptr;  // last non-zero significant digit
    int64_t ndToLast = 0;
    auto take = [&](const char* p) {
        anyDigit = true;
        if (out.First || *p != '0') {
            if (!out.First) {
                out.First = p;
            }
            ++nd;
            if (*p != '0') {
                last = p;
                ndToLast = nd;
            }
        }
    };
    for (; more(s) && IsDigit(*s); ++s) {
        take(s);
    }
    if (more(s) && *s == '.') {
        ++s;
        for (; more(s) && IsDigit(*s); ++s) {
            take(s);
            ++fracDigits;
        }
    }
    if (!anyDigit) {
        return nullptr;
    }
    int64_t exp = 0;
    s = NDecimalText::ScanExponent(s, end, exp);
    if (last) {
        // Trailing zeros of the digits only scale the value.
        out.Nd = int(std::min<int64_t>(ndToLast, std::numeric_limits<int>::max()));
        out.Exp10 = exp - fracDigits + (nd - ndToLast);
    }
    return s;
}

// The integer of the nd digits from first, skipping a '.', nine digits at a time.
TBigint* DigitsToBigint(TParserClosure& c, const char* first, int nd) {
    TBigint* b = FromUint64(c, 0);
    uint32_t chunk = 0;
    uint32_t scale = 1;
    for (const char* p = first; nd > 0; ++p) {
        if (*p == '.') {
            continue;
        }
        chunk = chunk * 10 + uint32_t(*p - '0');
        scale *= 10;
        --nd;
        if (scale == 1000000000 || nd == 0) {
            b = MultAdd(c, b, scale, chunk);
            chunk = 0;
            scale = 1;
        }
    }
    return b;
}

// The leading (at most 19) digits as an integer; *used receives how many were taken.
uint64_t LeadingDigits(const char* first, int nd, int max, int* used) {
    uint64_t v = 0;
    int n = 0;
    for (const char* p = first; n < nd && n < max; ++p) {
        if (*p != '.') {
            v = v * 10 + uint64_t(*p - '0');
            ++n;
        }
    }
    *used = n;
    return v;
}

// The estimate is off by at most about a dozen units in the last of its 64 mantissa bits (the
// powers of ten and the final product), and by up to 37 more, upwards, when digits beyond the
// 19th were left out. Rounding it to a normal double is exact unless the 11 bits that rounding
// drops lie that close to the midpoint between two doubles; the margins leave room to spare.
bool Ambiguous(long double estimate, bool truncated) noexcept {
    static_assert(std::numeric_limits<long double>::digits == 64, "x87 extended precision");
    const int margin = truncated ? 128 : 32;
    uint64_t mantissa = 0;
    std::memcpy(&mantissa, &estimate, sizeof(mantissa));
    const int dropped = int(mantissa & 0x7ff);
    return dropped > 0x400 - margin && dropped < 0x400 + margin;
}

double Next(double v) {
    return std::bit_cast<double>(std::bit_cast<uint64_t>(v) + 1);
}

double Prev(double v) {
    return std::bit_cast<double>(std::bit_cast<uint64_t>(v) - 1);
}

// Moves the candidate rv to the double nearest N * 10^exp10, by exact comparison with the
// decimal value. Sets range to true when the result overflows or underflows to zero.
double Correct(TParserClosure& c, const TDecimalText& t, double rv, bool& range) {
    const int exp10 = int(t.Exp10);
    TBigint* bd0 = DigitsToBigint(c, t.First, t.Nd);
    if (exp10 > 0) {
        bd0 = Pow5Mult(c, bd0, exp10);
    }
    // With a negative exponent the fives go to the other side of every comparison.
    TBigint* p5 = exp10 < 0 ? Pow52(c, -exp10, 0) : nullptr;
    for (;;) {
        const uint64_t bits = std::bit_cast<uint64_t>(rv);
        const int expField = int(bits >> 52);
        const uint64_t frac = bits & FracMask;
        const uint64_t f = expField ? frac | (uint64_t(1) << 52) : frac;
        const int k = expField ? expField - 1075 : -1074;
        // Decimal side: bd0 * 2^exp10; binary side: f * p5 * 2^k; half a gap: p5 * 2^(k-1).
        const int low = std::min(exp10, k - 1);
        TBigint* bd = LShift(c, bd0, exp10 - low);
        TBigint* bb = FromUint64(c, f);
        if (p5) {
            bb = Mult(c, bb, p5);
        }
        bb = LShift(c, bb, k - low);
        TBigint* half = p5 ? LShift(c, p5, k - 1 - low) : Pow52(c, 0, k - 1 - low);
        TBigint* delta = Diff(c, bd, bb);
        if (delta->IsZero()) {
            return rv;
        }
        const bool above = delta->Sign == 0;
        if (!above && frac == 0 && expField > 1) {
            // At a power of two the gap below is half the gap above.
            if (Cmp(LShift(c, delta, 1), half) <= 0) {
                return rv;
            }
            rv = Prev(rv);
            continue;
        }
        const int j = Cmp(delta, half);
        if (j < 0) {
            return rv;
        }
        if (j == 0 && !(f & 1)) {
            return rv;
        }
        rv = above ? Next(rv) : Prev(rv);
        if (rv == 0.0 || rv > std::numeric_limits<double>::max()) {
            range = true;
            return rv;
        }
        if (j == 0) {
            return rv;
        }
    }
}

}  // namespace

double StrToDCore(TParserClosure& c, const char* begin, const char* end, char** stop) {
    TDecimalText t;
    const char* after = Scan(begin, end, t);
    if (stop) {
        *stop = const_cast<char*>(after ? after : begin);
    }
    if (!after) {
        return 0.0;
    }
    const double sign = t.Negative ? -1.0 : 1.0;
    if (t.Nd == 0) {
        return sign * 0.0;
    }
    const int64_t magnitude = t.Nd + t.Exp10;  // value lies in [10^(magnitude-1), 10^magnitude)
    if (magnitude - 1 > 308) {
        errno = ERANGE;
        return sign * std::numeric_limits<double>::infinity();
    }
    if (magnitude < -323) {
        errno = ERANGE;
        return sign * 0.0;
    }
    const int exp10 = int(t.Exp10);
    if (t.Nd <= 15) {
        int used = 0;
        const double v = double(LeadingDigits(t.First, t.Nd, 15, &used));
        if (exp10 == 0) {
            return sign * v;
        }
        if (exp10 > 0 && exp10 <= TenPMax) {
            return sign * (v * Tens[exp10]);
        }
        if (exp10 > 0 && exp10 <= TenPMax + 15 - t.Nd) {
            const int first = 15 - t.Nd;
            return sign * ((v * Tens[first]) * Tens[exp10 - first]);
        }
        if (exp10 < 0 && exp10 >= -TenPMax) {
            return sign * (v / Tens[-exp10]);
        }
    }
    int used = 0;
    const long double lead = (long double)LeadingDigits(t.First, t.Nd, 19, &used);
    const int rest = exp10 + (t.Nd - used);
    const long double estimate = rest >= 0 ? lead * Pow10L(rest) : lead / Pow10L(rest);
    double rv = double(estimate);
    // The estimate itself must be normal: just below the smallest normal double the doubles
    // are subnormal, one bit shorter than the bits that Ambiguous takes as the dropped ones.
    if (estimate >= (long double)std::numeric_limits<double>::min() &&
        rv <= std::numeric_limits<double>::max() && !Ambiguous(estimate, used < t.Nd)) {
        return sign * rv;
    }
    if (rv > std::numeric_limits<double>::max()) {
        rv = std::numeric_limits<double>::max();
    } else if (rv == 0.0) {
        rv = std::numeric_limits<double>::denorm_min();
    }
    bool range = false;
    rv = Correct(c, t, rv, range);
    if (range) {
        errno = ERANGE;
    }
    return sign * rv;
}

}  // namespace NDtoa
