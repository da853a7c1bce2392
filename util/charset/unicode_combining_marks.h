// The combining marks that the tokeniser treats as parts of words: a fixed list of ranges of
// the Basic Multilingual Plane (the marks of the scripts the system reads), independent of the
// Unicode data version.
#pragma once

#include <cstddef>
#include <cstdint>

// One range of the list; Last 0 means the single code point First.
struct TCombiningMarkRange {
    uint16_t First;
    uint16_t Last;
};

extern const TCombiningMarkRange COMBINING_MARK_RANGES[];
extern const size_t COMBINING_MARK_RANGE_COUNT;

// Clears flags[0, 65535) and sets to 1 the byte of every code point of the list. The array must
// hold 65536 bytes; the last one (U+FFFF) is left as it was.
void BuildCombiningMarkTable(uint8_t* flags);
