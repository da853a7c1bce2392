// UTF-8 characters and the strict UTF-8 decoder.
#include "util/charset/utf8.h"

#include "util/charset/unicode_utf16.h"
#include "util/generic/exception.h"
#include "util/string/escape.h"

namespace {

// Inputs shorter than this are shown, escaped, in the decoder's message.
constexpr size_t QUOTED_INPUT_LIMIT = 51;

}  // namespace

size_t Utf8SequenceLength(uint8_t lead) noexcept {
    if (lead < 0x80) {
        return 1;
    }
    if (lead < 0xC0) {
        return 0;
    }
    if (lead < 0xE0) {
        return 2;
    }
    if (lead < 0xF0) {
        return 3;
    }
    return lead < 0xF8 ? 4 : 0;
}

RECODE_RESULT ReadUtf8Char(const uint8_t* p, const uint8_t* end, uint32_t& cp, size_t& length,
                           EUtf8Range range) noexcept {
    static const uint8_t LEAD_MASK[5] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    static const uint32_t SMALLEST[5] = {0, 0, 0x80, 0x800, 0x10000};
    const size_t n = Utf8SequenceLength(*p);
    length = 1;
    if (n == 0) {
        return RECODE_BROKENSYMBOL;
    }
    if (static_cast<size_t>(end - p) < n) {
        return RECODE_EOINPUT;
    }
    uint32_t value = *p & LEAD_MASK[n];
    for (size_t i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return RECODE_BROKENSYMBOL;
        }
        value = (value << 6) | (p[i] & 0x3F);
    }
    // Overlong forms and encoded surrogates are malformed: accepting them would let two byte
    // strings decode to the same text and smuggle in half pairs.
    const uint32_t largest = range == EUtf8Range::Unicode ? 0x10FFFF : 0x1FFFFF;
    if (value < SMALLEST[n] || (value >= 0xD800 && value <= 0xDFFF) || value > largest) {
        return RECODE_BROKENSYMBOL;
    }
    cp = value;
    length = n;
    return RECODE_OK;
}

size_t Utf8Length(uint32_t cp) noexcept {
    if (cp < 0x80) {
        return 1;
    }
    if (cp < 0x800) {
        return 2;
    }
    return cp < 0x10000 ? 3 : 4;
}

size_t WriteUtf8Char(uint32_t cp, uint8_t* out) noexcept {
    const size_t n = Utf8Length(cp);
    switch (n) {
        case 1:
            out[0] = static_cast<uint8_t>(cp);
            break;
        case 2:
            out[0] = static_cast<uint8_t>(0xC0 | (cp >> 6));
            out[1] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
            break;
        case 3:
            out[0] = static_cast<uint8_t>(0xE0 | (cp >> 12));
            out[1] = static_cast<uint8_t>(0x80 | ((cp >> 6) & 0x3F));
            out[2] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
            break;
        default:
            out[0] = static_cast<uint8_t>(0xF0 | ((cp >> 18) & 0x07));
            out[1] = static_cast<uint8_t>(0x80 | ((cp >> 12) & 0x3F));
            out[2] = static_cast<uint8_t>(0x80 | ((cp >> 6) & 0x3F));
            out[3] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
            break;
    }
    return n;
}

TUtf16String DecodeUtf8(const char* bytes, size_t length) {
    TUtf16String result;
    if (length == 0) {
        return result;
    }
    // Never more units than bytes: a surrogate pair comes from four bytes.
    result.ReserveAndResize(length);
    wchar16* out = result.MutableData();
    size_t units = 0;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(bytes);
    const uint8_t* end = p + length;
    while (p < end) {
        uint32_t cp = 0;
        size_t n = 0;
        if (ReadUtf8Char(p, end, cp, n) != RECODE_OK) {
            kexception error;
            error << "failed to decode UTF-8 string at pos "
                  << static_cast<unsigned long>(p - reinterpret_cast<const uint8_t*>(bytes));
            if (length < QUOTED_INPUT_LIMIT) {
                error << " in string \"" << EscapeC(Stroka(bytes, length)) << "\"";
            }
            throw error;
        }
        units += WriteUtf16CodePoint(cp, out + units);
        p += n;
    }
    result.ReserveAndResize(units);
    return result;
}
