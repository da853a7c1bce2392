// Parsing kernels of integer text: one algorithm for 8-bit and UTF-16 text, every unsigned and
// signed result type of 16 to 64 bits and every base from 2 to 16.
//
// The whole range must be the number: an optional '+' (and, for the signed kernels, a '-'
// before it), then digits '0'-'9', 'A'-'F', 'a'-'f' below the base; no white space, no base
// prefix, leading zeros allowed. Every failure raises TFromStringException with a message that
// names the first offending character, its position (in units of the text) and the whole text
// escaped and quoted, or the text that overflowed. Pure functions, safe from any thread.
#pragma once

#include "util/convert/cast_exception.h"
#include "util/generic/string.h"

#include <cstddef>

// The fixed messages of the parsers, appended to an exception under construction; each returns
// the exception for the caller to throw.
TFromStringException& AppendMsgZeroLengthNumber(TFromStringException& e);
TFromStringException& AppendMsgEmptyNumber(TFromStringException& e);
TFromStringException& AppendMsgPlusOnlyNumber(TFromStringException& e);
TFromStringException& AppendMsgOverflow(TFromStringException& e);

// T: unsigned short, unsigned int, unsigned long, unsigned long long; B: 2..16;
// TChar: char or wchar16. Instantiated for every combination.
template <class T, int B, class TChar>
T ParseUnsigned(const TChar* begin, const TChar* end);

// S: short, int, long, long long; the digits go through ParseUnsigned of the unsigned type of
// the same width, so its errors refer to the text after a leading '-'.
template <class S, int B, class TChar>
S ParseSigned(const TChar* begin, const TChar* end);
