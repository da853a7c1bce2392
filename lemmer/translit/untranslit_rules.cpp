// Packing rules into a breadth-first packed trie and lists, and n-grams into a sorted table.
#include "lemmer/translit/untranslit_rules.h"

#include <deque>

namespace {

Stroka Quoted(std::u16string_view text) {
    Stroka out = "\"";
    for (const char16_t c : text) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            static const char Hex[] = "0123456789ABCDEF";
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4) {
                out += Hex[(c >> shift) & 0xF];
            }
        }
    }
    out += "\"";
    return out;
}

}  // namespace

void TUntranslitRules::Add(std::u16string_view key, std::u16string_view text, uint32_t cost) {
    if (key.empty() || key.find(u'\0') != key.npos) {
        throw TUntranslitDataError() << "bad untransliteration key " << Quoted(key);
    }
    if (text.find(u'\0') != text.npos || text.find(u'\xFFFF') != text.npos) {
        throw TUntranslitDataError()
            << "bad replacement " << Quoted(text) << " of key " << Quoted(key);
    }
    if (cost > MaxCost) {
        throw TUntranslitDataError()
            << "cost " << cost << " of key " << Quoted(key) << " is over " << MaxCost;
    }
    Rules_[std::u16string(key)].emplace_back(text, cost);
    Packed_ = false;
}

const TPackedTrieNode* TUntranslitRules::Nodes() {
    Pack();
    return Nodes_.data();
}

const wchar16* const* TUntranslitRules::Lists() {
    Pack();
    return Lists_.data();
}

void TUntranslitRules::Pack() {
    if (Packed_) {
        return;
    }
    std::vector<const std::u16string*> keys;
    ListUnits_.clear();
    for (const auto& [key, replacements] : Rules_) {
        keys.push_back(&key);
        std::u16string& list = ListUnits_.emplace_back();
        for (const auto& [text, cost] : replacements) {
            // An empty text is written as a lone 0xFFFF so that it does not end the list.
            list += text;
            list += text.empty() ? u'\xFFFF' : u'\0';
            list += static_cast<char16_t>(cost + 1);
        }
        list += u'\0';
    }
    Lists_.clear();
    for (const std::u16string& list : ListUnits_) {
        Lists_.push_back(list.c_str());
    }

    // Breadth first, so that the children of a node are consecutive. A node stands for the
    // prefix of `depth` units shared by keys[begin, end).
    struct TPending {
        size_t Node, Begin, End, Depth;
    };
    std::vector<TPackedTrieNode> nodes{{0, 0, 0, PackedTrieNoValue}};
    std::deque<TPending> pending{{0, 0, keys.size(), 0}};
    while (!pending.empty()) {
        const TPending p = pending.front();
        pending.pop_front();
        size_t i = p.Begin;
        if (i < p.End && keys[i]->size() == p.Depth) {
            nodes[p.Node].Value = static_cast<uint32_t>(i);
            ++i;
        }
        const size_t first = nodes.size();
        while (i < p.End) {
            const char16_t c = (*keys[i])[p.Depth];
            size_t j = i;
            while (j < p.End && (*keys[j])[p.Depth] == c) {
                ++j;
            }
            pending.push_back({nodes.size(), i, j, p.Depth + 1});
            nodes.push_back({c, 0, 0, PackedTrieNoValue});
            i = j;
        }
        const size_t count = nodes.size() - first;
        if (count > 255) {
            throw TUntranslitDataError()
                << "more than 255 keys continue "
                << Quoted(std::u16string_view(*keys[p.Begin]).substr(0, p.Depth));
        }
        nodes[p.Node].FirstChild = static_cast<uint32_t>(first);
        nodes[p.Node].ChildCount = static_cast<uint8_t>(count);
    }
    Nodes_ = std::move(nodes);
    Packed_ = true;
}

TNgramModel::TNgramModel(uint32_t defaultCost) : Codes_(65536, 0) {
    Costs_[0] = defaultCost;
}

void TNgramModel::SetCode(wchar16 unit, uint8_t code) {
    if (code > 63) {
        throw TUntranslitDataError() << "n-gram code " << uint32_t(code) << " is over 63";
    }
    Codes_[unit] = code;
    Entries_.clear();
}

void TNgramModel::Add(std::u16string_view gram, uint32_t cost) {
    if (gram.size() != 4 && gram.size() != 5) {
        throw TUntranslitDataError() << "n-gram " << Quoted(gram) << " is not of 4 or 5 units";
    }
    uint32_t key = 0;
    for (size_t i = 0; i < gram.size(); ++i) {
        const uint32_t code = Codes_[gram[i]];
        if (code == 0) {
            throw TUntranslitDataError() << "n-gram " << Quoted(gram) << " has a unit without code";
        }
        key += code << (6 * i);
    }
    Costs_[key] = cost;
    Entries_.clear();
}

const TNgramEntry* TNgramModel::Entries() {
    Pack();
    return Entries_.data();
}

size_t TNgramModel::Size() {
    Pack();
    return Entries_.size();
}

void TNgramModel::Pack() {
    if (!Entries_.empty()) {
        return;
    }
    for (const auto& [key, cost] : Costs_) {
        Entries_.push_back({key, cost});
    }
}
