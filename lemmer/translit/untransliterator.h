// Untransliteration: one Latin-script word into candidate renderings in another script, best
// first.
//
// Rendering rules map Latin letter sequences to replacement strings with costs; a five-unit
// character n-gram model of the target script adds the cost of every letter a replacement
// writes; a priority queue of partial renderings hands out complete renderings in order of
// cost:
//     TUntransliter u(rules.Nodes(), rules.Lists(), model.Entries(), model.Size(),
//                     model.CodeMap());
//     u.Reset(word);
//     for (auto a = u.GetNextAnswer(0); !a.Empty(); a = u.GetNextAnswer(0)) ...
// The rule trie, the replacement lists, the n-gram table and the code map belong to the caller
// and must outlive the untransliterator (untranslit_rules.h builds them).
#pragma once

#include "lemmer/translit/packed_trie.h"

#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// The n-gram table: entries sorted by key; entry 0 carries the default cost.
struct TNgramEntry {
    uint32_t Key;
    uint32_t Cost;
};

// The number of units a word may have to get renderings, and the queue size that ends the
// enumeration.
inline constexpr size_t UntranslitMaxWordLength = 32;
inline constexpr size_t UntranslitMaxQueue = 8192;

// The rank of a rendering of cost `cost` that has rendered `consumed` units (consumed > 0):
// trunc(cost / (ln consumed + 1) + 0.5), the logarithm in double and the rest in extended
// precision, truncated to its low 32 bits. Rankings are compared across builds, so the
// precision is part of the contract.
uint32_t UntranslitScore(uint32_t cost, uint64_t consumed);

// The enumerator. Not thread-safe; one word at a time. Raises only the standard bad-allocation
// error.
class TUntransliter {
public:
    // A partial rendering.
    struct TVariant {
        TUtf16String Text;
        uint64_t Consumed = 0;  // units of the word already rendered
        uint32_t Cost = 0;
    };
    // A complete rendering; Consumed 0 (with empty text and cost 0) marks the end.
    struct TAnswer {
        TUtf16String Text;
        uint64_t Consumed = 0;
        uint32_t Cost = 0;
        bool Empty() const noexcept { return Consumed == 0; }
    };

    // `ruleTrie` maps Latin keys to rule numbers; `replacementLists[rule]` is the packed
    // replacement list of the rule: each replacement's units, a terminator (0 or 0xFFFF), a unit
    // holding the cost plus one; a replacement starting with unit 0 ends the list. `ngrams`
    // (`ngramCount` entries; none disables the model) and the 65536-byte `codeMap` of 6-bit unit
    // codes form the language model; `codeMap` may be null only when there are no entries.
    TUntransliter(const TPackedTrieNode* ruleTrie, const wchar16* const* replacementLists,
                  const TNgramEntry* ngrams, size_t ngramCount, const uint8_t* codeMap);
    virtual ~TUntransliter();

    TUntransliter(const TUntransliter&) = delete;
    TUntransliter& operator=(const TUntransliter&) = delete;

    // Starts the enumeration for `word`. A word over UntranslitMaxWordLength units gets no
    // renderings.
    void Reset(const TUtf16String& word);

    // The next complete rendering in the word's case, or the empty answer when there is none,
    // when the queue has grown past UntranslitMaxQueue, or when the best remaining variant
    // scores above `bound` (0: no bound).
    TAnswer GetNextAnswer(uint32_t bound);

protected:
    // True discards a partial rendering that has just had `unitsAdded` units appended; this
    // class keeps every variant.
    virtual bool FilterCandidate(const TVariant& variant, size_t unitsAdded) const;

private:
    struct TModel {
        const TNgramEntry* Entries;
        size_t Count;
        const uint8_t* CodeMap;
    };

    void Expand(const TVariant& variant, std::vector<std::pair<uint32_t, uint64_t>>& scratch,
                uint32_t bound);
    void Push(TVariant&& variant);
    uint32_t NgramCost(const TUtf16String& text, size_t appended, wchar16 next) const;
    uint32_t WindowCost(const wchar16 (&window)[5]) const;
    bool FindCost(uint32_t key, uint32_t& cost) const;

    const TPackedTrieNode* RuleTrie_;
    const wchar16* const* ReplacementLists_;
    std::vector<TVariant> Queue_;
    TUtf16String Word_;
    uint64_t CaseFlags_ = 0;
    TModel Model_;
};
