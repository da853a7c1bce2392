// The hypothesis memo's bound holds for what it really takes from the heap: the global
// allocation functions of this test program count the bytes they hand out.
#include "lemmer/analysis/allocation_count_test_helpers.h"
#include "lemmer/dictionary/hypothesis_memo.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <utility>
#include <vector>

namespace {

// Rule lists grown one rule at a time (so with room to spare) and result lists, some empty,
// kept under distinct keys until the memo turns both kinds away: the bytes it took stay within
// its bound, what it counted covers them, and it was filled close to the bound.
TEST(HypothesisMemoAllocations, WhatItTakesStaysWithinItsBound) {
    NByk::THypothesisMemo memo;
    const int64_t before = NLemmer::NTest::LiveHeapBytes();
    bool rulesTurnedAway = false;
    bool resultsTurnedAway = false;
    for (uint32_t node = 0; !rulesTurnedAway || !resultsTurnedAway; ++node) {
        if (!rulesTurnedAway) {
            std::vector<uint16_t> rules;
            for (uint32_t rule = 0; rule < node % 23; ++rule) {
                rules.push_back(static_cast<uint16_t>(rule));
            }
            rulesTurnedAway = memo.AddRules({nullptr, node, 1, 0, 0}, std::move(rules)) == nullptr;
        }
        if (!resultsTurnedAway) {
            std::vector<NByk::TMatchResult> results(node % 5);
            resultsTurnedAway =
                memo.AddResults({nullptr, node, 1, 2, 3}, std::move(results)) == nullptr;
        }
    }
    const auto taken = static_cast<size_t>(NLemmer::NTest::LiveHeapBytes() - before);
    EXPECT_LE(taken, NByk::THypothesisMemo::MaxStoredBytes);
    EXPECT_GE(memo.StoredBytes(), taken);
    EXPECT_GT(taken, NByk::THypothesisMemo::MaxStoredBytes / 2);
}

// Values of one shape, as a walk leaves them (sizes and capacities), kept under distinct keys
// until the memo turns both kinds away; with OfferedTwice each key is offered again at once, as
// two words with the same stem end would.
struct TMemoFill {
    const char* Name;
    uint32_t Rules;
    uint32_t RulesCapacity;
    uint32_t Results;
    uint32_t ResultsCapacity;
    bool OfferedTwice;
};

void PrintTo(const TMemoFill& fill, std::ostream* out) {
    *out << fill.Name;
}

template <class V>
std::vector<V> MemoValue(uint32_t size, uint32_t capacity) {
    std::vector<V> values;
    values.reserve(capacity);
    values.resize(size);
    return values;
}

class HypothesisMemoFill : public ::testing::TestWithParam<TMemoFill> {};

// The memo is charged the arrays as allocated, spare capacity included, and each key once: what
// it takes from the heap stays within its bound and its charge, and it still fills past half its
// bound. A key offered again takes and is charged nothing, and gives the value kept or none.
TEST_P(HypothesisMemoFill, IsChargedWhatItHoldsOnceAKey) {
    const TMemoFill& fill = GetParam();
    NByk::THypothesisMemo memo;
    const int64_t before = NLemmer::NTest::LiveHeapBytes();
    size_t reofferedChanges = 0;
    // Offers the value again; whether nothing changed.
    auto offerAgain = [&](auto add, const auto* kept) {
        const size_t entries = memo.Entries();
        const size_t charged = memo.StoredBytes();
        const int64_t heap = NLemmer::NTest::LiveHeapBytes();
        const auto* again = add();
        return (again == nullptr || again == kept) && memo.Entries() == entries &&
               memo.StoredBytes() == charged && NLemmer::NTest::LiveHeapBytes() == heap;
    };
    bool rulesTurnedAway = false;
    bool resultsTurnedAway = false;
    for (uint32_t node = 0; !rulesTurnedAway || !resultsTurnedAway; ++node) {
        const NByk::THypothesisMemo::TKey rulesKey{nullptr, node, 1, 0, 0};
        const NByk::THypothesisMemo::TKey resultsKey{nullptr, node, 1, 2, 3};
        auto addRules = [&] {
            return memo.AddRules(rulesKey, MemoValue<uint16_t>(fill.Rules, fill.RulesCapacity));
        };
        auto addResults = [&] {
            return memo.AddResults(
                resultsKey, MemoValue<NByk::TMatchResult>(fill.Results, fill.ResultsCapacity));
        };
        if (!rulesTurnedAway) {
            const auto* kept = addRules();
            rulesTurnedAway = kept == nullptr;
            if (kept != nullptr && fill.OfferedTwice && !offerAgain(addRules, kept)) {
                ++reofferedChanges;
            }
        }
        if (!resultsTurnedAway) {
            const auto* kept = addResults();
            resultsTurnedAway = kept == nullptr;
            if (kept != nullptr && fill.OfferedTwice && !offerAgain(addResults, kept)) {
                ++reofferedChanges;
            }
        }
    }
    const auto taken = static_cast<size_t>(NLemmer::NTest::LiveHeapBytes() - before);
    EXPECT_LE(taken, NByk::THypothesisMemo::MaxStoredBytes);
    EXPECT_GE(memo.StoredBytes(), taken);
    EXPECT_GT(taken, NByk::THypothesisMemo::MaxStoredBytes / 2);
    EXPECT_EQ(reofferedChanges, 0u) << "of " << memo.Entries() << " keys offered again";
}

INSTANTIATE_TEST_SUITE_P(Shapes, HypothesisMemoFill,
                         ::testing::Values(TMemoFill{"Exact", 7, 7, 2, 2, false},
                                           TMemoFill{"SpareCapacity", 2, 64, 1, 8, false},
                                           TMemoFill{"EmptyWithCapacity", 0, 32, 0, 4, false},
                                           TMemoFill{"Long", 300, 512, 40, 64, false},
                                           TMemoFill{"OfferedTwice", 2, 64, 1, 8, true}),
                         [](const ::testing::TestParamInfo<TMemoFill>& info) {
                             return info.param.Name;
                         });

}  // namespace
