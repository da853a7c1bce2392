#include "lemmer/grammar/gram_bitset.h"
#include "lemmer/grammar/gram_test_helpers.h"

#include "util/charset/codepage.h"
#include "util/charset/recode.h"
#include "util/charset/utf8.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string Codes(const TGramBitSet& set) {
    Stroka s;
    set.ToCodes(s);
    return std::string(s.data(), s.size());
}

std::string Str(const Stroka& s) {
    return std::string(s.data(), s.size());
}

// The message of the standard out-of-range error `f` raises, or "" when it raises nothing.
template <class F>
std::string RangeError(F f) {
    try {
        f();
    } catch (const std::out_of_range& e) {
        return e.what();
    }
    return "";
}

// The message of the TGramBitSet::TException `f` raises, or "" when it raises nothing.
template <class F>
std::string ParseError(F f) {
    try {
        f();
    } catch (const TGramBitSet::TException& e) {
        return e.what();
    }
    return "";
}

TEST(GramBitSet, HoldsCodesAsBitsAboveTheFirstCode) {
    const TGramBitSet s = TGramBitSet::FromCodes(G({136, 174}).c_str());
    EXPECT_EQ((uint64_t(1) << 9) | (uint64_t(1) << 47), s.Word(0));
    EXPECT_EQ(0u, s.Word(1));
    EXPECT_EQ(G({136, 174}), Codes(s));

    const TGramBitSet high = TGramBitSet::FromCodeRange(G({191, 249, 127}).data(), 3);
    EXPECT_EQ(1u, high.Word(0));
    EXPECT_EQ(1u | (uint64_t(1) << 58), high.Word(1));
    EXPECT_EQ(G({127, 191, 249}), Codes(high));

    EXPECT_TRUE(TGramBitSet::FromCodes(nullptr).Empty());
    EXPECT_TRUE(TGramBitSet::FromCodes("").Empty());
    EXPECT_TRUE(TGramBitSet::FromCodeRange(nullptr, 5).Empty());
    EXPECT_TRUE(TGramBitSet::FromCodeRange(G({136}).data(), 0).Empty());

    TGramBitSet s2 = s;
    s2.Reset(136).Reset(137);
    EXPECT_EQ(G({174}), Codes(s2));
    EXPECT_TRUE(s.Test(136));
    EXPECT_FALSE(s.Test(137));
    EXPECT_EQ(2, s.Count());
}

TEST(GramBitSet, RefusesCodesOutsideTheRange) {
    for (int bad : {1, 126, 250, 255}) {
        SCOPED_TRACE(bad);
        const std::string grammar = G({136, bad, 174});
        EXPECT_EQ("bitset", RangeError([&] { TGramBitSet::FromCodes(grammar.c_str()); }));
        EXPECT_EQ("bitset", RangeError([&] { TGramBitSet::FromCodeRange(grammar.data(), 3); }));
        TGramBitSet set;
        EXPECT_EQ("bitset", RangeError([&] { TGramBitSet::AddCodes(grammar.c_str(), set); }));
        EXPECT_EQ(G({136}), Codes(set));  // codes before the bad one stay
        EXPECT_EQ("bitset", RangeError([&] { set.Test(uint32_t(bad)); }));
        EXPECT_EQ("bitset", RangeError([&] { set.Reset(uint32_t(bad)); }));
        EXPECT_EQ("bitset", RangeError([&] { TGramBitSet::Make(136, 137, uint32_t(bad)); }));
        // Every position of the three- and four-code forms is checked.
        EXPECT_EQ("bitset", RangeError([&] { TGramBitSet::Make(uint32_t(bad), 137, 138); }));
        EXPECT_EQ("bitset", RangeError([&] { TGramBitSet::Make(136, uint32_t(bad), 138, 139); }));
        EXPECT_EQ("bitset", RangeError([&] { TGramBitSet::Make(136, 137, 138, uint32_t(bad)); }));
    }
    // The bounds themselves are codes.
    EXPECT_EQ(G({127, 249}), Codes(TGramBitSet::Make(127, 249, 249, 127)));
    EXPECT_EQ("bitset", RangeError([] { TGramBitSet().Set(1000); }));
    // In a counted range a 0 byte is a code like any other, not an end.
    EXPECT_EQ("bitset", RangeError([] { TGramBitSet::FromCodeRange(G({136, 0}).data(), 2); }));
}

TEST(GramBitSet, FindNextSearchesBothWords) {
    struct TCase {
        std::string Codes;
        int64_t Start;
        uint64_t Next;
    };
    const TCase cases[] = {
        {G({}), -1, 123},
        {G({249}), -1, 122},
        {G({249}), 121, 122},
        {G({249}), 122, 123},
        {G({191, 192}), -1, 64},
        {G({191, 192}), 64, 65},  // a start in word 1 searches word 1
        {G({191, 192}), 65, 123},
        {G({136, 249}), 9, 122},
        {G({190, 191}), 62, 63},
        {G({190, 191}), 63, 64},  // the last bit of word 0 goes on to word 1
        {G({127, 249}), 126, 123},
        {G({127, 249}), 127, 123},
        {G({127, 249}), -2, 123},
        {G({127, 249}), 1000, 123},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << Codes(TGramBitSet::FromCodes(c.Codes.c_str())).size()
                                        << " codes, start " << c.Start);
        EXPECT_EQ(c.Next, TGramBitSet::FromCodes(c.Codes.c_str()).FindNext(c.Start));
    }
}

TEST(GramBitSet, FindNextAgreesWithTestOnRandomSets) {
    std::mt19937 random(17);
    for (int round = 0; round < 200; ++round) {
        TGramBitSet set;
        const int n = int(random() % 8);
        for (int i = 0; i < n; ++i) {
            set.Set(127 + random() % 123);
        }
        for (int64_t start = -1; start <= 126; ++start) {
            uint64_t expected = 123;
            for (int64_t bit = start + 1; bit < 123; ++bit) {
                if (set.Test(uint32_t(bit + 127))) {
                    expected = uint64_t(bit);
                    break;
                }
            }
            ASSERT_EQ(expected, set.FindNext(start)) << "round " << round << " start " << start;
        }
    }
}

TEST(GramBitSet, WritesNamesInCodeOrder) {
    const TGramBitSet s = TGramBitSet::FromCodes(G({174, 136}).c_str());
    EXPECT_EQ("S,sg", Str(s.ToString(",", true)));
    EXPECT_EQ("S" + Korvel(", ед"), Str(s.ToString(", ", false)));
    EXPECT_EQ("Ssg", Str(s.ToString("", true)));
    EXPECT_EQ("Ssg", Str(s.ToString(nullptr, true)));
    // Both words of the set are written.
    EXPECT_EQ("f,m", Str(TGramBitSet::Make(191, 192, 191).ToString(",", true)));
    EXPECT_EQ(Korvel("жен муж"), Str(TGramBitSet::Make(191, 192, 192).ToString(" ", false)));
    EXPECT_EQ("POSTP|A|equat", Str(TGramBitSet::Make(249, 128, 127).ToString("|", true)));
    // An unassigned code has no name but still gets its separator.
    EXPECT_EQ("S,sg,", Str(TGramBitSet::Make(136, 210, 174).ToString(",", true)));
    EXPECT_EQ("", Str(TGramBitSet().ToString(",", true)));
}

TEST(GramBitSet, ConvertsToAndFromHexadecimalText) {
    const TGramBitSet s = TGramBitSet::FromCodes(G({136, 174}).c_str());
    EXPECT_EQ("88AE", Str(s.ToHexString()));
    EXPECT_EQ(s, TGramBitSet::FromHexString("88ae"));
    EXPECT_EQ(s, TGramBitSet::FromHexString("AE88AE"));
    EXPECT_TRUE(TGramBitSet::FromHexString("").Empty());
    EXPECT_EQ("", Str(TGramBitSet().ToHexString()));
    EXPECT_EQ(AllGrammemes, TGramBitSet::FromHexString(AllGrammemes.ToHexString()));
    EXPECT_EQ(246u, AllGrammemes.ToHexString().size());

    for (const char* bad : {"88A", "8G", "G8", "88 AE", "0x88", "\xC8\xC8"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(std::string("String \"") + bad + "\" is not a valid hex.",
                  ParseError([&] { TGramBitSet::FromHexString(bad); }));
    }
    EXPECT_EQ("bitset", RangeError([] { TGramBitSet::FromHexString("7E"); }));
    EXPECT_EQ("bitset", RangeError([] { TGramBitSet::FromHexString("88FA"); }));
}

TEST(GramBitSet, ParsesNamesBetweenDelimiters) {
    struct TCase {
        std::string Text;
        const char* Delimiters;
        std::string Codes;  // when Error is empty
        std::string Error;
    };
    const TCase cases[] = {
        {"S, sg", ",", G({136, 174}), ""},
        {" \t S,sg,\r\n", ",", G({136, 174}), ""},
        {"S ,sg", ",", "", "Unknown grammem \"S \""},
        {"S,,sg", ",", "", "Unknown grammem \"\""},
        {"   ", ",", "", ""},
        {"", ",", "", ""},
        {"им;род,sg", ";,", G({165, 166, 174}), ""},
        {Korvel("им") + " " + Korvel("род"), " ", G({165, 166}), ""},
        {"S|V|S", "|", G({136, 137}), ""},
        {"Nom", ",", "", "Unknown grammem \"Nom\""},
        {"S,sg", nullptr, "", "Unknown grammem \"S,sg\""},
        {"S", nullptr, G({136}), ""},
        {"sg,PART,part", ",", G({134, 171, 174}), ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        const TCharRange text(c.Text.data(), c.Text.size());
        if (c.Error.empty()) {
            EXPECT_EQ(c.Codes, Codes(TGramBitSet::FromString(text, c.Delimiters)));
        } else {
            EXPECT_EQ(c.Error, ParseError([&] { TGramBitSet::FromString(text, c.Delimiters); }));
            EXPECT_TRUE(TGramBitSet::FromStringOrEmpty(text, c.Delimiters).Empty());
        }
    }
    EXPECT_EQ(G({136, 174}), Codes(TGramBitSet::FromStringOrEmpty(TCharRange("S,sg"), ",")));
}

TEST(GramBitSet, ParsesUtf16Names) {
    struct TCase {
        std::u16string Text;
        std::string Codes;  // when Error is empty
        std::string Error;
    };
    const TCase cases[] = {
        {u"S, sg", G({136, 174}), ""},
        {u" им,род ", G({165, 166}), ""},
        {u"притяж-3л-мн;сказ-притяж", G({223, 246}), ""},
        {u"S,жук", "", "Unknown grammem \"жук\""},
        {u"S ,sg", "", "Unknown grammem \"S \""},
        {u"\u00A0S", "", "Unknown grammem \"\u00A0S\""},  // only ASCII blanks are dropped
        {u"S,,sg", "", "Unknown grammem \"\""},
        {u"\t", "", ""},
        {std::u16string(257, u'a'), "", "Unknown grammem \"" + std::string(257, 'a') + "\""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Error);
        const TWCharRange text(c.Text.data(), c.Text.size());
        if (c.Error.empty()) {
            EXPECT_EQ(c.Codes, Codes(TGramBitSet::FromWideString(text, ",;")));
        } else {
            EXPECT_EQ(c.Error, ParseError([&] { TGramBitSet::FromWideString(text, ",;"); }));
        }
    }
}

TEST(GramBitSet, PredefinedSetsHoldTheirCodes) {
    struct TCase {
        TGramBitSet Set;
        const char* Names;
    };
    const TCase cases[] = {
        {GenderGrammemes, "f,m,n,mf"},
        {MainCaseGrammemes, "nom,gen,dat,acc,ins,abl"},
        {ExtraCaseGrammemes, "part,loc,voc"},
        {AllCaseGrammemes, "nom,gen,dat,acc,ins,abl,part,loc,voc"},
        {NumberGrammemes, "sg,pl"},
        {TenseGrammemes, "praes,inpraes,praet,fut"},
        {PersonGrammemes, "1p,2p,3p"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(c.Names, Str(c.Set.ToString(",", true)));
    }
    EXPECT_EQ(123, AllGrammemes.Count());
    EXPECT_EQ(~uint64_t(0), AllGrammemes.Word(0));
    EXPECT_EQ((uint64_t(1) << 59) - 1, AllGrammemes.Word(1));
    EXPECT_TRUE((~AllGrammemes).Empty());
}

TEST(GramBitSet, CombinesAndOrdersSets) {
    const TGramBitSet a = TGramBitSet::Make(136, 165, 174);
    EXPECT_TRUE(a.HasAny(AllCaseGrammemes));
    EXPECT_FALSE(a.HasAny(GenderGrammemes));
    EXPECT_TRUE(a.HasAll(TGramBitSet::Make(136, 174, 136)));
    EXPECT_EQ(TGramBitSet::Make(165, 165, 165), a & AllCaseGrammemes);
    EXPECT_EQ(G({136, 174, 191, 192, 193, 194}), Codes((a | GenderGrammemes).Reset(165)));
    // Word 0 decides first, as an unsigned number; word 1 only on a tie.
    const TGramBitSet low = TGramBitSet::Make(127, 127, 249);
    const TGramBitSet high = TGramBitSet::Make(128, 128, 128);
    EXPECT_LT(low, high);
    EXPECT_FALSE(high < low);
    EXPECT_LT(TGramBitSet::Make(127, 191, 191), low);
    EXPECT_FALSE(low < low);
    EXPECT_LT(TGramBitSet::Make(189, 189, 189), TGramBitSet::Make(190, 190, 190));  // bit 63
}

}  // namespace
