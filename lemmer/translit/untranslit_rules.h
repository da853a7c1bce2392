// Builders of the data an untransliterator reads: the rule trie with its replacement lists, and
// the n-gram table with its code map.
//
// The system ships no rules and no model; a language that wants untransliteration builds them
// here from its own description:
//     TUntranslitRules rules;
//     rules.Add(u"sh", u"ш", 0);
//     rules.Add(u"s", u"с", 1);
//     TNgramModel model(40);              // default cost
//     model.SetCode(u'ш', 1); ...
//     model.Add(u" шар", 3);               // four or five units
//     TUntransliter u(rules.Nodes(), rules.Lists(), model.Entries(), model.Size(),
//                     model.CodeMap());
// The packed forms are rebuilt on the first read after a change; the pointers stay valid until
// the next change or the builder's end. Errors are TUntranslitDataError with a message naming
// the faulty item.
#pragma once

#include "lemmer/translit/packed_trie.h"
#include "lemmer/translit/untransliterator.h"

#include "util/generic/exception.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class TUntranslitDataError : public kexception {};

// Rendering rules. Not thread-safe.
class TUntranslitRules {
public:
    // The highest cost a replacement list can hold (one unit keeps the cost plus one).
    static constexpr uint32_t MaxCost = 0xFFFE;

    // Appends a replacement to the list of `key`. The key must be non-empty and without unit 0;
    // the text without units 0 and 0xFFFF; the cost at most MaxCost.
    void Add(std::u16string_view key, std::u16string_view text, uint32_t cost);

    // The rule trie (rule numbers in key order) and the replacement lists indexed by rule.
    // Raises when a node would have more than 255 children.
    const TPackedTrieNode* Nodes();
    const wchar16* const* Lists();

private:
    void Pack();

    std::map<std::u16string, std::vector<std::pair<std::u16string, uint32_t>>> Rules_;
    bool Packed_ = false;
    std::vector<TPackedTrieNode> Nodes_;
    std::vector<std::u16string> ListUnits_;
    std::vector<const wchar16*> Lists_;
};

// A five-unit n-gram model. Not thread-safe.
class TNgramModel {
public:
    explicit TNgramModel(uint32_t defaultCost);

    // Gives `unit` the code 1 to 63 (0 forgets it).
    void SetCode(wchar16 unit, uint8_t code);
    // The cost of a window of five units, or of four (the fallback for windows of five that
    // start with them). Every unit needs a code; a later cost for the same window replaces the
    // earlier one.
    void Add(std::u16string_view gram, uint32_t cost);

    // The sorted table, entry 0 holding the default cost, and its size.
    const TNgramEntry* Entries();
    size_t Size();
    // 65536 codes, one per unit.
    const uint8_t* CodeMap() const { return Codes_.data(); }

private:
    void Pack();

    std::vector<uint8_t> Codes_;
    std::map<uint32_t, uint32_t> Costs_;
    std::vector<TNgramEntry> Entries_;
};
