// Best-first enumeration of renderings and the n-gram cost of what a rule writes.
#include "lemmer/translit/untransliterator.h"

#include "lemmer/alphabet/alphabet_registry.h"

#include "util/string/case.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr wchar16 Space = 0x20;
constexpr wchar16 ListEnd = 0;
constexpr wchar16 AltTerminator = 0xFFFF;

// Heap order: `a` lies below `b` when it costs more or, at equal cost, has rendered less.
bool RanksBelow(const TUntransliter::TVariant& a, const TUntransliter::TVariant& b) {
    return a.Cost != b.Cost ? a.Cost > b.Cost : a.Consumed < b.Consumed;
}

bool OverBound(uint32_t bound, uint32_t cost, uint64_t consumed) {
    return bound != 0 && consumed != 0 && UntranslitScore(cost, consumed) > bound;
}

}  // namespace

uint32_t UntranslitScore(uint32_t cost, uint64_t consumed) {
    const long double divisor =
        static_cast<long double>(std::log(static_cast<double>(consumed))) + 1.0L;
    const long double score = static_cast<long double>(cost) / divisor + 0.5L;
    // A cost over the 32-bit range cannot come out of a division by at least 1, and for no
    // consumed unit the divisor is infinite: the score stays within 0 to 2^32.
    return static_cast<uint32_t>(static_cast<uint64_t>(score));
}

TUntransliter::TUntransliter(const TPackedTrieNode* ruleTrie,
                             const wchar16* const* replacementLists, const TNgramEntry* ngrams,
                             size_t ngramCount, const uint8_t* codeMap)
    : RuleTrie_(ruleTrie),
      ReplacementLists_(replacementLists),
      Model_{ngrams, ngrams ? ngramCount : 0, codeMap} {}

TUntransliter::~TUntransliter() = default;

bool TUntransliter::FilterCandidate(const TVariant&, size_t) const {
    return false;
}

void TUntransliter::Reset(const TUtf16String& word) {
    Queue_.clear();
    Word_ = word;
    ToLower(Word_);
    CaseFlags_ = NLemmer::GetWordCharClassFlags(word.data(), word.size()) &
                 (NLemmer::WCC_TITLE | NLemmer::WCC_NO_LOWER);
    if (word.size() <= UntranslitMaxWordLength) {
        std::vector<std::pair<uint32_t, uint64_t>> scratch;
        Expand(TVariant{}, scratch, 0);
    }
}

TUntransliter::TAnswer TUntransliter::GetNextAnswer(uint32_t bound) {
    std::vector<std::pair<uint32_t, uint64_t>> scratch;
    for (;;) {
        if (Queue_.empty() || Queue_.size() > UntranslitMaxQueue) {
            return {};
        }
        std::pop_heap(Queue_.begin(), Queue_.end(), RanksBelow);
        TVariant top = std::move(Queue_.back());
        Queue_.pop_back();
        if (OverBound(bound, top.Cost, top.Consumed)) {
            return {};
        }
        if (top.Consumed >= Word_.size() || Word_[top.Consumed] == 0) {
            if (CaseFlags_ & NLemmer::WCC_NO_LOWER) {
                ToUpper(top.Text);
            } else if (CaseFlags_ & NLemmer::WCC_TITLE) {
                ToTitle(top.Text);
            }
            return {std::move(top.Text), top.Consumed, top.Cost};
        }
        Expand(top, scratch, bound);
    }
}

void TUntransliter::Expand(const TVariant& variant,
                           std::vector<std::pair<uint32_t, uint64_t>>& scratch, uint32_t bound) {
    FindPrefixValues(RuleTrie_, Word_.data() + variant.Consumed, scratch);
    for (const auto& [rule, keyLength] : scratch) {
        if (keyLength == 0) {
            continue;
        }
        for (const wchar16* p = ReplacementLists_[rule]; *p != ListEnd;) {
            const wchar16* units = p;
            while (*p != ListEnd && *p != AltTerminator) {
                ++p;
            }
            const size_t added = p - units;
            const uint32_t ruleCost = uint32_t(p[1]) - 1;
            p += 2;

            TVariant next{variant.Text, variant.Consumed + keyLength, variant.Cost + ruleCost};
            next.Text.append(units, added);
            if (FilterCandidate(next, added)) {
                continue;
            }
            const wchar16 following =
                next.Consumed < Word_.size() ? Word_[next.Consumed] : wchar16(0);
            next.Cost += NgramCost(next.Text, added, following);
            if (OverBound(bound, next.Cost, next.Consumed)) {
                continue;
            }
            Push(std::move(next));
        }
    }
}

void TUntransliter::Push(TVariant&& variant) {
    Queue_.push_back(std::move(variant));
    std::push_heap(Queue_.begin(), Queue_.end(), RanksBelow);
}

uint32_t TUntransliter::NgramCost(const TUtf16String& text, size_t appended, wchar16 next) const {
    if (Model_.Count == 0) {
        return 0;
    }
    const wchar16* t = text.data();
    const size_t length = text.size();
    uint32_t cost = 0;
    // Windows ending on each written unit; the first three units close no window of their own.
    for (size_t k = 0; k < appended && k < length; ++k) {
        const size_t i = length - 1 - k;
        if (i >= 4) {
            const wchar16 w[5] = {t[i - 4], t[i - 3], t[i - 2], t[i - 1], t[i]};
            cost += WindowCost(w);
        } else if (i == 3) {
            const wchar16 w[5] = {Space, t[0], t[1], t[2], t[3]};
            cost += WindowCost(w);
        }
    }
    // At the word's end the text closes with a space.
    if (next == 0 && length >= 4) {
        const wchar16 w[5] = {t[length - 4], t[length - 3], t[length - 2], t[length - 1], Space};
        cost += WindowCost(w);
    } else if (next == 0 && length >= 1) {
        wchar16 w[5] = {Space, Space, Space, Space, Space};
        std::copy(t, t + length, w + 1);
        cost += WindowCost(w);
    }
    return cost;
}

uint32_t TUntransliter::WindowCost(const wchar16 (&window)[5]) const {
    uint32_t codes[5];
    for (size_t i = 0; i < 5; ++i) {
        codes[i] = Model_.CodeMap[window[i]];
    }
    auto keyOf = [&codes](size_t units) {
        uint32_t key = 0;
        for (size_t i = 0; i < units; ++i) {
            if (codes[i] == 0) {
                return uint32_t(0);
            }
            key += codes[i] << (6 * i);
        }
        return key;
    };
    uint32_t cost = 0;
    if (FindCost(keyOf(5), cost) || FindCost(keyOf(4), cost)) {
        return cost;
    }
    return Model_.Entries[0].Cost;
}

bool TUntransliter::FindCost(uint32_t key, uint32_t& cost) const {
    const TNgramEntry* end = Model_.Entries + Model_.Count;
    const TNgramEntry* found = std::lower_bound(
        Model_.Entries, end, key, [](const TNgramEntry& e, uint32_t k) { return e.Key < k; });
    if (found == end || found->Key != key) {
        return false;
    }
    cost = found->Cost;
    return true;
}
