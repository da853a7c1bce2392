// printf-style formatting into output streams and strings (the VERIFY report, lemma
// frequencies, unknown open-mode bits). The format and arguments are those of vsnprintf; a
// text of any length is written whole, with one write.
#pragma once

#include "util/generic/string.h"
#include "util/stream/output.h"

#include <cstdarg>
#include <cstddef>

// Writes the formatted text to `out` and returns its length in bytes. Raises TSystemError
// "vsnprintf failed" when the C library cannot format the arguments at all (for example a
// wide string that has no multibyte form in the current locale); nothing is written then.
size_t Printf(TOutputStream& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
size_t VPrintf(TOutputStream& out, const char* format, va_list args);

// Replaces the contents of `s` with the formatted text; returns its length.
int VSprintf(Stroka& s, const char* format, va_list args);
int SprintfInto(Stroka& s, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The formatted text as a new string.
Stroka Sprintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Appends the formatted text to `s`; returns the length appended.
int AppendFormatted(Stroka& s, const char* format, ...) __attribute__((format(printf, 2, 3)));
