// Conversion of a whole text, given as a pointer and a length (no NUL needed, nothing trimmed),
// to a number, a boolean or a string. Every failure raises TFromStringException.
//
// Integers: IntFromString<T, B, TChar> for T in {unsigned} short, int, long, long long, bases 2
// to 16 and 8-bit or UTF-16 text; FromString<T, TChar> is the same in base 10.
// Floating point (8-bit text only): FromString<double> and FromString<float> accept exactly
// what StrToD reads ("cannot parse float(" text ")" otherwise; an empty text gives 0);
// FromString<long double> takes what sscanf's %Lg takes in the first 256 bytes.
// FromString<bool>: "1", "0" and the words of IsTrue and IsFalse or their prefixes, in any
// ASCII case ("cannot parse bool(" text ")" otherwise, "o" included).
#pragma once

#include "util/generic/string.h"

#include <cstddef>

template <class T, class TChar>
T FromString(const TChar* data, size_t len);

template <class T, int B, class TChar>
T IntFromString(const TChar* data, size_t len);

template <class T>
T FromStringAlias(const char* data, size_t len);

template <>
double FromString<double, char>(const char* data, size_t len);
template <>
float FromString<float, char>(const char* data, size_t len);
template <>
long double FromString<long double, char>(const char* data, size_t len);
template <>
bool FromString<bool, char>(const char* data, size_t len);
template <>
long double FromStringAlias<long double>(const char* data, size_t len);

// Copies of the text as a new string.
template <>
Stroka FromString<Stroka, char>(const char* data, size_t len);
template <>
TUtf16String FromString<TUtf16String, wchar16>(const wchar16* data, size_t len);
