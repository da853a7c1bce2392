// The raw Unicode data written by tools/unicode/generate_unicode_tables.py into
// unicode_data_generated.cpp. Only the table builders of util/charset read it; everyone else
// uses the descriptors of unicode_table.h and the look-ups built on them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "util/charset/unicode_table.h"

namespace NUnicodeGenerated {

// Code points from First up to the next run's First share PROPERTY_RECORDS[Record]; the
// first run starts at 0 and the last one reaches UNICODE_CODE_SPACE.
struct TPropertyRun {
    uint32_t First;
    uint32_t Record;
};

struct TDecompositionEntry {
    uint32_t CodePoint;
    uint32_t Offset;  // index of the 0-terminated string in DECOMPOSITION_POOL
};

struct TCompositionTriple {
    uint32_t First;
    uint32_t Second;
    uint32_t Composed;
};

struct TScriptRange {
    uint32_t Script;
    uint32_t First;
    uint32_t Last;  // inclusive
};

extern const char UNICODE_DATA_VERSION[];

extern const size_t PROPERTY_RECORD_COUNT;
extern const TUnicodeCharInfo PROPERTY_RECORDS[];
extern const size_t PROPERTY_RUN_COUNT;
extern const TPropertyRun PROPERTY_RUNS[];

extern const size_t DECOMPOSITION_POOL_SIZE;
extern const uint32_t DECOMPOSITION_POOL[];
// Sorted by code point; Hangul syllables are not listed (their decomposition is computed).
extern const size_t COMPAT_DECOMPOSITION_COUNT;
extern const TDecompositionEntry COMPAT_DECOMPOSITIONS[];
extern const size_t CANON_DECOMPOSITION_COUNT;
extern const TDecompositionEntry CANON_DECOMPOSITIONS[];

extern const size_t COMPOSITION_TRIPLE_COUNT;
extern const TCompositionTriple COMPOSITION_TRIPLES[];

extern const size_t SCRIPT_RANGE_COUNT;
extern const TScriptRange SCRIPT_RANGES[];

}  // namespace NUnicodeGenerated
