// Byte-level helpers under a single-byte code page: case conversion of byte ranges,
// case-insensitive comparison, and translation of bytes through any 256-byte table. They read
// the lower- and upper-case tables of the code-page registry; all are reentrant.
//
// REQUIRES (every helper taking a CodePage): the page is a record of the registry. On a
// multibyte page the case tables are all 0, so only single-byte pages give useful results.
#pragma once

#include "util/charset/codepage.h"
#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>

// Copy [begin, end) lowered (upper-cased) into dst; return the end of the output.
char* ToLower(const CodePage& cp, const char* begin, const char* end, char* dst);
char* ToUpper(const CodePage& cp, const char* begin, const char* end, char* dst);
// Copy a NUL-terminated string up to, not including, its NUL; return the end of the output.
char* ToLower(const CodePage& cp, const char* s, char* dst);
char* ToUpper(const CodePage& cp, const char* s, char* dst);

// Compare NUL-terminated strings through the lower-case table: lower(a) - lower(b) at the
// first difference, 0 when both end together. The N form looks at no more than n bytes.
int CodePageStrICmp(const CodePage& cp, const char* a, const char* b);
int CodePageStrNICmp(const CodePage& cp, const char* a, const char* b, size_t n);

// Case-insensitive forms over byte ranges.
bool CodePageStartsWith(const CodePage& cp, const TCharRange& prefix, const TCharRange& s);
bool CodePageEndsWith(const CodePage& cp, const TCharRange& suffix, const TCharRange& s);
// Compares the common length; when that is equal the shorter range is smaller.
int CodePageCompare(const CodePage& cp, const TCharRange& a, const TCharRange& b);
int CodePageCompare(const CodePage& cp, const Stroka& a, const Stroka& b);
int CodePageCompare(const CodePage& cp, const char* a, const char* b);
int CodePageCompare(const CodePage& cp, const Stroka& a, const char* b);

// dst[i] = table[src[i]] for n bytes.
void TranslateBytes(const uint8_t* table, const char* src, char* dst, size_t n);
// The same up to and including the NUL of src; returns the end of the output.
char* TranslateBytes(const uint8_t* table, const char* src, char* dst);
// In place, for n bytes or up to the NUL.
void TranslateBytes(const uint8_t* table, char* s, size_t n);
void TranslateBytes(const uint8_t* table, char* s);
