// Filling a dictionary from the finished global tables: the alphabet, the ending table with its
// ending tree, the ending-id lists, the rule table and the stem blocks in the tuple index. The
// tables are copied into the storage's pool (stem blocks onto the heap, owned by the storage),
// so the dictionary does not refer to the compiler's key pool and outlives the compiler.
#pragma once

#include "lemmer/compiler/dictionary_storage.h"
#include "lemmer/compiler/global_tables.h"
#include "lemmer/dictionary/dictionary.h"

// Writes the statistics lines (alphabet, affixes, paradigms, rules, stems) to the tables'
// statistics stream. Raises NByk::TCompileError when the tuple length gives more stem-block
// slots than a dictionary may have (before anything is allocated), when a stem holds a unit
// outside the alphabet ("Unmatched pair: ..."), or when a block cannot be built; and the
// block builder's NByk::TOverflowError. The storage's stem blocks change only on success.
// REQUIRES: the tables were renumbered (TGlobalTables::DumpTables).
void BuildDictionaryFromTables(const TGlobalTables& tables, NByk::TDictionary& dictionary,
                               TDictionaryStorage& storage);
