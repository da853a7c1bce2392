// StrToD reads the same double as the C library's strtod from the text it accepts, stops
// where strtod stops on that text, and FromString<double/float> raise only the conversion
// error.
#include "util/convert/decimal_scanner.h"
#include "util/convert/from_string.h"
#include "util/generic/exception.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// True when an exponent field has more than 4 digits: StrToD caps such exponents on purpose.
bool HasLongExponent(const std::string& s) {
    size_t e = s.find_first_of("eE");
    if (e == std::string::npos) {
        return false;
    }
    size_t i = e + 1;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        ++digits;
        ++i;
    }
    return digits > 4;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* begin = reinterpret_cast<const char*>(data);
    const char* end = begin + size;
    char* stop = nullptr;
    const double got = StrToD(begin, end, &stop);
    if (stop < begin || stop > end) {
        abort();
    }
    if (stop == begin) {
        if (got != 0) {
            abort();
        }
    } else {
        const std::string accepted(begin, static_cast<const char*>(stop));
        if (!HasLongExponent(accepted)) {
            char* cstop = nullptr;
            const double want = strtod(accepted.c_str(), &cstop);
            if (cstop != accepted.c_str() + accepted.size()) {
                abort();
            }
            if (std::memcmp(&want, &got, sizeof(double)) != 0) {
                abort();
            }
        }
    }
    try {
        FromString<double, char>(begin, size);
    } catch (const kexception&) {
    }
    try {
        FromString<float, char>(begin, size);
    } catch (const kexception&) {
    }
    try {
        FromString<long double, char>(begin, size);
    } catch (const kexception&) {
    }
    return 0;
}
