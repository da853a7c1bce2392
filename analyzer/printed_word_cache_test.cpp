// The printed-word cache over a long run: what it holds, and what it still finds.
#include "analyzer/printed_word_cache.h"

#include "analyzer/analysis_test_helpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
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

// A run through a small budget over many generations, of distinct words or of words each
// printed once more after a lag.
struct TCacheWorkload {
    const char* Name;
    size_t Budget;
    uint32_t Words;
    // The lag in hundredths of the words a first fill keeps; 0: each word printed once.
    uint32_t LagPercent;
};

// A word is dropped with the generation after its own, which takes at most two entries a step
// (a new word, a repeat copied from the older one) and so lasts at least half as many steps as
// it holds entries: a repeat within less than half a generation is always found. Two fifths
// leave room for generations of longer words.
constexpr uint32_t SureLagPercent = 40;

void PrintTo(const TCacheWorkload& load, std::ostream* out) {
    *out << load.Name;
}

class PrintedWordCacheWorkload : public ::testing::TestWithParam<TCacheWorkload> {
protected:
    struct TKept {
        uint32_t Words = 0;
        size_t Bytes = 0;  // what they printed
    };

    PrintedWordCacheWorkload() : Printer_(&Options_, &Out_) {}

    // Whether the cache replayed the word; notes the most the cache has held.
    bool Print(NLemmix::TPrintedWordCache& cache, uint32_t index) {
        const bool hit = PrintCachedWord(Printer_, &cache, CachedWord(index));
        NoteHeld(cache, index);
        return hit;
    }

    // Looks the words before `end` up from the last back, recording none that is not found: the
    // words found before the first miss. A word found in the older generation is copied to
    // the newer one, and once that is full the older one is dropped with the words not yet
    // looked up: what is found is a generation's worth of the most recent words, which the
    // cache holds at any time.
    TKept KeptWords(NLemmix::TPrintedWordCache& cache, uint32_t end) {
        TKept kept;
        for (uint32_t i = end; i-- > 0;) {
            const TCachedWord word = CachedWord(i);
            TTokenPart part;
            part.Len = word.Text.size();
            const size_t from = Out_.Text.size();
            if (!cache.ReplayOrRecord({word.Text.data(), word.Text.size(), {&part, 1}})) {
                cache.AbandonRecord();
                break;
            }
            NoteHeld(cache, i);
            ++kept.Words;
            kept.Bytes += Out_.Text.size() - from;
        }
        return kept;
    }

    void NoteHeld(const NLemmix::TPrintedWordCache& cache, uint32_t index) {
        if (cache.HeldBytes() > MostHeld_) {
            MostHeld_ = cache.HeldBytes();
            MostHeldAt_ = index;
        }
    }

    const TAnalyzerOptions Options_;
    TTraceOutput Out_;
    TAnalysisPrinter Printer_;
    size_t MostHeld_ = 0;
    uint32_t MostHeldAt_ = 0;
};

// What the cache's allocators hand out stays within the budget after every word, and the cache
// keeps about as many recent words as the budget holds: after many generations as many as
// after its first fill, and those printed most of a generation's half of the budget (the table
// and the blocks' ends take the rest). A short lag finds every repeat; a long one has repeats
// copied from the older generation up to the moment the newer one is full.
TEST_P(PrintedWordCacheWorkload, HoldsItsBudgetAndKeepsAGenerationOfRecentWords) {
    const TCacheWorkload& load = GetParam();
    // Distinct words that print three quarters of the budget have filled the first generation
    // (a generation holds no more than its half) and only begun the second.
    TKept first;
    {
        NLemmix::TPrintedWordCache cache(&Printer_, load.Budget);
        uint32_t words = 0;
        for (size_t printed = 0; printed < load.Budget / 4 * 3; ++words) {
            const size_t from = Out_.Text.size();
            ASSERT_FALSE(Print(cache, words)) << words;
            printed += Out_.Text.size() - from;
        }
        first = KeptWords(cache, words);
        ASSERT_LT(first.Words, words) << "the walk reached the first word";
    }
    EXPECT_GE(first.Bytes, load.Budget / 2 * 8 / 10)
        << first.Words << " words kept by a first fill";
    EXPECT_LE(MostHeld_, load.Budget) << "in a first fill, at word " << MostHeldAt_;
    MostHeld_ = 0;

    NLemmix::TPrintedWordCache cache(&Printer_, load.Budget);
    const uint32_t lag = first.Words * load.LagPercent / 100;
    for (uint32_t i = 0; i < load.Words + lag; ++i) {
        if (i < load.Words) {
            ASSERT_FALSE(Print(cache, i)) << i;
        }
        if (load.LagPercent != 0 && i >= lag) {
            Print(cache, i - lag);
        }
        Out_.Text.clear();
        Out_.Trace.clear();
    }
    if (load.LagPercent <= SureLagPercent) {
        EXPECT_EQ(cache.Misses(), load.Words) << "every repeat is found";
    }
    const TKept kept = KeptWords(cache, load.Words);
    EXPECT_NEAR(kept.Bytes, first.Bytes, first.Bytes / 10)
        << kept.Words << " words kept after many generations, " << first.Words
        << " after the first fill";
    EXPECT_LE(MostHeld_, load.Budget) << "over many generations, at word " << MostHeldAt_;
}

INSTANTIATE_TEST_SUITE_P(
    SmallBudgets, PrintedWordCacheWorkload,
    ::testing::Values(TCacheWorkload{"Quarter", 256 << 10, 2000, 0},
                      TCacheWorkload{"QuarterShortLag", 256 << 10, 2000, SureLagPercent},
                      TCacheWorkload{"QuarterLongLag", 256 << 10, 2000, 75},
                      TCacheWorkload{"One", 1 << 20, 5000, 0},
                      TCacheWorkload{"OneShortLag", 1 << 20, 5000, SureLagPercent},
                      TCacheWorkload{"Two", 2 << 20, 10000, 0},
                      TCacheWorkload{"TwoLongLag", 2 << 20, 10000, 75}),
    [](const ::testing::TestParamInfo<TCacheWorkload>& info) { return info.param.Name; });

}  // namespace
