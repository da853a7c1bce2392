#include "util/generic/standard_errors.h"

#include <new>

void ThrowLengthError(const char* text) {
    throw NStl::length_error(text);
}

void ThrowRangeError(const char* text) {
    throw NStl::out_of_range(text);
}

void ThrowBadAlloc() {
    throw std::bad_alloc();
}
