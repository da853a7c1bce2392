// Unicode text in tests, through the library's one UTF-8 and UTF-16 codec.
#include "util/testing/utf.h"

#include "util/charset/unicode_utf16.h"
#include "util/charset/utf8.h"

#include <cstdint>

namespace NTesting {
std::u16string Utf8ToUtf16(std::string_view utf8) {
    const TUtf16String decoded = DecodeUtf8(utf8.data(), utf8.size());
    return Std(decoded);
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    const wchar16* p = utf16.data();
    const wchar16* end = p + utf16.size();
    while (p < end) {
        uint8_t bytes[4];
        const size_t n = WriteUtf8Char(ReadUtf16CodePoint(p, end), bytes);
        out.append(reinterpret_cast<const char*>(bytes), n);
    }
    return out;
}
}  // namespace NTesting
