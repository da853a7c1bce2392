// The settings of one dictionary compilation, shared by every stage of it. The caller owns the
// record and keeps it alive for as long as the compiler runs; nothing in the compiler changes
// it.
#pragma once

#include "lemmer/alphabet/word_normalizer.h"

#include "util/charset/codepage.h"
#include "util/generic/string.h"

#include <cstdint>

struct TCompilerSettings {
    // Encoding of the source text and of prefix lines (the system's own page by default; the
    // source-file reader uses UTF-8).
    ECharset CodePage = CODES_KORVEL;
    // A rule used more often than this counts as non-rare once the tables are finalised; only
    // non-rare rules make hypotheses.
    uint64_t RuleThreshold = 0;
    // Number of letters that make one tuple of the dictionary's alphabet (2 for the dictionary
    // sources the system reads); the alphabet takes its low 32 bits.
    uint64_t TupleLength = 0;
    // First part of the names of the trace and dump files.
    Stroka BasePath = "unknown";
    // The language's word normaliser: its alphabet decides which units are letters.
    const NLemmer::TAlphabetWordNormalizer* Normalizer = nullptr;
    // Write the entry trace and the table dumps.
    bool DumpTables = false;
};

// The name of a log file of the compilation: base path + "." + table name + ".log".
Stroka MakeLogFileName(const TCompilerSettings& settings, const char* tableName);
