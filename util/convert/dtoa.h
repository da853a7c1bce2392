// Correctly rounded conversion between IEEE doubles and decimal text.
//
// DoubleToDigits produces the decimal digits of a double (shortest round-trip, or a fixed
// number of significant digits or of digits after the point); StrToDCore reads decimal text as
// the nearest double. Both keep their big integers in the caller's closure, which takes the
// calling thread's scratch buffer on first need; the only shared state is a cache of powers of
// five, built once under a lock. Thread-safe with one closure per thread.
#pragma once

#include "util/convert/dtoa_closure.h"

namespace NDtoa {

// The digits of value, NUL-terminated, without leading or trailing zeros, living in the
// closure's storage until the closure goes. The value is 0.digits * 10^(*decpt); *sign is set
// when the sign bit is (zeros and NaNs included); *end, when not null, receives the position of
// the NUL. Zero gives "0" with *decpt 1; infinity "inf" and NaN "nan", with *decpt 9999.
//
// mode: 0 the shortest digits that read back as value (ties between two such strings go to
// the one nearer value); 1 the same, never taking a boundary point; 2 ndigits significant
// digits (at least one), correctly rounded, ties to even; 3 ndigits digits after the point
// (possibly none, with *decpt = -ndigits); 4 and 5 like 2 and 3 but stopping early when fewer
// digits read back as value; 6 to 9 like 2 to 5 without the floating-point shortcut. Any other
// mode counts as 0. Raises std::bad_alloc only when the heap is exhausted.
char* DoubleToDigits(TParserClosure& closure, double value, int mode, int ndigits, int* decpt,
                     int* sign, char** end);

// The double nearest to the decimal number at the start of [begin, end), ties to even. The
// number is: white space (bytes 9 to 13 and 32), an optional sign, digits with at most one '.'
// and at least one digit, and an optional exponent ('e' or 'E', an optional sign, digits). A NUL
// ends the text; nothing outside the range is read. *stop (when not null) receives the position
// after the number, or begin when there is none (the result is then 0). Overflow gives an
// infinity and an underflow to zero a zero, both with the sign of the text and errno ERANGE.
double StrToDCore(TParserClosure& closure, const char* begin, const char* end, char** stop);

}  // namespace NDtoa
