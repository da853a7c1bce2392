// Text forms used by the table dumps of the dictionary compiler.
#pragma once

#include "util/stream/output.h"

#include <cstdint>

// A decimal number right-aligned in a field of Width characters, filled with Fill on the left;
// a longer number is written whole.
struct TPaddedNumber {
    uint64_t Value = 0;
    uint64_t Width = 0;
    char Fill = ' ';
};

TOutputStream& operator<<(TOutputStream& out, const TPaddedNumber& number);

// One statistics line of the compilation report: "Statistic: " what ": " value, then Endl.
void WriteStatistic(TOutputStream& out, const char* what, uint64_t value);
