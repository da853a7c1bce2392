// Table-driven bit counting on bytes, for alphabets and grammeme sets.
#pragma once

#include <cstdint>

// Total number of set bits in [begin, end); an empty or reversed range gives 0.
uint64_t PopCount(const unsigned char* begin, const unsigned char* end);

// Index (0 to 7) of the lowest set bit of the low byte of `value`; 0 for a zero byte.
unsigned LowestBitIndex(unsigned value);
