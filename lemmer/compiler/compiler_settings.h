// The settings of one dictionary compilation, shared by every stage of it. The caller owns the
// record and keeps it alive for as long as the compiler runs; nothing in the compiler changes
// it.
#pragma once

#include "lemmer/word_normalizer.h"

#include <cstdint>

struct TCompilerSettings {
    // Number of letters that make one tuple of the dictionary's alphabet (2 for the dictionary
    // sources the system reads); the alphabet takes its low 32 bits.
    uint64_t TupleLength = 0;
    // The language's word normaliser: its alphabet decides which units are letters.
    const NLemmer::TAlphabetWordNormalizer* Normalizer = nullptr;
};
