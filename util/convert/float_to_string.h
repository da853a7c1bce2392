// Floating-point values as compact decimal text in a caller's buffer: what streams and
// exception messages print for float, double and long double.
//
// A double keeps at most 10 significant digits (the shortest text that reads back as the value
// when one that short exists, else the value correctly rounded to 10 digits), a float exactly 6
// correctly rounded ones; trailing zero digits are dropped, and the exponent form ("1.5e-05",
// "1e+20") is used below 1e-4 and at or above 1e10 (1e6 for a float). Infinities and NaNs print as
// "inf", "-inf", "nan", "-nan".
#pragma once

#include <cstddef>

// Write the text into buf and return its length; no NUL is written. Text that does not fit is
// cut after len bytes (a zero length gives 0). Thread-safe; raise only std::bad_alloc.
size_t FloatToString(double value, char* buf, size_t len);
size_t FloatToString(float value, char* buf, size_t len);

// The printf-style "%.10Lg" text of value, NUL-terminated, and its length without the NUL.
// Raises kexception "cannot format float" when the text and its NUL do not both fit.
size_t FormatLongDouble(long double value, char* buf, size_t len);
size_t FormatLongDouble(char* buf, size_t len, long double value);
