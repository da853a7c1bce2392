// Grammar strings: NUL-terminated strings of grammeme code bytes (127 to 249), the form in
// which a grammar travels through the analyser; in a common grammar the first byte is the part
// of speech. These operations turn a grammar string into names and back, sort it, intersect
// several and test two for a conflict.
//
// The sorted operations order grammemes by the code byte read as a signed 8-bit number: codes
// 128 to 249 come first in rising order, 127 last.
//
// All of them read only the process-wide grammeme table and may run on any thread.
#pragma once

#include "util/generic/string.h"

#include <cstdint>

// The names of the codes of `grammar` (null: none), in its order, joined by ",". A code whose
// category mask shares a bit with `filter` is left out, and so is a code without a name, so
// "," stands only between names. `cyrillic` selects the code-page-9 Cyrillic names, else the
// Latin ones.
Stroka GramCodesToText(const char* grammar, uint32_t filter, bool cyrillic);

// The codes of the grammeme names in the comma-separated `text` (Latin, UTF-8 Cyrillic or
// code-page-9 Cyrillic, exact), sorted and without repeats, NUL-terminated in `buffer`; pieces
// that are no name are skipped. `capacity` counts the NUL. False when it is below 1 (nothing
// written) or when more codes were found than fit: the codes that fitted are then in the
// buffer, sorted, unique and terminated.
bool GramTextToCodes(const char* text, char* buffer, int32_t capacity);

// Sorts `count` bytes in place in the grammeme order, drops repeats and returns the number
// left (a count below 2 is returned as it is).
int32_t SortUniqueGrammemes(char* bytes, int32_t count);

// The codes present in every one of `count` grammar strings, in rising code order (127
// first), NUL-terminated in `buffer`, which must hold 124 bytes; returns their number. With no
// strings every code 127 to 249 is written. Raises the standard out-of-range error "bitset"
// for a byte outside 127 to 249.
int32_t IntersectGrammars(const char* const* grammars, int32_t count, char* buffer);

// Whether two grammar strings, each sorted in the grammeme order, hold two different
// grammemes of one category. The walk stops (no conflict) at the first grammeme of either
// string that has no category.
bool GrammarsConflict(const char* a, const char* b);
