// Recoding text between the code pages of the table, UTF-8 and UTF-16.
//
// The buffer-to-buffer converters are lenient: they never fail on the text itself and report
// a RECODE_RESULT with the bytes read and written. Single-byte pages and UTF-8 convert through
// tables; every other multibyte page goes through iconv (TIconvConverter), which leaves out
// invalid input and characters the target lacks. A character a single-byte page lacks is
// written as the page's replacement byte for its Unicode category. Reentrant.
#pragma once

#include "util/charset/codepage.h"
#include "util/charset/recode_result.h"
#include "util/generic/string.h"

#include <cstddef>

// From a single-byte page or UTF-8 into UTF-8. Raises kexception "CodePage structure can only
// be used for single byte encodings" for another multibyte page.
RECODE_RESULT RecodeToUtf8(ECharset from, const char* src, char* dst, size_t srcLen, size_t dstLen,
                           size_t& read, size_t& written);

// From UTF-8 into a single-byte page or UTF-8; a malformed sequence becomes U+FFFD (status
// RECODE_BROKENSYMBOL when it was the last character). Raises kexception "Encoder structure
// can only be used for single byte encodings" for another multibyte page.
RECODE_RESULT RecodeFromUtf8(ECharset to, const char* src, char* dst, size_t srcLen, size_t dstLen,
                             size_t& read, size_t& written);

// From any code to any code; RECODE_ERROR for a code outside 0 to 112 or a conversion iconv
// cannot do. Between UTF-8 and a multibyte page the text goes straight through iconv; every
// other pair with a multibyte page goes through UTF-16, so that each gives what the text read
// into UTF-8 and written from there gives. Input that ends inside a multibyte character gives
// RECODE_EOINPUT with that tail left unread; with RECODE_EOOUTPUT, read counts only the source
// bytes whose characters were written (from a stateful source, the rest then begins in a shift
// state it does not hold). The text of a stateful target (ISO-2022-*) ends in its initial shift
// state. glibc writes ISO-2022-CN and ISO-2022-CN-EXT without the shift-out before a GB2312 or
// CNS 11643 plane 1 character that directly follows a plane 2 one, which then reads as ASCII.
RECODE_RESULT Recode(ECharset from, ECharset to, const char* src, char* dst, size_t srcLen,
                     size_t dstLen, size_t& read, size_t& written);

// Text of any page as UTF-16: a single-byte page through its byte table, UTF-8 with
// DecodeUtf8 (raising on malformed input), every other page through iconv (raising as
// RecodeWithIconv; an incomplete last character is left out).
TUtf16String RecodeToUtf16(ECharset code, const char* text, size_t length);

// UTF-16 text in any page: a surrogate pair is one code point and an unpaired high surrogate
// U+FFFD; a single-byte page writes its byte or the replacement byte for the character's
// category, UTF-8 writes the code point, every other page goes through iconv (raising as
// RecodeWithIconv; characters the page lacks are left out).
Stroka RecodeFromUtf16(ECharset code, const wchar16* text, size_t length);

// Rewrites in place UTF-16 text that carries raw bytes as the units U+F000 + byte (the page
// "unknownplane"), decoding every run of such units as text of the page `code`; CODES_UNKNOWN
// turns each carried byte back into U+0000 + byte. The text never grows; end is moved to its
// new end.
void DecodeUnknownPlane(wchar16* begin, wchar16*& end, ECharset code);
