// Unicode decomposition for word normalisation: the decomposition of one code point with the
// system's overrides, and a UTF-16 writer that decomposes, drops combining marks and
// lower-cases in one pass (the normaliser of languages without an alphabet uses it).
#pragma once

#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>

// The 0-terminated UTF-32 decomposition of cp, or null when cp stays as it is.
//  - digraphs: the German small letters ä, ö, ü become "ae", "oe", "ue";
//  - custom: the entry of CustomDecompositionTable (canonical decompositions, ß as "ss");
//  - otherwise the compatibility decomposition, except that Ї, Й, й and ї stay whole, ß is
//    "ss", İ is "I" and ı is "i".
// Thread-safe; the result points into static tables.
const uint32_t* GetDecomposition(uint32_t cp, bool digraphs, bool custom);

// Decomposes src[0, srcLength) into dst (at most dstCapacity units) and returns the number of
// units written. A high surrogate without its low surrogate reads as U+FFFD; combining marks
// (categories 13 to 15) are dropped and every other code point is written lower-cased. Stops
// at the first code point that no longer fits. Allocates nothing.
size_t DecomposeUtf16(const wchar16* src, size_t srcLength, wchar16* dst, size_t dstCapacity,
                      bool digraphs, bool custom);

// The same without a length limit, into a new string.
TUtf16String DecomposeUtf16(const TUtf16String& src, bool digraphs, bool custom);
