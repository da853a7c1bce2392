// Text in tests: library strings compared with standard literals, and UTF-8 literals as
// UTF-16 and back.
#pragma once

#include "util/generic/string.h"

#include <string>
#include <string_view>

namespace NTesting {
// A library string as a standard one, for comparison with literals and readable failures.
inline std::u16string Std(const TUtf16String& s) {
    return std::u16string(s.data(), s.size());
}
inline std::u16string Std(const wchar16* units, size_t length) {
    return std::u16string(units, length);
}
inline std::u16string Std(TWCharRange units) {
    return std::u16string(units.Data, units.Length);
}
inline std::string Std(const Stroka& s) {
    return std::string(s.data(), s.size());
}

// A standard literal as a library string.
inline TUtf16String Wide(std::u16string_view s) {
    return TUtf16String(s.data(), s.size());
}

// Well-formed UTF-8 as UTF-16; a malformed literal raises as DecodeUtf8 does.
std::u16string Utf8ToUtf16(std::string_view utf8);
// UTF-16 as UTF-8; a high surrogate without its pair becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);
}  // namespace NTesting
