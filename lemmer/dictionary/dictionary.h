// The morphological dictionary in memory: endings, rules, the ending tree, the alphabet, the
// stem blocks and the trie of word beginnings. One structure serves both the dictionary loaded
// from its binary form (dictionary_loader.h) and the one the compiler builds from a text source;
// the rule matcher (rule_matcher.h) and the writer (dictionary_writer.h) take either alike.
//
// The structure owns nothing but its share of the prefix trie's bytes and the matcher's memo of
// hypothesis walks: every table lives in memory of its maker's choosing (the loader's pool, the
// compiler's pool and heap-built stem blocks) and goes with it. A dictionary is filled once and
// then only read, so any number of threads may read it at once.
#pragma once

#include "lemmer/alphabet/alphabet_tuple_codec.h"
#include "util/generic/exception.h"
#include "util/generic/string.h"
#include "util/stream/compact_trie.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace NByk {

// What the rule matcher learns of a dictionary's stem tables while it makes hypotheses (the
// rules below a stem node), kept so that the next word need not walk the same subtree again.
// Defined by the rule matcher; thread-safe.
class THypothesisMemo;
std::shared_ptr<THypothesisMemo> NewHypothesisMemo();

// A stored dictionary that is malformed (beyond a plain short read, which is TLoadEOF).
class TLoadError : public kexception {};

// An empty text may be a null pointer or point at a 0 unit; readers take both as empty. The
// loader and the compiler point every empty text at a shared 0, so theirs are never null.
inline const wchar16* TextOrEmpty(const wchar16* text) {
    static const wchar16 empty = 0;
    return text ? text : &empty;
}
inline const char* TextOrEmpty(const char* text) {
    return text ? text : "";
}

// One inflexion: the prefix before the stem and the ending after it (stored last letter first),
// and the grammar of the wordform they make. Ending id = index in the ending table.
struct TEndingRecord {
    const wchar16* Prefix = nullptr;
    const wchar16* Ending = nullptr;
    const char* FormGrammar = nullptr;
};

// The ending ids one stem variant of a paradigm combines with, ascending.
struct TEndingList {
    uint32_t Count = 0;
    const uint16_t* Ids = nullptr;
};

// One rule's packed bytes (layout in rule_record.h); a record of length 0 matches nothing.
struct TRuleRecord {
    const unsigned char* Data = nullptr;
    uint64_t Length = 0;
};

// A node of the ending tree. Children are consecutive and sorted by character; the value packs
// the ending-id range [low 16 bits, high 16 bits), or is NoValue.
struct TCharTreeNode {
    static constexpr uint32_t NoValue = 0xFFFFFFFF;
    static constexpr uint32_t NoChild = 0xFFFFFFFF;
    static constexpr uint16_t PrefixMark = 0xFFFF;

    uint16_t Char;
    uint16_t ChildCount;
    uint32_t FirstChild;
    uint32_t Value;
};
static_assert(sizeof(TCharTreeNode) == 12, "nodes are stored as they lie in memory");

// The ending tree: a path from the root spells an ending backwards, then PrefixMark, then a
// prefix forwards. Readers use the first Count nodes; Capacity is the builder's room.
struct TCharTree {
    TCharTreeNode* Nodes = nullptr;
    uint32_t Capacity = 0;
    uint32_t Count = 0;
};

// A stem block: the stems whose last T letters are one tuple, as a tree spelling the rest of
// each stem backwards (node words: NStemNode below). A block owns nothing: a
// loaded block's arrays are in the loader's pool, a compiled block's on the heap of the
// compiler's storage, which frees them. The capacities are the builder's room.
struct TStemBlock {
    uint64_t* Nodes = nullptr;
    uint32_t NodeCapacity = 0;
    uint32_t NodeCount = 0;
    uint16_t* RuleIds = nullptr;
    uint32_t RuleIdCount = 0;
    uint32_t RuleIdCapacity = 0;
};

// The fields of a 64-bit stem-block node word.
namespace NStemNode {
inline constexpr uint64_t NoHypotheses = uint64_t(1) << 30;    // skip this subtree
inline constexpr uint64_t FirstChildOnly = uint64_t(1) << 31;  // descend into one child only

inline uint16_t Char(uint64_t node) {
    return static_cast<uint16_t>(node);
}
// Children of an inner node (the terminal among them included).
inline uint32_t ChildCount(uint64_t node) {
    return static_cast<uint32_t>(node >> 16) & 0x3FFF;
}
inline uint32_t FirstChild(uint64_t node) {
    return static_cast<uint32_t>(node >> 32);
}
// The rule-id count of an end-of-stem node (the first child, character 0).
inline uint32_t RuleIdCount(uint64_t node) {
    return static_cast<uint32_t>(node >> 16) & 0xFFFF;
}
// One rule id: the id itself; more: their position in the block's rule-id array.
inline uint16_t InlineRuleId(uint64_t node) {
    return static_cast<uint16_t>(node >> 32);
}
inline uint64_t Make(uint16_t ch, uint32_t countWord, uint32_t third) {
    return uint64_t(ch) | (uint64_t(countWord & 0xFFFF) << 16) | (uint64_t(third) << 32);
}
}  // namespace NStemNode

// The largest stem-block index a dictionary may have (letter count ^ tuple length slots).
inline constexpr uint64_t MaxStemSlots = uint64_t(1) << 24;

// Letter count ^ tuple length, or 0 when that exceeds MaxStemSlots (or the alphabet is empty).
uint64_t StemSlotCount(const TAlphabetTupleCodec& alphabet);

// Every table a matcher reads. Empty after construction: no alphabet, no tables, an empty trie,
// an empty fingerprint. Movable, not copyable (two handles on one pool's tables would hide who
// releases them). The tables must be complete before the first match: the matcher's memo
// remembers what it read of them.
class TDictionary {
public:
    TDictionary() : HypothesisMemo(NewHypothesisMemo()) {}
    TDictionary(TDictionary&&) = default;
    TDictionary& operator=(TDictionary&&) = default;
    TDictionary(const TDictionary&) = delete;
    TDictionary& operator=(const TDictionary&) = delete;

    const TAlphabetTupleCodec* Alphabet = nullptr;
    const TCharTree* EndingTree = nullptr;
    // The stem-block index: one slot per tuple number, null for a tuple that ends no stem. A
    // slot at or beyond StemSlotCount is never looked at.
    TStemBlock* const* StemBlocks = nullptr;
    uint64_t StemSlotCount = 0;
    // Keys are the word beginnings that prefix hypotheses may stand on; values are not read.
    TCompactTrie PrefixTrie;

    const TEndingRecord* Endings = nullptr;
    uint16_t EndingCount = 0;
    const TEndingList* EndingLists = nullptr;
    uint16_t EndingListCount = 0;
    const TRuleRecord* Rules = nullptr;
    uint16_t RuleCount = 0;
    // Rules with an id at or above it are rare: never used for stem-similarity hypotheses.
    uint16_t RareRuleThreshold = 0;

    // 32 lower-case hexadecimal digits of the stored form's MD5 and a NUL; set by whoever loads.
    char Fingerprint[33] = {};

    // Owned by the dictionary and moved with its tables; null: the matcher keeps nothing.
    std::shared_ptr<THypothesisMemo> HypothesisMemo;

    // The block of a tuple number, null when there is none.
    const TStemBlock* StemBlock(uint64_t slot) const {
        return StemBlocks && slot < StemSlotCount ? StemBlocks[slot] : nullptr;
    }
};

}  // namespace NByk
