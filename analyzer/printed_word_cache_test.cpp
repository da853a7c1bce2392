// The printed-word cache over a long run: what it holds, and what it still finds.
#include "analyzer/printed_word_cache.h"

#include "analyzer/analysis_test_helpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// A word with lemmas long enough that about a thousand entries (a kilobyte each) fill a
// generation of the small budget below, their sizes varying so that no two generations fill
// their blocks alike.
struct TCachedWord {
    std::u16string Text;
    std::vector<std::u16string> Lemmas;
};

// splitmix64: a generator per word, where seeding a Mersenne twister would cost more.
uint64_t NextRandom(uint64_t& state) {
    uint64_t z = state += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

TCachedWord CachedWord(uint32_t index) {
    // Stretches of one text of letters: drawing every letter would be most of the test's time.
    static const std::u16string letters = [] {
        uint64_t state = 0;
        std::u16string text(1024, u'a');
        for (char16_t& c : text) {
            c = static_cast<char16_t>(u'a' + NextRandom(state) % 26);
        }
        return text;
    }();
    uint64_t state = index + 1;
    TCachedWord word;
    for (const char c : "w" + std::to_string(index)) {
        word.Text.push_back(static_cast<char16_t>(c));
    }
    for (uint64_t lemmas = 1 + NextRandom(state) % 4; lemmas > 0; --lemmas) {
        const size_t from = NextRandom(state) % 300;
        word.Lemmas.push_back(letters.substr(from, 100 + NextRandom(state) % 600));
    }
    return word;
}

// Prints the word as the token handler does, through the cache when there is one; whether
// the cache replayed it.
bool PrintCachedWord(TAnalysisPrinter& printer, NLemmix::TPrintedWordCache* cache,
                     const TCachedWord& word) {
    TTokenPart part;
    part.Len = word.Text.size();
    const TTokenView token{word.Text.data(), word.Text.size(), {&part, 1}};
    if (cache != nullptr && cache->ReplayOrRecord(token)) {
        return true;
    }
    printer.BeginAnalyses(word.Text.data(), word.Text.size());
    for (const std::u16string& lemma : word.Lemmas) {
        TPrintedAnalysis analysis;
        analysis.Lemma = lemma.data();
        analysis.LemmaLength = lemma.size();
        printer.PrintAnalysis(analysis, 0.0);
    }
    printer.EndAnalyses();
    printer.Flush();
    if (cache != nullptr) {
        cache->EndRecord();
    }
    return false;
}

std::string UncachedTrace(const TAnalyzerOptions& options, const TCachedWord& word) {
    TTraceOutput out;
    TAnalysisPrinter printer(&options, &out);
    PrintCachedWord(printer, nullptr, word);
    return out.Trace;
}

// Twenty thousand distinct words through a 2 MiB cache clear each generation some ten times.
// What the cache holds stays within its budget and, once both generations have been filled,
// the same: a cleared generation fills the blocks it kept (blocks of huge-page regions that it
// gave back would stay mapped). Then the last words are still found and replayed as they were
// printed, and words that are not there (never seen, or dropped long ago) are looked up to
// the end: a clear must leave no slot of the generation before.
TEST(PrintedWordCache, HoldsItsBudgetOverManyGenerationsAndStillFindsItsWords) {
    constexpr size_t Budget = size_t(2) << 20;
    constexpr uint32_t Words = 20000;
    const TAnalyzerOptions options;
    TTraceOutput out;
    TAnalysisPrinter printer(&options, &out);
    NLemmix::TPrintedWordCache cache(&printer, Budget);
    size_t settled = 0;
    for (uint32_t i = 0; i < Words; ++i) {
        ASSERT_FALSE(PrintCachedWord(printer, &cache, CachedWord(i))) << i;
        if (i % 500 == 499) {
            out.Text.clear();
            out.Trace.clear();
            const size_t held = cache.HeldBytes();
            ASSERT_LE(held, Budget) << "after word " << i;
            if (i == 4999) {
                settled = held;
            } else if (i > 4999) {
                ASSERT_EQ(held, settled) << "after word " << i;
            }
        }
    }
    EXPECT_EQ(cache.Misses(), Words);

    for (uint32_t i = Words - 100; i < Words; ++i) {
        const TCachedWord word = CachedWord(i);
        const size_t from = out.Trace.size();
        EXPECT_TRUE(PrintCachedWord(printer, &cache, word)) << i;
        EXPECT_EQ(out.Trace.substr(from), UncachedTrace(options, word)) << i;
    }
    EXPECT_EQ(cache.Hits(), 100u);
    for (const uint32_t i : {0u, 1u, Words / 2, Words + 1, Words + 2}) {
        EXPECT_FALSE(PrintCachedWord(printer, &cache, CachedWord(i))) << i;
    }
    EXPECT_EQ(cache.Hits(), 100u);
}

}  // namespace
