// The counting rule of the lemma-frequency table: words, shares of distinct keys, what is left
// out, and the rounding of the values.
#include "tools/lemma_frequencies/frequency_counter.h"

#include "analyzer/analysis_test_helpers.h"
#include "util/stream/string_stream.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

const char Noun[] = "\x88\xa6\xae";  // S,gen,sg
const char NounNom[] = "\x88";       // S
const char Verb[] = "\x89";          // V
const char Prep[] = "\x87";          // PR
const char Sg[] = "\xae";            // sg: not a part of speech

void Word(TFrequencyCounter& counter, std::vector<TAnalysisRecord> records) {
    counter.PrintWord(u"w", 1, records.data(), records.data() + records.size());
}

std::map<std::string, double> Counts(const TFrequencyCounter& counter) {
    std::map<std::string, double> counts;
    for (const auto& [key, count] : FrequencyRows(counter.Counts(), 1)) {
        counts[key] = count / 1e8;  // one word: the row is count x 10^8
    }
    return counts;
}

TEST(FrequencyCounterTest, SharesEachWordAmongItsDistinctDictionaryKeys) {
    TFrequencyCounter counter;
    // Two analyses under one key (two forms of one noun) and a verb: halves.
    Word(counter,
         {Analysis(u"стекло", Noun), Analysis(u"стекло", NounNom), Analysis(u"стекло", Verb)});
    // A dictionary analysis beside guesses and a placeholder: the guesses give nothing.
    Word(counter,
         {Analysis(u"в", Prep), Analysis(u"вать", Verb, AF_HYPOTHESIS),
          Analysis(u"в", "", AF_PLACEHOLDER), Analysis(u"во", Noun, AF_SECOND_DICTIONARY)});
    // Only guesses, no analyses, a grammar without a part of speech: counted words, no keys.
    Word(counter, {Analysis(u"кракозябра", Noun, AF_HYPOTHESIS)});
    Word(counter, {});
    Word(counter, {Analysis(u"рама", ""), Analysis(u"рама", Sg)});
    EXPECT_EQ(counter.Words(), 5u);
    const std::map<std::string, double> expected = {
        {"в=PR", 1.0}, {"стекло=S", 0.5}, {"стекло=V", 0.5}};
    EXPECT_EQ(Counts(counter), expected);
    const std::map<std::u16string, uint64_t> skipped = {{u"", 1}, {u"sg", 1}};
    EXPECT_EQ(counter.Skipped(), skipped);
}

TEST(FrequencyCounterTest, ValuesArePerMillionWordsTimesHundredRoundedAndAtLeastOne) {
    const std::unordered_map<std::u16string, double> counts = {
        {u"я=SPRO", 1.0}, {u"ёж=S", 2.5}, {u"мама=S", 0.125}, {u"а=CONJ", 3.0}};
    const struct {
        uint64_t Words;
        std::string Text;
    } cases[] = {
        // 10^8 / 3 = 33333333.3 per occurrence
        {3, "а=CONJ\t100000000\nмама=S\t4166667\nя=SPRO\t33333333\nёж=S\t83333333\n"},
        {10000000, "а=CONJ\t30\nмама=S\t1\nя=SPRO\t10\nёж=S\t25\n"},
        // 0.5 per occurrence: halves round up, and a count that rounds to 0 still gives 1
        {200000000, "а=CONJ\t2\nмама=S\t1\nя=SPRO\t1\nёж=S\t1\n"},
    };
    for (const auto& c : cases) {
        Stroka text;
        TStringOutput out(text);
        WriteFrequencyRows(FrequencyRows(counts, c.Words), out);
        EXPECT_EQ(std::string(text.data(), text.size()), c.Text) << c.Words;
    }
}

}  // namespace
