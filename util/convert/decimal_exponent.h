// The exponent part of decimal floating-point text, shared by the scanning front end and the
// correctly rounding core so that both take exactly the same text.
#pragma once

#include <cstdint>

namespace NDecimalText {

// Exponents are clamped here: anything larger already overflows or underflows every double.
inline constexpr int64_t MaxExponent = 19999;

// Reads 'e' or 'E', an optional sign and at least one digit at s; the text ends at end or at a
// NUL. Returns the position after the exponent and sets value to it (more than 8 digits after
// the leading zeros, or a value above MaxExponent, count as MaxExponent, with the sign), or
// returns s and leaves value alone when no complete exponent stands there.
inline const char* ScanExponent(const char* s, const char* end, int64_t& value) noexcept {
    auto more = [end](const char* p) { return p != end && *p != 0; };
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (!more(s) || (*s != 'e' && *s != 'E')) {
        return s;
    }
    const char* p = s + 1;
    bool negative = false;
    if (more(p) && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (!more(p) || !digit(*p)) {
        return s;
    }
    while (more(p) && *p == '0') {
        ++p;
    }
    const char* first = p;
    int64_t v = 0;
    for (; more(p) && digit(*p); ++p) {
        if (v <= MaxExponent) {
            v = v * 10 + (*p - '0');
        }
    }
    if (p - first > 8 || v > MaxExponent) {
        v = MaxExponent;
    }
    value = negative ? -v : v;
    return p;
}

}  // namespace NDecimalText
