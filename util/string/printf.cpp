#include "util/string/printf.h"

#include "util/generic/exception.h"
#include "util/generic/temp_buf.h"
#include "util/stream/string_stream.h"

#include <algorithm>
#include <cstdio>

namespace {
// A negative vsnprintf result is taken for a buffer that was too small, as older C libraries
// reported it, but only until the buffer reaches this size: a C99 library returns a negative
// result for a format it cannot convert at any size, and doubling for ever would end only
// when memory runs out.
const size_t MaxBufferForNegativeResults = 1 << 20;
}  // namespace

size_t VPrintf(TOutputStream& out, const char* format, va_list args) {
    TTempBuf buf;
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        int result = vsnprintf(buf.Data(), buf.Size(), format, copy);
        va_end(copy);
        if (result < 0) {
            if (buf.Size() >= MaxBufferForNegativeResults) {
                throw TSystemError() << "vsnprintf failed";
            }
            result = static_cast<int>(std::min<size_t>(buf.Size(), 0x7FFFFFFF));
        }
        const size_t length = static_cast<size_t>(result);
        if (length < buf.Size()) {
            out.Write(buf.Data(), length);
            return length;
        }
        buf = TTempBuf(std::max(length + 1, 2 * buf.Size()));
    }
}

size_t Printf(TOutputStream& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    try {
        const size_t n = VPrintf(out, format, args);
        va_end(args);
        return n;
    } catch (...) {
        va_end(args);
        throw;
    }
}

int VSprintf(Stroka& s, const char* format, va_list args) {
    s.clear();
    TStringOutput out(s);
    return static_cast<int>(VPrintf(out, format, args));
}

int SprintfInto(Stroka& s, const char* format, ...) {
    va_list args;
    va_start(args, format);
    try {
        const int n = VSprintf(s, format, args);
        va_end(args);
        return n;
    } catch (...) {
        va_end(args);
        throw;
    }
}

Stroka Sprintf(const char* format, ...) {
    Stroka s;
    va_list args;
    va_start(args, format);
    try {
        VSprintf(s, format, args);
    } catch (...) {
        va_end(args);
        throw;
    }
    va_end(args);
    return s;
}

int AppendFormatted(Stroka& s, const char* format, ...) {
    TStringOutput out(s);
    va_list args;
    va_start(args, format);
    try {
        const int n = static_cast<int>(VPrintf(out, format, args));
        va_end(args);
        return n;
    } catch (...) {
        va_end(args);
        throw;
    }
}
