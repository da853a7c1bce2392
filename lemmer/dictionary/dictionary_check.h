// Checks of a dictionary's tables against each other. The loader runs them after each part it
// reads, so that a stream from a user's file or a damaged build can never make the matcher read
// outside the tables; the compiler's tests run CheckDictionary over what it builds, and the build
// runs them all over the Russian dictionary before it embeds it (tools/dictionary_check), as the
// analyser's start-up leaves them out for the packed bytes.
//
// Each check raises NByk::TLoadError saying what is wrong and where.
#pragma once

#include "lemmer/dictionary/dictionary.h"

#include <cstddef>
#include <cstdint>

namespace NByk {

// Every rule record is empty or sound (rule_record.h) with ending-list indices below
// `listCount`.
void CheckRules(const TRuleRecord* rules, uint32_t count, uint32_t listCount);
// Children lie after their parent and inside the tree, sorted strictly by character; the root
// has character 0; every value is none or a non-empty range of ending ids below `endingCount`.
void CheckEndingTree(const TCharTree& tree, uint32_t endingCount);
// At least the empty letter, at most 255 letters; every unit's index is a letter or none; the
// stem-block index is not larger than MaxStemSlots. Returns the slot count.
uint64_t CheckAlphabet(const TAlphabetTupleCodec& alphabet);
// Inner nodes: children after the node and inside the block, sorted strictly by character (the
// end-of-stem node, character 0, can only come first). End-of-stem nodes: one or more rule ids,
// a list inside the block's rule-id array. Every rule id is below `ruleCount`.
void CheckStemBlock(const TStemBlock& block, uint32_t ruleCount, uint64_t slot);
// Every list ascends and holds ending ids below `endingCount`.
void CheckEndingLists(const TEndingList* lists, uint32_t count, uint32_t endingCount);
// Every record, offset and value a look-up can reach lies inside the bytes.
void CheckPrefixTrie(const char* data, size_t length);

// All of the above over a whole dictionary, plus: the stem-block index has as many slots as the
// alphabet gives.
void CheckDictionary(const TDictionary& dictionary);

}  // namespace NByk
