// The built-in grammemes: the rows the process-wide grammeme table is built from.
#pragma once

#include <cstddef>
#include <cstdint>

struct TGrammemeRow {
    uint32_t Code;
    const char* CyrillicName;  // UTF-8
    const char* LatinName;
    uint32_t CategoryMask;
};

// The 118 built-in grammemes in registration order: the parts of speech 128 to 142, then 127,
// then the rest by code. No name occurs twice.
extern const TGrammemeRow BuiltInGrammemes[];
extern const size_t BuiltInGrammemeCount;
