#include "util/string/escape.h"

#include "util/charset/unicode_utf16.h"
#include "util/charset/utf8.h"
#include "util/convert/from_string.h"

#include <cstdint>
#include <type_traits>

namespace {
// Characters are handled as unsigned values: a byte 0xFF is 255, never -1.
template <class TChar>
uint32_t Code(TChar c) {
    return static_cast<std::make_unsigned_t<TChar>>(c);
}

bool IsOctDigit(uint32_t c) {
    return c >= '0' && c <= '7';
}

bool IsHexDigit(uint32_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

const char UpperHex[] = "0123456789ABCDEF";

// Appends ASCII text to either string type.
template <class TString>
void AppendAscii(TString& out, const char* text, size_t n) {
    typename TString::TCharType buf[16];
    for (size_t i = 0; i < n; ++i) {
        buf[i] = static_cast<typename TString::TCharType>(text[i]);
    }
    out.append(buf, n);
}

// Writes the escape of one character into `buf`; returns its length (0: keep as it is).
size_t EscapeOne(uint32_t c, uint32_t next, char* buf) {
    if (c == '"' || c == '\\') {
        buf[0] = '\\';
        buf[1] = static_cast<char>(c);
        return 2;
    }
    if (c >= 0x20 && c <= 0x7E) {
        return 0;
    }
    if (c >= 256) {
        buf[0] = '\\';
        buf[1] = 'u';
        for (int i = 0; i < 4; ++i) {
            buf[2 + i] = UpperHex[(c >> (12 - 4 * i)) & 0xF];
        }
        return 6;
    }
    switch (c) {
        case '\r':
            buf[0] = '\\', buf[1] = 'r';
            return 2;
        case '\n':
            buf[0] = '\\', buf[1] = 'n';
            return 2;
        case '\t':
            buf[0] = '\\', buf[1] = 't';
            return 2;
    }
    if (c < 8 && !IsOctDigit(next)) {
        buf[0] = '\\';
        buf[1] = static_cast<char>('0' + c);
        return 2;
    }
    if (!IsHexDigit(next)) {
        buf[0] = '\\';
        buf[1] = 'x';
        buf[2] = UpperHex[c >> 4];
        buf[3] = UpperHex[c & 0xF];
        return 4;
    }
    buf[0] = '\\';
    buf[1] = static_cast<char>('0' + (c >> 6));
    buf[2] = static_cast<char>('0' + ((c >> 3) & 7));
    buf[3] = static_cast<char>('0' + (c & 7));
    return 4;
}

// True when [data, data + length) lies in the characters of `s`: appending to `s` may
// move them, so the caller first takes its own copy.
template <class TString>
bool Overlaps(const typename TString::TCharType* data, size_t length, const TString& s) {
    const auto a = reinterpret_cast<uintptr_t>(data);
    const auto b = reinterpret_cast<uintptr_t>(s.data());
    const size_t unit = sizeof(typename TString::TCharType);
    return length != 0 && a < b + s.size() * unit && b < a + length * unit;
}

template <class TString>
TString& DoEscape(const typename TString::TCharType* data, size_t length, TString& out) {
    if (Overlaps(data, length, out)) {
        const TString copy(data, length);
        return DoEscape(copy.data(), copy.size(), out);
    }
    const auto* runStart = data;
    const auto* end = data + length;
    for (const auto* p = data; p != end; ++p) {
        const uint32_t next = p + 1 != end ? Code(p[1]) : 0;
        char buf[8];
        const size_t n = EscapeOne(Code(*p), next, buf);
        if (n == 0) {
            continue;
        }
        out.append(runStart, static_cast<size_t>(p - runStart));
        AppendAscii(out, buf, n);
        runStart = p + 1;
    }
    out.append(runStart, static_cast<size_t>(end - runStart));
    return out;
}

// The value of `count` digits that the caller has already checked, so the conversion cannot
// fail (at most three octal digits or eight hexadecimal ones).
template <int Base, class TChar>
uint32_t DigitsValue(const TChar* digits, size_t count) {
    return IntFromString<unsigned int, Base, TChar>(digits, count);
}

// The number of leading characters of [p, end), at most `limit`, that pass `isDigit`.
template <class TChar>
size_t CountDigits(const TChar* p, const TChar* end, size_t limit, bool (*isDigit)(uint32_t)) {
    size_t n = 0;
    while (n < limit && p + n != end && isDigit(Code(p[n]))) {
        ++n;
    }
    return n;
}

void AppendCodePoint(Stroka& out, uint32_t cp) {
    uint8_t buf[4];
    out.append(reinterpret_cast<const char*>(buf), WriteUtf8Char(cp, buf));
}

// A code point past the Unicode property table (not a code point at all) becomes U+FFFD.
void AppendCodePoint(TUtf16String& out, uint32_t cp) {
    wchar16 units[2];
    out.append(units, WriteUtf16CodePoint(cp, units));
}

// Reads the escape after a backslash at [p, end), p != end; appends its value and returns
// the position behind it.
template <class TString>
const typename TString::TCharType* UnescapeOne(const typename TString::TCharType* p,
                                               const typename TString::TCharType* end,
                                               TString& out) {
    using TChar = typename TString::TCharType;
    const uint32_t c = Code(*p);
    switch (c) {
        case 'b':
            out.append(TChar('\b'));
            return p + 1;
        case 'f':
            out.append(TChar('\f'));
            return p + 1;
        case 'n':
            out.append(TChar('\n'));
            return p + 1;
        case 'r':
            out.append(TChar('\r'));
            return p + 1;
        case 't':
            out.append(TChar('\t'));
            return p + 1;
        case 'x': {
            const size_t n = CountDigits(p + 1, end, 2, &IsHexDigit);
            if (n == 0) {
                out.append(TChar('x'));
            } else {
                out.append(static_cast<TChar>(DigitsValue<16>(p + 1, n)));
            }
            return p + 1 + n;
        }
        case 'u':
        case 'U': {
            const size_t want = c == 'u' ? 4 : 8;
            if (CountDigits(p + 1, end, want, &IsHexDigit) != want) {
                out.append(static_cast<TChar>(c));
                return p + 1;
            }
            AppendCodePoint(out, DigitsValue<16>(p + 1, want));
            return p + 1 + want;
        }
    }
    if (IsOctDigit(c)) {
        const size_t n = CountDigits(p, end, c <= '3' ? 3 : 2, &IsOctDigit);
        out.append(static_cast<TChar>(DigitsValue<8>(p, n)));
        return p + n;
    }
    out.append(static_cast<TChar>(c));
    return p + 1;
}

template <class TString>
TString& DoUnescape(const typename TString::TCharType* data, size_t length, TString& out) {
    if (Overlaps(data, length, out)) {
        const TString copy(data, length);
        return DoUnescape(copy.data(), copy.size(), out);
    }
    const auto* p = data;
    const auto* end = data + length;
    while (p != end) {
        const auto* backslash = p;
        while (backslash != end && Code(*backslash) != '\\') {
            ++backslash;
        }
        out.append(p, static_cast<size_t>(backslash - p));
        if (backslash == end || backslash + 1 == end) {
            break;  // a final lone backslash is dropped
        }
        p = UnescapeOne(backslash + 1, end, out);
    }
    return out;
}

template <class TString>
TString DoQuote(const TString& s) {
    using TChar = typename TString::TCharType;
    TString result;
    result.append(TChar('"'));
    EscapeC(s, result);
    result.append(TChar('"'));
    return result;
}
}  // namespace

Stroka& EscapeC(const char* data, size_t length, Stroka& out) {
    return DoEscape(data, length, out);
}

TUtf16String& EscapeC(const wchar16* data, size_t length, TUtf16String& out) {
    return DoEscape(data, length, out);
}

Stroka& EscapeC(const Stroka& s, Stroka& out) {
    return DoEscape(s.data(), s.size(), out);
}

TUtf16String& EscapeC(const TUtf16String& s, TUtf16String& out) {
    return DoEscape(s.data(), s.size(), out);
}

Stroka EscapeC(const Stroka& s) {
    Stroka result;
    return EscapeC(s, result);
}

TUtf16String EscapeC(const TUtf16String& s) {
    TUtf16String result;
    return EscapeC(s, result);
}

Stroka QuoteString(const Stroka& s) {
    return DoQuote(s);
}

TUtf16String QuoteString(const TUtf16String& s) {
    return DoQuote(s);
}

Stroka& UnescapeC(const char* data, size_t length, Stroka& out) {
    return DoUnescape(data, length, out);
}

TUtf16String& UnescapeC(const wchar16* data, size_t length, TUtf16String& out) {
    return DoUnescape(data, length, out);
}

Stroka& UnescapeC(const Stroka& s, Stroka& out) {
    return DoUnescape(s.data(), s.size(), out);
}

TUtf16String& UnescapeC(const TUtf16String& s, TUtf16String& out) {
    return DoUnescape(s.data(), s.size(), out);
}

Stroka UnescapeC(const Stroka& s) {
    Stroka result;
    return UnescapeC(s, result);
}

TUtf16String UnescapeC(const TUtf16String& s) {
    TUtf16String result;
    return UnescapeC(s, result);
}
