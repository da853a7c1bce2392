// Builds the canonical composition pairs from the generated triples and the Hangul rules.
#include "util/charset/composition.h"

#include "util/charset/unicode_generated.h"
#include "util/charset/unicode_table.h"
#include "util/system/singleton.h"

namespace {

constexpr uint32_t HANGUL_FIRST = 0xAC00;
constexpr uint32_t HANGUL_COUNT = 11172;
constexpr uint32_t JAMO_VOWELS = 21;
constexpr uint32_t JAMO_TRAILS = 28;

uint32_t IntHash32(uint32_t h) {
    h += ~(h << 15);
    h ^= h >> 10;
    h *= 9;
    h ^= h >> 6;
    h += ~(h << 11);
    h ^= h >> 16;
    return h;
}

// The Hangul composition of (current, x), 0 when they do not compose.
uint32_t ComposeHangul(uint32_t current, uint32_t x) {
    if (current >= 0x1100 && current <= 0x1112 && x >= 0x1161 && x <= 0x1175) {
        return HANGUL_FIRST + ((current - 0x1100) * JAMO_VOWELS + (x - 0x1161)) * JAMO_TRAILS;
    }
    const uint32_t offset = current - HANGUL_FIRST;  // wraps for code points below the block
    if (offset < HANGUL_COUNT && offset % JAMO_TRAILS == 0 && x >= 0x11A8 && x <= 0x11C2) {
        return current + (x - 0x11A7);
    }
    return 0;
}

}  // namespace

size_t TCompositionTable::THash::operator()(uint64_t key) const noexcept {
    return IntHash32(static_cast<uint32_t>(key >> 32)) ^ static_cast<uint32_t>(key);
}

TCompositionTable::TCompositionTable() {
    using namespace NUnicodeGenerated;
    for (size_t i = 0; i < COMPOSITION_TRIPLE_COUNT; ++i) {
        const TCompositionTriple& t = COMPOSITION_TRIPLES[i];
        if (UnicodeCharInfo(t.First).CombiningClass() != 0) {
            continue;
        }
        Add(t.First, t.Second, t.Composed);
    }
    const TDecompositionDescriptor& compat = CompatDecompositionTable();
    for (uint32_t s = HANGUL_FIRST; s < HANGUL_FIRST + HANGUL_COUNT; ++s) {
        const uint32_t* d = compat[s];
        uint32_t current = *d++;
        for (; *d; ++d) {
            const uint32_t composed = ComposeHangul(current, *d);
            Add(current, *d, composed);
            current = composed;
        }
    }
}

uint32_t TCompositionTable::Composition(uint32_t first, uint32_t second) const {
    const auto it = Map_.find((static_cast<uint64_t>(first) << 32) | second);
    return it == Map_.end() ? 0 : it->second;
}

void TCompositionTable::Add(uint32_t first, uint32_t second, uint32_t composed) {
    Map_[(static_cast<uint64_t>(first) << 32) | second] = composed;
}

const TCompositionTable& CompositionTable() {
    return *Singleton<TCompositionTable>();
}
