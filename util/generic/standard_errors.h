// Throwers of the standard library's errors, for the code below the system's own exceptions
// (the strings raise these when an allocation would fail or a size is impossible).
#pragma once

#include <stdexcept>

namespace NStl {
using std::length_error;
using std::out_of_range;
}  // namespace NStl

[[noreturn]] void ThrowLengthError(const char* text);
[[noreturn]] void ThrowRangeError(const char* text);
[[noreturn]] void ThrowBadAlloc();
