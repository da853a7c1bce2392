// Translation tables between a language and English, and the agreement of two grammars.
//
// A table has two directions (from Latin, to Latin) of the same shape: a word index from a word
// to a list number, the lists of entries {source grammar, target word, target grammar} and the
// arrays of target words and grammar sets the entries number. A lookup keeps the entries whose
// source grammar agrees best with the grammar asked for:
//     TTranslitTable table;
//     auto& from = table.Direction(TTranslitTable::FromLatinSide);
//     from.IndexWord(u"house", from.AddList({{from.AddGrammar(s), from.AddWord(u"дом"),
//                                             from.AddGrammar(s)}}));
//     std::vector<TTranslationCandidate> found;
//     FromLatin(table, {u"house", TGramBitSet()}, found);
// No language of the system ships a table; this is the machinery a language that has one uses.
// Not thread-safe while being filled; lookups only read.
#pragma once

#include "lemmer/grammar/gram_bitset.h"

#include "util/generic/string.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// How well two grammars agree: 0 when either is empty; -1 when the grammemes in only one of
// them include two of one category (singular and plural, two cases); otherwise the number of
// grammemes both hold.
int32_t GramSetAgreement(const TGramBitSet& a, const TGramBitSet& b);

// A word to translate (0-terminated) and the grammar wanted of it.
struct TTranslationRequest {
    const wchar16* Word = nullptr;
    TGramBitSet Grammar;
};

// A translation: its text (owned by the table; null for a word number the table lacks) and
// grammar.
struct TTranslationCandidate {
    const wchar16* Text = nullptr;
    TGramBitSet Grammar;
};

class TTranslitTable {
public:
    enum ESide { FromLatinSide = 0, ToLatinSide = 1 };

    struct TEntry {
        uint64_t SourceGrammar;  // numbers into the grammar sets
        uint64_t TargetWord;     // number into the target words
        uint64_t TargetGrammar;
    };

    // One direction. Added words and grammars keep their numbers and texts for the table's life.
    class TDirection {
    public:
        uint64_t AddWord(std::u16string_view text);
        uint64_t AddGrammar(const TGramBitSet& grammar);
        uint64_t AddList(const std::vector<TEntry>& entries);
        // Points `word` at list `list` (any number; one without a list finds nothing).
        void IndexWord(std::u16string_view word, uint64_t list);

        // The candidates for the request: the list's entries of the best agreement, in list
        // order. A grammar number past the sets counts as the empty grammar.
        size_t Lookup(const TTranslationRequest& request,
                      std::vector<TTranslationCandidate>& candidates) const;

    private:
        // The word index hashes the word's units as bytes with CityHash64.
        struct THash {
            size_t operator()(const std::u16string& word) const noexcept;
        };

        TGramBitSet GrammarAt(uint64_t number) const;

        std::unordered_map<std::u16string, uint64_t, THash> Index_;
        std::vector<std::pair<uint64_t, uint64_t>> Lists_;  // first entry, entry count
        std::vector<TEntry> Entries_;
        std::deque<std::u16string> Words_;  // a deque keeps every text where it is
        std::vector<TGramBitSet> Grammars_;
    };

    TDirection& Direction(ESide side) { return Sides_[side]; }
    const TDirection& Direction(ESide side) const { return Sides_[side]; }

private:
    TDirection Sides_[2];
};

// The two directions of a table: the candidate count, the candidates in `candidates` (cleared
// first). A null word gives none.
size_t FromLatin(const TTranslitTable& table, const TTranslationRequest& request,
                 std::vector<TTranslationCandidate>& candidates);
size_t ToLatin(const TTranslitTable& table, const TTranslationRequest& request,
               std::vector<TTranslationCandidate>& candidates);
