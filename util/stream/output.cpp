#include "util/stream/output.h"

#include "util/convert/int_to_string.h"
#include "util/generic/temp_buf.h"

#include <cstring>

void TOutputStream::DoWriteV(const TPart* parts, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        DoWrite(parts[i].buf, parts[i].len);
    }
}

namespace {

// Appends the UTF-8 form of one code point; returns the new end.
char* PutUtf8(char* p, uint32_t c) noexcept {
    if (c < 0x80) {
        *p++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *p++ = static_cast<char>(0xC0 | (c >> 6));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *p++ = static_cast<char>(0xE0 | (c >> 12));
        *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *p++ = static_cast<char>(0xF0 | (c >> 18));
        *p++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return p;
}

bool IsHighSurrogate(uint32_t u) noexcept {
    return u >= 0xD800 && u <= 0xDBFF;
}

bool IsLowSurrogate(uint32_t u) noexcept {
    return u >= 0xDC00 && u <= 0xDFFF;
}

template <class T>
TOutputStream& WriteNumber(TOutputStream& out, T value) {
    char buf[256];
    out.Write(buf, ToString<T>(value, buf, sizeof(buf)));
    return out;
}

}  // namespace

TOutputStream& WriteUtf16(TOutputStream& out, const wchar16* units, size_t count) {
    if (count == 0) {
        return out;
    }
    TTempBuf buf(4 * count + 1);
    char* const begin = buf.Data();
    char* p = begin;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t u = units[i];
        if (IsHighSurrogate(u)) {
            if (i + 1 < count && IsLowSurrogate(units[i + 1])) {
                p = PutUtf8(p, (u - 0xD800) * 0x400 + (units[i + 1] - 0xDC00) + 0x10000);
                ++i;
            } else {
                p = PutUtf8(p, 0xFFFD);
            }
        } else {
            p = PutUtf8(p, u);
        }
    }
    out.Write(begin, static_cast<size_t>(p - begin));
    return out;
}

TOutputStream& Endl(TOutputStream& out) {
    out.Write('\n');
    out.Flush();
    return out;
}

TOutputStream& Flush(TOutputStream& out) {
    out.Flush();
    return out;
}

TOutputStream& operator<<(TOutputStream& out, const char* s) {
    if (!s) {
        out.Write("(null)", 6);
    } else {
        out.Write(s, std::strlen(s));
    }
    return out;
}

TOutputStream& operator<<(TOutputStream& out, const Stroka& s) {
    out.Write(s.data(), s.size());
    return out;
}

TOutputStream& operator<<(TOutputStream& out, const TCharRange& r) {
    out.Write(r.Data, r.Length);
    return out;
}

TOutputStream& operator<<(TOutputStream& out, char c) {
    out.Write(c);
    return out;
}

TOutputStream& operator<<(TOutputStream& out, signed char c) {
    out.Write(static_cast<char>(c));
    return out;
}

TOutputStream& operator<<(TOutputStream& out, unsigned char c) {
    out.Write(static_cast<char>(c));
    return out;
}

TOutputStream& operator<<(TOutputStream& out, const TUtf16String& s) {
    return WriteUtf16(out, s.data(), s.size());
}

TOutputStream& operator<<(TOutputStream& out, const TWCharRange& r) {
    return WriteUtf16(out, r.Data, r.Length);
}

TOutputStream& operator<<(TOutputStream& out, const wchar16* s) {
    if (!s) {
        out.Write("(null)", 6);
        return out;
    }
    return WriteUtf16(out, s, TCharTraits<wchar16>::GetLength(s));
}

TOutputStream& operator<<(TOutputStream& out, short v) {
    return WriteNumber(out, v);
}

TOutputStream& operator<<(TOutputStream& out, int v) {
    return WriteNumber(out, v);
}

TOutputStream& operator<<(TOutputStream& out, long v) {
    return WriteNumber(out, v);
}

TOutputStream& operator<<(TOutputStream& out, long long v) {
    return WriteNumber(out, v);
}

TOutputStream& operator<<(TOutputStream& out, unsigned short v) {
    return WriteNumber(out, v);
}

TOutputStream& operator<<(TOutputStream& out, unsigned int v) {
    return WriteNumber(out, v);
}

TOutputStream& operator<<(TOutputStream& out, unsigned long v) {
    return WriteNumber(out, v);
}

TOutputStream& operator<<(TOutputStream& out, unsigned long long v) {
    return WriteNumber(out, v);
}

TOutputStream& operator<<(TOutputStream& out, bool v) {
    return WriteNumber(out, v);
}

TOutputStream& operator<<(TOutputStream& out, const void* p) {
    return out << Hex(reinterpret_cast<uintptr_t>(p), Hex::HF_FULL | Hex::HF_ADDX);
}

TOutputStream& operator<<(TOutputStream& out, const Hex& h) {
    char digits[16];
    const size_t n = IntToStringImpl<unsigned long, 16>(h.Value, digits, sizeof(digits));
    if (h.Flags & Hex::HF_ADDX) {
        out.Write("0x", 2);
    }
    if ((h.Flags & Hex::HF_FULL) && n < 16) {
        out.Write("0000000000000000", 16 - n);
    }
    out.Write(digits, n);
    return out;
}
