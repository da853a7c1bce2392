// Backslash escaping of 8-bit and UTF-16 text, as shown in messages ("unexpected symbol" of the
// number parsers, option values, undecodable UTF-8) and in the word-per-line output.
//
// EscapeC keeps printable ASCII, writes \" \\ \r \n \t, and writes any other character in the
// shortest form that the following character cannot extend: \7 when no octal digit follows,
// \xFF when no hexadecimal digit follows, else three octal digits \377; 16-bit units of 256 and
// above become \uXXXX (each unit of a surrogate pair on its own). UnescapeC reads these forms and
// the C ones back (\b \f \x \u \U and octal escapes); it never fails.
#pragma once

#include "util/generic/string.h"

// Appends the escaped form of [data, data + length) to `out`; returns `out`.
Stroka& EscapeC(const char* data, size_t length, Stroka& out);
TUtf16String& EscapeC(const wchar16* data, size_t length, TUtf16String& out);

// Appends the escaped form of `s` to `out`; returns `out`.
Stroka& EscapeC(const Stroka& s, Stroka& out);
TUtf16String& EscapeC(const TUtf16String& s, TUtf16String& out);

// The escaped form of `s` as a new string.
Stroka EscapeC(const Stroka& s);
TUtf16String EscapeC(const TUtf16String& s);

// The escaped text between double quotes.
Stroka QuoteString(const Stroka& s);
TUtf16String QuoteString(const TUtf16String& s);

// Appends the unescaped form of [data, data + length) to `out`; returns `out`. In the 8-bit
// form \u and \U code points are appended as UTF-8; in the 16-bit form as one unit or a
// surrogate pair (U+FFFD above U+10FFFF).
Stroka& UnescapeC(const char* data, size_t length, Stroka& out);
TUtf16String& UnescapeC(const wchar16* data, size_t length, TUtf16String& out);

Stroka& UnescapeC(const Stroka& s, Stroka& out);
TUtf16String& UnescapeC(const TUtf16String& s, TUtf16String& out);

Stroka UnescapeC(const Stroka& s);
TUtf16String UnescapeC(const TUtf16String& s);
