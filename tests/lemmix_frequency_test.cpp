// lemmix -f as a process: the frequencies it prints are the committed table's values / 100
// under the keys of the printed analyses; the commonest words print the largest values, a rare
// word a small one, and a guessed lemma 0.00.
#include "data/lemma_frequency_tsv.h"
#include "tests/process.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

struct TPrinted {
    std::string Word;
    std::string Key;  // lemma=PART
    bool Uncertain;
    long Hundredths;  // the printed frequency x 100
};

// "word{lemma:f=G=F|...}" of -f -i, one entry per printed lemma.
std::vector<TPrinted> Parse(const std::string& output) {
    std::vector<TPrinted> printed;
    const std::regex word(R"(([^{}]+)\{([^{}]*)\})");
    const std::regex analysis(R"(([^|:=?]+)(\??):(\d+)\.(\d\d)=([^,=|]*))");
    for (std::sregex_iterator w(output.begin(), output.end(), word), end; w != end; ++w) {
        const std::string analyses = (*w)[2];
        for (std::sregex_iterator a(analyses.begin(), analyses.end(), analysis); a != end; ++a) {
            printed.push_back({(*w)[1], std::string((*a)[1]) + "=" + std::string((*a)[5]),
                               (*a)[2] == "?", std::stol((*a)[3]) * 100 + std::stol((*a)[4])});
        }
    }
    return printed;
}

TEST(LemmixFrequencyTest, PrintsTheCommittedValuesOfThePrintedLemmas) {
    const std::map<std::string, long> table =
        ReadLemmaFrequencyTsv(LEMMIX_SOURCE_DIR "/data/lemma-frequencies.tsv");
    const TProcessResult r =
        RunProcess({.Path = LEMMIX_EXECUTABLE,
                    .Argv = {"lemmix", "-f", "-i", "-e", "utf8"},
                    .Stdin = "Я знаю, что в доме не было света, и на кухне тоже.\n"
                             "Кот спал на подоконнике.\nкракозяблики\n"});
    ASSERT_EQ(r.Status, 0) << r.Stderr;
    std::map<std::string, TPrinted> byKey;
    for (const TPrinted& p : Parse(r.Stdout)) {
        const auto row = table.find(p.Key);
        EXPECT_EQ(p.Hundredths, row == table.end() ? 0 : row->second) << p.Word << " " << p.Key;
        byKey.emplace(p.Key, p);
    }
    for (const char* key : {"и=CONJ", "в=PR", "не=PART", "на=PR"}) {
        ASSERT_TRUE(byKey.count(key)) << key << "\n" << r.Stdout;
        EXPECT_GT(byKey.at(key).Hundredths, 100000) << key << ": over 1000 per million";
    }
    ASSERT_TRUE(byKey.count("подоконник=S")) << r.Stdout;
    EXPECT_GT(byKey.at("подоконник=S").Hundredths, 0);
    EXPECT_LT(byKey.at("подоконник=S").Hundredths, 1000);
    bool guessed = false;
    for (const auto& [key, p] : byKey) {
        if (p.Word == "кракозяблики") {
            EXPECT_TRUE(p.Uncertain && p.Hundredths == 0) << key;
            guessed = true;
        }
    }
    EXPECT_TRUE(guessed) << r.Stdout;
}

}  // namespace
