// The full grammars of an analysis as an ordered collection of grammeme sets, and their
// normalisation: "mf" split into "f" and "m", the genders of plural adjectives spelt out, and
// the person of a possessor implied by its person-and-number grammeme.
#pragma once

#include "lemmer/grammar/gram_bitset.h"

#include <cstddef>
#include <set>

// Distinct sets in the order of TGramBitSet's operator<.
using TGramBitSetCollection = std::set<TGramBitSet>;

// Inserts, for each form grammar, the set of the common grammar and that form grammar when it
// is not empty; with no form grammars, the set of the common grammar alone when not empty.
// Raises "bitset" for a byte outside the grammeme codes.
void CollectFullGrammars(const char* common, const char* const* forms, size_t count,
                         TGramBitSetCollection& out);
// Inserts the set of one grammar string when it is not empty.
void InsertGrammarSet(const char* grammar, TGramBitSetCollection& out);

// "mf" becomes "f" and "m"; "A" with "pl" gets every gender (so "mf" returns); a
// possessor's person-and-number grammeme adds its person grammeme.
TGramBitSet NormalizeGrammarSet(TGramBitSet set);
// Normalises every set, merging those that become equal, unless no set holds "A" or "mf".
void NormalizeGrammarSets(TGramBitSetCollection& sets);
