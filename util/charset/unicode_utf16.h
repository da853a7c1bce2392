// Code points in UTF-16 text under the rules every Unicode operation of the library shares:
// a high surrogate without its low surrogate reads as U+FFFD, a lone low surrogate reads as
// itself, and a code point beyond the Unicode property table is written as U+FFFD.
#pragma once

#include "util/charset/unicode_table.h"
#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>

constexpr uint32_t UNICODE_REPLACEMENT_CHARACTER = 0xFFFD;

inline bool IsHighSurrogate(uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

inline bool IsLowSurrogate(uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The code point at src[pos] (pos < length) and, in *units, the number of units it takes: 2
// for a high surrogate followed, before length, by a low one; 1 otherwise.
inline uint32_t ReadUtf16CodePoint(const wchar16* src, size_t length, size_t pos, size_t* units) {
    const uint32_t unit = src[pos];
    *units = 1;
    if (!IsHighSurrogate(unit)) {
        return unit;
    }
    if (pos + 1 < length && IsLowSurrogate(src[pos + 1])) {
        *units = 2;
        return 0x10000 + ((unit - 0xD800) << 10) + (src[pos + 1] - 0xDC00);
    }
    return UNICODE_REPLACEMENT_CHARACTER;
}

// The same, walking a pointer: reads the code point at p (p < end) and moves p past it.
inline uint32_t ReadUtf16CodePoint(const wchar16*& p, const wchar16* end) {
    size_t units = 0;
    const uint32_t cp = ReadUtf16CodePoint(p, static_cast<size_t>(end - p), 0, &units);
    p += units;
    return cp;
}

// Writes cp as one unit, as a surrogate pair when it lies above the BMP inside the property
// table, or as U+FFFD beyond the table; returns the number of units written.
inline size_t WriteUtf16CodePoint(uint32_t cp, wchar16* out) {
    if (cp < 0x10000) {
        out[0] = static_cast<wchar16>(cp);
        return 1;
    }
    if (cp < UNICODE_TABLE_SIZE) {
        out[0] = static_cast<wchar16>(0xD7C0 + (cp >> 10));
        out[1] = static_cast<wchar16>(0xDC00 + (cp & 0x3FF));
        return 2;
    }
    out[0] = static_cast<wchar16>(UNICODE_REPLACEMENT_CHARACTER);
    return 1;
}
