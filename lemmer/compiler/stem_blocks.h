// Stem blocks: the stems whose first T units (stored backwards, so the word's last letters) are
// one tuple become one block, a tree of the remaining units in 64-bit node words (dictionary.h,
// NStemNode). Where a stem ends, the first child slot is an end-of-stem node with the stem's
// rule ids, inline when there is one, else as a list in the block's rule-id array (equal lists
// stored once per block). The flag bits let hypotheses skip subtrees without non-rare rules
// (NoHypotheses) or visit one child where all share one non-rare list (FirstChildOnly).
#pragma once

#include "lemmer/compiler/char_tree.h"
#include "lemmer/compiler/table_keys.h"
#include "lemmer/dictionary/dictionary.h"
#include "util/generic/string.h"

#include <cstdint>
#include <memory>
#include <vector>

// The limits a block can hold.
constexpr uint32_t MaxBlockStems = 32000;
constexpr uint32_t MaxNodeSlots = 16383;
constexpr uint32_t MaxStemRuleIds = 682;

// Frees a heap-built block: its node array, its rule-id array, the block.
void ReleaseStemBlock(NByk::TStemBlock* block) noexcept;

struct TStemBlockDeleter {
    void operator()(NByk::TStemBlock* block) const noexcept { ReleaseStemBlock(block); }
};
using TStemBlockPtr = std::unique_ptr<NByk::TStemBlock, TStemBlockDeleter>;

struct TKeyedStemBlock {
    TUtf16String Key;
    TStemBlockPtr Block;
};

// Builds the block of one key from its stems' tails and rule ids (tails ascending, equal tails
// adjacent; the ids of equal tails are sorted in place). Rule ids below nonRare are non-rare.
// Raises NByk::TCompileError for a node of more than MaxNodeSlots children or tails out of
// order, NByk::TOverflowError for a stem of more than MaxStemRuleIds rule ids.
TStemBlockPtr BuildStemBlock(const TUtf16String* tails, uint16_t* ids, uint32_t count,
                             uint16_t nonRare);

// Cuts the stems (in stem key order) into blocks by their first tupleLength units (a shorter
// stem is a key of its own) and builds each. Raises what BuildStemBlock raises, and
// NByk::TOverflowError naming the key for more than MaxBlockStems stems with one key; nothing
// is kept then.
std::vector<TKeyedStemBlock> BuildStemBlocks(const TStemKey* stems, uint64_t count,
                                             uint32_t tupleLength, uint16_t nonRare);
