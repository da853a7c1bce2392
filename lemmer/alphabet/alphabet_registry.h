// Which normaliser serves a language, and which languages a character or a word can belong to.
//
// One process-wide registry, built on first use from the alphabets of every supported
// language: for each UTF-16 unit the languages whose alphabet knows it (accept), for which it is
// a letter or a letter's variant (distinctive), and for which it is a letter proper. Read-only
// once built, hence thread-safe.
#pragma once

#include "lemmer/alphabet/lang_mask.h"
#include "lemmer/alphabet/word_normalizer.h"

#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace NLemmer {

class TAlphabetRegistry {
public:
    static constexpr int LanguageCount = 58;

    TAlphabetRegistry();

    // Null for a language without an alphabet, and for an id outside 0 to 57.
    const TAlphabetWordNormalizer* Normalizer(int language) const;
    TLangMask Accept(wchar16 u) const { return Accept_.Get(u); }
    TLangMask Distinctive(wchar16 u) const { return Distinctive_.Get(u); }
    TLangMask Letter(wchar16 u) const { return Letter_.Get(u); }

    // The process-wide registry.
    static const TAlphabetRegistry& Instance();

private:
    void Register(int language, const TAlphabetWordNormalizer* normalizer);

    // A mask for each of the 65536 units, in pages of 256; the pages without a language, most
    // of them, are one shared empty page, so that building the registry writes only the pages
    // of the alphabets' letters.
    class TMaskTable {
    public:
        TMaskTable() noexcept;
        TLangMask Get(wchar16 u) const { return Pages_[u >> 8][u & 0xFF]; }
        void Add(wchar16 u, TLangMask mask);

    private:
        const TLangMask* Pages_[256];
        std::unique_ptr<TLangMask[]> Owned_[256];
    };

    const TAlphabetWordNormalizer* Normalizers_[LanguageCount] = {};
    TMaskTable Accept_;
    TMaskTable Distinctive_;
    TMaskTable Letter_;
};

// The normaliser of a language id; null when the language has no alphabet or the id lies
// outside 0 to 57. Id 0 has the default normaliser (no alphabet).
const TAlphabetWordNormalizer* GetAlphabetWordNormalizer(int language);

// The languages whose alphabet knows every unit of the word and for which at least one unit is
// a letter (or a letter's variant). With skipDigits, decimal digits are passed over and a word
// of digits only gives the empty mask.
TLangMask GetWordLanguageMask(const wchar16* word, size_t length, bool skipDigits);

// The languages for which the unit is a letter proper.
TLangMask GetCharLanguageValue(wchar16 unit);

// Word shape bits.
enum EWordCharClass : uint64_t {
    WCC_LETTERS_ONLY = 0x01,          // letters and marks only
    WCC_NO_SIGN_LETTER_FIRST = 0x02,  // letters, digits, marks; the first unit no digit
    WCC_DIGITS_ONLY = 0x04,           // digits and marks only
    WCC_NO_SIGN_DIGIT_FIRST = 0x08,   // letters, digits, marks; the first unit no letter
    WCC_ASCII = 0x10,                 // every unit is ASCII
    WCC_NO_ASCII = 0x20,              // no unit is ASCII
    WCC_TITLE = 0x40,                 // title case
    WCC_NO_LOWER = 0x80,              // no lower-case letter
    WCC_LOWER = 0x100,                // lower-case letters and marks only
    WCC_MIXED = 0x200,                // none of the three case bits
};

// The word-shape bits of a word; 0x1FF for an empty word.
uint64_t GetWordCharClassFlags(const wchar16* word, size_t length);

}  // namespace NLemmer
