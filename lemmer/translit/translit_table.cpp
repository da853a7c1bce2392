// Word index, list lookup and grammar agreement of translation tables.
#include "lemmer/translit/translit_table.h"

#include "lemmer/grammar/grammeme_table.h"

#include "util/digest/city_hash.h"

#include <algorithm>

int32_t GramSetAgreement(const TGramBitSet& a, const TGramBitSet& b) {
    if (a.Empty() || b.Empty()) {
        return 0;
    }
    const TGramBitSet common = a & b;
    const TGramBitSet differ = (a | b) & ~common;
    const TGrammemeTable& table = TGrammemeTable::Instance();
    uint32_t seen = 0;
    for (uint64_t bit = differ.FindFirst(); bit < TGramBitSet::BitCount;
         bit = differ.FindNext(int64_t(bit))) {
        const uint32_t mask = table.GetCategoryMask(uint32_t(bit) + TGramBitSet::FirstCode);
        if (mask & seen) {
            return -1;
        }
        seen |= mask;
    }
    return common.Count();
}

size_t TTranslitTable::TDirection::THash::operator()(const std::u16string& word) const noexcept {
    return CityHash64(reinterpret_cast<const char*>(word.data()), word.size() * sizeof(char16_t));
}

uint64_t TTranslitTable::TDirection::AddWord(std::u16string_view text) {
    Words_.emplace_back(text);
    return Words_.size() - 1;
}

uint64_t TTranslitTable::TDirection::AddGrammar(const TGramBitSet& grammar) {
    Grammars_.push_back(grammar);
    return Grammars_.size() - 1;
}

uint64_t TTranslitTable::TDirection::AddList(const std::vector<TEntry>& entries) {
    Lists_.emplace_back(Entries_.size(), entries.size());
    Entries_.insert(Entries_.end(), entries.begin(), entries.end());
    return Lists_.size() - 1;
}

void TTranslitTable::TDirection::IndexWord(std::u16string_view word, uint64_t list) {
    Index_[std::u16string(word)] = list;
}

TGramBitSet TTranslitTable::TDirection::GrammarAt(uint64_t number) const {
    return number < Grammars_.size() ? Grammars_[number] : TGramBitSet();
}

size_t TTranslitTable::TDirection::Lookup(const TTranslationRequest& request,
                                          std::vector<TTranslationCandidate>& candidates) const {
    candidates.clear();
    if (request.Word == nullptr) {
        return 0;
    }
    const auto found = Index_.find(std::u16string(request.Word));
    if (found == Index_.end() || found->second >= Lists_.size()) {
        return 0;
    }
    const auto [first, count] = Lists_[found->second];
    int32_t best = -1;
    for (uint64_t i = first; i < first + count; ++i) {
        best =
            std::max(best, GramSetAgreement(request.Grammar, GrammarAt(Entries_[i].SourceGrammar)));
    }
    if (best == -1) {
        return 0;
    }
    for (uint64_t i = first; i < first + count; ++i) {
        const TEntry& e = Entries_[i];
        if (GramSetAgreement(request.Grammar, GrammarAt(e.SourceGrammar)) == best) {
            const wchar16* text =
                e.TargetWord < Words_.size() ? Words_[e.TargetWord].c_str() : nullptr;
            candidates.push_back({text, GrammarAt(e.TargetGrammar)});
        }
    }
    return candidates.size();
}

size_t FromLatin(const TTranslitTable& table, const TTranslationRequest& request,
                 std::vector<TTranslationCandidate>& candidates) {
    return table.Direction(TTranslitTable::FromLatinSide).Lookup(request, candidates);
}

size_t ToLatin(const TTranslitTable& table, const TTranslationRequest& request,
               std::vector<TTranslationCandidate>& candidates) {
    return table.Direction(TTranslitTable::ToLatinSide).Lookup(request, candidates);
}
