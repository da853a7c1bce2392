// UTF-8: reading and writing one character, and the strict decoder of UTF-8 text to UTF-16.
//
// Only well-formed UTF-8 is accepted: an overlong form (C0 80 for U+0000), an encoded
// surrogate (ED A0 80) or a value above U+10FFFF is malformed like any broken sequence.
#pragma once

#include "util/charset/recode_result.h"
#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>

// Bytes of the sequence a lead byte announces: 1 to 4, 0 for a byte that cannot lead.
size_t Utf8SequenceLength(uint8_t lead) noexcept;

// How far a four-byte sequence may reach.
enum class EUtf8Range {
    Unicode,    // up to U+10FFFF
    FourBytes,  // up to U+1FFFFF, for readers that turn what lies beyond Unicode into U+FFFD
};

// The one UTF-8 decoder. Reads one character at [p, end), p < end. RECODE_OK with its code
// point and length; RECODE_EOINPUT when the announced sequence runs past end;
// RECODE_BROKENSYMBOL for an invalid lead byte, a bad continuation byte, an overlong form, a
// surrogate or a value beyond `range` (length 1: the caller goes on at the next byte).
RECODE_RESULT ReadUtf8Char(const uint8_t* p, const uint8_t* end, uint32_t& cp, size_t& length,
                           EUtf8Range range = EUtf8Range::Unicode) noexcept;

// Bytes of the UTF-8 form of cp (1 to 4).
size_t Utf8Length(uint32_t cp) noexcept;
// Writes the UTF-8 form of cp (at most U+1FFFFF) and returns the bytes written.
size_t WriteUtf8Char(uint32_t cp, uint8_t* out) noexcept;

// UTF-8 bytes to UTF-16. Raises kexception "failed to decode UTF-8 string at pos " + the byte
// offset of the first malformed or truncated sequence, followed for inputs shorter than 51
// bytes by " in string " and the input escaped between double quotes.
TUtf16String DecodeUtf8(const char* bytes, size_t length);
inline TUtf16String DecodeUtf8(const Stroka& s) {
    return DecodeUtf8(s.data(), s.size());
}
