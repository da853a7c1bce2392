#include "util/string/string_ops.h"

#include "util/charset/unicode_utf16.h"
#include "util/charset/utf8.h"
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
        uint32_t cp = 0;
        size_t n = 0;
        // Beyond U+10FFFF a whole sequence becomes one U+FFFD rather than an error.
        if (ReadUtf8Char(p, end, cp, n, EUtf8Range::FourBytes) != RECODE_OK) {
            target.resize(oldLength);
            ThrowInvalidUtf8(utf8);
        }
        p += n;
        out += WriteUtf16CodePoint(cp, out);
    }
    target.resize(oldLength + (out - start));
}
