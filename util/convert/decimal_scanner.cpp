// The front end of decimal-to-double conversion: scans the number once, settles the short
// numbers with exact double arithmetic and the hopeless magnitudes at once, and hands the rest
// to the correctly rounding core.
#include "util/convert/decimal_scanner.h"

#include "util/convert/decimal_exponent.h"
#include "util/convert/dtoa.h"
#include "util/convert/dtoa_powers.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

namespace {

bool IsSpaceByte(char c) noexcept {
    return c == ' ' || (c >= 9 && c <= 13);
}

bool IsDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

// The significant digits as scanned: the first 9 in High, the 10th to 16th in Low; Count counts
// every significant digit up to the last non-zero one.
struct TLeading {
    uint32_t High = 0;
    uint32_t Low = 0;
    int64_t Count = 0;

    void Add(int digit) noexcept {
        if (Count < 9) {
            High = High * 10 + uint32_t(digit);
        } else if (Count < 16) {
            Low = Low * 10 + uint32_t(digit);
        }
        ++Count;
    }

    int Kept() const noexcept { return Count < 16 ? int(Count) : 16; }

    double Value() const noexcept {
        const int k = Kept();
        return k <= 9 ? double(High) : double(High) * NDtoa::Tens[k - 9] + double(Low);
    }
};

double Signed(bool negative, double v) noexcept {
    return negative ? -v : v;
}

}  // namespace

double StrToD(const char* begin, const char* end, char** stop) {
    auto finish = [stop](const char* at, double v) {
        if (stop) {
            *stop = const_cast<char*>(at);
        }
        return v;
    };
    auto more = [end](const char* p) { return p != end && *p != 0; };

    const char* s = begin;
    while (more(s) && IsSpaceByte(*s)) {
        ++s;
    }
    if (!more(s)) {
        return finish(begin, 0.0);
    }
    bool negative = false;
    if (*s == '-' || *s == '+') {
        negative = *s == '-';
        if (!more(++s)) {
            return finish(begin, 0.0);
        }
    }
    bool zeroSeen = false;
    if (*s == '0') {
        zeroSeen = true;
        while (more(s) && *s == '0') {
            ++s;
        }
        if (!more(s)) {
            return finish(s, Signed(negative, 0.0));
        }
    }

    // value = digits * 10^exp10; zeros after the last non-zero digit wait in pending.
    TLeading lead;
    int64_t exp10 = 0;
    int64_t pending = 0;
    auto digit = [&](int d, bool fraction) {
        if (fraction) {
            --exp10;
        }
        if (d == 0) {
            if (lead.Count) {
                ++pending;
            }
            return;
        }
        for (; pending; --pending) {
            lead.Add(0);
        }
        lead.Add(d);
    };
    bool digitSeen = zeroSeen;
    for (; more(s) && IsDigit(*s); ++s) {
        digitSeen = true;
        digit(*s - '0', false);
    }
    if (more(s) && *s == '.') {
        const char* point = s++;
        const bool before = digitSeen;
        for (; more(s) && IsDigit(*s); ++s) {
            digitSeen = true;
            digit(*s - '0', true);
        }
        if (!before && !digitSeen) {
            s = point;  // a lone point is no number
        }
    }
    if (!digitSeen) {
        return finish(begin, 0.0);
    }
    exp10 += pending;

    int64_t exponent = 0;
    s = NDecimalText::ScanExponent(s, end, exponent);
    exp10 += exponent;
    if (!lead.Count) {
        return finish(s, Signed(negative, 0.0));
    }

    const int k = lead.Kept();
    const double value = lead.Value();
    if (lead.Count <= 15) {
        if (exp10 == 0) {
            return finish(s, Signed(negative, value));
        }
        if (exp10 > 0 && exp10 <= NDtoa::TenPMax) {
            return finish(s, Signed(negative, value * NDtoa::Tens[exp10]));
        }
        if (exp10 > 0 && exp10 <= NDtoa::TenPMax + 15 - k) {
            const int first = 15 - k;
            return finish(
                s, Signed(negative, value * NDtoa::Tens[first] * NDtoa::Tens[exp10 - first]));
        }
        if (exp10 < 0 && exp10 >= -NDtoa::TenPMax) {
            return finish(s, Signed(negative, value / NDtoa::Tens[-exp10]));
        }
    }

    // The kept digits times 10^e1 bound the value from below; one more unit in the last kept
    // digit bounds it from above. Only what is certain is settled here.
    const int64_t e1 = exp10 + (lead.Count - k);
    if (e1 >= 320) {
        errno = ERANGE;
        return finish(s, Signed(negative, std::numeric_limits<double>::infinity()));
    }
    if (e1 <= -512) {
        errno = ERANGE;
        return finish(s, Signed(negative, 0.0));
    }
    const long double scale = e1 < 0 ? 1.0L / NDtoa::Pow10L(int(e1)) : NDtoa::Pow10L(int(e1));
    const long double lower = (long double)value * scale * (1.0L - 0x1p-50L);
    const long double upper = ((long double)value + 1.0L) * scale * (1.0L + 0x1p-50L);
    if (lower >= 0x1p1024L) {
        errno = ERANGE;
        return finish(s, Signed(negative, std::numeric_limits<double>::infinity()));
    }
    if (upper < 0x1p-1075L) {
        errno = ERANGE;
        return finish(s, Signed(negative, 0.0));
    }
    NDtoa::TParserClosure closure(begin, end);
    return NDtoa::StrToDCore(closure, begin, end, stop);
}

double StrToD(const char* text, char** stop) {
    return StrToD(text, text + std::strlen(text), stop);
}

namespace {

template <class T>
T ReadPlain(const char* text) {
    using U = std::make_unsigned_t<T>;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p >= 1 && *p <= 32) {
        ++p;
    }
    bool negative = false;
    if (*p == '-' || *p == '+') {
        negative = *p++ == '-';
    }
    U acc = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        acc = U(acc * 10 + U(*p - '0'));
    }
    return T(negative ? U(U(0) - acc) : acc);
}

}  // namespace

int StrToInt(const char* text) {
    return ReadPlain<int>(text);
}

long StrToLongInt(const char* text) {
    return ReadPlain<long>(text);
}
