#include "lemmer/compiler/source_line_decoder.h"

#include "util/charset/iconv.h"

#include <cstring>

namespace {

constexpr wchar16 Replacement = 0xFFFD;

bool Continuation(unsigned char b) noexcept {
    return (b & 0xC0) == 0x80;
}

// The smallest code point that needs a sequence of `length` bytes.
uint32_t ShortestFor(size_t length) noexcept {
    return length == 2 ? 0x80 : (length == 3 ? 0x800 : 0x10000);
}

}  // namespace

TLineDecodeResult DecodeSourceUtf8(const unsigned char* in, size_t length, wchar16* out,
                                   size_t capacity) noexcept {
    TLineDecodeResult r;
    size_t i = 0;
    while (i < length) {
        if (r.Units == capacity) {
            r.Complete = false;
            return r;
        }
        const unsigned char lead = in[i];
        size_t n = 0;
        uint32_t cp = 0;
        if (lead < 0x80) {
            out[r.Units++] = lead;
            ++i;
            continue;
        } else if (lead >= 0xC0 && lead <= 0xDF) {
            n = 2;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            n = 3;
            cp = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF7) {
            n = 4;
            cp = lead & 0x07;
        } else {
            out[r.Units++] = Replacement;
            ++i;
            continue;
        }
        // A byte that cannot continue the sequence makes the lead broken even where the line
        // ends before the sequence would: only a sequence cut off by the end of the line gives
        // nothing, so a stray lead before the line feed is not lost unseen.
        const size_t present = n < length - i ? n : length - i;
        bool good = true;
        for (size_t j = 1; j < present; ++j) {
            if (!Continuation(in[i + j])) {
                good = false;
                break;
            }
            cp = (cp << 6) | (in[i + j] & 0x3F);
        }
        if (!good) {
            out[r.Units++] = Replacement;
            ++i;
            continue;
        }
        if (present < n) {
            break;  // cut by the end of the line: gives nothing
        }
        i += n;
        if (cp < ShortestFor(n) || (cp >= 0xD800 && cp <= 0xDFFF)) {
            r.Malformed = true;
            out[r.Units++] = Replacement;
        } else if (cp <= 0xFFFF) {
            out[r.Units++] = static_cast<wchar16>(cp);
        } else if (cp <= 0x10FFFD) {
            if (capacity - r.Units < 2) {
                r.Complete = false;
                return r;
            }
            out[r.Units++] = static_cast<wchar16>((cp >> 10) + 0xD7C0);
            out[r.Units++] = static_cast<wchar16>(0xDC00 + (cp & 0x3FF));
        } else {
            out[r.Units++] = Replacement;
        }
    }
    return r;
}

TLineDecodeResult DecodeSingleByte(const CodePage& page, const unsigned char* in, size_t length,
                                   wchar16* out, size_t capacity) noexcept {
    TLineDecodeResult r;
    const size_t n = length < capacity ? length : capacity;
    for (size_t i = 0; i < n; ++i) {
        out[i] = static_cast<wchar16>(page.Unicode[in[i]]);
    }
    r.Units = n;
    r.Complete = n == length;
    return r;
}

TLineDecodeResult DecodeWithIconv(const CodePage& page, const unsigned char* in, size_t length,
                                  wchar16* out, size_t capacity) {
    TLineDecodeResult r;
    TIconvConverter converter("UTF-16LE", page.Name());
    if (!converter.Valid()) {
        return r;
    }
    const char* src = reinterpret_cast<const char*>(in);
    size_t srcLeft = length;
    char* dst = reinterpret_cast<char*>(out);
    size_t dstLeft = capacity * sizeof(wchar16);
    const TIconvConverter::EStatus status = converter.Convert(src, srcLeft, dst, dstLeft);
    r.Units = (capacity * sizeof(wchar16) - dstLeft) / sizeof(wchar16);
    r.Complete = status != TIconvConverter::OutputFull;
    return r;
}

bool CanDecodeSource(ECharset code) {
    if (!ValidCharset(code)) {
        return false;
    }
    const CodePage& page = *CodePageByCharset(code);
    if (page.SingleByte() || code == CODES_UTF8) {
        return true;
    }
    return TIconvConverter("UTF-16LE", page.Name()).Valid();
}
