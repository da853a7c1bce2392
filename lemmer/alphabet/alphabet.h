// The alphabet of a language: one class byte per UTF-16 unit, and the table of letter forms
// (each letter's decomposition with its units sorted) that lets the composition step fold a
// letter and its combining marks back into a letter of the alphabet.
//
// The class bytes lie in pages of 256 units, made when a unit of theirs is first flagged; the
// other pages read as 0 from one shared page. An alphabet flags a few hundred units, and the
// registry builds some twenty alphabets at the first word of a run.
//
// Alphabets are built once by BuildAlphabet from five strings of letters and are read-only
// afterwards, hence safe to share between threads.
#pragma once

#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace NLemmer {

// Bits of an alphabet's class byte.
enum EAlphabetFlag : uint8_t {
    ALPHA_VOWEL = 0x01,           // set together with ALPHA_LETTER
    ALPHA_LETTER = 0x02,          // a letter of the alphabet, vowel or consonant
    ALPHA_LETTER_VARIANT = 0x04,  // a part of a letter's decomposition that is no letter itself
    ALPHA_EXTRA = 0x08,           // accepted in words, not a letter proper
    ALPHA_EXTRA_VARIANT = 0x10,   // a part of an extra letter's decomposition
    ALPHA_IGNORABLE = 0x20,       // listed as ignorable, or a mark in a letter's decomposition
    ALPHA_FORM_MARK = 0x40,       // a mark that occurs in a letter's decomposition
    ALPHA_WORD_SIGN = 0x80,       // a sign allowed inside a word
};

// Letter forms: the sorted units of a letter's decomposition -> the letter.
class TLetterForms {
public:
    // Later inserts of the same form replace the letter.
    void Insert(std::u16string form, wchar16 letter);
    // The letter of the sorted units [units, units + n), or 0.
    wchar16 Find(const wchar16* units, size_t n) const;
    // Units of the longest form; 0 when there is none.
    size_t LongestForm() const { return Longest_; }
    size_t Size() const { return Forms_.size(); }

private:
    struct THash {
        using is_transparent = void;
        size_t operator()(std::u16string_view s) const noexcept;
    };

    std::unordered_map<std::u16string, wchar16, THash, std::equal_to<>> Forms_;
    size_t Longest_ = 0;
};

class TAlphabet {
public:
    TAlphabet();
    ~TAlphabet();

    static constexpr size_t PageUnits = 256;

    uint8_t operator[](wchar16 unit) const { return Pages_[unit >> 8][unit & 0xFF]; }
    // The class bytes of units [high * 256, high * 256 + 256); null when all are 0.
    const uint8_t* Page(size_t high) const { return Owned_[high].get(); }
    // Writes the 65536 class bytes, one per unit, to `table`.
    void CopyClassTable(uint8_t* table) const;
    // The class byte of `unit`, its page made if need be.
    uint8_t& Flags(wchar16 unit);
    const TLetterForms& Forms() const { return *Forms_; }

    // flags[unit] := (flags[unit] & ~mask) | (bits & mask).
    void SetFlags(wchar16 unit, uint8_t bits, uint8_t mask);
    // Adds bits to flags[unit] only when the unit has none of `absent`.
    void AddFlagsIfNone(wchar16 unit, uint8_t bits, uint8_t absent);

private:
    friend void BuildAlphabet(TAlphabet&, const wchar16*, const wchar16*, const wchar16*,
                              const wchar16*, const wchar16*);

    void Clear();

    const uint8_t* Pages_[65536 / PageUnits];
    std::unique_ptr<uint8_t[]> Owned_[65536 / PageUnits];
    std::unique_ptr<TLetterForms> Forms_;
};

// Fills the alphabet from five 0-terminated strings (null adds nothing): consonants get
// ALPHA_LETTER, vowels ALPHA_VOWEL | ALPHA_LETTER (a unit in both ends up a vowel), extra letters
// ALPHA_EXTRA, their decompositions' parts the variant bits; ignorable marks get
// ALPHA_IGNORABLE and word signs ALPHA_WORD_SIGN. Raises std::bad_alloc; the alphabet is then
// left empty.
void BuildAlphabet(TAlphabet& alphabet, const wchar16* vowels, const wchar16* consonants,
                   const wchar16* extraLetters, const wchar16* ignorableMarks,
                   const wchar16* wordSigns);

// The builder's two steps: flag each unit of `letters` and record its decomposition as a form;
// flag the parts of one 0-terminated UTF-32 decomposition.
void FlagLetters(TAlphabet& flags, TLetterForms& forms, const wchar16* letters, uint8_t letterFlag,
                 uint8_t variantFlag);
void FlagVariants(TAlphabet& flags, const uint32_t* decomposition, uint8_t letterFlag,
                  uint8_t variantFlag);

struct TAlphabetComposeResult {
    size_t Written = 0;
    size_t Consumed = 0;
    bool Complete = true;  // false when a cluster is not a letter of the alphabet, or on a cut
    bool Changed = false;
};

// Composes the first cluster of src (a unit with the marks that follow it). REQUIRES: outSize
// of at least 1 when sourceLength is not 0.
TAlphabetComposeResult ComposeByAlphabet(const TAlphabet& alphabet, const wchar16* src,
                                         size_t sourceLength, wchar16* out, size_t outSize);
// Composes the whole source, cluster by cluster, into at most outSize units. A source that does
// not fit is reported incomplete.
TAlphabetComposeResult ComposeWordByAlphabet(const TAlphabet& alphabet, const wchar16* src,
                                             size_t sourceLength, wchar16* out, size_t outSize);

}  // namespace NLemmer
