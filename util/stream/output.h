// The byte-sink interface and the text output of strings, numbers, pointers and UTF-16 text.
//
// Implementations override the protected Do* operations; callers use the public non-virtual
// ones and operator<<, which writes each value with one DoWrite. Numbers are written as text
// through the integer formatter (util/convert/int_to_string.h); UTF-16 text as UTF-8.
#pragma once

#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>

// A sink of bytes. Not copyable; owned by whoever created it. Write raises what the
// implementation raises.
class TOutputStream {
public:
    // One piece of a vectored write.
    struct TPart {
        const void* buf = nullptr;
        size_t len = 0;

        constexpr TPart() noexcept = default;
        constexpr TPart(const void* b, size_t l) noexcept : buf(b), len(l) {}
    };

    TOutputStream() noexcept = default;
    TOutputStream(const TOutputStream&) = delete;
    TOutputStream& operator=(const TOutputStream&) = delete;
    virtual ~TOutputStream() = default;

    // Writes all bytes; a length of 0 writes nothing.
    void Write(const void* data, size_t length) {
        if (length) {
            DoWrite(data, length);
        }
    }
    void Write(char c) { DoWrite(&c, 1); }
    void Write(const TPart* parts, size_t count) { DoWriteV(parts, count); }
    void Flush() { DoFlush(); }
    void Finish() { DoFinish(); }

protected:
    // Writes all bytes or raises.
    virtual void DoWrite(const void* data, size_t length) = 0;
    // By default writes the parts in order, empty ones included.
    virtual void DoWriteV(const TPart* parts, size_t count);
    virtual void DoFlush() {}
    virtual void DoFinish() { DoFlush(); }
};

// Writes UTF-16 units as UTF-8 with one write: a high surrogate followed by a low one as one
// code point, any other high surrogate as U+FFFD, any other unit as its own code point.
TOutputStream& WriteUtf16(TOutputStream& out, const wchar16* units, size_t count);

// Writes "\n" and flushes.
TOutputStream& Endl(TOutputStream& out);
// Flushes.
TOutputStream& Flush(TOutputStream& out);

inline TOutputStream& operator<<(TOutputStream& out,
                                 TOutputStream& (*manipulator)(TOutputStream&)) {
    return manipulator(out);
}

// The bytes up to the NUL; "(null)" for a null pointer; nothing for an empty string.
TOutputStream& operator<<(TOutputStream& out, const char* s);
TOutputStream& operator<<(TOutputStream& out, const Stroka& s);
TOutputStream& operator<<(TOutputStream& out, const TCharRange& r);
TOutputStream& operator<<(TOutputStream& out, char c);
TOutputStream& operator<<(TOutputStream& out, signed char c);
TOutputStream& operator<<(TOutputStream& out, unsigned char c);
TOutputStream& operator<<(TOutputStream& out, const TUtf16String& s);
TOutputStream& operator<<(TOutputStream& out, const TWCharRange& r);
// A NUL-terminated UTF-16 text as UTF-8 ("(null)" for a null pointer), rather than its address.
TOutputStream& operator<<(TOutputStream& out, const wchar16* s);

// Numbers as decimal text ('-' before a negative value); bool as the digit 1 or 0.
TOutputStream& operator<<(TOutputStream& out, short v);
TOutputStream& operator<<(TOutputStream& out, int v);
TOutputStream& operator<<(TOutputStream& out, long v);
TOutputStream& operator<<(TOutputStream& out, long long v);
TOutputStream& operator<<(TOutputStream& out, unsigned short v);
TOutputStream& operator<<(TOutputStream& out, unsigned int v);
TOutputStream& operator<<(TOutputStream& out, unsigned long v);
TOutputStream& operator<<(TOutputStream& out, unsigned long long v);
TOutputStream& operator<<(TOutputStream& out, bool v);

// Floating-point text: float with at most 6 significant digits, double with at most 10, long
// double as "%.10Lg". Defined with the floating-point formatter in util/convert/.
TOutputStream& operator<<(TOutputStream& out, float v);
TOutputStream& operator<<(TOutputStream& out, double v);
TOutputStream& operator<<(TOutputStream& out, long double v);

// An object pointer as "0x" and 16 upper-case hexadecimal digits.
TOutputStream& operator<<(TOutputStream& out, const void* p);

// A value written in upper-case hexadecimal: with HF_ADDX after "0x", with HF_FULL padded with
// zeros to 16 digits.
struct Hex {
    enum EFlags : uint32_t {
        HF_FULL = 1,
        HF_ADDX = 2,
    };

    uint64_t Value;
    uint32_t Flags;

    constexpr explicit Hex(uint64_t value, uint32_t flags = HF_FULL | HF_ADDX) noexcept
        : Value(value), Flags(flags) {}
};

TOutputStream& operator<<(TOutputStream& out, const Hex& h);
