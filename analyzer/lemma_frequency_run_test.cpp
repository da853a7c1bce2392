// The -f run over the embedded Russian dictionary and lemma-frequency table: every
// printed frequency is the committed table's value / 100 under the key of the printed analysis,
// the commonest words stand at the top and a word outside the table prints 0.00.
#include "analyzer/driver.h"
#include "data/lemma_frequency_tsv.h"

#include "util/stream/string_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

// The committed table: key to value.
const std::map<std::string, long>& Table() {
    static const std::map<std::string, long> table =
        ReadLemmaFrequencyTsv(LEMMIX_SOURCE_DIR "/data/lemma-frequencies.tsv");
    return table;
}

// The rank of a key among the table's values, 0 for the largest.
size_t Rank(const std::string& key) {
    const long value = Table().at(key);
    return std::count_if(Table().begin(), Table().end(),
                         [&](const auto& row) { return row.second > value; });
}

struct TPrinted {
    std::string Word;
    std::string Lemma;
    bool Uncertain;
    long Hundredths;        // the printed frequency x 100
    std::string FirstName;  // the first grammeme of the common grammar
};

// Runs the analysis with -f -i (the embedded dictionary and table) and reads back
// "word{lemma:f=G=F|..}".
std::vector<TPrinted> AnalyseWithFrequencies(const std::string& text) {
    TAnalyzerOptions options;
    options.Encoding = CODES_UTF8;
    options.Frequency = true;
    options.GrammarInfo = true;
    const Stroka input(text.data(), text.size());
    Stroka output;
    TStringInput in(input);
    TStringOutput out(output);
    RunAnalysis(in, out, &options);

    std::vector<TPrinted> printed;
    const std::string all(output.data(), output.size());
    const std::regex word(R"(([^{}]+)\{([^{}]*)\})");
    const std::regex analysis(R"(([^|:=?]+)(\??):(\d+)\.(\d\d)=([^,=|]*)[^|]*)");
    for (std::sregex_iterator w(all.begin(), all.end(), word), end; w != end; ++w) {
        const std::string analyses = (*w)[2];
        for (std::sregex_iterator a(analyses.begin(), analyses.end(), analysis); a != end; ++a) {
            printed.push_back({(*w)[1], (*a)[1], (*a)[2] == "?",
                               std::stol((*a)[3]) * 100 + std::stol((*a)[4]), (*a)[5]});
        }
    }
    EXPECT_FALSE(printed.empty()) << all;
    return printed;
}

TEST(LemmaFrequencyRunTest, PrintsTheTableValuesOfThePrintedKeys) {
    const std::vector<TPrinted> printed = AnalyseWithFrequencies(
        "Я знаю, что в доме не было света, и на кухне тоже.\n"
        "Рыцари сражались с драконом на мосту через реку.\n"
        "Выберите параметр в диалоговом окне и нажмите кнопку.\n");
    size_t found = 0;
    for (const TPrinted& p : printed) {
        const auto row = Table().find(p.Lemma + "=" + p.FirstName);
        const long expected = row == Table().end() ? 0 : row->second;
        EXPECT_EQ(p.Hundredths, expected) << p.Word << " " << p.Lemma << "=" << p.FirstName;
        found += row != Table().end();
    }
    // Nearly every analysis of plain text names a counted lemma.
    EXPECT_GT(found, printed.size() * 9 / 10) << found << " of " << printed.size();
}

TEST(LemmaFrequencyRunTest, CommonWordsLeadRareWordsTrailAndUncountedOnesPrintZero) {
    // The commonest function words are among the 50 largest of tens of thousands of keys.
    for (const char* key : {"и=CONJ", "в=PR", "не=PART", "на=PR"}) {
        EXPECT_LT(Rank(key), 50u) << key;
    }
    const std::vector<TPrinted> printed =
        AnalyseWithFrequencies("и в не на подоконнике\nкракозяблики\n");
    std::map<std::string, const TPrinted*> byLemma;
    for (const TPrinted& p : printed) {
        byLemma[p.Lemma + "=" + p.FirstName] = &p;
    }
    for (const char* key : {"и=CONJ", "в=PR", "не=PART", "на=PR"}) {
        ASSERT_TRUE(byLemma.count(key)) << key;
        EXPECT_GT(byLemma[key]->Hundredths, 100000) << key << ": over 1000 per million";
    }
    // A lemma seen a handful of times in 1.5 million words: well under 10 per million.
    ASSERT_TRUE(byLemma.count("подоконник=S"));
    EXPECT_GT(byLemma["подоконник=S"]->Hundredths, 0);
    EXPECT_LT(byLemma["подоконник=S"]->Hundredths, 1000);
    // A guessed lemma is never counted: it prints 0.00.
    size_t guesses = 0;
    for (const TPrinted& p : printed) {
        if (p.Word == "кракозяблики") {
            EXPECT_TRUE(p.Uncertain) << p.Lemma;
            EXPECT_EQ(p.Hundredths, 0) << p.Lemma;
            ++guesses;
        }
    }
    EXPECT_GT(guesses, 0u);
}

}  // namespace
