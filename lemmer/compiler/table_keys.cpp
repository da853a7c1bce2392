#include "lemmer/compiler/table_keys.h"

#include "util/digest/city_hash.h"

#include <algorithm>
#include <cstring>

namespace {

// Position of the first differing unit within the common length, or that length.
size_t Mismatch(TUtf16Range a, TUtf16Range b) noexcept {
    const size_t n = std::min(a.Length, b.Length);
    size_t i = 0;
    while (i < n && a.Data[i] == b.Data[i]) {
        ++i;
    }
    return i;
}

uint64_t Mix(uint64_t h, uint64_t v) noexcept {
    return (h ^ v) * 0x9DDFEA08EB382D69ULL + (h >> 29);
}

}  // namespace

int CompareWide(TUtf16Range a, TUtf16Range b) noexcept {
    const size_t i = Mismatch(a, b);
    if (i < a.Length && i < b.Length) {
        return a.Data[i] < b.Data[i] ? -1 : 1;
    }
    return a.Length < b.Length ? -1 : (a.Length > b.Length ? 1 : 0);
}

int CompareBytes(TCharRange a, TCharRange b) noexcept {
    const size_t n = std::min(a.Length, b.Length);
    const int c = n ? std::memcmp(a.Data, b.Data, n) : 0;
    if (c != 0) {
        return c;
    }
    return a.Length < b.Length ? -1 : (a.Length > b.Length ? 1 : 0);
}

bool TAffixKeyLess::operator()(const TAffixKey& a, const TAffixKey& b) const noexcept {
    const TUtf16Range& sa = a.ReversedSuffix;
    const TUtf16Range& sb = b.ReversedSuffix;
    const size_t i = Mismatch(sa, sb);
    if (i < sa.Length && i < sb.Length) {
        return sa.Data[i] < sb.Data[i];
    }
    if (sa.Length != sb.Length) {
        return sa.Length > sb.Length;  // the longer reversed suffix first
    }
    if (const int c = CompareWide(a.Prefix, b.Prefix)) {
        return c < 0;
    }
    return CompareBytes(a.Grammar, b.Grammar) < 0;
}

bool TStemKeyLess::operator()(const TStemKey& a, const TStemKey& b) const noexcept {
    if (const int c = CompareWide(a.ReversedStem, b.ReversedStem)) {
        return c < 0;
    }
    return a.RuleId < b.RuleId;
}

size_t TKeyHash::operator()(TUtf16Range r) const noexcept {
    if (r.Length == 0) {
        return 0;
    }
    return CityHash64(reinterpret_cast<const char*>(r.Data), r.Length * sizeof(wchar16));
}

size_t TKeyHash::operator()(TCharRange r) const noexcept {
    if (r.Length == 0) {
        return 0;
    }
    return CityHash64(r.Data, r.Length);
}

size_t TKeyHash::operator()(const TAffixKey& k) const noexcept {
    uint64_t h = (*this)(k.ReversedSuffix);
    h = Mix(h, (*this)(k.Prefix));
    return Mix(h, (*this)(k.Grammar));
}

size_t TKeyHash::operator()(const TStemKey& k) const noexcept {
    return Mix((*this)(k.ReversedStem), k.RuleId);
}

bool TKeyEqual::operator()(const TAffixKey& a, const TAffixKey& b) const noexcept {
    return (*this)(a.ReversedSuffix, b.ReversedSuffix) && (*this)(a.Prefix, b.Prefix) &&
           a.Grammar == b.Grammar;
}

bool TKeyEqual::operator()(const TStemKey& a, const TStemKey& b) const noexcept {
    return a.RuleId == b.RuleId && (*this)(a.ReversedStem, b.ReversedStem);
}
