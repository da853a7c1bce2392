// Case changes of strings: UTF-16 text through the Unicode property table (simple, one-to-one
// mappings), 8-bit text through a single-byte code page's case tables.
//
// Every operation changes the string in place, reports whether anything changed, and takes a
// private copy of a shared string only at the first actual change. A range (pos, n) is cut to
// the string: it starts at min(pos, length) and holds at most what remains.
#pragma once

#include "util/charset/codepage.h"
#include "util/generic/string.h"

#include <cstddef>

constexpr size_t CASE_WHOLE_STRING = static_cast<size_t>(-1);

// Code points of the range mapped to upper (lower) case. A surrogate pair is one code point; a
// high surrogate without its low one is left in place. The length never changes.
bool ToUpper(TUtf16String& s, size_t pos = 0, size_t n = CASE_WHOLE_STRING);
bool ToLower(TUtf16String& s, size_t pos = 0, size_t n = CASE_WHOLE_STRING);
// The first code point to title case, the rest to lower case.
bool ToTitle(TUtf16String& s);

// Bytes of the range through the lower-case (upper-case) table of page cp.
// Raises kexception for a record whose code is not 0 to 112.
bool ToLower(Stroka& s, size_t pos, size_t n, const CodePage& cp);
bool ToUpper(Stroka& s, size_t pos, size_t n, const CodePage& cp);
// The first byte through the title-case table (the upper-case one), the rest through the
// lower-case table.
bool ToTitle(Stroka& s, const CodePage& cp);
