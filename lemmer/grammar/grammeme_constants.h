// Named codes of the grammemes the analysis code tests for by hand (parts of speech, case,
// number, derived forms, comparison, old orthography). The grammeme table holds every code
// with its names; these are the few a language's rules name in code.
#pragma once

namespace NGrammeme {

enum ECode : unsigned char {
    A = 128,
    ADV = 129,
    S = 136,
    V = 137,
    OBSOL = 153,
    NOM = 165,
    SG = 174,
    PL = 175,
    GER = 176,
    INF = 177,
    PARTCP = 178,
    IMPER = 180,
    BREV = 183,
    SUPR = 185,
    COMP = 186,
};

}  // namespace NGrammeme
