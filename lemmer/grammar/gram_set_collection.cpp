// Collections of full grammars and their normalisation.
#include "lemmer/grammar/gram_set_collection.h"

namespace {
constexpr uint32_t Adjective = 128;
constexpr uint32_t Plural = 175;
constexpr uint32_t Feminine = 191;
constexpr uint32_t Masculine = 192;
constexpr uint32_t CommonGender = 194;

// Person-and-number grammemes of a possessor and the person grammeme each implies.
struct TImpliedPerson {
    uint32_t Singular;
    uint32_t Plural;
    uint32_t Person;
};
constexpr TImpliedPerson PossessorPersons[] = {
    {216, 217, 215},  // poss-1p-sg, poss-1p-pl -> poss-1p
    {219, 220, 218},  // poss-2p
    {222, 223, 221},  // poss-3p
};
}  // namespace

void CollectFullGrammars(const char* common, const char* const* forms, size_t count,
                         TGramBitSetCollection& out) {
    if (count == 0) {
        InsertGrammarSet(common, out);
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        TGramBitSet set;
        TGramBitSet::AddGrammars(common, forms[i], set);
        if (!set.Empty()) {
            out.insert(set);
        }
    }
}

void InsertGrammarSet(const char* grammar, TGramBitSetCollection& out) {
    const TGramBitSet set = TGramBitSet::FromCodes(grammar);
    if (!set.Empty()) {
        out.insert(set);
    }
}

TGramBitSet NormalizeGrammarSet(TGramBitSet set) {
    if (set.Test(CommonGender)) {
        set.Reset(CommonGender).Set(Feminine).Set(Masculine);
    }
    if (set.Test(Adjective) && set.Test(Plural)) {
        set |= GenderGrammemes;
    }
    for (const TImpliedPerson& p : PossessorPersons) {
        if (set.Test(p.Singular) || set.Test(p.Plural)) {
            set.Set(p.Person);
        }
    }
    return set;
}

void NormalizeGrammarSets(TGramBitSetCollection& sets) {
    bool needed = false;
    for (const TGramBitSet& set : sets) {
        needed = needed || set.Test(Adjective) || set.Test(CommonGender);
    }
    if (!needed) {
        return;
    }
    TGramBitSetCollection normalized;
    for (const TGramBitSet& set : sets) {
        normalized.insert(NormalizeGrammarSet(set));
    }
    sets.swap(normalized);
}
