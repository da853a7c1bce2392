#include "util/convert/int_parse.h"

#include "util/convert/from_string.h"
#include "util/string/escape.h"

#include <cstdint>
#include <limits>
#include <type_traits>

namespace {

// Value of each character code up to 'f'; 20 marks a non-digit, above every base.
constexpr int32_t DigitValue[103] = {
    20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20,  // 0x00
    20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20,  // 0x10
    20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20,  // 0x20
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  20, 20, 20, 20, 20, 20,  // 0x30 '0'..'9'
    20, 10, 11, 12, 13, 14, 15, 20, 20, 20, 20, 20, 20, 20, 20, 20,  // 0x40 'A'..'F'
    20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20,  // 0x50
    20, 10, 11, 12, 13, 14, 15,                                      // 0x60 'a'..'f'
};

template <class TChar>
uint32_t Code(TChar c) noexcept {
    return std::make_unsigned_t<TChar>(c);
}

// The text of a failing call as a string of its own unit type, for escaping and quoting.
Stroka TextOf(const char* begin, const char* end) {
    return Stroka(begin, size_t(end - begin));
}

TUtf16String TextOf(const wchar16* begin, const wchar16* end) {
    return TUtf16String(begin, size_t(end - begin));
}

template <class TChar>
[[noreturn]] __attribute__((noinline, cold)) void ThrowBadSymbol(const TChar* begin,
                                                                 const TChar* end,
                                                                 const TChar* bad) {
    auto symbol = TextOf(bad, bad);
    EscapeC(bad, 1, symbol);
    TFromStringException e;
    e << "unexpected symbol \"" << symbol << "\" at pos " << long(bad - begin) << " in string "
      << QuoteString(TextOf(begin, end));
    throw e;
}

template <class TChar>
[[noreturn]] __attribute__((noinline, cold)) void ThrowIntegerOverflow(const TChar* begin,
                                                                       const TChar* end) {
    TFromStringException e;
    e << "integer overflow in string " << QuoteString(TextOf(begin, end));
    throw e;
}

template <TFromStringException& (*Append)(TFromStringException&)>
[[noreturn]] __attribute__((noinline, cold)) void ThrowFixed() {
    TFromStringException e;
    throw Append(e);
}

}  // namespace

TFromStringException& AppendMsgZeroLengthNumber(TFromStringException& e) {
    return e << "cannot parse zero length number";
}

TFromStringException& AppendMsgEmptyNumber(TFromStringException& e) {
    return e << "cannot parse empty string as number";
}

TFromStringException& AppendMsgPlusOnlyNumber(TFromStringException& e) {
    return e << "cannot parse string \"+\" as number";
}

TFromStringException& AppendMsgOverflow(TFromStringException& e) {
    return e << "overflow";
}

template <class T, int B, class TChar>
T ParseUnsigned(const TChar* begin, const TChar* end) {
    static_assert(std::is_unsigned_v<T> && B >= 2 && B <= 16);
    constexpr T max = std::numeric_limits<T>::max();
    constexpr T maxDivB = max / B;
    if (begin == end) {
        ThrowFixed<AppendMsgEmptyNumber>();
    }
    const TChar* p = begin;
    if (Code(*p) == '+') {
        if (++p == end) {
            ThrowFixed<AppendMsgPlusOnlyNumber>();
        }
    }
    T acc = 0;
    for (; p != end; ++p) {
        const uint32_t code = Code(*p);
        if (code >= sizeof(DigitValue) / sizeof(DigitValue[0]) || DigitValue[code] >= B) {
            ThrowBadSymbol(begin, end, p);
        }
        const T d = T(DigitValue[code]);
        // Both tests before the multiplication, so the accumulator never wraps.
        if (acc > maxDivB || T(acc * B) > T(max - d)) {
            ThrowIntegerOverflow(begin, end);
        }
        acc = T(acc * B + d);
    }
    return acc;
}

template <class S, int B, class TChar>
S ParseSigned(const TChar* begin, const TChar* end) {
    using U = std::make_unsigned_t<S>;
    constexpr U limit = U(1) << (std::numeric_limits<U>::digits - 1);
    if (begin == end) {
        ThrowFixed<AppendMsgZeroLengthNumber>();
    }
    if (Code(*begin) == '-') {
        const U u = ParseUnsigned<U, B, TChar>(begin + 1, end);
        if (u > limit) {
            ThrowFixed<AppendMsgOverflow>();
        }
        return S(U(U(0) - u));
    }
    const U u = ParseUnsigned<U, B, TChar>(begin, end);
    if (u >= limit) {
        ThrowFixed<AppendMsgOverflow>();
    }
    return S(u);
}

namespace {

template <class T, int B, class TChar>
T Parse(const TChar* begin, const TChar* end) {
    if constexpr (std::is_signed_v<T>) {
        return ParseSigned<T, B, TChar>(begin, end);
    } else {
        return ParseUnsigned<T, B, TChar>(begin, end);
    }
}

}  // namespace

template <class T, int B, class TChar>
T IntFromString(const TChar* data, size_t len) {
    return Parse<T, B, TChar>(data, data + len);
}

template <class T, class TChar>
T FromString(const TChar* data, size_t len) {
    return Parse<T, 10, TChar>(data, data + len);
}

// Every member of the family, for both text units.
#define LEMMIX_INT_PARSE_MEMBER(T, S, B, TChar)                        \
    template T ParseUnsigned<T, B, TChar>(const TChar*, const TChar*); \
    template S ParseSigned<S, B, TChar>(const TChar*, const TChar*);   \
    template T IntFromString<T, B, TChar>(const TChar*, size_t);       \
    template S IntFromString<S, B, TChar>(const TChar*, size_t);

// clang-format off
#define LEMMIX_INT_PARSE_BASES(T, S, TChar)                                                    \
    LEMMIX_INT_PARSE_MEMBER(T, S, 2, TChar)  LEMMIX_INT_PARSE_MEMBER(T, S, 3, TChar)           \
    LEMMIX_INT_PARSE_MEMBER(T, S, 4, TChar)  LEMMIX_INT_PARSE_MEMBER(T, S, 5, TChar)           \
    LEMMIX_INT_PARSE_MEMBER(T, S, 6, TChar)  LEMMIX_INT_PARSE_MEMBER(T, S, 7, TChar)           \
    LEMMIX_INT_PARSE_MEMBER(T, S, 8, TChar)  LEMMIX_INT_PARSE_MEMBER(T, S, 9, TChar)           \
    LEMMIX_INT_PARSE_MEMBER(T, S, 10, TChar) LEMMIX_INT_PARSE_MEMBER(T, S, 11, TChar)          \
    LEMMIX_INT_PARSE_MEMBER(T, S, 12, TChar) LEMMIX_INT_PARSE_MEMBER(T, S, 13, TChar)          \
    LEMMIX_INT_PARSE_MEMBER(T, S, 14, TChar) LEMMIX_INT_PARSE_MEMBER(T, S, 15, TChar)          \
    LEMMIX_INT_PARSE_MEMBER(T, S, 16, TChar)                                                   \
    template T FromString<T, TChar>(const TChar*, size_t);                                     \
    template S FromString<S, TChar>(const TChar*, size_t);
// clang-format on

#define LEMMIX_INT_PARSE_TYPES(TChar)                    \
    LEMMIX_INT_PARSE_BASES(unsigned short, short, TChar) \
    LEMMIX_INT_PARSE_BASES(unsigned int, int, TChar)     \
    LEMMIX_INT_PARSE_BASES(unsigned long, long, TChar)   \
    LEMMIX_INT_PARSE_BASES(unsigned long long, long long, TChar)

LEMMIX_INT_PARSE_TYPES(char)
LEMMIX_INT_PARSE_TYPES(wchar16)

#undef LEMMIX_INT_PARSE_TYPES
#undef LEMMIX_INT_PARSE_BASES
#undef LEMMIX_INT_PARSE_MEMBER
