// The walks of the case changes: decode, map by a delta or a byte table, write back in place.
#include "util/string/case.h"

#include "util/charset/unicode_table.h"
#include "util/charset/unicode_utf16.h"

#include <algorithm>

namespace {

enum class ECase { Lower, Upper, Title };

int32_t Delta(const TUnicodeCharInfo& info, ECase c) {
    switch (c) {
        case ECase::Lower:
            return info.LowerDelta;
        case ECase::Upper:
            return info.UpperDelta;
        case ECase::Title:
            return info.TitleDelta;
    }
    return 0;
}

// Maps the code points of [begin, end) of s; the first one with `first`, the others with
// `rest`.
bool ChangeCase(TUtf16String& s, size_t begin, size_t end, ECase first, ECase rest) {
    const wchar16* data = s.data();
    wchar16* out = nullptr;  // set at the first change
    bool changed = false;
    for (size_t i = begin; i < end;) {
        size_t units;
        const uint32_t cp = ReadUtf16CodePoint(data, end, i, &units);
        const uint32_t mapped =
            cp + static_cast<uint32_t>(Delta(UnicodeCharInfo(cp), i == begin ? first : rest));
        if (mapped == cp) {
            i += units;
            continue;
        }
        if (out == nullptr) {
            out = s.MutableData();
            data = out;
            changed = true;
        }
        // The deltas keep a code point in its plane, so the units written replace the units
        // read (an unpaired high surrogate reads as U+FFFD, which maps to itself).
        i += WriteUtf16CodePoint(mapped, out + i);
    }
    return changed;
}

void ClipRange(size_t length, size_t* pos, size_t* n) {
    *pos = std::min(*pos, length);
    *n = std::min(*n, length - *pos);
}

// Bytes of [begin, end) of s through table; the first byte through firstTable.
bool TranslateBytes(Stroka& s, size_t begin, size_t end, const uint8_t* firstTable,
                    const uint8_t* table) {
    char* out = nullptr;
    for (size_t i = begin; i < end; ++i) {
        const uint8_t b = static_cast<uint8_t>(s[i]);
        const uint8_t t = (i == begin ? firstTable : table)[b];
        if (t == b) {
            continue;
        }
        if (out == nullptr) {
            out = s.MutableData();
        }
        out[i] = static_cast<char>(t);
    }
    return out != nullptr;
}

}  // namespace

bool ToUpper(TUtf16String& s, size_t pos, size_t n) {
    ClipRange(s.size(), &pos, &n);
    return ChangeCase(s, pos, pos + n, ECase::Upper, ECase::Upper);
}

bool ToLower(TUtf16String& s, size_t pos, size_t n) {
    ClipRange(s.size(), &pos, &n);
    return ChangeCase(s, pos, pos + n, ECase::Lower, ECase::Lower);
}

bool ToTitle(TUtf16String& s) {
    return ChangeCase(s, 0, s.size(), ECase::Title, ECase::Lower);
}

bool ToLower(Stroka& s, size_t pos, size_t n, const CodePage& cp) {
    ClipRange(s.size(), &pos, &n);
    const uint8_t* lower = CodePageLowerTable(cp.Code);
    return TranslateBytes(s, pos, pos + n, lower, lower);
}

bool ToUpper(Stroka& s, size_t pos, size_t n, const CodePage& cp) {
    ClipRange(s.size(), &pos, &n);
    const uint8_t* upper = CodePageUpperTable(cp.Code);
    return TranslateBytes(s, pos, pos + n, upper, upper);
}

bool ToTitle(Stroka& s, const CodePage& cp) {
    // The title-case table of every page equals its upper-case table.
    return TranslateBytes(s, 0, s.size(), CodePageUpperTable(cp.Code), CodePageLowerTable(cp.Code));
}
