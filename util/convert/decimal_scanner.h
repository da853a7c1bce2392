// Decimal text to numbers without raising: StrToD for doubles (correctly rounded, reporting
// where the number ends) and the plain readers StrToInt and StrToLongInt.
#pragma once

// The double nearest to the decimal number at the start of [begin, end): white space (bytes 9
// to 13 and 32), an optional sign directly before the digits, digits with at most one '.' and
// at least one digit, an optional exponent ('e' or 'E', optional sign, digits; left out when
// incomplete; more than 8 digits or a value above 19999 count as 19999). A NUL ends the text.
// *stop, when asked for, receives the position after the number, or begin when there is none
// (the result is then 0). Overflow gives an infinity and an underflow to zero a zero, each with
// the sign of the text and errno set to ERANGE; "-0" gives a negative zero. Never raises
// (except std::bad_alloc for numbers of enormous length). Thread-safe.
double StrToD(const char* begin, const char* end, char** stop);
// The same for a NUL-terminated text.
double StrToD(const char* text, char** stop);

// atoi-like readers of a NUL-terminated text: skip bytes 1 to 32, an optional sign, decimal
// digits up to the first non-digit (none gives 0). There is no range check: the value wraps
// modulo 2^32 (2^64 for StrToLongInt), so "4294967297" reads as 1. Callers that need to know
// about overflow use FromString instead.
int StrToInt(const char* text);
long StrToLongInt(const char* text);
