// Base64 encoding and decoding of byte ranges into caller buffers.
//
// Two alphabets: the standard one ('+', '/', padding '=') and the URL-safe one ('-', '_',
// padding ','). The decoder is deliberately lenient, because every chunk of the data sets
// embedded in the executable passes through it: it accepts both alphabets, even mixed within
// one text, decodes any other byte (padding included) as zero bits, and fails only on a length
// that is not a multiple of 4.
#pragma once

#include "util/generic/string.h"

#include <cstddef>

// Characters of the encoded form of `length` bytes (without the NUL).
constexpr size_t Base64EncodeBufSize(size_t length) noexcept {
    return (length + 2) / 3 * 4;
}

// Bytes a text of `length` characters may decode to (the buffer Base64Decode needs).
constexpr size_t Base64DecodeBufSize(size_t length) noexcept {
    return (length + 3) / 4 * 3;
}

// Encodes `length` bytes into `out` with the standard alphabet and '=' padding, writes a NUL
// and returns a pointer to it. `out` must hold Base64EncodeBufSize(length) + 1 bytes.
char* Base64Encode(char* out, const unsigned char* in, size_t length) noexcept;

// The same with the URL-safe alphabet and ',' padding.
char* Base64EncodeUrl(char* out, const unsigned char* in, size_t length) noexcept;

// Decodes the characters [begin, end) into `out` and returns the bytes of the result. Every
// group of four characters writes three bytes, so `out` must hold (end - begin) / 4 * 3 bytes;
// one or two trailing padding characters ('=' or ',') take one or two bytes off the result.
// Raises kexception "incorrect input length for base64 decode" when the number of characters
// is not a multiple of 4, before anything is written.
size_t Base64Decode(void* out, const char* begin, const char* end);

// Whole-string forms of the above.
Stroka Base64Encode(const Stroka& data);
Stroka Base64EncodeUrl(const Stroka& data);
Stroka Base64Decode(const Stroka& text);
