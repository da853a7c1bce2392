// Prefix walks over packed tries.
#include "lemmer/translit/packed_trie.h"

namespace {
// The units of a key as the walk compares them: UTF-16 units unsigned, bytes sign-extended.
int32_t KeyUnit(wchar16 c) {
    return c;
}
int32_t KeyUnit(char c) {
    return static_cast<int16_t>(static_cast<signed char>(c));
}

// Calls onValue(value, length) for every valued prefix of `word`, shortest first.
template <class TNode, class TChar, class TOnValue>
void WalkPrefixes(const TNode* nodes, const TChar* word, TOnValue onValue) {
    if (!nodes || !word) {
        return;
    }
    uint32_t first = nodes[0].FirstChild;
    uint32_t count = nodes[0].ChildCount;
    for (uint64_t length = 1; count != 0 && word[length - 1] != 0; ++length) {
        const int32_t c = KeyUnit(word[length - 1]);
        // Lower bound: the first child whose character is not below c.
        uint32_t lo = first, n = count;
        while (n > 0) {
            const uint32_t half = n / 2;
            if (int32_t(nodes[lo + half].Char) < c) {
                lo += half + 1;
                n -= half + 1;
            } else {
                n = half;
            }
        }
        if (lo == first + count || int32_t(nodes[lo].Char) != c) {
            return;
        }
        // Fields of packed records are copied out: they may lie at any address.
        const TNode& node = nodes[lo];
        const uint32_t value = node.Value;
        if (value != PackedTrieNoValue) {
            onValue(value, length);
        }
        first = node.FirstChild;
        count = node.ChildCount;
    }
}

template <class TNode, class TChar>
void CollectPrefixes(const TNode* nodes, const TChar* word,
                     std::vector<std::pair<uint32_t, uint64_t>>& out) {
    out.clear();
    WalkPrefixes(nodes, word,
                 [&](uint32_t value, uint64_t length) { out.emplace_back(value, length); });
}

template <class TNode, class TChar>
std::pair<uint64_t, uint32_t> LongestPrefix(const TNode* nodes, const TChar* key) {
    std::pair<uint64_t, uint32_t> best{0, PackedTrieNoValue};
    WalkPrefixes(nodes, key, [&](uint32_t value, uint64_t length) { best = {length, value}; });
    return best;
}

template <class TNode, class TChar>
uint64_t LongestPrefixPayload(const TNode* nodes, const uint64_t* payloads, const TChar* key) {
    const uint32_t value = LongestPrefix(nodes, key).second;
    return value == PackedTrieNoValue ? 0 : payloads[value];
}

template <class TFind, class TNode, class TChar>
void MapToPayloads(TFind find, const TNode* nodes, const uint64_t* payloads, const TChar* word,
                   std::vector<std::pair<uint64_t, uint64_t>>& out) {
    std::vector<std::pair<uint32_t, uint64_t>> values;
    find(nodes, word, values);
    out.clear();
    out.reserve(values.size());
    for (const auto& [value, length] : values) {
        out.emplace_back(payloads[value], length);
    }
}
}  // namespace

void FindPrefixValues(const TPackedTrieNode* nodes, const wchar16* word,
                      std::vector<std::pair<uint32_t, uint64_t>>& out) {
    CollectPrefixes(nodes, word, out);
}

void FindAllPrefixes(const TPackedTrieNode* nodes, const uint64_t* payloads, const wchar16* word,
                     std::vector<std::pair<uint64_t, uint64_t>>& out) {
    MapToPayloads(FindPrefixValues, nodes, payloads, word, out);
}

void FindPrefixValues8(const TPackedTrieNode8* nodes, const char* word,
                       std::vector<std::pair<uint32_t, uint64_t>>& out) {
    CollectPrefixes(nodes, word, out);
}

void FindAllPrefixes8(const TPackedTrieNode8* nodes, const uint64_t* payloads, const char* word,
                      std::vector<std::pair<uint64_t, uint64_t>>& out) {
    MapToPayloads(FindPrefixValues8, nodes, payloads, word, out);
}

std::pair<uint64_t, uint32_t> FindLongestPrefix(const TPackedTrieNode* nodes, const wchar16* key) {
    return LongestPrefix(nodes, key);
}

std::pair<uint64_t, uint32_t> FindLongestPrefix8(const TPackedTrieNode8* nodes, const char* key) {
    return LongestPrefix(nodes, key);
}

uint64_t FindLongestPrefixPayload(const TPackedTrieNode* nodes, const uint64_t* payloads,
                                  const wchar16* key) {
    return LongestPrefixPayload(nodes, payloads, key);
}

uint64_t FindLongestPrefixPayload8(const TPackedTrieNode8* nodes, const uint64_t* payloads,
                                   const char* key) {
    return LongestPrefixPayload(nodes, payloads, key);
}
