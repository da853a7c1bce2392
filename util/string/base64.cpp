// Base64 encoders of both alphabets and the lenient decoder shared by them.
#include "util/string/base64.h"

#include "util/generic/exception.h"

#include <array>
#include <cstdint>

namespace {

constexpr char StandardAlphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char UrlAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

// Both alphabets share one table, so mixed text decodes; every other byte is zero bits.
constexpr std::array<uint8_t, 256> MakeDecodeTable() {
    std::array<uint8_t, 256> table{};
    for (int i = 0; i < 64; ++i) {
        table[static_cast<unsigned char>(StandardAlphabet[i])] = static_cast<uint8_t>(i);
        table[static_cast<unsigned char>(UrlAlphabet[i])] = static_cast<uint8_t>(i);
    }
    return table;
}

constexpr std::array<uint8_t, 256> DecodeTable = MakeDecodeTable();

char* Encode(char* out, const unsigned char* in, size_t length, const char* alphabet,
             char pad) noexcept {
    size_t i = 0;
    for (; i + 3 <= length; i += 3) {
        const unsigned b0 = in[i], b1 = in[i + 1], b2 = in[i + 2];
        *out++ = alphabet[b0 >> 2];
        *out++ = alphabet[((b0 << 4) & 0x30) | (b1 >> 4)];
        *out++ = alphabet[((b1 << 2) & 0x3C) | (b2 >> 6)];
        *out++ = alphabet[b2 & 0x3F];
    }
    if (length - i == 1) {
        const unsigned b0 = in[i];
        *out++ = alphabet[b0 >> 2];
        *out++ = alphabet[(b0 << 4) & 0x30];
        *out++ = pad;
        *out++ = pad;
    } else if (length - i == 2) {
        const unsigned b0 = in[i], b1 = in[i + 1];
        *out++ = alphabet[b0 >> 2];
        *out++ = alphabet[((b0 << 4) & 0x30) | (b1 >> 4)];
        *out++ = alphabet[(b1 << 2) & 0x3C];
        *out++ = pad;
    }
    *out = '\0';
    return out;
}

bool IsPadding(char c) noexcept {
    return c == '=' || c == ',';
}

Stroka EncodeString(const Stroka& data, bool url) {
    Stroka result;
    if (data.empty()) {
        return result;
    }
    result.ReserveAndResize(Base64EncodeBufSize(data.size()));
    // The encoder writes a NUL after the text; the string keeps room for one behind its length.
    char* out = result.MutableData();
    const auto* in = reinterpret_cast<const unsigned char*>(data.data());
    if (url) {
        Base64EncodeUrl(out, in, data.size());
    } else {
        Base64Encode(out, in, data.size());
    }
    return result;
}

}  // namespace

char* Base64Encode(char* out, const unsigned char* in, size_t length) noexcept {
    return Encode(out, in, length, StandardAlphabet, '=');
}

char* Base64EncodeUrl(char* out, const unsigned char* in, size_t length) noexcept {
    return Encode(out, in, length, UrlAlphabet, ',');
}

size_t Base64Decode(void* out, const char* begin, const char* end) {
    const size_t length = end > begin ? static_cast<size_t>(end - begin) : 0;
    if (length % 4 != 0) {
        throw kexception() << "incorrect input length for base64 decode";
    }
    if (length == 0) {
        return 0;
    }
    auto* dst = static_cast<unsigned char*>(out);
    const auto* src = reinterpret_cast<const unsigned char*>(begin);
    for (size_t i = 0; i < length; i += 4) {
        const unsigned a = DecodeTable[src[i]], b = DecodeTable[src[i + 1]];
        const unsigned c = DecodeTable[src[i + 2]], d = DecodeTable[src[i + 3]];
        *dst++ = static_cast<unsigned char>((a << 2) | (b >> 4));
        *dst++ = static_cast<unsigned char>((b << 4) | (c >> 2));
        *dst++ = static_cast<unsigned char>((c << 6) | d);
    }
    size_t result = length / 4 * 3;
    if (IsPadding(end[-1])) {
        result -= IsPadding(end[-2]) ? 2 : 1;
    }
    return result;
}

Stroka Base64Encode(const Stroka& data) {
    return EncodeString(data, false);
}

Stroka Base64EncodeUrl(const Stroka& data) {
    return EncodeString(data, true);
}

Stroka Base64Decode(const Stroka& text) {
    Stroka result;
    if (text.empty()) {
        return result;
    }
    result.ReserveAndResize(Base64DecodeBufSize(text.size()));
    const size_t n = Base64Decode(result.MutableData(), text.data(), text.data() + text.size());
    result.resize(n);
    return result;
}
