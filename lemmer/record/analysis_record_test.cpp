#include "lemmer/record/analysis_record.h"

#include "util/testing/utf.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using NTesting::Std;

TAnalysisRecord WithLemma(const std::u16string& lemma, uint32_t language, uint32_t rule) {
    TAnalysisRecord r;
    SetRecordLemma(r, lemma.data(), lemma.size(), rule, 0, 0, "");
    r.Language = language;
    return r;
}

TEST(AnalysisRecord, TextsAreCutToTheirCapacities) {
    const std::u16string word(60, u'ж');
    TAnalysisRecord r;
    SetRecordSourceText(r, word.data(), word.size());
    SetRecordText(r, word.data(), word.size());
    SetRecordLemma(r, word.data(), word.size(), 7, 1, 2, "\x88");
    EXPECT_EQ(r.SourceLength, 60u);
    EXPECT_EQ(r.NormalizedLength, 55u);
    EXPECT_EQ(r.LemmaLength, 55u);
    EXPECT_EQ(r.Normalized[55], 0);
    EXPECT_EQ(r.Lemma[55], 0);
    EXPECT_EQ(r.Source[60], 0);
    const std::u16string longer(130, u'a');
    SetRecordSourceText(r, longer.data(), longer.size());
    EXPECT_EQ(r.SourceLength, 111u);
    EXPECT_EQ(r.Source[111], 0);
    EXPECT_EQ(r.RuleId, 7u);
    EXPECT_EQ(r.StemStart, 1u);
    EXPECT_EQ(r.EndingLength, 2u);
}

TEST(AnalysisRecord, InitResetsEveryFieldTheFillersRelyOn) {
    TAnalysisRecord r = WithLemma(u"abc", 3, 4);
    r.Flags = 0x10;
    r.PartCount = 5;
    r.FormGrammarCount = 2;
    r.ExtraGrammemes[0] = '\x99';
    r.Init();
    EXPECT_EQ(r.LemmaLength, 0u);
    EXPECT_EQ(r.Lemma[0], 0);
    EXPECT_EQ(r.Language, 0u);
    EXPECT_EQ(r.RuleId, 0u);
    EXPECT_EQ(r.Flags, 0u);
    EXPECT_EQ(r.PartCount, 1u);
    EXPECT_EQ(r.FormGrammarCount, 0u);
    EXPECT_EQ(r.CommonGrammar, nullptr);
    EXPECT_EQ(r.ExtraGrammemes[0], 0);
}

TEST(AnalysisRecord, OrderIsLemmaThenLanguageThenRule) {
    struct TCase {
        TAnalysisRecord A, B;
        bool Less, Greater;
    } cases[] = {
        {WithLemma(u"ab", 1, 9), WithLemma(u"abc", 1, 1), true, false},
        {WithLemma(u"ab", 2, 1), WithLemma(u"ab", 1, 9), false, true},
        {WithLemma(u"ab", 1, 2), WithLemma(u"ab", 1, 3), true, false},
        {WithLemma(u"ab", 1, 2), WithLemma(u"ab", 1, 2), false, false},
        // Units compare unsigned: U+FF41 sorts after Cyrillic.
        {WithLemma(u"\uFF41", 1, 1), WithLemma(u"я", 1, 1), false, true},
        {WithLemma(u"", 1, 5), WithLemma(u"a", 0, 0), true, false},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(AnalysisRecordLess(c.A, c.B), c.Less);
        EXPECT_EQ(AnalysisRecordLess(c.B, c.A), c.Greater);
    }
    TAnalysisMap<int> map;
    map[WithLemma(u"b", 1, 1)] = 2;
    map[WithLemma(u"a", 1, 1)] = 1;
    EXPECT_EQ(map[WithLemma(u"a", 1, 1)], 1);
    EXPECT_EQ(map[WithLemma(u"c", 1, 1)], 0);
    EXPECT_EQ(map.size(), 3u);
    EXPECT_EQ(Std(map.begin()->first.Lemma, 1), u"a");
}

TEST(AnalysisRecord, LemmaFromNormalizedFormMarksOnlyAChange) {
    TAnalysisRecord same = WithLemma(u"кот", 1, 1);
    SetRecordText(same, u"кот", 3);
    SetLemmaFromNormalizedForm(same, false);
    EXPECT_EQ(same.Flags & AF_LEMMA_FROM_WORD, 0u);

    TAnalysisRecord other = WithLemma(u"кот", 1, 1);
    SetRecordText(other, u"коты", 4);
    SetLemmaFromNormalizedForm(other, false);
    EXPECT_EQ(Std(other.Lemma, other.LemmaLength), u"коты");
    EXPECT_EQ(other.Lemma[4], 0);
    EXPECT_NE(other.Flags & AF_LEMMA_FROM_WORD, 0u);
}

TEST(AnalysisRecord, LemmaFromNormalizedFormRenormalisesWithTheLanguage) {
    // The Russian conversions turn ё into е; without renormalising the text stays.
    TAnalysisRecord r = WithLemma(u"x", 1, 1);
    SetRecordText(r, u"ёж", 2);
    SetLemmaFromNormalizedForm(r, true);
    EXPECT_EQ(Std(r.Lemma, r.LemmaLength), u"еж");
    SetLemmaFromNormalizedForm(r, false);
    EXPECT_EQ(Std(r.Lemma, r.LemmaLength), u"ёж");
}

TEST(AnalysisRecord, QualityFollowsTheKindOfAnalysis) {
    struct {
        uint32_t Flags;
        uint16_t Quality;
    } cases[] = {{0, 3}, {0x10, 3}, {1, 2}, {5, 2}, {2, 2}, {6, 2}, {8, 1}, {9, 1}};
    for (const auto& c : cases) {
        TAnalysisRecord r;
        r.Flags = c.Flags;
        EXPECT_EQ(r.Quality(), c.Quality) << c.Flags;
    }
}

TEST(AnalysisRecord, DistinctLemmasKeepTheFirstOfEach) {
    const TAnalysisRecord rs[] = {WithLemma(u"a", 1, 1), WithLemma(u"ab", 1, 2),
                                  WithLemma(u"a", 2, 3), WithLemma(u"b", 1, 4)};
    std::vector<const TAnalysisRecord*> out{&rs[0]};
    EXPECT_EQ(CollectDistinctLemmas(rs, rs + 4, out), 3u);
    EXPECT_EQ(out[0], &rs[0]);
    EXPECT_EQ(out[1], &rs[1]);
    EXPECT_EQ(out[2], &rs[3]);
}

}  // namespace
