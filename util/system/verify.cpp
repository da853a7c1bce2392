#include "util/system/verify.h"

#include "util/system/backtrace.h"
#include "util/system/spinlock.h"

#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
// Serialises reports of several threads, so that their lines never interleave.
constinit TSpinLockWord ReportLock{0};

void WriteAll(int fd, const char* data, size_t length) noexcept {
    while (length > 0) {
        const ssize_t n = write(fd, data, length);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        data += n;
        length -= static_cast<size_t>(n);
    }
}

const char* OrNull(const char* text) {
    return text ? text : "(null)";
}

std::string FormatMessage(const char* format, va_list args) {
    std::string result(256, '\0');
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        const int n = vsnprintf(result.data(), result.size(), format ? format : "", copy);
        va_end(copy);
        if (n < 0) {
            return "(bad format)";
        }
        if (static_cast<size_t>(n) < result.size()) {
            result.resize(static_cast<size_t>(n));
            return result;
        }
        result.resize(static_cast<size_t>(n) + 1);
    }
}

void WriteReport(const char* file, int line, const char* function, const char* expression,
                 const char* format, va_list args) {
    std::string report = "VERIFY failed: " + FormatMessage(format, args) + "\n";
    report += std::string("  ") + OrNull(file) + ":" + std::to_string(line) + "\n";
    report += std::string("  ") + OrNull(function) + "(): requirement " + OrNull(expression) +
              " failed\n";
    WriteAll(STDERR_FILENO, report.data(), report.size());

    void* frames[300];
    const size_t count = BackTrace(frames, 300);
    char buf[1100];
    for (size_t i = 0; i < count; ++i) {
        WriteAll(STDERR_FILENO, buf, FormatBackTraceLine(frames[i], buf, sizeof(buf)));
    }
}
}  // namespace

void Panic(const char* file, int line, const char* function, const char* expression,
           const char* format, ...) noexcept {
    AcquireSpinLock(&ReportLock);
    va_list args;
    va_start(args, format);
    try {
        WriteReport(file, line, function, expression, format, args);
    } catch (...) {
        // Out of memory while building the report: the process ends all the same.
    }
    va_end(args);
    ReleaseSpinLock(&ReportLock);
    abort();
}
