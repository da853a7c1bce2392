// Reading words and numbers from any input stream with operator>>, and UTF-8 text into UTF-16.
//
//     int count;
//     Stroka name;
//     in >> count >> name;     // blank-separated tokens
//
// Blanks are ' ', NUL, '\n', '\r' and '\t'; nothing else separates tokens. A number token is the
// whole run of non-blank bytes and is converted with FromString of the target type, which raises
// TFromStringException for an empty, malformed or out-of-range token. Each operator consumes its
// token and the blank that ends it.
#pragma once

#include "util/generic/string.h"
#include "util/stream/input.h"

#include <cstddef>

// A number token may hold at most this many bytes; a longer run of non-blank bytes is consumed
// whole and raises TFromStringException "number token longer than 127 bytes".
inline constexpr size_t MaxNumberTokenLength = 127;

TInputStream& operator>>(TInputStream& in, short& value);
TInputStream& operator>>(TInputStream& in, unsigned short& value);
TInputStream& operator>>(TInputStream& in, int& value);
TInputStream& operator>>(TInputStream& in, unsigned int& value);
TInputStream& operator>>(TInputStream& in, long& value);
TInputStream& operator>>(TInputStream& in, unsigned long& value);
TInputStream& operator>>(TInputStream& in, long long& value);
TInputStream& operator>>(TInputStream& in, unsigned long long& value);
TInputStream& operator>>(TInputStream& in, float& value);
TInputStream& operator>>(TInputStream& in, double& value);
TInputStream& operator>>(TInputStream& in, long double& value);

// One byte, blanks included; at end of input the value is unchanged.
TInputStream& operator>>(TInputStream& in, char& value);
TInputStream& operator>>(TInputStream& in, signed char& value);
TInputStream& operator>>(TInputStream& in, unsigned char& value);

// The next word, of any length; empty at end of input.
TInputStream& operator>>(TInputStream& in, Stroka& value);
// The next word decoded from UTF-8 (malformed bytes become U+FFFD; an incomplete sequence at
// the end of the word is dropped); empty at end of input.
TInputStream& operator>>(TInputStream& in, TUtf16String& value);

// The next line (as TInputStream::ReadLine) decoded from UTF-8 like the word above; false at
// end of input, the line then unchanged.
bool ReadLine(TInputStream& in, TUtf16String& line);

// Decodes UTF-8 bytes into at most dstLen UTF-16 units; *read and *written get the bytes read
// and the units written. Returns a RECODE_RESULT: 0 all read; 1 the input ends inside a
// sequence (left unread); 2 the output is full with input left; 3 all read, the last character
// malformed and written as U+FFFD. An overlong form or an encoded surrogate is malformed, one
// U+FFFD a byte, as in every UTF-8 decoder of the library; a well-formed four-byte value above
// U+10FFFF becomes one U+FFFD.
int RecodeToUnicode(const char* src, wchar16* dst, size_t srcLen, size_t dstLen, size_t* read,
                    size_t* written);
