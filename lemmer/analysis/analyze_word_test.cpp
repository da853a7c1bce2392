#include "lemmer/analysis/analyze_word.h"
#include "lemmer/analysis/analysis_test_helpers.h"
#include "lemmer/analysis/prepared_token.h"
#include "lemmer/dictionary/dictionary_loader.h"
#include "lemmer/token/word_parts.h"

#include "util/generic/memory_pool.h"
#include "util/stream/file_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using NLemmer::NTest::LemmaOf;

using NLemmer::NTest::Dump;
using NLemmer::NTest::Source;
using NLemmer::NTest::TToken;

class AnalyzeWordTest : public ::testing::Test {
protected:
    size_t Analyze(const TToken& token, TLangMask candidates = TLangMask(1),
                   const uint32_t* preferred = nullptr) {
        return AnalyzeWord(token.View(), Out, candidates, preferred, Options);
    }

    NLemmer::NTest::TAnalysisFixture Fixture;
    TAnalyzeWordOptions Options;
    TAnalysisVector Out;
};

TEST_F(AnalyzeWordTest, DictionaryWordWithDefaultOptions) {
    ASSERT_EQ(Analyze(TToken(u"Столы")), 1u);
    const TAnalysisRecord& r = Out[0];
    EXPECT_EQ(LemmaOf(r), u"стол");
    EXPECT_EQ(r.Language, 1u);
    EXPECT_EQ(r.Flags, 0u);
    EXPECT_EQ(Source(r), u"Столы");
    EXPECT_EQ(std::u16string(r.Normalized, r.NormalizedLength), u"столы");
    EXPECT_EQ(r.FirstPart, 0u);
    EXPECT_EQ(r.PartCount, 1u);
    EXPECT_EQ(r.ShapeFlags, 0x1u | 0x2 | 0x20 | 0x40);
    EXPECT_EQ(r.TailLength, 0u);
}

TEST_F(AnalyzeWordTest, UnknownWordGetsHypothesesOrAPlaceholder) {
    // Hypotheses or the Russian placeholder; never the default language's.
    ASSERT_GT(Analyze(TToken(u"бумбарабум")), 0u);
    for (const TAnalysisRecord& r : Out) {
        EXPECT_EQ(r.Language, 1u);
        EXPECT_NE(r.Flags & AF_NOT_FROM_DICTIONARY, 0u);
    }
    // Dictionary words only: the default language's placeholder alone.
    Options.DictionaryOnly();
    ASSERT_EQ(Analyze(TToken(u"бумбарабум")), 1u);
    EXPECT_EQ(Out[0].Language, 0u);
    EXPECT_EQ(Out[0].Flags, AF_PLACEHOLDER);
    EXPECT_EQ(LemmaOf(Out[0]), u"бумбарабум");
    ASSERT_EQ(Analyze(TToken(u"стола")), 1u);
    EXPECT_EQ(LemmaOf(Out[0]), u"стол");
}

TEST_F(AnalyzeWordTest, LatinWordInRussianGetsTheDefaultPlaceholder) {
    ASSERT_EQ(Analyze(TToken(u"Table")), 1u);
    EXPECT_EQ(Dump(Out), "table/0/8/0+1 ");
    EXPECT_EQ(Source(Out[0]), u"Table");
}

TEST_F(AnalyzeWordTest, HyphenatedWordIsAnalysedWholeAndPerPart) {
    ASSERT_GT(Analyze(TToken(u"кот-стол")), 0u);
    // Units [part 0], [parts 0 and 1], [part 1] in this order.
    EXPECT_EQ(Dump(Out),
              "<1082><1086><1090>/1/0/0+1 "
              "<1082><1086><1090>-<1089><1090><1086><1083>/1/0/0+2 "
              "<1089><1090><1086><1083>/1/0/1+1 ");
    EXPECT_EQ(Out[1].ShapeFlags & SHAPE_JOINED_UNITS, SHAPE_JOINED_UNITS);
    EXPECT_EQ(Out[0].ShapeFlags & SHAPE_JOINED_UNITS, 0u);
    EXPECT_EQ(Source(Out[1]), u"кот-стол");
    // The joint unit is looked up in the dictionary only: no hypothesis, no placeholder.
    Analyze(TToken(u"кот-бумбарабум"));
    for (const TAnalysisRecord& r : Out) {
        EXPECT_EQ(r.PartCount, 1u) << Dump(Out);
    }
    // Never splitting: the token is one unit. An analysis of two parts raises no part's
    // quality, so the default language's placeholder follows (the caller drops it).
    Options.SplitMode = SM_NEVER;
    ASSERT_EQ(Analyze(TToken(u"кот-стол")), 2u);
    EXPECT_EQ(Out[0].PartCount, 2u);
    EXPECT_EQ(Out[0].Language, 1u);
    EXPECT_EQ(Out[0].ShapeFlags & SHAPE_JOINED_UNITS, 0u);
    EXPECT_EQ(Out[1].Language, 0u);
    EXPECT_EQ(Out[1].PartCount, 2u);
}

TEST_F(AnalyzeWordTest, AtMostMaxJoinedUnitsAreJoined) {
    Options.MaxJoinedUnits = 1;
    Analyze(TToken(u"кот-стол"));
    EXPECT_EQ(Dump(Out), "<1082><1086><1090>/1/0/0+1 <1089><1090><1086><1083>/1/0/1+1 ");
    Options.MaxJoinedUnits = 0;
    Analyze(TToken(u"кот-стол"));
    EXPECT_EQ(Dump(Out), "<1082><1086><1090>/0/8/0+1 <1089><1090><1086><1083>/0/8/1+1 ");
}

TEST_F(AnalyzeWordTest, TailIsAppendedOrCopiedOrLeftOut) {
    const TToken token(u"стол++", 4);
    ASSERT_EQ(Analyze(token), 1u);
    EXPECT_EQ(LemmaOf(Out[0]), u"стол++");
    EXPECT_EQ(Source(Out[0]), u"стол++");
    EXPECT_EQ(std::u16string(Out[0].Normalized, Out[0].NormalizedLength), u"стол++");
    EXPECT_EQ(Out[0].TailLength, 2u);
    Options.TailMode = TM_COPY;
    ASSERT_EQ(Analyze(token), 2u);
    EXPECT_EQ(LemmaOf(Out[0]), u"стол");
    EXPECT_EQ(LemmaOf(Out[1]), u"стол++");
    Options.TailMode = TM_NONE;
    ASSERT_EQ(Analyze(token), 1u);
    EXPECT_EQ(LemmaOf(Out[0]), u"стол");
    // Only units that end at the last part get the tail.
    Options.TailMode = TM_APPEND;
    Analyze(TToken(u"кот-стол++", 8));
    EXPECT_EQ(Out.size(), 3u);
    EXPECT_EQ(Out[0].TailLength, 0u);
    EXPECT_EQ(Out[1].TailLength, 2u);
    EXPECT_EQ(Out[2].TailLength, 2u);
}

TEST(AppendRecordTail, ReplacesAnEarlierTailAndRefusesOneWithoutRoom) {
    TAnalysisRecord r;
    SetRecordLemma(r, u"кот", 3, 1, 0, 0, "");
    SetRecordText(r, u"кот", 3);
    SetRecordSourceText(r, u"Кот", 3);
    EXPECT_TRUE(AppendRecordTail(r, u"+", 1));
    EXPECT_TRUE(AppendRecordTail(r, u"##", 2));
    EXPECT_EQ(LemmaOf(r), u"кот##");
    EXPECT_EQ(Source(r), u"Кот##");
    EXPECT_EQ(r.TailLength, 2u);
    const std::u16string long_(53, u'#');
    EXPECT_FALSE(AppendRecordTail(r, long_.data(), long_.size()));
    EXPECT_EQ(LemmaOf(r), u"кот");
    EXPECT_EQ(r.Lemma[3], 0);
    EXPECT_EQ(r.TailLength, 0u);
    EXPECT_TRUE(AppendRecordTail(r, long_.data(), 52));
}

TEST_F(AnalyzeWordTest, EnglishSplitRulesDecideTheUnits) {
    const TLangMask english = TLangMask(2);
    // One unit of two parts; it raises no part's quality, so the default placeholders follow.
    Analyze(TToken(u"John's"), english);
    EXPECT_EQ(Dump(Out), "john's/2/8/0+2 john/0/8/0+1 s/0/8/1+1 ");
    Analyze(TToken(u"don't"), english);
    EXPECT_EQ(Dump(Out), "don't/2/8/0+2 don/0/8/0+1 t/0/8/1+1 ");
    // The rule reads the lower-cased view, so a capital does not split the word here.
    Analyze(TToken(u"Don't"), english);
    EXPECT_EQ(Dump(Out), "don't/2/8/0+2 don/0/8/0+1 t/0/8/1+1 ");
    // Not in the contraction set: the parts go apart, the joint unit gets no placeholder.
    Analyze(TToken(u"ran't"), english);
    EXPECT_EQ(Dump(Out), "ran/2/8/0+1 t/2/8/1+1 ");
    // Split everywhere: the rule is not asked.
    Options.SplitMode = SM_ALWAYS;
    Analyze(TToken(u"don't"), english);
    EXPECT_EQ(Dump(Out), "don/2/8/0+1 t/2/8/1+1 ");
    Options.SplitMode = SM_BY_RULES;
    // A Cyrillic part is no English part: it goes apart from the "s" whatever the rule says.
    Analyze(TToken(u"мама's"), english);
    EXPECT_EQ(Dump(Out), "s/2/8/1+1 <1084><1072><1084><1072>/0/8/0+1 ");
}

TEST_F(AnalyzeWordTest, PreferredLanguagesComeFirstAndBadIdsRaise) {
    const uint32_t preferred[] = {2, 0};
    Analyze(TToken(u"Table"), TLangMask(3), preferred);
    EXPECT_EQ(Dump(Out), "table/2/8/0+1 ");
    const uint32_t bad[] = {58, 0};
    EXPECT_THROW(Analyze(TToken(u"стол"), TLangMask(1), bad), std::out_of_range);
    // A preferred id outside the candidates is passed over.
    Analyze(TToken(u"стол"), TLangMask(1), preferred);
    EXPECT_EQ(Dump(Out), "<1089><1090><1086><1083>/1/0/0+1 ");
}

TEST_F(AnalyzeWordTest, LanguagesWithoutObjectsGivePlaceholdersOnRequest) {
    const TLangMask german = TLangMask(uint64_t(1) << 2);
    Analyze(TToken(u"Tisch"), german);
    EXPECT_EQ(Dump(Out), "tisch/0/8/0+1 ");
    Options.UseDefaultLanguage = true;
    Analyze(TToken(u"Tisch"), german);
    EXPECT_EQ(Dump(Out), "tisch/3/8/0+1 ");
}

TEST_F(AnalyzeWordTest, DefaultLanguageRecordOfTheWholeTokenLeavesNoPartToPlaceholders) {
    // Language 7 has no language object: with UseDefaultLanguage the default language analyses
    // the token once, as one unit, and that record covers both parts.
    Options.UseDefaultLanguage = true;
    Options.SplitMode = SM_NEVER;
    const TLangMask lang7 = TLangMask(uint64_t(1) << 6);
    Analyze(TToken(u"мама-abc"), lang7);
    EXPECT_EQ(Dump(Out), "<1084><1072><1084><1072>-abc/7/8/0+2 ");
}

TEST_F(AnalyzeWordTest, LemmaFromWordOutsideMasks) {
    Options.LemmaFromWordOutsideMasks = true;
    Options.DictionaryLanguages.Reset();
    Analyze(TToken(u"столы"));
    ASSERT_EQ(Out.size(), 1u);
    EXPECT_EQ(LemmaOf(Out[0]), u"столы");
    EXPECT_NE(Out[0].Flags & AF_LEMMA_FROM_WORD, 0u);
}

TEST_F(AnalyzeWordTest, OldSpellingAndRareFormsReachTheRecords) {
    Analyze(TToken(u"Хлѣбъ"));
    ASSERT_EQ(Out.size(), 1u);
    EXPECT_EQ(LemmaOf(Out[0]), u"хлеб");
    EXPECT_EQ(Out[0].ExtraGrammemes[0], char(153));
    Analyze(TToken(u"плав"));
    ASSERT_EQ(Out.size(), 2u);
    EXPECT_NE((Out[0].Flags | Out[1].Flags) & AF_RARE_FORM, 0u);
}

TEST_F(AnalyzeWordTest, EmptyTokensGiveNothing) {
    EXPECT_EQ(Analyze(TToken(u"")), 0u);
    TToken noParts(u"стол");
    noParts.Parts.clear();
    EXPECT_EQ(Analyze(noParts), 0u);
}

TEST_F(AnalyzeWordTest, PartsOutsideTheTextAreClamped) {
    TToken t(u"кот-стол");
    t.Parts[1].Len = 1000;
    t.Parts.push_back(t.Parts[0]);  // overlaps: clamped to nothing
    Analyze(t);
    for (const TAnalysisRecord& r : Out) {
        EXPECT_LE(r.SourceLength, 8u);
    }
}

TEST(PrepareToken, LowersTwiceDecomposesAndKeepsShapesAsWritten) {
    NLemmer::TPreparedToken p;
    const TToken token(u"Iﬁ-İx");
    NLemmer::PrepareToken(token.View(), p);
    ASSERT_EQ(p.PartCount, 2u);
    const std::u16string a(p.ViewA.Text.Data(), p.ViewA.Text.Size());
    const std::u16string b(p.ViewB.Text.Data(), p.ViewB.Text.Size());
    // The capital dotted I decomposes to I and a combining dot, which lower-casing folds.
    EXPECT_EQ(a, u"ifi-ix");
    EXPECT_EQ(b, u"\u0131fi-ix");
    EXPECT_EQ(p.ViewA.Parts[0].Pos, 0u);
    EXPECT_EQ(p.ViewA.Parts[0].Len, 3u);
    EXPECT_EQ(p.ViewA.Parts[1].Pos, 4u);
    EXPECT_EQ(p.ViewA.Parts[1].Len, 2u);
    EXPECT_EQ(p.ViewB.Parts[1].Len, 2u);
    // The ligature is one unit as written: shapes come from the written text.
    EXPECT_EQ(p.Infos[0].Shape & 0x10, 0u);
    EXPECT_NE(p.Infos[0].Languages.Value() & 2, 0u);
    EXPECT_NE(p.LanguageUnion.Value() & 2, 0u);
}

TEST(PrepareToken, GapsAndTailAreCopiedUnlowered) {
    NLemmer::TPreparedToken p;
    const TToken token(u"AB-CD+X", 5);
    NLemmer::PrepareToken(token.View(), p);
    EXPECT_EQ(std::u16string(p.ViewA.Text.Data(), p.ViewA.Text.Size()), u"ab-cd+X");
    EXPECT_EQ(p.ViewA.Parts[0].Len + p.ViewA.Parts[1].Len, 4u);
    EXPECT_EQ(p.CommonShape & 0x80, 0x80u);
}

TEST(PrepareToken, CombinesShapes) {
    NLemmer::TPartInfo infos[2];
    infos[0].Shape = 0x40 | 0x1;   // title case
    infos[1].Shape = 0x100 | 0x1;  // lower case counts as title case after the first part
    EXPECT_EQ(NLemmer::CombineShapes(infos, 2), 0x41u);
    infos[0].Shape = 0x80 | 0x1;
    EXPECT_EQ(NLemmer::CombineShapes(infos, 2), 0x201u);
}

TEST(PrepareToken, MoreThanSixtyThreePartsMergeIntoTheLast) {
    std::u16string text;
    for (int i = 0; i < 70; ++i) {
        text += u"ab-";
    }
    const TToken token(text);
    ASSERT_EQ(token.Parts.size(), 70u);
    NLemmer::TPreparedToken p;
    NLemmer::PrepareToken(token.View(), p);
    ASSERT_EQ(p.PartCount, 63u);
    EXPECT_EQ(p.Parts[62].End(), token.Parts[69].End());
    EXPECT_EQ(p.Parts[62].Kind, PART_OVERFLOW);
    EXPECT_EQ(p.ViewA.PartCount, 63u);
}

TEST(LanguageExclusionFlags, NamesTheLookupsTheMasksExclude) {
    TAnalyzeWordOptions o;
    EXPECT_EQ(LanguageExclusionFlags(o, 1), 0u);
    EXPECT_EQ(LanguageExclusionFlags(o, 0), 60u);
    EXPECT_EQ(LanguageExclusionFlags(o, 58), 60u);
    o.DictionaryOnly();
    EXPECT_EQ(LanguageExclusionFlags(o, 1), 8u | 16 | 32);
}

TEST(CompiledDictionary, SampleEntriesAnalyseToTheirLemmas) {
    TMemoryPool pool(1 << 16);
    NByk::TDictionary d;
    TFileInput in{Stroka(LEMMIX_SAMPLE_DICTIONARY)};
    NByk::LoadDictionary(d, in, pool);
    NLemmer::NTest::TRussianDictionaryGuard guard(&d);
    const struct {
        const char16_t* Word;
        const char16_t* Lemma;
    } cases[] = {
        {u"Столами", u"стол"},         {u"пальцев", u"палец"},    {u"маму", u"мама"},
        {u"красивейший", u"красивый"}, {u"Красива", u"красивый"},
    };
    TAnalyzeWordOptions options;
    options.DictionaryOnly();
    TAnalysisVector out;
    for (const auto& c : cases) {
        const TToken token(c.Word);
        AnalyzeWord(token.View(), out, TLangMask(1), nullptr, options);
        ASSERT_FALSE(out.empty());
        EXPECT_EQ(LemmaOf(out[0]), std::u16string(c.Lemma)) << Dump(out);
        EXPECT_EQ(out[0].Language, 1u);
        EXPECT_EQ(out[0].Flags & AF_NOT_FROM_DICTIONARY, 0u);
    }
    // A short form beside no ordinary analysis is not rare; a superlative is ordinary.
    AnalyzeWord(TToken(u"красива").View(), out, TLangMask(1), nullptr, options);
    for (const TAnalysisRecord& r : out) {
        EXPECT_EQ(r.Flags & AF_RARE_FORM, 0u);
    }
}

}  // namespace
