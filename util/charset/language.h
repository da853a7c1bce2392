// The languages the system knows: id, script, full name, three-letter code, ISO 639-1 code and
// synonyms, with look-ups by any of these names (without regard to case) and by id.
#pragma once

#include "util/charset/script.h"
#include "util/generic/string.h"

#include <cstddef>

// Language ids; the row index of the language table. The analyser uses LANG_UNK, LANG_RUS,
// LANG_ENG, LANG_BASIC_RUS and LANG_BASIC_ENG.
enum ELanguage : int {
    LANG_UNK = 0,
    LANG_RUS = 1,
    LANG_ENG = 2,
    LANG_POL = 3,
    LANG_HUN = 4,
    LANG_UKR = 5,
    LANG_GER = 6,
    LANG_FRE = 7,
    LANG_TAT = 8,
    LANG_BLR = 9,
    LANG_KAZ = 10,
    LANG_ALB = 11,
    LANG_SPA = 12,
    LANG_ITA = 13,
    LANG_ARM = 14,
    LANG_DAN = 15,
    LANG_POR = 16,
    LANG_UNUSED_17 = 17,
    LANG_SLO = 18,
    LANG_SLV = 19,
    LANG_DUT = 20,
    LANG_BUL = 21,
    LANG_CAT = 22,
    LANG_HRV = 23,
    LANG_CZE = 24,
    LANG_GRE = 25,
    LANG_HEB = 26,
    LANG_NOR = 27,
    LANG_MAC = 28,
    LANG_SWE = 29,
    LANG_KOR = 30,
    LANG_LAT = 31,
    LANG_BASIC_RUS = 32,
    LANG_UNUSED_33 = 33,
    LANG_UNUSED_34 = 34,
    LANG_EMPTY = 35,
    LANG_UNK_LAT = 36,
    LANG_UNK_CYR = 37,
    LANG_UNK_ALPHA = 38,
    LANG_FIN = 39,
    LANG_EST = 40,
    LANG_LAV = 41,
    LANG_LIT = 42,
    LANG_BAK = 43,
    LANG_TUR = 44,
    LANG_RUM = 45,
    LANG_MON = 46,
    LANG_UZB = 47,
    LANG_KIR = 48,
    LANG_TGK = 49,
    LANG_TUK = 50,
    LANG_SRP = 51,
    LANG_AZE = 52,
    LANG_BASIC_ENG = 53,
    LANG_GEO = 54,
    LANG_ARA = 55,
    LANG_PER = 56,
    LANG_CHU = 57,
    LANG_MAX = 58,  // one past the last id
};

// The id of a full name, three-letter code, ISO code or synonym, compared without regard to
// case (under the case table of code page 9); LANG_UNK for an empty or unknown name.
ELanguage LanguageByName(const TCharRange& name);
// The same, but LANG_MAX for an empty or unknown name.
ELanguage LanguageByNameOrMax(const TCharRange& name);

// The full name, three-letter code and ISO code of a language id. Null for an id outside 0 to
// LANG_MAX - 1; the empty text for a row without that name.
const char* FullNameByLanguage(int language);
const char* CodeByLanguage(int language);
const char* NameByLanguage(int language);

// The script of a language's letters; SCRIPT_OTHER for languages without one (and for ids
// outside the table).
EScript ScriptByLanguage(int language);
