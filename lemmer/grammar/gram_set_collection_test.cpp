#include "lemmer/grammar/gram_set_collection.h"
#include "lemmer/grammar/gram_test_helpers.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

TGramBitSet Set(std::initializer_list<int> codes) {
    return TGramBitSet::FromCodes(G(codes).c_str());
}

std::vector<std::string> Names(const TGramBitSetCollection& sets) {
    std::vector<std::string> out;
    for (const TGramBitSet& s : sets) {
        const Stroka text = s.ToString(",", true);
        out.emplace_back(text.data(), text.size());
    }
    return out;
}

TEST(NormalizeGrammarSet, SpellsOutGendersAndPossessorPersons) {
    struct TCase {
        TGramBitSet In;
        TGramBitSet Out;
    };
    const TCase cases[] = {
        {Set({128, 175, 194}), Set({128, 175, 191, 192, 193, 194})},  // genders come back
        {Set({136, 194}), Set({136, 191, 192})},
        {Set({128, 175}), Set({128, 175, 191, 192, 193, 194})},
        {Set({128, 174, 191}), Set({128, 174, 191})},
        {Set({136, 216}), Set({136, 215, 216})},
        {Set({136, 217}), Set({136, 215, 217})},
        {Set({136, 219, 223}), Set({136, 218, 219, 221, 223})},
        {Set({136, 220}), Set({136, 218, 220})},
        {Set({136, 222}), Set({136, 221, 222})},
        {Set({136, 215}), Set({136, 215})},
        {TGramBitSet(), TGramBitSet()},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.In.ToString(",", true).c_str());
        EXPECT_EQ(c.Out.ToString(",", true), NormalizeGrammarSet(c.In).ToString(",", true));
    }
}

TEST(NormalizeGrammarSets, NormalizesOnlyWithAnAdjectiveOrCommonGender) {
    // Neither "A" nor "mf" anywhere: even the possessor grammeme stays as it is.
    TGramBitSetCollection plain = {Set({136, 216}), Set({136, 165})};
    NormalizeGrammarSets(plain);
    EXPECT_EQ((TGramBitSetCollection{Set({136, 216}), Set({136, 165})}), plain);

    // One set with "mf" normalises all, and sets that become equal merge.
    TGramBitSetCollection sets = {Set({136, 194, 165}), Set({136, 191, 192, 165}), Set({136, 216})};
    NormalizeGrammarSets(sets);
    EXPECT_EQ((TGramBitSetCollection{Set({136, 165, 191, 192}), Set({136, 215, 216})}), sets);

    TGramBitSetCollection adjectives = {Set({128, 175, 165})};
    NormalizeGrammarSets(adjectives);
    EXPECT_EQ(std::vector<std::string>{"A,nom,pl,f,m,n,mf"}, Names(adjectives));

    TGramBitSetCollection empty;
    NormalizeGrammarSets(empty);
    EXPECT_TRUE(empty.empty());
}

TEST(CollectFullGrammars, InsertsOneSetPerDistinctFullGrammar) {
    const std::string common = G({136, 191}), a = G({165, 174}), b = G({174, 165}),
                      c = G({166, 175}), none;
    const char* forms[] = {a.c_str(), b.c_str(), c.c_str()};
    TGramBitSetCollection sets;
    CollectFullGrammars(common.c_str(), forms, 3, sets);
    EXPECT_EQ((std::vector<std::string>{"S,nom,sg,f", "S,gen,pl,f"}), Names(sets));

    // Without form grammars the common grammar alone.
    TGramBitSetCollection alone;
    CollectFullGrammars(common.c_str(), nullptr, 0, alone);
    EXPECT_EQ(std::vector<std::string>{"S,f"}, Names(alone));

    // Nothing empty is inserted.
    const char* emptyForms[] = {none.c_str(), nullptr};
    TGramBitSetCollection nothing;
    CollectFullGrammars(none.c_str(), emptyForms, 2, nothing);
    CollectFullGrammars(nullptr, nullptr, 0, nothing);
    InsertGrammarSet("", nothing);
    InsertGrammarSet(nullptr, nothing);
    EXPECT_TRUE(nothing.empty());

    InsertGrammarSet(a.c_str(), nothing);
    InsertGrammarSet(b.c_str(), nothing);
    EXPECT_EQ(std::vector<std::string>{"nom,sg"}, Names(nothing));

    const std::string bad = G({136, 100});
    EXPECT_THROW(InsertGrammarSet(bad.c_str(), nothing), std::out_of_range);
}

}  // namespace
