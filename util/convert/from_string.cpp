// The whole-text conversions to floating-point values, booleans and strings. The integer ones
// live with their kernels (int_parse.cpp).
#include "util/convert/from_string.h"

#include "util/convert/cast_exception.h"
#include "util/convert/decimal_scanner.h"
#include "util/convert/text_predicates.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

[[noreturn]] void ThrowCannotParse(const char* what, const char* data, size_t len) {
    TFromStringException e;
    e << "cannot parse " << what << "(" << Stroka(data, len) << ")";
    throw e;
}

}  // namespace

template <>
double FromString<double, char>(const char* data, size_t len) {
    char* stop = nullptr;
    const double value = StrToD(data, data + len, &stop);
    if (stop != data + len) {
        ThrowCannotParse("float", data, len);
    }
    return value;
}

template <>
float FromString<float, char>(const char* data, size_t len) {
    return float(FromString<double, char>(data, len));
}

template <>
long double FromString<long double, char>(const char* data, size_t len) {
    // sscanf needs a NUL-terminated text; only the first 256 bytes are looked at.
    const size_t n = std::min<size_t>(len, 256);
    char buf[257];
    if (n) {
        std::memcpy(buf, data, n);  // an empty text may come without any data
    }
    buf[n] = 0;
    long double value = 0;
    char after = 0;
    if (std::sscanf(buf, "%Lg%c", &value, &after) != 1) {
        ThrowCannotParse("float", buf, n);
    }
    return value;
}

template <>
long double FromStringAlias<long double>(const char* data, size_t len) {
    return FromString<long double, char>(data, len);
}

template <>
bool FromString<bool, char>(const char* data, size_t len) {
    if (len == 1 && (data[0] == '1' || data[0] == '0')) {
        return data[0] == '1';
    }
    const TCharRange text(data, len);
    if (IsTrue(text)) {
        return true;
    }
    if (IsFalse(text)) {
        return false;
    }
    ThrowCannotParse("bool", data, len);
}

template <>
Stroka FromString<Stroka, char>(const char* data, size_t len) {
    return Stroka(data, len);
}

template <>
TUtf16String FromString<TUtf16String, wchar16>(const wchar16* data, size_t len) {
    return TUtf16String(data, len);
}
