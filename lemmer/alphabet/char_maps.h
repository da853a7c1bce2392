// The translation tables of the per-language normalisers: look-alike letters of the other
// script (derenyx), per-language conversions and the Turkish case tables. Each policy names one
// process-wide table, built on first use; TEmptyConverter names none.
#pragma once

#include "lemmer/alphabet/char_map_table.h"

namespace NLemmer::NDetail {

// Latin look-alikes into Cyrillic letters (with the cursive g, n, u, b and I/i -> І/і),
// German and Polish accented Latin letters into plain ones, Ѣ Ѳ Ѵ into Е Ф И. 59 pairs.
struct TEasternSlavicDerenyxer {
    static const TCharMapTable* Table();
};
// Romanian comma-below letters into the cedilla forms; the stress mark is deleted.
struct TRomanianDerenyxer {
    static const TCharMapTable* Table();
};
// U+2019 to the apostrophe, Ё to Е, Ґ to Г; the stress mark is deleted.
struct TGeneralCyrilicConverter {
    static const TCharMapTable* Table();
};
struct TBelarusianConverter {
    static const TCharMapTable* Table();
};
struct TApostropheConverter {
    static const TCharMapTable* Table();
};
struct TSpanishConverter {
    static const TCharMapTable* Table();
};
struct TPortugueseConverter {
    static const TCharMapTable* Table();
};
struct TItalianConverter {
    static const TCharMapTable* Table();
};
// ä ö ü ß become "ae" "oe" "ue" "ss".
struct TGermanConverter {
    static const TCharMapTable* Table();
};
// Circumflexes dropped; both apostrophes deleted, so a suffix joins its stem.
struct TTurkishConverter {
    static const TCharMapTable* Table();
};
// İ -> i and I -> ı before lower-casing; the reverse before upper- and title-casing.
struct TTurkishPreLower {
    static const TCharMapTable* Table();
};
struct TTurkishPreUpper {
    static const TCharMapTable* Table();
};
struct TEmptyConverter {
    static const TCharMapTable* Table() { return nullptr; }
};

}  // namespace NLemmer::NDetail
