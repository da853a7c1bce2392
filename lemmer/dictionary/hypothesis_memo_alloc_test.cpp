// The hypothesis memo's bound holds for what it really takes from the heap: the global
// allocation functions of this test program count the bytes they hand out.
#include "lemmer/analysis/allocation_count_test_helpers.h"
#include "lemmer/dictionary/hypothesis_memo.h"

#include <gtest/gtest.h>

#include <cstdint>
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

}  // namespace
