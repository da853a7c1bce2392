// Random key sets built, saved, minimised and read back, against std::map as the oracle.
#include "lemmer/compiler/compact_trie_builder.h"
#include "lemmer/compiler/compact_trie_minimizer.h"
#include "lemmer/compiler/compact_trie_test_helpers.h"
#include "util/stream/compact_trie.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace NCompactTrieRoundtripTest {
using namespace NCompactTrieTest;

namespace {
using TOracle = std::map<std::u16string, unsigned long>;

// Keys from a small pool of units (Latin, Cyrillic, a zero unit, units whose low or high
// byte is 0x00 or 0xFF, and surrogate pairs) so that keys share prefixes and subtrees.
class TKeyMaker {
public:
    explicit TKeyMaker(unsigned seed) : Rng_(seed) {}

    std::u16string Key(size_t maxLen) {
        static const char16_t units[] = {u'a',      u'b',      u'c',      u'=',      u'\u0430',
                                         u'\u0431', u'\u044F', u'\u00FF', u'\u0100', u'\uFF00',
                                         u'\uFFFF', 0x0000,    u'\u4E00'};
        std::u16string key;
        const size_t len = std::uniform_int_distribution<size_t>(0, maxLen)(Rng_);
        while (key.size() < len) {
            const size_t pick = std::uniform_int_distribution<size_t>(0, 15)(Rng_);
            if (pick < std::size(units)) {
                key.push_back(units[pick]);
            } else {
                // A surrogate pair: U+1F600 and neighbours.
                key.push_back(char16_t(0xD83D));
                key.push_back(char16_t(0xDE00 + pick - std::size(units)));
            }
        }
        return key;
    }

    // Half the values are small and repeat (so subtrees repeat); the rest have a random
    // packed width from 1 to 9 bytes.
    unsigned long Value() {
        if (Rng_() % 2) {
            return Rng_() % 4;
        }
        const unsigned width = Rng_() % 9 + 1;
        const unsigned long random = (static_cast<unsigned long>(Rng_()) << 32) ^ Rng_();
        if (width == 9) {
            return random | (1UL << 63);
        }
        const unsigned bits = 7 * width;
        return (random & ((1UL << bits) - 1)) | (1UL << (bits - 1));
    }

    std::mt19937& Rng() { return Rng_; }

private:
    std::mt19937 Rng_;
};

std::optional<std::pair<size_t, unsigned long>> OracleLongest(const TOracle& oracle,
                                                              const std::u16string& key) {
    for (size_t len = key.size() + 1; len > 0; --len) {
        auto it = oracle.find(key.substr(0, len - 1));
        if (it != oracle.end()) {
            return std::make_pair(len - 1, it->second);
        }
    }
    return std::nullopt;
}

void ExpectSameAnswers(const std::string& image, const TOracle& oracle,
                       const std::vector<std::u16string>& probes, const char* what) {
    SCOPED_TRACE(what);
    const TCompactTrie trie(image.data(), image.size());
    size_t mismatches = 0;
    for (const auto& [key, value] : oracle) {
        if (Find(trie, key) != value || Longest(trie, key) != std::make_pair(key.size(), value)) {
            ++mismatches;
        }
    }
    for (const auto& probe : probes) {
        auto it = oracle.find(probe);
        const std::optional<unsigned long> whole =
            it == oracle.end() ? std::nullopt : std::optional<unsigned long>(it->second);
        if (Find(trie, probe) != whole || Longest(trie, probe) != OracleLongest(oracle, probe)) {
            ++mismatches;
        }
    }
    EXPECT_EQ(0u, mismatches);
}

std::string MinimizeImage(const std::string& image) {
    TStringSink out, log;
    TCompactTrieMinimizer::WriteMinimizedTree(out, image.data(), image.size(), false,
                                              TPackedValueSkipper(), log);
    return out.Data;
}

struct TRandomSet {
    TOracle Oracle;
    std::vector<std::pair<std::u16string, unsigned long>> Adds;  // in random order
    std::vector<std::u16string> Probes;                          // mostly non-keys
};

TRandomSet MakeSet(unsigned seed, size_t count, size_t maxLen) {
    TKeyMaker maker(seed);
    TRandomSet set;
    while (set.Adds.size() < count) {
        const std::u16string key = maker.Key(maxLen);
        const unsigned long value = maker.Value();
        set.Adds.emplace_back(key, value);
        set.Oracle[key] = value;  // a repeated key keeps its last value
    }
    for (size_t i = 0; i < count / 2; ++i) {
        set.Probes.push_back(maker.Key(maxLen + 2));
        const std::u16string& key = set.Adds[maker.Rng()() % set.Adds.size()].first;
        set.Probes.push_back(key + maker.Key(2));
        set.Probes.push_back(key.substr(0, key.size() / 2));
    }
    return set;
}

TEST(CompactTrieRoundTrip, AnswersLikeAMapBeforeAndAfterMinimizing) {
    const TRandomSet set = MakeSet(20261210, 100000, 12);
    TBuilder builder;
    size_t fresh = 0;
    for (const auto& [key, value] : set.Adds) {
        fresh += builder.Add(key.data(), key.size(), value);
    }
    EXPECT_EQ(set.Oracle.size(), fresh);
    EXPECT_EQ(set.Adds.size(), builder.EntryCount());
    TStringSink out;
    const uint64_t size = builder.Save(out);
    ASSERT_EQ(out.Data.size(), size);
    ExpectSameAnswers(out.Data, set.Oracle, set.Probes, "built");

    const std::string minimized = MinimizeImage(out.Data);
    EXPECT_LT(minimized.size(), out.Data.size());
    ExpectSameAnswers(minimized, set.Oracle, set.Probes, "minimized");
}

// Prefix-grouped mode on sorted input saves exactly what the unflagged builder saves, values
// of nine bytes included (kept outside the nodes in both modes).
TEST(CompactTrieRoundTrip, GroupedInputMatchesFreeInput) {
    const TRandomSet set = MakeSet(7, 20000, 8);
    TBuilder free, grouped(NCompactTrie::PrefixGroupedInput);
    for (const auto& [key, value] : set.Adds) {
        free.Add(key.data(), key.size(), value);
    }
    for (const auto& [key, value] : set.Oracle) {
        grouped.Add(key.data(), key.size(), value);
    }
    TStringSink freeOut, groupedOut;
    free.Save(freeOut);
    grouped.Save(groupedOut);
    EXPECT_EQ(freeOut.Data, groupedOut.Data);
}

// Many small tries: every shape of a few keys, minimised, must still answer alike.
TEST(CompactTrieRoundTrip, SmallSetsSurviveMinimizing) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        const TRandomSet set = MakeSet(seed, 1 + seed % 40, 4);
        TBuilder builder;
        for (const auto& [key, value] : set.Adds) {
            builder.Add(key.data(), key.size(), value);
        }
        TStringSink out;
        builder.Save(out);
        const std::string minimized = MinimizeImage(out.Data);
        EXPECT_LE(minimized.size(), out.Data.size()) << seed;
        ExpectSameAnswers(minimized, set.Oracle, set.Probes, "minimized small set");
        if (HasFailure()) {
            FAIL() << "seed " << seed;
        }
    }
}
}  // namespace

}  // namespace NCompactTrieRoundtripTest
