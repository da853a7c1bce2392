// A counted table: a set of unique keys that hands out dense ids in the order in which keys
// first arrive and counts how often each key was added. Every table of the dictionary compiler
// is one. Keys are views of memory the table's owner keeps; the table owns only its index.
//
// Once the owner renumbers the table (by key order or by count) and rewrites keys in place,
// the index no longer matches the keys: the table is sealed and takes no further key.
#pragma once

#include "lemmer/compiler/compiler_errors.h"
#include "lemmer/compiler/table_keys.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <unordered_map>
#include <vector>

// Not thread-safe. Add raises NByk::TOverflowError with the table's message when the table
// already holds `limit` keys, for a known key too; the table is then unchanged.
template <class TKey, class TLess>
class TCountedTable {
public:
    static constexpr uint64_t NoLimit = ~uint64_t(0);

    TCountedTable(uint64_t limit, const char* overflowMessage, size_t reserve = 0)
        : Limit_(limit), Message_(overflowMessage) {
        Keys_.reserve(reserve);
        Counts_.reserve(reserve);
        Index_.reserve(reserve);
    }

    // The id of key, new (count 1) or known (count raised by one).
    uint64_t Add(const TKey& key) {
        return Add(key, [](const TKey& k) { return k; });
    }

    // As Add, but `key` may be a view of scratch memory: only when the key is new, store(key)
    // is called and the key it returns (a lasting copy) is kept.
    template <class TStore>
    uint64_t Add(const TKey& key, TStore&& store) {
        assert(!Sealed_);
        CheckRoom();
        const auto found = Index_.find(key);
        if (found != Index_.end()) {
            ++Counts_[found->second];
            return found->second;
        }
        const uint64_t id = Keys_.size();
        const TKey kept = store(key);
        Keys_.push_back(kept);
        Counts_.push_back(1);
        try {
            Index_.emplace(kept, id);
        } catch (...) {
            Keys_.pop_back();
            Counts_.pop_back();
            throw;
        }
        return id;
    }

    // The id of key, or NotFound.
    static constexpr uint64_t NotFound = ~uint64_t(0);
    uint64_t Find(const TKey& key) const {
        const auto found = Index_.find(key);
        return found == Index_.end() ? NotFound : found->second;
    }

    // Raises the table's overflow error when it holds `limit` keys.
    void CheckRoom() const {
        if (Keys_.size() >= Limit_) {
            throw NByk::TOverflowError() << (Message_ ? Message_ : "");
        }
    }

    size_t Size() const noexcept { return Keys_.size(); }
    uint64_t Limit() const noexcept { return Limit_; }
    const TKey& Key(uint64_t id) const { return Keys_[id]; }
    uint64_t Count(uint64_t id) const { return Counts_[id]; }
    // For rewriting a key after renumbering (paradigm texts, the rule ids of stems).
    TKey& MutableKey(uint64_t id) {
        Sealed_ = true;
        return Keys_[id];
    }

    // Ids in key order: the i-th key of the order gets id i; newIdOf[old id] = new id.
    void RenumberByKeyOrder(std::vector<uint64_t>& newIdOf) {
        std::vector<uint64_t> order(Keys_.size());
        std::iota(order.begin(), order.end(), 0);
        const TLess less;
        std::sort(order.begin(), order.end(),
                  [&](uint64_t a, uint64_t b) { return less(Keys_[a], Keys_[b]); });
        Permute(order, newIdOf);
    }

    // Ids by falling count, equal counts keeping their old order; newIdOf[old id] = new id.
    void RenumberByCount(std::vector<uint64_t>& newIdOf) {
        std::vector<uint64_t> order(Keys_.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](uint64_t a, uint64_t b) { return Counts_[a] > Counts_[b]; });
        Permute(order, newIdOf);
    }

    // Ends the intake: the look-up index goes (freeing its memory); ids and keys stay.
    void Seal() {
        Sealed_ = true;
        Index_ = {};
    }

private:
    // order[k] is the old id of the key that gets id k.
    void Permute(const std::vector<uint64_t>& order, std::vector<uint64_t>& newIdOf) {
        Sealed_ = true;
        newIdOf.assign(order.size(), 0);
        std::vector<TKey> keys;
        std::vector<uint64_t> counts;
        keys.reserve(std::max(Keys_.capacity(), order.size()));
        counts.reserve(std::max(Counts_.capacity(), order.size()));
        for (uint64_t k = 0; k < order.size(); ++k) {
            newIdOf[order[k]] = k;
            keys.push_back(Keys_[order[k]]);
            counts.push_back(Counts_[order[k]]);
        }
        Keys_.swap(keys);
        Counts_.swap(counts);
        Index_ = {};
    }

    uint64_t Limit_;
    const char* Message_;
    std::vector<TKey> Keys_;
    std::vector<uint64_t> Counts_;
    std::unordered_map<TKey, uint64_t, TKeyHash, TKeyEqual> Index_;
    bool Sealed_ = false;
};
