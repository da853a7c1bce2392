// Words with runs of percent escapes: the escapes are decoded as UTF-8 and the result is
// tokenised again; a run that is a single escape or no valid UTF-8 leaves the word as it was
// written, scanned by the nested scanner, which never decodes.
#include "tokenizer/text_tokenizer.h"

#include "util/charset/unicode_utf16.h"

#include <string>
#include <vector>

namespace {

constexpr uint32_t LAST_DECODED_CODE_POINT = 0x10FFFD;

int HexValue(wchar16 u) {
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    return -1;
}

// Appends the UTF-16 form of bytes to out; false on anything but well-formed UTF-8. Overlong
// forms and encoded surrogates are refused too: they would smuggle a "/" or a lone surrogate
// past every check made on the decoded text.
bool DecodeEscapedUtf8(const std::string& bytes, std::vector<wchar16>& out) {
    size_t i = 0;
    while (i < bytes.size()) {
        const uint8_t lead = static_cast<uint8_t>(bytes[i]);
        size_t n = 0;
        uint32_t cp = 0;
        uint32_t min = 0;
        if (lead < 0x80) {
            n = 1;
            cp = lead;
        } else if (lead >= 0xC0 && lead <= 0xDF) {
            n = 2;
            cp = lead & 0x1F;
            min = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            n = 3;
            cp = lead & 0x0F;
            min = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF7) {
            n = 4;
            cp = lead & 0x07;
            min = 0x10000;
        } else {
            return false;
        }
        if (bytes.size() - i < n) {
            return false;
        }
        for (size_t k = 1; k < n; ++k) {
            const uint8_t b = static_cast<uint8_t>(bytes[i + k]);
            if ((b & 0xC0) != 0x80) {
                return false;
            }
            cp = cp << 6 | (b & 0x3F);
        }
        if (cp < min || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        // Beyond U+10FFFD the Unicode lookups of the later stages have no record.
        if (cp > LAST_DECODED_CODE_POINT) {
            cp = UNICODE_REPLACEMENT_CHARACTER;
        }
        wchar16 units[2];
        const size_t written = WriteUtf16CodePoint(cp, units);
        out.insert(out.end(), units, units + written);
        i += n;
    }
    return true;
}

}  // namespace

void TTextTokenizer::TokenizePercentEncoded(const wchar16* text, size_t length,
                                            const wchar16* sourceEnd) {
    // Units a decoding before this run removed stay with the token that ends this text.
    const size_t outerExtra = TakeExtraSource(sourceEnd);
    std::vector<wchar16> out;
    out.reserve(length + 1);
    std::string bytes;
    size_t i = 0;
    while (i < length) {
        if (text[i] != u'%') {
            out.push_back(text[i++]);
            continue;
        }
        bytes.clear();
        size_t escapes = 0;
        bool bad = false;
        while (i < length && text[i] == u'%') {
            ++escapes;
            if (length - i < 3) {
                bytes.push_back(' ');
                i = length;
                break;
            }
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high < 0 || low < 0) {
                bad = true;
                break;
            }
            const int byte = high << 4 | low;
            bytes.push_back(static_cast<char>(byte < 0x20 ? 0x20 : byte));
            i += 3;
        }
        if (bad || escapes == 1 || !DecodeEscapedUtf8(bytes, out)) {
            TokenizeRaw(text, length, outerExtra);
            return;
        }
    }
    out.push_back(0);
    TTextTokenizer decoded(Handler_, Checker_, ParagraphBreaks_, SplitTokens_);
    decoded.Execute(out.data(), out.size() - 1, length - (out.size() - 1) + outerExtra);
}

void TTextTokenizer::TokenizeRaw(const wchar16* text, size_t length, size_t extraSource) {
    TTextTokenizer raw(Handler_, Checker_, ParagraphBreaks_, SplitTokens_);
    raw.ExecuteNested(text, length, extraSource);
}
