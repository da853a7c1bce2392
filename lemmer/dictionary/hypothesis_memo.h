// The rule matcher's memo of hypothesis walks, kept by each dictionary (dictionary.h).
#pragma once

#include "lemmer/dictionary/dictionary.h"
#include "lemmer/dictionary/rule_matcher.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <shared_mutex>
#include <utility>
#include <vector>

namespace NByk {

// What stem-similarity hypotheses found below a stem node, so that the next word with that
// stem end need not walk the subtree again. For a node and part-of-speech mask: the rules the
// walk meets, each once, in walk order, less those no candidate could take (unknown, rare, of
// another part of speech, barred); trying these gives what the walk gives. For a node, mask,
// depth and ending range (without a grammar filter): the results those rules give, in order.
// Entries are added, never changed or removed, while what the memo takes (its tables as they are
// sized, the values and what they allocate) stays within MaxStoredBytes.
class THypothesisMemo {
public:
    // The four thousand unknown words of the benchmark leave less than a megabyte.
    static constexpr size_t MaxStoredBytes = size_t(16) << 20;

    // Depth and EndingRange are 0 in the keys of rule lists.
    struct TKey {
        const TStemBlock* Block;
        uint32_t Node;
        uint32_t Mask;
        uint32_t Depth;
        uint32_t EndingRange;
        friend bool operator==(const TKey&, const TKey&) = default;
    };

    size_t Entries() const {
        std::shared_lock lock(Mutex_);
        return Rules_.size() + Results_.size();
    }
    // What the memo counts against MaxStoredBytes (for tests).
    size_t StoredBytes() const {
        std::shared_lock lock(Mutex_);
        return Stored_;
    }

    // Null when not kept; what is returned stays valid for the memo's life.
    const std::vector<uint16_t>* FindRules(const TKey& key) const { return Find(Rules_, key); }
    const std::vector<TMatchResult>* FindResults(const TKey& key) const {
        return Find(Results_, key);
    }
    const std::vector<uint16_t>* AddRules(const TKey& key, std::vector<uint16_t>&& rules) {
        return Add(Rules_, key, std::move(rules));
    }
    const std::vector<TMatchResult>* AddResults(const TKey& key,
                                                std::vector<TMatchResult>&& results) {
        return Add(Results_, key, std::move(results));
    }

private:
    // A value: its vector in the deque, with a pointer's worth for the deque's share of its
    // chunks and their map, and the vector's array with malloc's header and rounding.
    template <class V>
    static size_t ValueBytes(const std::vector<V>& values) {
        const size_t array = values.capacity() * sizeof(V);
        return sizeof(std::vector<V>) + sizeof(void*) + (array == 0 ? 0 : (array + 31) / 16 * 16);
    }

    static uint64_t Hash(const TKey& k) noexcept {
        uint64_t h = reinterpret_cast<uintptr_t>(k.Block);
        for (const uint32_t v : {k.Node, k.Mask, k.Depth, k.EndingRange}) {
            h = (h ^ v) * 0x9E3779B97F4A7C15ull;
            h ^= h >> 29;
        }
        return h;
    }

    // An open-addressing table whose slots hold the keys themselves, so that a look-up reads
    // one slot where a node-based map reads a bucket and then a node; the values stay where
    // they were first put (a deque), so what Find returns stays valid.
    template <class V>
    class TMap {
    public:
        size_t size() const noexcept { return Values_.size(); }
        // What the slots take now, and once one more value is kept.
        size_t TableBytes() const noexcept { return Slots_.size() * sizeof(TSlot); }
        size_t TableBytesWithOneMore() const noexcept {
            return NeedsGrowth() ? GrownSize() * sizeof(TSlot) : TableBytes();
        }

        const std::vector<V>* Find(const TKey& key) const {
            if (Slots_.empty()) {
                return nullptr;
            }
            const size_t mask = Slots_.size() - 1;
            for (size_t i = Hash(key) & mask;; i = (i + 1) & mask) {
                const TSlot& slot = Slots_[i];
                if (slot.Value == nullptr) {
                    return nullptr;
                }
                if (slot.Key == key) {
                    return slot.Value;
                }
            }
        }

        // The value already kept for the key, or `values` kept for it; whether it was added.
        std::pair<const std::vector<V>*, bool> Emplace(const TKey& key, std::vector<V>&& values) {
            if (const std::vector<V>* kept = Find(key)) {
                return {kept, false};
            }
            if (NeedsGrowth()) {
                Grow();
            }
            Values_.push_back(std::move(values));
            Place({key, &Values_.back()});
            return {&Values_.back(), true};
        }

    private:
        struct TSlot {
            TKey Key{};
            std::vector<V>* Value = nullptr;  // null: a free slot
        };

        void Place(const TSlot& slot) {
            const size_t mask = Slots_.size() - 1;
            size_t i = Hash(slot.Key) & mask;
            while (Slots_[i].Value != nullptr) {
                i = (i + 1) & mask;
            }
            Slots_[i] = slot;
        }

        // Kept at most half full.
        bool NeedsGrowth() const noexcept { return (Values_.size() + 1) * 2 > Slots_.size(); }
        size_t GrownSize() const noexcept { return std::max<size_t>(Slots_.size() * 2, 256); }

        void Grow() {
            std::vector<TSlot> old(GrownSize());
            old.swap(Slots_);
            for (const TSlot& slot : old) {
                if (slot.Value != nullptr) {
                    Place(slot);
                }
            }
        }

        std::vector<TSlot> Slots_;
        std::deque<std::vector<V>> Values_;
    };

    template <class V>
    const std::vector<V>* Find(const TMap<V>& map, const TKey& key) const {
        std::shared_lock lock(Mutex_);
        return map.Find(key);
    }
    template <class V>
    const std::vector<V>* Add(TMap<V>& map, const TKey& key, std::vector<V>&& values) {
        std::unique_lock lock(Mutex_);
        const size_t bytes = ValueBytes(values) + map.TableBytesWithOneMore() - map.TableBytes();
        if (Stored_ + bytes > MaxStoredBytes) {
            return nullptr;
        }
        const auto [at, added] = map.Emplace(key, std::move(values));
        if (added) {
            Stored_ += bytes;
        }
        return at;
    }

    mutable std::shared_mutex Mutex_;
    TMap<uint16_t> Rules_;
    TMap<TMatchResult> Results_;
    size_t Stored_ = 0;
};

}  // namespace NByk
