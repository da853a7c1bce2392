// Contents of the translation tables. Pairs read position by position: the n-th unit of From
// becomes the n-th unit of To.
#include "lemmer/alphabet/char_maps.h"

#include "util/system/singleton.h"

namespace NLemmer::NDetail {
namespace {

// The data of one table; a table without deletions or exceptions leaves them null.
template <class TData>
struct TTableOf : TCharMapTable {
    TTableOf()
        : TCharMapTable(TData::From, TData::To, TData::Delete, TData::ExceptionKeys,
                        TData::ExceptionReplacements) {}
};

struct TNoExtras {
    static constexpr const wchar16* Delete = nullptr;
    static constexpr const wchar16* ExceptionKeys = nullptr;
    static constexpr const wchar16* const* ExceptionReplacements = nullptr;
};

struct TEasternSlavicData : TNoExtras {
    static constexpr const wchar16* From =
        u"ABCEHIKMOPTXY"
        u"abceghikmnoptuxy"
        u"ÄÖÜĄĆĘŁ"
        u"äöüąćęł"
        u"ŃÓŚŻŹ"
        u"ѢѲѴ"
        u"ńóśżź"
        u"ѣѳѵ";
    static constexpr const wchar16* To =
        u"АВСЕНІКМОРТХУ"
        u"авседнікмпортиху"
        u"AOUACEL"
        u"aouacel"
        u"NOSZZ"
        u"ЕФИ"
        u"noszz"
        u"ефи";
};

struct TRomanianData : TNoExtras {
    static constexpr const wchar16* From = u"ȘșȚț";
    static constexpr const wchar16* To = u"ŞşŢţ";
    static constexpr const wchar16* Delete = u"\u0301";
};

struct TGeneralCyrilicData : TNoExtras {
    static constexpr const wchar16* From = u"\u2019ЁёҐґ";
    static constexpr const wchar16* To = u"'ЕеГг";
    static constexpr const wchar16* Delete = u"\u0301";
};

struct TBelarusianData : TNoExtras {
    static constexpr const wchar16* From = u"\u2019Ґґ";
    static constexpr const wchar16* To = u"'Гг";
    static constexpr const wchar16* Delete = u"\u0301";
};

struct TApostropheData : TNoExtras {
    static constexpr const wchar16* From = u"\u2019";
    static constexpr const wchar16* To = u"'";
};

struct TSpanishData : TNoExtras {
    static constexpr const wchar16* From = u"ÁáÉéÍíÓóÚúÜü";
    static constexpr const wchar16* To = u"AaEeIiOoUuUu";
};

struct TPortugueseData : TNoExtras {
    static constexpr const wchar16* From = u"ÇçÀàÁáÂâÃãÉéÊêÍíÓóÔôÕõÚú\u2019";
    static constexpr const wchar16* To = u"CcAaAaAaAaEeEeIiOoOoOoUu'";
};

struct TItalianData : TNoExtras {
    static constexpr const wchar16* From = u"ÀàÁáÈèÉéÌìÍíÎîÒòÓóÙùÚú";
    static constexpr const wchar16* To = u"AaAaEeEeIiIiIiOoOoUuUu";
};

constexpr const wchar16* GERMAN_REPLACEMENTS[] = {u"ae", u"oe", u"ue", u"ss"};

struct TGermanData {
    static constexpr const wchar16* From = u"\u2019";
    static constexpr const wchar16* To = u"'";
    static constexpr const wchar16* Delete = nullptr;
    static constexpr const wchar16* ExceptionKeys = u"äöüß";
    static constexpr const wchar16* const* ExceptionReplacements = GERMAN_REPLACEMENTS;
};

struct TTurkishData : TNoExtras {
    static constexpr const wchar16* From = u"ÂâÎîÛû";
    static constexpr const wchar16* To = u"AaIiUu";
    static constexpr const wchar16* Delete = u"\u2019'";
};

struct TTurkishPreLowerData : TNoExtras {
    static constexpr const wchar16* From = u"\u0130\u0049";
    static constexpr const wchar16* To = u"\u0069\u0131";
};

struct TTurkishPreUpperData : TNoExtras {
    static constexpr const wchar16* From = u"\u0069\u0131";
    static constexpr const wchar16* To = u"\u0130\u0049";
};

template <class TData>
const TCharMapTable* TableOf() {
    return Singleton<TTableOf<TData>>();
}

}  // namespace

const TCharMapTable* TEasternSlavicDerenyxer::Table() {
    return TableOf<TEasternSlavicData>();
}
const TCharMapTable* TRomanianDerenyxer::Table() {
    return TableOf<TRomanianData>();
}
const TCharMapTable* TGeneralCyrilicConverter::Table() {
    return TableOf<TGeneralCyrilicData>();
}
const TCharMapTable* TBelarusianConverter::Table() {
    return TableOf<TBelarusianData>();
}
const TCharMapTable* TApostropheConverter::Table() {
    return TableOf<TApostropheData>();
}
const TCharMapTable* TSpanishConverter::Table() {
    return TableOf<TSpanishData>();
}
const TCharMapTable* TPortugueseConverter::Table() {
    return TableOf<TPortugueseData>();
}
const TCharMapTable* TItalianConverter::Table() {
    return TableOf<TItalianData>();
}
const TCharMapTable* TGermanConverter::Table() {
    return TableOf<TGermanData>();
}
const TCharMapTable* TTurkishConverter::Table() {
    return TableOf<TTurkishData>();
}
const TCharMapTable* TTurkishPreLower::Table() {
    return TableOf<TTurkishPreLowerData>();
}
const TCharMapTable* TTurkishPreUpper::Table() {
    return TableOf<TTurkishPreUpperData>();
}

}  // namespace NLemmer::NDetail
