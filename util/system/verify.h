// VERIFY: the check for internal invariants that must never break (a POSIX call of a mutex or
// of the thread-local-storage master that cannot fail in a sound program). A failed check is
// the system's only fatal diagnostic: a report on standard error with the failed requirement,
// where it is and a back trace, and then abort(). Ordinary failures are exceptions.
//
//     VERIFY(result == 0, "mutex lock failure (%s)", strerror(result));
//
// The report reads:
//     VERIFY failed: <message formatted by printf rules>
//       <source>:<line>
//       <function>(): requirement <expression> failed
//     <back trace, one frame per line>
#pragma once

#include <cstddef>

// Writes the report for a failed requirement and aborts. Never returns. `format` and the
// arguments follow printf; a null file, function or expression prints as "(null)". Reports
// from several threads are serialised: a second failing thread waits until the first report
// is out, and the first one ends the process.
[[noreturn]] void Panic(const char* file, int line, const char* function, const char* expression,
                        const char* format, ...) noexcept __attribute__((format(printf, 5, 6)));

namespace NPrivate {
// The source name of a file compiled in this tree: `path` without the repository root,
// e.g. "util/system/mutex.cpp"; a path outside the tree is returned as it is.
constexpr const char* SourceName(const char* path) noexcept {
    constexpr const char* self = __FILE__;
    constexpr const char suffix[] = "util/system/verify.h";
    size_t selfLen = 0;
    while (self[selfLen]) {
        ++selfLen;
    }
    const size_t suffixLen = sizeof(suffix) - 1;
    if (selfLen < suffixLen) {
        return path;
    }
    const size_t rootLen = selfLen - suffixLen;
    for (size_t i = 0; i < rootLen; ++i) {
        if (path[i] != self[i]) {
            return path;
        }
    }
    return path + rootLen;
}
}  // namespace NPrivate

// REQUIRES: at least the message format after the expression.
#define VERIFY(expr, ...)                                                                          \
    do {                                                                                           \
        if (__builtin_expect(!(expr), 0)) {                                                        \
            ::Panic(::NPrivate::SourceName(__FILE__), __LINE__, __FUNCTION__, #expr, __VA_ARGS__); \
        }                                                                                          \
    } while (false)
