// The alphabets of the supported languages. Each policy names one process-wide alphabet, built
// on first use from its five letter strings (vowels, consonants, extra letters, ignorable marks,
// word signs) and shared by every normaliser of that alphabet.
#pragma once

#include "lemmer/alphabet/alphabet.h"

namespace NLemmer::NDetail {

// The five strings of an alphabet, each 0-terminated or null.
struct TAlphabetLetters {
    const wchar16* Vowels;
    const wchar16* Consonants;
    const wchar16* ExtraLetters;
    const wchar16* IgnorableMarks;
    const wchar16* WordSigns;
};

#define LEMMER_ALPHABET_POLICY(Name)              \
    struct Name {                                 \
        static const TAlphabetLetters& Letters(); \
        static const TAlphabet* Alphabet();       \
    };

LEMMER_ALPHABET_POLICY(TAlphaRussian)
LEMMER_ALPHABET_POLICY(TAlphaBasicRussian)
LEMMER_ALPHABET_POLICY(TAlphaUkrainian)
LEMMER_ALPHABET_POLICY(TAlphaBelarusian)
LEMMER_ALPHABET_POLICY(TAlphaTatar)
LEMMER_ALPHABET_POLICY(TAlphaKazakh)
LEMMER_ALPHABET_POLICY(TAlphaBulgarian)
LEMMER_ALPHABET_POLICY(TAlphaChurchSlavonic)
LEMMER_ALPHABET_POLICY(TAlphaEnglish)
LEMMER_ALPHABET_POLICY(TAlphaGerman)
LEMMER_ALPHABET_POLICY(TAlphaFrench)
LEMMER_ALPHABET_POLICY(TAlphaSpanish)
LEMMER_ALPHABET_POLICY(TAlphaPortuguese)
LEMMER_ALPHABET_POLICY(TAlphaItalian)
LEMMER_ALPHABET_POLICY(TAlphaPolish)
LEMMER_ALPHABET_POLICY(TAlphaCzech)
LEMMER_ALPHABET_POLICY(TAlphaRomanian)
LEMMER_ALPHABET_POLICY(TAlphaTurkish)
LEMMER_ALPHABET_POLICY(TAlphaArmenian)

#undef LEMMER_ALPHABET_POLICY

}  // namespace NLemmer::NDetail
