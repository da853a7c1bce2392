#include "util/string/string_ops.h"

#include "util/charset/unicode_utf16.h"
#include "util/generic/exception.h"

#include <cstdint>
#include <cstring>

namespace {

// A 256-bit set of bytes.
class TByteSet {
public:
    TByteSet(const char* set, size_t length) {
        for (size_t i = 0; i < length; ++i) {
            const uint8_t b = static_cast<uint8_t>(set[i]);
            Bits_[b >> 6] |= uint64_t(1) << (b & 63);
        }
    }

    bool Has(char c) const {
        const uint8_t b = static_cast<uint8_t>(c);
        return (Bits_[b >> 6] >> (b & 63)) & 1;
    }

private:
    uint64_t Bits_[4] = {0, 0, 0, 0};
};

constexpr size_t MESSAGE_PREFIX_BYTES = 50;

[[noreturn]] void ThrowInvalidUtf8(const TCharRange& utf8) {
    const bool cut = utf8.Length > MESSAGE_PREFIX_BYTES;
    throw kexception() << "Invalid UTF8: \""
                       << TCharRange(utf8.Data, cut ? MESSAGE_PREFIX_BYTES : utf8.Length)
                       << (cut ? "...\"" : "\"");
}

// Decodes one sequence at p (before end) into cp and returns its length, or 0 when malformed.
size_t DecodeSequence(const uint8_t* p, const uint8_t* end, uint32_t* cp) {
    const uint8_t lead = p[0];
    size_t length;
    uint32_t min;
    if (lead < 0x80) {
        *cp = lead;
        return 1;
    } else if (lead < 0xC0) {
        return 0;
    } else if (lead < 0xE0) {
        length = 2, min = 0x80, *cp = lead & 0x1F;
    } else if (lead < 0xF0) {
        length = 3, min = 0x800, *cp = lead & 0x0F;
    } else if (lead < 0xF8) {
        length = 4, min = 0x10000, *cp = lead & 0x07;
    } else {
        return 0;
    }
    if (static_cast<size_t>(end - p) < length) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return 0;
        }
        *cp = (*cp << 6) | (p[i] & 0x3F);
    }
    // Overlong forms and encoded surrogates are malformed: accepting them would let two byte
    // strings decode to the same text and smuggle in half pairs.
    if (*cp < min || (*cp >= 0xD800 && *cp <= 0xDFFF)) {
        return 0;
    }
    return length;
}

}  // namespace

const char* FindFirstOf(const char* data, size_t length, const char* set, size_t setLength) {
    if (setLength == 0) {
        return data + length;
    }
    if (setLength == 1) {
        const void* found = length ? std::memchr(data, set[0], length) : nullptr;
        return found ? static_cast<const char*>(found) : data + length;
    }
    const TByteSet bytes(set, setLength);
    const char* p = data;
    while (p != data + length && !bytes.Has(*p)) {
        ++p;
    }
    return p;
}

const char* FindFirstNotOf(const char* data, size_t length, const char* set, size_t setLength) {
    const TByteSet bytes(set, setLength);
    const char* p = data;
    while (p != data + length && bytes.Has(*p)) {
        ++p;
    }
    return p;
}

void ReverseUtf16(TUtf16String& s) {
    const size_t length = s.size();
    TUtf16String reversed;
    reversed.ReserveAndResize(length);
    wchar16* out = reversed.MutableData() + length;
    const wchar16* in = s.data();
    for (size_t i = 0; i < length;) {
        if (IsHighSurrogate(in[i]) && i + 1 < length && IsLowSurrogate(in[i + 1])) {
            out -= 2;
            out[0] = in[i];
            out[1] = in[i + 1];
            i += 2;
        } else {
            *--out = in[i++];
        }
    }
    s.swap(reversed);
}

void Utf8ToUtf16(const TCharRange& utf8, TUtf16String& target) {
    const size_t oldLength = target.size();
    target.ReserveAndResize(oldLength + utf8.Length);
    wchar16* out = target.MutableData() + oldLength;
    const wchar16* const start = out;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(utf8.Data);
    const uint8_t* const end = p + utf8.Length;
    while (p != end) {
        uint32_t cp;
        const size_t n = DecodeSequence(p, end, &cp);
        if (n == 0) {
            target.resize(oldLength);
            ThrowInvalidUtf8(utf8);
        }
        p += n;
        out += WriteUtf16CodePoint(cp, out);
    }
    target.resize(oldLength + (out - start));
}
