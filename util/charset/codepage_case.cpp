// Byte-level case helpers.
#include "util/charset/codepage_case.h"

#include <cstring>

namespace {

uint8_t At(const uint8_t* table, char c) {
    return table[static_cast<uint8_t>(c)];
}

char* CopyThrough(const uint8_t* table, const char* begin, const char* end, char* dst) {
    for (; begin != end; ++begin) {
        *dst++ = static_cast<char>(At(table, *begin));
    }
    return dst;
}

char* CopyThrough(const uint8_t* table, const char* s, char* dst) {
    for (; *s; ++s) {
        *dst++ = static_cast<char>(At(table, *s));
    }
    return dst;
}

}  // namespace

char* ToLower(const CodePage& cp, const char* begin, const char* end, char* dst) {
    return CopyThrough(CodePageLowerTable(cp.Code), begin, end, dst);
}

char* ToUpper(const CodePage& cp, const char* begin, const char* end, char* dst) {
    return CopyThrough(CodePageUpperTable(cp.Code), begin, end, dst);
}

char* ToLower(const CodePage& cp, const char* s, char* dst) {
    return CopyThrough(CodePageLowerTable(cp.Code), s, dst);
}

char* ToUpper(const CodePage& cp, const char* s, char* dst) {
    return CopyThrough(CodePageUpperTable(cp.Code), s, dst);
}

int CodePageStrICmp(const CodePage& cp, const char* a, const char* b) {
    return CodePageStrNICmp(cp, a, b, static_cast<size_t>(-1));
}

int CodePageStrNICmp(const CodePage& cp, const char* a, const char* b, size_t n) {
    const uint8_t* lower = CodePageLowerTable(cp.Code);
    for (size_t i = 0; i < n; ++i) {
        const int d = static_cast<int>(At(lower, a[i])) - static_cast<int>(At(lower, b[i]));
        if (d != 0 || a[i] == 0 || b[i] == 0) {
            return d;
        }
    }
    return 0;
}

namespace {

// Ranges need not be NUL-terminated, so the comparison counts bytes instead of stopping at 0.
int CompareBytes(const CodePage& cp, const char* a, const char* b, size_t n) {
    const uint8_t* lower = CodePageLowerTable(cp.Code);
    for (size_t i = 0; i < n; ++i) {
        const int d = static_cast<int>(At(lower, a[i])) - static_cast<int>(At(lower, b[i]));
        if (d != 0) {
            return d;
        }
    }
    return 0;
}

}  // namespace

bool CodePageStartsWith(const CodePage& cp, const TCharRange& prefix, const TCharRange& s) {
    return prefix.Length <= s.Length && CompareBytes(cp, prefix.Data, s.Data, prefix.Length) == 0;
}

bool CodePageEndsWith(const CodePage& cp, const TCharRange& suffix, const TCharRange& s) {
    return suffix.Length <= s.Length &&
           CompareBytes(cp, suffix.Data, s.Data + (s.Length - suffix.Length), suffix.Length) == 0;
}

int CodePageCompare(const CodePage& cp, const TCharRange& a, const TCharRange& b) {
    const size_t common = a.Length < b.Length ? a.Length : b.Length;
    if (const int d = CompareBytes(cp, a.Data, b.Data, common)) {
        return d;
    }
    return a.Length < b.Length ? -1 : (a.Length > b.Length ? 1 : 0);
}

int CodePageCompare(const CodePage& cp, const Stroka& a, const Stroka& b) {
    return CodePageStrICmp(cp, a.c_str(), b.c_str());
}

int CodePageCompare(const CodePage& cp, const char* a, const char* b) {
    return CodePageStrICmp(cp, a, b);
}

int CodePageCompare(const CodePage& cp, const Stroka& a, const char* b) {
    return CodePageStrICmp(cp, a.c_str(), b);
}

void TranslateBytes(const uint8_t* table, const char* src, char* dst, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        dst[i] = static_cast<char>(At(table, src[i]));
    }
}

char* TranslateBytes(const uint8_t* table, const char* src, char* dst) {
    do {
        *dst++ = static_cast<char>(At(table, *src));
    } while (*src++ != 0);
    return dst;
}

void TranslateBytes(const uint8_t* table, char* s, size_t n) {
    TranslateBytes(table, s, s, n);
}

void TranslateBytes(const uint8_t* table, char* s) {
    for (; *s; ++s) {
        *s = static_cast<char>(At(table, *s));
    }
}
