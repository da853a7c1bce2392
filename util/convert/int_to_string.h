// Integers to text in bases 2 to 16, written into a caller's buffer.
//
// The digits (upper-case above 9) go to the start of the buffer, most significant first, with
// '-' before a negative value; no prefix, no padding, no NUL. The functions return the count of
// characters written and never allocate on success. A buffer of length 0 raises kexception
// "zero length" (a negative value "not enough room in buffer"); a text that does not fit raises
// "not enough room in buffer". Any thread may call them.
#pragma once

#include <cstddef>
#include <type_traits>

namespace NIntToStringPrivate {

template <class T>
inline constexpr bool IsFormattable =
    std::is_same_v<T, unsigned long long> || std::is_same_v<T, unsigned long> ||
    std::is_same_v<T, unsigned int> || std::is_same_v<T, unsigned short> ||
    std::is_same_v<T, unsigned char> || std::is_same_v<T, long long> || std::is_same_v<T, long> ||
    std::is_same_v<T, int> || std::is_same_v<T, wchar_t> || std::is_same_v<T, short> ||
    std::is_same_v<T, signed char> || std::is_same_v<T, char>;

// The unsigned type of the same width; char and wchar_t count as signed numbers.
template <class T>
struct TUnsignedOf {
    using TType = std::make_unsigned_t<T>;
};

template <class T>
inline constexpr bool IsSignedNumber =
    std::is_same_v<T, char> || std::is_same_v<T, wchar_t> || std::is_signed_v<T>;

[[noreturn]] void ThrowZeroLength();
[[noreturn]] void ThrowNoRoom();

inline constexpr char Digits[] = "0123456789ABCDEF";

}  // namespace NIntToStringPrivate

// The kernel for an unsigned T: the digits of value in base B.
template <class T, unsigned long B>
size_t IntToStringImpl(T value, char* buf, size_t len) {
    static_assert(std::is_unsigned_v<T> && NIntToStringPrivate::IsFormattable<T>,
                  "an unsigned integer type of 8 to 64 bits");
    static_assert(B >= 2 && B <= 16, "bases 2 to 16");
    if (len == 0) {
        NIntToStringPrivate::ThrowZeroLength();
    }
    size_t i = 0;
    for (;;) {
        buf[i++] = NIntToStringPrivate::Digits[value % B];
        value = static_cast<T>(value / B);
        if (value == 0) {
            break;
        }
        if (i == len) {
            NIntToStringPrivate::ThrowNoRoom();
        }
    }
    for (size_t a = 0, b = i - 1; a < b; ++a, --b) {
        const char t = buf[a];
        buf[a] = buf[b];
        buf[b] = t;
    }
    return i;
}

// Any of the twelve integer types in base B; the sign is written only after the digits fit.
template <class T, unsigned long B>
size_t IntToString(T value, char* buf, size_t len) {
    static_assert(NIntToStringPrivate::IsFormattable<T>, "one of the twelve integer types");
    using TUnsigned = typename NIntToStringPrivate::TUnsignedOf<T>::TType;
    if constexpr (NIntToStringPrivate::IsSignedNumber<T>) {
        if (value < 0) {
            if (len < 2) {
                NIntToStringPrivate::ThrowNoRoom();
            }
            const TUnsigned magnitude =
                static_cast<TUnsigned>(TUnsigned(0) - static_cast<TUnsigned>(value));
            const size_t n = IntToStringImpl<TUnsigned, B>(magnitude, buf + 1, len - 1);
            buf[0] = '-';
            return n + 1;
        }
    }
    return IntToStringImpl<TUnsigned, B>(static_cast<TUnsigned>(value), buf, len);
}

// The decimal text of an integer; for bool the digit 1 or 0.
template <class T>
size_t ToString(T value, char* buf, size_t len) {
    if constexpr (std::is_same_v<T, bool>) {
        if (len == 0) {
            NIntToStringPrivate::ThrowZeroLength();
        }
        buf[0] = value ? '1' : '0';
        return 1;
    } else {
        return IntToString<T, 10>(value, buf, len);
    }
}
