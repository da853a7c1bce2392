// String operations that need more than the string representation: byte-set searches,
// reversal of UTF-16 text keeping surrogate pairs whole, and appending UTF-8 text to a UTF-16
// string.
#pragma once

#include "util/generic/string.h"

#include <cstddef>

// The first byte of data[0, length) that is (is not) one of set[0, setLength); data + length
// when there is none. With an empty set FindFirstOf finds nothing and FindFirstNotOf the
// first byte.
const char* FindFirstOf(const char* data, size_t length, const char* set, size_t setLength);
const char* FindFirstNotOf(const char* data, size_t length, const char* set, size_t setLength);

// Reverses the units of s into a new block; a high surrogate followed by a low one stays a
// pair in that order.
void ReverseUtf16(TUtf16String& s);

// Appends the UTF-16 form of UTF-8 bytes to target: code points above U+FFFF as surrogate
// pairs, values above U+10FFFF as U+FFFD. Raises kexception
// "Invalid UTF8: \"" + the first 50 bytes + ("...\"" when the input is longer, else "\"") for
// malformed input: a bad lead or continuation byte, a truncated sequence, an overlong form or
// an encoded surrogate. target is then left as it was.
void Utf8ToUtf16(const TCharRange& utf8, TUtf16String& target);
