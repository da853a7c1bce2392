// The pairs of Unicode canonical composition: (first, second) -> composed code point, for
// putting decomposed letters back together. Hangul syllables compose algorithmically and are
// included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>

// Built from the generated composition triples, minus the pairs whose first code point is not
// a starter (combining class other than 0), plus every Hangul syllable's (leading, vowel) and
// (syllable without a final, trailing) pairs. Read-only after construction, hence thread-safe;
// construction raises kexception "Invalid index" only if the property table were too small.
class TCompositionTable {
public:
    TCompositionTable();

    // The composed code point of (first, second), or 0 when the pair does not compose.
    uint32_t Composition(uint32_t first, uint32_t second) const;

    size_t Size() const { return Map_.size(); }

    // Calls f(first, second, composed) for every pair, in no particular order.
    template <class F>
    void ForEach(F&& f) const {
        for (const auto& [key, composed] : Map_) {
            f(static_cast<uint32_t>(key >> 32), static_cast<uint32_t>(key), composed);
        }
    }

private:
    // The bucket of a pair: the 32-bit integer hash of first, XOR second.
    struct THash {
        size_t operator()(uint64_t key) const noexcept;
    };

    void Add(uint32_t first, uint32_t second, uint32_t composed);

    std::unordered_map<uint64_t, uint32_t, THash> Map_;
};

// The process-wide composition table, built on first use and destroyed by the at-exit registry
// (priority 65536).
const TCompositionTable& CompositionTable();
