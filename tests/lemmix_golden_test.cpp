// lemmix over a few Russian sentences with the real dictionary, compared byte for byte with
// reviewed outputs: the output forms of every option, whole-word and part-by-part hyphenated
// words, one lemma printed once for its several analyses, hypotheses and unknown words, and
// the encodings. tests/testdata/golden/regenerate.sh writes the files again when the
// dictionary or the frequency table changes; the diff is then read and committed.
#include "tests/process.h"
#include "tests/read_file.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string Golden = LEMMIX_SOURCE_DIR "/tests/testdata/golden/";

struct TGoldenCase {
    std::string Name;
    std::vector<std::string> Args;
};

std::vector<TGoldenCase> GoldenCases() {
    std::vector<TGoldenCase> cases;
    std::istringstream table(ReadFile(Golden + "cases.tsv"));
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        TGoldenCase c;
        std::string encoding, options;
        std::getline(fields, c.Name, '\t');
        std::getline(fields, encoding, '\t');
        std::getline(fields, options);
        c.Args = {"lemmix"};
        std::istringstream words(options);
        for (std::string word; words >> word;) {
            c.Args.push_back(word);
        }
        c.Args.push_back("-e");
        c.Args.push_back(encoding);
        cases.push_back(c);
    }
    return cases;
}

bool HasDictionary() {
    const TProcessResult probe =
        RunProcess({.Path = LEMMIX_EXECUTABLE, .Argv = {"lemmix", "-e", "utf-8"}, .Stdin = "мама"});
    return probe.Stdout.find("??") == std::string::npos;
}

TEST(LemmixGoldenTest, PrintsTheReviewedAnalyses) {
    if (!HasDictionary()) {
        GTEST_SKIP() << "lemmix has no dictionary";
    }
    const std::vector<TGoldenCase> cases = GoldenCases();
    ASSERT_GE(cases.size(), 18u);
    for (const TGoldenCase& c : cases) {
        const TProcessResult result = RunProcess({.Path = LEMMIX_EXECUTABLE,
                                                  .Argv = c.Args,
                                                  .Stdin = ReadFile(Golden + c.Name + ".in")});
        EXPECT_EQ(result.Status, 0) << c.Name << ": " << result.Stderr;
        EXPECT_EQ(result.Stdout, ReadFile(Golden + c.Name + ".out")) << c.Name;
    }
}

}  // namespace
