// Digit generation for doubles, after Steele and White and Gay: an exact small-integer path, a
// floating-point shortcut with an error bound for at most 14 digits, and the exact big-integer
// digit loop for everything the shortcuts cannot settle.
#include "util/convert/dtoa.h"

#include "util/convert/dtoa_bignum.h"
#include "util/convert/dtoa_powers.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

namespace NDtoa {

namespace {

constexpr int QuickMax = 14;     // digits the floating-point shortcut may produce
constexpr int IntMax = 14;       // integers below 10^(IntMax + 1) are exact in a double
constexpr int MaxDigits = 1100;  // beyond every digit of a double's exact expansion
constexpr uint64_t FracMask = (uint64_t(1) << 52) - 1;

char* CopyToClosure(TParserClosure& c, const char* text, int point, int* decpt, char** end) {
    const size_t len = std::strlen(text);
    char* s = static_cast<char*>(c.Allocate(len + 1));
    std::memcpy(s, text, len + 1);
    *decpt = point;
    if (end) {
        *end = s + len;
    }
    return s;
}

// Ends the digit string at s without its trailing zeros; the value is 0.digits * 10^(k + 1).
char* Finish(char* begin, char* s, int k, int* decpt, char** end) {
    while (s > begin + 1 && s[-1] == '0') {
        --s;
    }
    *s = 0;
    *decpt = k + 1;
    if (end) {
        *end = s;
    }
    return begin;
}

// Adds one unit to the last digit of [begin, s), carrying through nines; an all-nines string
// becomes "1" one decade up. Returns the new end.
char* RoundUp(char* begin, char* s, int& k) {
    while (s > begin && s[-1] == '9') {
        --s;
    }
    if (s == begin) {
        *s++ = '1';
        ++k;
        return s;
    }
    ++s[-1];
    return s;
}

// The floating-point shortcut: produces the digits with double arithmetic while a bound on the
// accumulated error shows them to be right. Returns the end of the digits, or null when the
// bound does not decide and the exact loop must run.
char* QuickDigits(double d, char* s0, int& k, bool kCheck, int& ilim, int ilim1, bool leftright) {
    char* s = s0;
    int ieps = 2;  // rounding errors committed so far, conservatively
    int i = 0;
    if (k > 0) {
        double ds = Tens[k & 0xf];
        int j = k >> 4;
        if (j & 0x10) {
            j &= 0xf;
            d /= BigTens[NBigTens - 1];
            ++ieps;
        }
        for (; j; j >>= 1, ++i) {
            if (j & 1) {
                ++ieps;
                ds *= BigTens[i];
            }
        }
        d /= ds;
    } else if (k < 0) {
        const int j1 = -k;
        d *= Tens[j1 & 0xf];
        for (int j = j1 >> 4; j; j >>= 1, ++i) {
            if (j & 1) {
                ++ieps;
                d *= BigTens[i];
            }
        }
    }
    if (kCheck && d < 1.0 && ilim > 0) {
        if (ilim1 <= 0) {
            return nullptr;
        }
        ilim = ilim1;
        --k;
        d *= 10.0;
        ++ieps;
    }
    double eps = (ieps * d + 7.0) * 0x1p-52;
    if (ilim == 0) {
        return nullptr;  // the exact loop settles "no digit or one" cheaply enough
    }
    if (leftright) {
        // Stop as soon as the rest is within the rounding of the last allowed digit.
        eps = 0.5 / Tens[ilim - 1] - eps;
        for (i = 0;;) {
            const int digit = int(d);
            d -= digit;
            *s++ = char('0' + digit);
            if (d < eps) {
                return s;
            }
            if (1.0 - d < eps) {
                return RoundUp(s0, s, k);
            }
            if (++i >= ilim) {
                return nullptr;
            }
            eps *= 10.0;
            d *= 10.0;
        }
    }
    eps *= Tens[ilim - 1];
    for (i = 1;; ++i, d *= 10.0) {
        const int digit = int(d);
        d -= digit;
        if (d == 0.0) {
            ilim = i;
        }
        *s++ = char('0' + digit);
        if (i == ilim) {
            if (d > 0.5 + eps) {
                return RoundUp(s0, s, k);
            }
            if (d < 0.5 - eps) {
                return s;
            }
            return nullptr;
        }
    }
}

// Exact digits of an integer below 10^15 by double division: every step is exact.
char* SmallIntegerDigits(double d, char* s0, int& k, int ilim) {
    const double ds = Tens[k];
    char* s = s0;
    for (int i = 1;; ++i, d *= 10.0) {
        const int64_t digit = int64_t(d / ds);
        d -= double(digit) * ds;
        *s++ = char('0' + digit);
        if (d == 0.0) {
            return s;
        }
        if (i == ilim) {
            d += d;
            if (d > ds || (d == ds && (digit & 1))) {
                return RoundUp(s0, s, k);
            }
            return s;
        }
    }
}

struct TExact {
    TBigint* R;  // remainder, scaled so that R / S is the value over 10^k
    TBigint* S;
    TBigint* MLow;   // half the gap to the next smaller double, same scale
    TBigint* MHigh;  // half the gap to the next larger double
};

void ShiftAll(TParserClosure& c, TExact& x, int sh, bool leftright) {
    if (!sh) {
        return;
    }
    x.R = LShift(c, x.R, sh);
    x.S = LShift(c, x.S, sh);
    if (leftright) {
        const bool same = x.MLow == x.MHigh;
        x.MLow = LShift(c, x.MLow, sh);
        x.MHigh = same ? x.MLow : LShift(c, x.MHigh, sh);
    }
}

void TimesTen(TParserClosure& c, TExact& x, bool leftright) {
    x.R = MultAdd(c, x.R, 10, 0);
    if (leftright) {
        const bool same = x.MLow == x.MHigh;
        x.MLow = MultAdd(c, x.MLow, 10, 0);
        x.MHigh = same ? x.MLow : MultAdd(c, x.MHigh, 10, 0);
    }
}

// Rounds the digits [s0, s), whose last one is digit, by the remainder R / S left after it:
// half to even.
char* RoundLastDigit(TParserClosure& c, const TExact& x, char* s0, char* s, int& k, char digit) {
    TBigint* twice = LShift(c, x.R, 1);
    const int j = Cmp(twice, x.S);
    if (j > 0 || (j == 0 && (digit & 1))) {
        return RoundUp(s0, s, k);
    }
    return s;
}

// Digits that stop as soon as they identify the double (rounding at ilim when that comes first).
char* ShortestLoop(TParserClosure& c, TExact& x, char* s0, int& k, int ilim, int mode, bool even) {
    char* s = s0;
    const bool takeBoundary = mode != 1 && even;
    char digit = 0;
    for (int i = 1;; ++i) {
        digit = char('0' + QuoRem(x.R, x.S));
        const int low = Cmp(x.R, x.MLow);
        const int high = CmpSum(x.R, x.MHigh, x.S);
        if (high == 0 && takeBoundary) {
            if (digit == '9') {
                *s++ = '9';
                return RoundUp(s0, s, k);
            }
            if (low > 0) {
                ++digit;
            }
            *s++ = digit;
            return s;
        }
        if (low < 0 || (low == 0 && takeBoundary)) {
            if (!x.R->IsZero() && high > 0) {
                // Both neighbours identify the double: take the nearer, ties to even.
                TBigint* twice = LShift(c, x.R, 1);
                const int j = Cmp(twice, x.S);
                if (j > 0 || (j == 0 && (digit & 1))) {
                    if (digit == '9') {
                        *s++ = '9';
                        return RoundUp(s0, s, k);
                    }
                    ++digit;
                }
            }
            *s++ = digit;
            return s;
        }
        if (high > 0) {
            if (digit == '9') {
                *s++ = '9';
                return RoundUp(s0, s, k);
            }
            *s++ = char(digit + 1);
            return s;
        }
        *s++ = digit;
        if (i == ilim) {
            break;
        }
        TimesTen(c, x, true);
    }
    return RoundLastDigit(c, x, s0, s, k, digit);
}

// Exactly ilim digits, the last one rounded half to even.
char* FixedLoop(TParserClosure& c, TExact& x, char* s0, int& k, int ilim) {
    char* s = s0;
    char digit = 0;
    for (int i = 1;; ++i) {
        digit = char('0' + QuoRem(x.R, x.S));
        *s++ = digit;
        if (x.R->IsZero()) {
            return s;
        }
        if (i >= ilim) {
            break;
        }
        TimesTen(c, x, false);
    }
    return RoundLastDigit(c, x, s0, s, k, digit);
}

}  // namespace

char* DoubleToDigits(TParserClosure& c, double value, int mode, int ndigits, int* decpt, int* sign,
                     char** end) {
    uint64_t bits = std::bit_cast<uint64_t>(value);
    *sign = int(bits >> 63);
    bits &= ~(uint64_t(1) << 63);
    const int expField = int(bits >> 52);
    const uint64_t frac = bits & FracMask;
    if (expField == 0x7ff) {
        return CopyToClosure(c, frac ? "nan" : "inf", 9999, decpt, end);
    }
    if (bits == 0) {
        return CopyToClosure(c, "0", 1, decpt, end);
    }
    if (mode < 0 || mode > 9) {
        mode = 0;
    }
    bool tryQuick = true;
    if (mode > 5) {
        mode -= 4;
        tryQuick = false;
    }
    const double d = std::bit_cast<double>(bits);
    const uint64_t f = expField ? frac | (uint64_t(1) << 52) : frac;
    const int e = expField ? expField - 1075 : -1074;  // d = f * 2^e

    // k estimates floor(log10(d)) from a tangent of log10 at 1.5: never too small, at most one
    // too large, which the checks below correct.
    const int fbits = 64 - __builtin_clzll(f);
    const int binExp = e + fbits - 1;
    const double d2 =
        std::bit_cast<double>((uint64_t(1023) << 52) | ((f << (53 - fbits)) & FracMask));
    const double estimate =
        (d2 - 1.5) * 0.289529654602168 + 0.1760912590558 + binExp * 0.301029995663981;
    int k = int(estimate);
    if (estimate < 0 && estimate != k) {
        --k;
    }
    bool kCheck = true;
    if (k >= 0 && k <= TenPMax) {
        if (d < Tens[k]) {
            --k;
        }
        kCheck = false;
    }

    bool leftright = true;
    int ilim = -1;
    int ilim1 = -1;
    switch (mode) {
        case 0:
        case 1:
            ndigits = 0;
            break;
        case 2:
            leftright = false;
            [[fallthrough]];
        case 4:
            ndigits = ndigits <= 0 ? 1 : std::min(ndigits, MaxDigits);
            ilim = ilim1 = ndigits;
            break;
        case 3:
            leftright = false;
            [[fallthrough]];
        case 5:
            // Only the count of digits is bounded; a large negative count still places the
            // point exactly (a value rounded away to nothing at 10^-ndigits).
            ndigits =
                std::max(std::min(ndigits, MaxDigits), -(std::numeric_limits<int>::max() / 2));
            ilim = ndigits + k + 1;
            ilim1 = ilim - 1;
            break;
    }

    char* s0 = static_cast<char*>(c.Allocate(size_t(std::max(ilim, 0)) + 24));

    // The shortcut stops at the rounding of the last allowed digit. A subnormal has fewer bits
    // than that, so a shorter text may already read back: only the exact loop finds it.
    const bool shortestOfFewBits = leftright && expField == 0;
    if (ilim >= 0 && ilim <= QuickMax && tryQuick && !shortestOfFewBits) {
        int kq = k;
        int ilimq = ilim;
        if (char* s = QuickDigits(d, s0, kq, kCheck, ilimq, ilim1, leftright)) {
            return Finish(s0, s, kq, decpt, end);
        }
    }

    const bool isInteger = e >= 0 || __builtin_ctzll(f) >= -e;
    if (isInteger && k <= IntMax) {
        if (ndigits < 0 && ilim <= 0) {
            if (ilim < 0 || d <= 5 * Tens[k]) {
                *s0 = 0;
                return Finish(s0, s0, -1 - ndigits, decpt, end);
            }
            *s0 = '1';
            return Finish(s0, s0 + 1, k + 1, decpt, end);
        }
        char* s = SmallIntegerDigits(d, s0, k, ilim);
        return Finish(s0, s, k, decpt, end);
    }

    // Exact: R / S = d / 10^k, and the gaps to the neighbouring doubles in the same scale, all
    // doubled (twice more at a power of two, where the gap below is half the gap above) so that
    // half a gap is an integer.
    const bool boundary = leftright && frac == 0 && expField > 1;
    int b2 = e >= 0 ? e : 0;
    int s2 = e >= 0 ? 0 : -e;
    int b5 = 0;
    int s5 = 0;
    if (k >= 0) {
        s5 = k;
        s2 += k;
    } else {
        b5 = -k;
        b2 -= k;
    }
    int m2 = 0;
    if (leftright) {
        const int extra = boundary ? 2 : 1;
        b2 += extra;
        s2 += extra;
        m2 = b2 - extra;
    }
    int common = std::min(b2, s2);
    if (leftright) {
        common = std::min(common, m2);
    }
    b2 -= common;
    s2 -= common;
    m2 -= common;

    TExact x{};
    x.R = FromUint64(c, f);
    if (b5) {
        x.R = Pow5Mult(c, x.R, b5);
    }
    x.R = LShift(c, x.R, b2);
    x.S = Pow52(c, s5, s2);
    if (leftright) {
        x.MLow = Pow52(c, b5, m2);
        x.MHigh = boundary ? LShift(c, x.MLow, 1) : x.MLow;
    }
    if (kCheck && Cmp(x.R, x.S) < 0) {
        --k;
        TimesTen(c, x, leftright);
        ilim = ilim1;
    }
    if (ilim <= 0 && (mode == 3 || mode == 5)) {
        TBigint* half = MultAdd(c, Copy(c, x.S), 5, 0);
        if (ilim < 0 || Cmp(x.R, half) <= 0) {
            *s0 = 0;
            return Finish(s0, s0, -1 - ndigits, decpt, end);
        }
        *s0 = '1';
        return Finish(s0, s0 + 1, k + 1, decpt, end);
    }
    ShiftAll(c, x, NormalizeShift(x.S), leftright);

    char* s = leftright ? ShortestLoop(c, x, s0, k, ilim, mode, (f & 1) == 0)
                        : FixedLoop(c, x, s0, k, ilim);
    return Finish(s0, s, k, decpt, end);
}

}  // namespace NDtoa
