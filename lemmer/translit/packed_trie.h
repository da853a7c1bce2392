// Lookup in packed character tries: every valued prefix of a word, shortest first.
//
// A packed trie is one array of fixed-size node records without padding. Node 0 is the root
// (its character is unused); the children of a node are consecutive records sorted by
// character. A node's value indexes the caller's payload table, or is PackedTrieNoValue.
// The untransliterator keeps its rules in such a trie and asks, at each position of a word,
// for all rules whose key is a prefix of the rest:
//     std::vector<std::pair<uint64_t, uint64_t>> found;  // (payload, prefix length)
//     FindAllPrefixes(nodes, payloads, word, found);
//
// The lookups trust the trie: child ranges must lie inside the array and value indices inside
// the payload table. They allocate nothing but the result and may run on any thread.
#pragma once

#include "util/generic/string.h"

#include <cstdint>
#include <utility>
#include <vector>

inline constexpr uint32_t PackedTrieNoValue = 0xFFFFFFFF;

#pragma pack(push, 1)
// One node over UTF-16 units (11 bytes).
struct TPackedTrieNode {
    uint16_t Char;        // the unit on the edge into this node
    uint32_t FirstChild;  // index of the first child record
    uint8_t ChildCount;   // 0 for a leaf
    uint32_t Value;       // payload index or PackedTrieNoValue
};

// One node over bytes (10 bytes).
struct TPackedTrieNode8 {
    uint8_t Char;
    uint32_t FirstChild;
    uint8_t ChildCount;
    uint32_t Value;
};
#pragma pack(pop)

static_assert(sizeof(TPackedTrieNode) == 11);
static_assert(sizeof(TPackedTrieNode8) == 10);

// (node value, prefix length in units) for every prefix of `word` (0-terminated; null is
// empty) that ends on a node with a value, in rising length. The vector is cleared first.
void FindPrefixValues(const TPackedTrieNode* nodes, const wchar16* word,
                      std::vector<std::pair<uint32_t, uint64_t>>& out);
// The same with each value mapped through `payloads`: (payload, prefix length).
void FindAllPrefixes(const TPackedTrieNode* nodes, const uint64_t* payloads, const wchar16* word,
                     std::vector<std::pair<uint64_t, uint64_t>>& out);

// The same over bytes. A key byte is widened with its sign before it is compared with a node's
// byte, so a byte of 0x80 or above matches no node and ends the walk.
void FindPrefixValues8(const TPackedTrieNode8* nodes, const char* word,
                       std::vector<std::pair<uint32_t, uint64_t>>& out);
void FindAllPrefixes8(const TPackedTrieNode8* nodes, const uint64_t* payloads, const char* word,
                      std::vector<std::pair<uint64_t, uint64_t>>& out);

// The longest prefix of `key` (0-terminated; null is empty) that ends on a valued node:
// {prefix length, value}, or {0, PackedTrieNoValue} when there is none. The 8-bit form widens
// key bytes with their sign, as FindPrefixValues8 does.
std::pair<uint64_t, uint32_t> FindLongestPrefix(const TPackedTrieNode* nodes, const wchar16* key);
std::pair<uint64_t, uint32_t> FindLongestPrefix8(const TPackedTrieNode8* nodes, const char* key);
// The payload of that prefix's value, or 0 when there is none.
uint64_t FindLongestPrefixPayload(const TPackedTrieNode* nodes, const uint64_t* payloads,
                                  const wchar16* key);
uint64_t FindLongestPrefixPayload8(const TPackedTrieNode8* nodes, const uint64_t* payloads,
                                   const char* key);
