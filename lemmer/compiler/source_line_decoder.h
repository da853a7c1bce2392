// Decoding of one raw source line into UTF-16 units, by the kind of the source's code page.
#pragma once

#include "util/charset/codepage.h"
#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>

struct TLineDecodeResult {
    size_t Units = 0;        // units written
    bool Complete = true;    // false when the output had no room for the rest of the line
    bool Malformed = false;  // an overlong UTF-8 form or an encoded surrogate was met
};

// The lenient UTF-8 decoder of dictionary sources: an invalid lead byte or continuation byte
// gives one U+FFFD and decoding goes on at the next byte (also where the line ends before the
// sequence would); a sequence whose bytes all continue it but are cut by the end of the input
// gives nothing; a code point above U+10FFFD gives U+FFFD; one above U+FFFF a surrogate
// pair. Overlong forms and encoded surrogates decode to U+FFFD and set Malformed (an overlong
// NUL would otherwise end the 0-terminated keys of the tables early).
TLineDecodeResult DecodeSourceUtf8(const unsigned char* in, size_t length, wchar16* out,
                                   size_t capacity) noexcept;

// One unit per byte through the page's byte table.
TLineDecodeResult DecodeSingleByte(const CodePage& page, const unsigned char* in, size_t length,
                                   wchar16* out, size_t capacity) noexcept;

// Any other multibyte page through iconv (to UTF-16LE, invalid input discarded); a converter
// is opened for every line, so that no shift state passes from one line to the next. A page
// that iconv cannot convert gives no units.
TLineDecodeResult DecodeWithIconv(const CodePage& page, const unsigned char* in, size_t length,
                                  wchar16* out, size_t capacity);

// True when lines of the code page can be decoded at all: a code 0 to 112 that is single-byte,
// UTF-8, or one iconv can open.
bool CanDecodeSource(ECharset code);
