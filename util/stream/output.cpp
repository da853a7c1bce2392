#include "util/stream/output.h"

#include "util/charset/unicode_utf16.h"
#include "util/charset/utf8.h"
#include "util/convert/float_to_string.h"
#include "util/convert/int_to_string.h"
#include "util/generic/temp_buf.h"

#include <cstdint>
#include <cstring>

void TOutputStream::DoWriteV(const TPart* parts, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        DoWrite(parts[i].buf, parts[i].len);
    }
}

namespace {

template <class T>
TOutputStream& WriteNumber(TOutputStream& out, T value) {
    char buf[256];
    out.Write(buf, ToString<T>(value, buf, sizeof(buf)));
    return out;
}

template <class T>
TOutputStream& WriteFloat(TOutputStream& out, T value) {
    char buf[256];
    size_t n = 0;
    if constexpr (sizeof(T) > sizeof(double)) {
        n = FormatLongDouble(value, buf, sizeof(buf));
    } else {
        n = FloatToString(value, buf, sizeof(buf));
    }
    out.Write(buf, n);
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
    const wchar16* const end = units + count;
    for (const wchar16* unit = units; unit < end;) {
        p += WriteUtf8Char(ReadUtf16CodePoint(unit, end), reinterpret_cast<uint8_t*>(p));
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

TOutputStream& operator<<(TOutputStream& out, float v) {
    return WriteFloat(out, v);
}

TOutputStream& operator<<(TOutputStream& out, double v) {
    return WriteFloat(out, v);
}

TOutputStream& operator<<(TOutputStream& out, long double v) {
    return WriteFloat(out, v);
}
