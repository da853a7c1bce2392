// The per-language normalisers: a normaliser class is an alphabet policy with five table
// policies (derenyxer, converter, pre-lower, pre-upper, pre-title). Each class has one
// process-wide object, built on first use by AlphabetNormalizer<T>() and destroyed at exit.
#pragma once

#include "lemmer/alphabet/alphabets_data.h"
#include "lemmer/alphabet/char_maps.h"
#include "lemmer/alphabet/word_normalizer.h"

#include "util/system/singleton.h"

namespace NLemmer::NDetail {

template <class TAlpha, class TDerenyxer, class TConverter, class TPreLower, class TPreUpper,
          class TPreTitle>
class TAlphaStructConstructer : public TAlphabetWordNormalizer {
public:
    TAlphaStructConstructer()
        : TAlphabetWordNormalizer(TAlpha::Alphabet(), TDerenyxer::Table(), TConverter::Table(),
                                  TPreLower::Table(), TPreUpper::Table(), TPreTitle::Table()) {}
};

template <class TAlpha, class TDerenyxer, class TConverter>
using TPlainNormalizer = TAlphaStructConstructer<TAlpha, TDerenyxer, TConverter, TEmptyConverter,
                                                 TEmptyConverter, TEmptyConverter>;

using TRussianBaseNormalizer =
    TPlainNormalizer<TAlphaRussian, TEasternSlavicDerenyxer, TGeneralCyrilicConverter>;
using TBasicRussianNormalizer =
    TPlainNormalizer<TAlphaBasicRussian, TEasternSlavicDerenyxer, TGeneralCyrilicConverter>;
using TUkrainianNormalizer =
    TPlainNormalizer<TAlphaUkrainian, TEasternSlavicDerenyxer, TGeneralCyrilicConverter>;
using TTatarNormalizer =
    TPlainNormalizer<TAlphaTatar, TEasternSlavicDerenyxer, TGeneralCyrilicConverter>;
using TKazakhNormalizer =
    TPlainNormalizer<TAlphaKazakh, TEasternSlavicDerenyxer, TGeneralCyrilicConverter>;
using TBulgarianNormalizer =
    TPlainNormalizer<TAlphaBulgarian, TEasternSlavicDerenyxer, TGeneralCyrilicConverter>;
using TBelarusianNormalizer =
    TPlainNormalizer<TAlphaBelarusian, TEasternSlavicDerenyxer, TBelarusianConverter>;
using TChurchSlavonicNormalizer =
    TPlainNormalizer<TAlphaChurchSlavonic, TEmptyConverter, TGeneralCyrilicConverter>;
using TEnglishNormalizer = TPlainNormalizer<TAlphaEnglish, TEmptyConverter, TApostropheConverter>;
using TFrenchNormalizer = TPlainNormalizer<TAlphaFrench, TEmptyConverter, TApostropheConverter>;
using TPolishNormalizer = TPlainNormalizer<TAlphaPolish, TEmptyConverter, TApostropheConverter>;
using TCzechNormalizer = TPlainNormalizer<TAlphaCzech, TEmptyConverter, TApostropheConverter>;
using TArmenianNormalizer = TPlainNormalizer<TAlphaArmenian, TEmptyConverter, TApostropheConverter>;
using TRomanianNormalizer =
    TPlainNormalizer<TAlphaRomanian, TRomanianDerenyxer, TApostropheConverter>;
using TSpanishNormalizer = TPlainNormalizer<TAlphaSpanish, TEmptyConverter, TSpanishConverter>;
using TPortugueseNormalizer =
    TPlainNormalizer<TAlphaPortuguese, TEmptyConverter, TPortugueseConverter>;
using TItalianNormalizer = TPlainNormalizer<TAlphaItalian, TEmptyConverter, TItalianConverter>;
using TGermanNormalizer = TPlainNormalizer<TAlphaGerman, TEmptyConverter, TGermanConverter>;
using TTurkishNormalizer =
    TAlphaStructConstructer<TAlphaTurkish, TEmptyConverter, TTurkishConverter, TTurkishPreLower,
                            TTurkishPreUpper, TTurkishPreUpper>;

// The process-wide object of a normaliser class.
template <class TNormalizer>
const TAlphabetWordNormalizer* AlphabetNormalizer() {
    return Singleton<TNormalizer>();
}

}  // namespace NLemmer::NDetail
