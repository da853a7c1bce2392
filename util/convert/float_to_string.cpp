#include "util/convert/float_to_string.h"

#include "util/convert/dtoa.h"
#include "util/convert/int_to_string.h"
#include "util/generic/exception.h"

#include <cstdio>

namespace {

// Appends while there is room and silently drops the rest: a short buffer cuts the text.
class TCutWriter {
public:
    TCutWriter(char* buf, size_t len) noexcept : Buf_(buf), Len_(len) {}

    void Put(char c) noexcept {
        if (Pos_ < Len_) {
            Buf_[Pos_++] = c;
        }
    }

    void Put(const char* begin, const char* end) noexcept {
        for (; begin != end; ++begin) {
            Put(*begin);
        }
    }

    void Repeat(char c, int n) noexcept {
        for (; n > 0; --n) {
            Put(c);
        }
    }

    size_t Written() const noexcept { return Pos_; }

private:
    char* Buf_;
    size_t Len_;
    size_t Pos_ = 0;
};

// Lays out digits d1..dn with value 0.d1..dn * 10^point in fixed or exponent form.
size_t Format(double value, int mode, int ndigits, int fixedLimit, char* buf, size_t len) {
    NDtoa::TParserClosure closure;
    int point = 0;
    int sign = 0;
    char* end = nullptr;
    const char* digits = NDtoa::DoubleToDigits(closure, value, mode, ndigits, &point, &sign, &end);
    while (end - digits > 1 && end[-1] == '0') {
        --end;
    }
    TCutWriter out(buf, len);
    if (sign) {
        out.Put('-');
    }
    const int count = int(end - digits);
    if (point == 9999) {
        out.Put(digits, end);
    } else if (point < -3 || point > fixedLimit) {
        out.Put(digits[0]);
        if (count > 1) {
            out.Put('.');
            out.Put(digits + 1, end);
        }
        const int exponent = point - 1;
        out.Put('e');
        out.Put(exponent < 0 ? '-' : '+');
        const unsigned magnitude = unsigned(exponent < 0 ? -exponent : exponent);
        if (magnitude < 10) {
            out.Put('0');
        }
        char text[16];
        const size_t n = IntToStringImpl<unsigned int, 10>(magnitude, text, sizeof(text));
        out.Put(text, text + n);
    } else if (point >= 1) {
        if (count <= point) {
            out.Put(digits, end);
            out.Repeat('0', point - count);
        } else {
            out.Put(digits, digits + point);
            out.Put('.');
            out.Put(digits + point, end);
        }
    } else {
        out.Put('0');
        out.Put('.');
        out.Repeat('0', -point);
        out.Put(digits, end);
    }
    return out.Written();
}

}  // namespace

size_t FloatToString(double value, char* buf, size_t len) {
    return Format(value, 4, 10, 10, buf, len);
}

size_t FloatToString(float value, char* buf, size_t len) {
    return Format(double(value), 2, 6, 6, buf, len);
}

size_t FormatLongDouble(long double value, char* buf, size_t len) {
    const int n = std::snprintf(buf, len, "%.10Lg", value);
    if (n < 0 || size_t(n) >= len) {
        throw kexception() << "cannot format float";
    }
    return size_t(n);
}

size_t FormatLongDouble(char* buf, size_t len, long double value) {
    return FormatLongDouble(value, buf, len);
}
