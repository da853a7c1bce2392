// Which analyses of a word are printed, in which order, and with which lemma frequency.
#include "analyzer/output_preprocessor.h"

#include "analyzer/analysis_test_helpers.h"
#include "data/lemma_frequency.h"
#include "data/lemma_frequency_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char Noun[] = "\x88\xa6\xae";  // S,gen,sg
const char NounNom[] = "\x88";       // S
const char Verb[] = "\x89";          // V
const char Sg[] = "\xae";            // sg

std::string PrintWord(const char* flags, std::vector<TAnalysisRecord> records,
                      const std::u16string& word = u"w") {
    TAnalyzerOptions options;
    options.Encoding = CODES_UTF8;
    for (const char* f = flags; *f; ++f) {
        options.GrammarInfo |= *f == 'i';
        options.Frequency |= *f == 'f';
    }
    TTraceOutput out;
    TAnalysisPrinter printer(&options, &out);
    NLemmix::TBasicPreprocessor preprocessor(&options, &printer, *GetLemmaFrequencyFixtureTable());
    preprocessor.PrintWord(word.data(), word.size(), records.data(),
                           records.data() + records.size());
    preprocessor.EndWord();
    return out.Trace;
}

TEST(OutputPreprocessorTest, PrintsEachLemmaOnceInLemmaOrderWithoutGrammar) {
    const std::vector<TAnalysisRecord> records = {
        Analysis(u"мамаша", Noun, 0, {Sg}), Analysis(u"мама", Noun, 1, {Sg}),
        Analysis(u"мама", NounNom, 0, {Sg}), Analysis(u"Мама", Noun, 0, {Sg})};
    // The record with the smallest grammar is kept: it decides the hypothesis mark.
    EXPECT_EQ(PrintWord("", records), "w{Мама|мама|мамаша}|F|");
    EXPECT_EQ(PrintWord("i", records),
              "w{мамаша=S,род,ед=ед|мама?=S,род,ед=ед|мама=S=ед|Мама=S,род,ед=ед}|F|");
}

TEST(OutputPreprocessorTest, PrintsAWordWithoutAnalysesAsUnknown) {
    EXPECT_EQ(PrintWord("f", {}, u"зюзя"), "зюзя{зюзя??}|F|");
}

TEST(OutputPreprocessorTest, LooksUpTheFrequencyOfLemmaAndPartOfSpeech) {
    const std::vector<TAnalysisRecord> records = {
        Analysis(u"мама", Noun),         // stored as 12345
        Analysis(u"мыло", Verb),         // stored only as a noun
        Analysis(u"стекло", Verb),       // stored as a noun and as a verb
        Analysis(u"рама", ""),           // no part of speech: the key "рама=" is a prefix only
        Analysis(u"мыло", NounNom, 1),   // the largest value
        Analysis(u"по-русски", "\x81"),  // ADV
    };
    EXPECT_EQ(PrintWord("fi", records),
              "w{мама:123.45|мыло:0.00|стекло:0.07|рама:0.00|мыло?:35302.69|по-русски:3.00}|F|");
    TAnalyzerOptions options;
    TTraceOutput out;
    TAnalysisPrinter printer(&options, &out);
    const NLemmix::TBasicPreprocessor preprocessor(&options, &printer,
                                                   *GetLemmaFrequencyFixtureTable());
    EXPECT_EQ(preprocessor.LemmaFrequency(Analysis(u"мама", Noun)), 123.45);
    EXPECT_EQ(preprocessor.LemmaFrequency(Analysis(u"мам", Noun)), 0.0);
    EXPECT_EQ(preprocessor.LemmaFrequency(Analysis(u"мамаа", Noun)), 0.0);
}

// The real table is decoded by the first preprocessor of a run with -f, and never without it.
// Each case runs in a fresh process, where nothing has decoded the table yet.
TEST(OutputPreprocessorTest, DecodesTheEmbeddedTableOnlyWithFrequencies) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const bool frequency : {false, true}) {
        EXPECT_EXIT(
            {
                TAnalyzerOptions options;
                options.Frequency = frequency;
                TTraceOutput out;
                TAnalysisPrinter printer(&options, &out);
                NLemmix::TBasicPreprocessor preprocessor(&options, &printer);
                std::vector<TAnalysisRecord> records = {Analysis(u"мама", Noun)};
                preprocessor.PrintWord(u"w", 1, records.data(), records.data() + 1);
                std::exit(LemmaFrequencyTableDecoded() ? 10 : 20);
            },
            testing::ExitedWithCode(frequency ? 10 : 20), "")
            << frequency;
    }
}

}  // namespace
