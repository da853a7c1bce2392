// FloatToString of any bit pattern: a double prints as the shortest text of at most 10
// significant digits that reads back as the value, else the value correctly rounded to 10
// digits; a float prints as its value correctly rounded to 6 digits. A short buffer receives a
// prefix of the full text.
#include "util/convert/float_to_string.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The significant digits of a decimal text, leading and trailing zeros not counted.
size_t SignificantDigits(const std::string& s) {
    std::string digits;
    for (char c : s) {
        if (c == 'e' || c == 'E') {
            break;
        }
        if (c >= '0' && c <= '9' && (c != '0' || !digits.empty())) {
            digits += c;
        }
    }
    while (!digits.empty() && digits.back() == '0') {
        digits.pop_back();
    }
    return digits.size();
}

template <class T>
T ReadBack(const char* s) {
    if constexpr (sizeof(T) == sizeof(float)) {
        return strtof(s, nullptr);
    } else {
        return strtod(s, nullptr);
    }
}

template <class T>
void Check(T value, size_t cut, int maxDigits, bool shortestFirst) {
    char full[64];
    const size_t n = FloatToString(value, full, sizeof(full));
    if (n == 0 || n >= sizeof(full)) {
        abort();
    }
    full[n] = 0;
    char part[64];
    std::memset(part, 0x5a, sizeof(part));
    const size_t m = FloatToString(value, part, cut);
    if (m > cut || m > n || std::memcmp(part, full, m) != 0 || (cut >= n && m != n)) {
        abort();
    }
    if (m < sizeof(part) && part[m] != 0x5a) {
        abort();
    }
    if (std::isnan(value)) {
        if (std::strcmp(full, std::signbit(value) ? "-nan" : "nan") != 0) {
            abort();
        }
        return;
    }
    if (std::isinf(value)) {
        if (std::strcmp(full, value < 0 ? "-inf" : "inf") != 0) {
            abort();
        }
        return;
    }
    const T back = ReadBack<T>(full);
    int shortest = 0;
    char ref[64];
    for (int p = 1; shortestFirst && p <= maxDigits; ++p) {
        std::snprintf(ref, sizeof(ref), "%.*e", p - 1, double(value));
        if (ReadBack<T>(ref) == value) {
            shortest = p;
            break;
        }
    }
    if (shortest != 0) {
        // Below the normal range the digit generator may stop at the full 10 digits although a
        // shorter text exists; the text still reads back.
        const bool subnormal = std::fabs(double(value)) < 2.2250738585072014e-308;
        if (back != value ||
            (value != 0 && (subnormal ? SignificantDigits(full) > size_t(maxDigits)
                                      : SignificantDigits(full) != size_t(shortest)))) {
            std::fprintf(stderr, "%a printed as \"%s\", shortest has %d digits\n", double(value),
                         full, shortest);
            abort();
        }
    } else {
        std::snprintf(ref, sizeof(ref), "%.*e", maxDigits - 1, double(value));
        if (strtod(full, nullptr) != strtod(ref, nullptr)) {
            std::fprintf(stderr, "%a printed as \"%s\", not as \"%s\"\n", double(value), full, ref);
            abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 9) {
        return 0;
    }
    const size_t cut = data[0] % 40;
    uint64_t bits;
    std::memcpy(&bits, data + 1, sizeof(bits));
    double d;
    std::memcpy(&d, &bits, sizeof(d));
    Check<double>(d, cut, 10, true);
    uint32_t fbits = uint32_t(bits);
    float f;
    std::memcpy(&f, &fbits, sizeof(f));
    Check<float>(f, cut, 6, false);
    return 0;
}
