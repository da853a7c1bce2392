// The alphabet of a binary dictionary: a small numbering of the letters its stems and endings
// use, with vowel flags. A run of the last T letters of a word (a tuple) becomes one number in
// base "letter count", the slot of the word's stem block in the dictionary's tuple index.
//
// The record is also, byte for byte, the alphabet part of the stored dictionary (66312 bytes).
// Index 0 is the empty letter (unit 0), so that positions before the start of a word encode as
// 0; index 255 never names a letter. Read-only once built, hence safe to share.
#pragma once

#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

class TAlphabetTupleCodec {
public:
    static constexpr uint8_t NoLetter = 255;
    static constexpr uint16_t NoUnit = 0xFFFF;
    static constexpr uint64_t BadTuple = ~uint64_t(0);

    // An empty alphabet (only the empty letter) with the given tuple length.
    explicit TAlphabetTupleCodec(uint32_t tupleLength = 0) : TupleLength(tupleLength) { Clear(); }

    // Back to the empty alphabet; the tuple length stays.
    void Clear();

    // The tuple number of the last min(T, length) units, the last unit the least significant
    // digit; 0 for an empty text; BadTuple when one of those units is no letter.
    uint64_t EncodeSuffix(const wchar16* text, size_t length) const;

    bool IsLetter(wchar16 unit) const { return Code[unit] != NoLetter; }
    bool IsVowel(wchar16 unit) const { return IsLetter(unit) && Flags[Code[unit]] != 0; }

    // Building and whole-word translation belong to the dictionary compiler (lemmer_compiler).
    //
    // Fills the alphabet from a class table of 65536 bytes (0x02 letter, 0x80 word sign, 0x01
    // vowel): every letter and sign, folded to lower case, in ascending order of units; at most
    // 254 letters, further ones are dropped.
    void Build(const uint8_t* classTable, uint32_t tupleLength);
    // The tuple number of the first T units (missing positions count as the empty letter), the
    // first unit the least significant digit; BadTuple when one of them is no letter; 0 when T
    // is 0. Applied to a reversed stem it agrees with EncodeSuffix of the stem.
    uint64_t EncodePrefix(const wchar16* units, size_t length) const;
    // Adds a unit as the next letter; true when it is (or already was) a letter, false when
    // the alphabet is full. An existing letter keeps its flag.
    bool AddLetter(wchar16 unit, bool vowel);
    // AddLetter for each unit in order; false at the first unit that no longer fits.
    bool AddLetters(const TUtf16String& text, bool vowel);
    // One index byte per unit; empty when a unit is no letter.
    Stroka Encode(const wchar16* units, size_t length) const;
    // The letters of index bytes; empty when a byte names no letter.
    TUtf16String Decode(const char* bytes, size_t length) const;

    uint32_t TupleLength;
    uint32_t LetterCount;
    uint8_t Code[65536];
    uint16_t Letters[256];
    uint8_t Flags[256];
};

// The loader reads the record straight from the stored bytes.
static_assert(sizeof(TAlphabetTupleCodec) == 66312);
static_assert(std::is_trivially_copyable_v<TAlphabetTupleCodec>);
