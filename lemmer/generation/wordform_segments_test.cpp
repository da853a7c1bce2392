#include "lemmer/generation/wordform_segments.h"

#include "lemmer/analysis/analysis_test_helpers.h"
#include "lemmer/analysis/analyze_word.h"

#include "util/testing/utf.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using NTesting::Std;

TEST(WordformSegments, TilesTheNormalisedWord) {
    const struct {
        size_t StemStart, EndingLength, TailLength;
        const char16_t *Prefix, *Stem, *Ending, *Tail;
    } cases[] = {
        {2, 2, 1, u"пе", u"ре", u"ст", u"ы"}, {9, 2, 1, u"пересты", u"", u"", u""},
        {2, 2, 6, u"пе", u"рес", u"ты", u""},  // the tail does not fit: the ending ends the word
        {2, 9, 1, u"пе", u"рест", u"", u"ы"}, {0, 0, 0, u"", u"пересты", u"", u""},
    };
    for (const auto& c : cases) {
        TAnalysisRecord r;
        SetRecordText(r, u"пересты", 7);
        r.StemStart = c.StemStart;
        r.EndingLength = c.EndingLength;
        r.TailLength = c.TailLength;
        const TWordformSegments s(r, 0);
        EXPECT_EQ(Std(s.Prefix), c.Prefix);
        EXPECT_EQ(Std(s.Stem), c.Stem);
        EXPECT_EQ(Std(s.Ending), c.Ending);
        EXPECT_EQ(Std(s.Tail), c.Tail);
        EXPECT_EQ(s.Third.Length + s.Fourth.Length, 0u);
        EXPECT_EQ(s.Source, &r);
        EXPECT_EQ(s.FormGrammar, nullptr);
    }
}

TEST(WordformSegments, CutsAnalysesOfTheFixture) {
    NLemmer::NTest::TAnalysisFixture fixture;
    TAnalyzeWordOptions options;
    TAnalysisVector out;
    std::u16string text = u"Перестолы++";
    TTokenPart part;
    part.Len = 9;
    AnalyzeWord({text.data(), text.size(), {&part, 1}}, out, TLangMask(1), nullptr, options);
    ASSERT_FALSE(out.empty());
    const TWordformSegments s(out[0], 0);
    // A hypothesis on a known beginning keeps the beginning in its stem.
    EXPECT_EQ(out[0].Flags, AF_HYPOTHESIS | AF_KNOWN_BEGINNING);
    EXPECT_EQ(Std(s.Prefix), u"");
    EXPECT_EQ(Std(s.Stem), u"перестол");
    EXPECT_EQ(Std(s.Ending), u"ы");
    EXPECT_EQ(Std(s.Tail), u"++");
    EXPECT_EQ(s.FormGrammar, out[0].FormGrammars[0]);
    EXPECT_EQ(TWordformSegments(out[0], out[0].FormGrammarCount).FormGrammar, nullptr);
}

}  // namespace
