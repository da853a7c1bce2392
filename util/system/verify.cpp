#include "util/system/verify.h"

#include "util/stream/output.h"
#include "util/stream/std_stream.h"
#include "util/stream/string_stream.h"
#include "util/string/printf.h"
#include "util/system/backtrace.h"
#include "util/system/spinlock.h"

#include <cstdarg>
#include <cstdlib>

namespace {
// Serialises reports of several threads, so that their lines never interleave.
constinit TSpinLockWord ReportLock{0};

const char* OrNull(const char* text) {
    return text ? text : "(null)";
}

void WriteReport(const char* file, int line, const char* function, const char* expression,
                 const char* format, va_list args) {
    Stroka message;
    VSprintf(message, format, args);

    Stroka report;
    TStringOutput out(report);
    out << "VERIFY failed: " << message << Endl;
    out << "  " << OrNull(file) << ":" << line << Endl;
    out << "  " << OrNull(function) << "(): requirement " << OrNull(expression) << " failed"
        << Endl;

    StdErrStream().Write(report.data(), report.size());
    PrintBackTrace();
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
        // Out of memory or a failing standard error: the process ends all the same.
    }
    va_end(args);
    ReleaseSpinLock(&ReportLock);
    abort();
}
