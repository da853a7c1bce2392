// Per-code-point Unicode data: the property records (category, case deltas, combining
// class, normalisation quick-check bits) and the decomposition tables.
//
// Every table is a two-level array built once on first use: an entry of code point cp is
// Pages[cp >> 5][cp & 31]. The descriptors live until the process ends and may be read from
// any thread once obtained (first use is serialised by a function-local static guard).
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>

// The system's 57 character categories: the low 6 bits of TUnicodeCharInfo::Info. They refine
// Unicode's general categories (letters of several kinds, quotes by shape, controls by role);
// the replacement byte of a code page that lacks a character is chosen by this number.
enum EUnicodeCategory : uint32_t {
    UC_UNASSIGNED = 0,              // unassigned, private use, noncharacters
    UC_UPPER = 1,                   // upper-case letters
    UC_LOWER = 2,                   // lower-case letters
    UC_TITLE = 3,                   // title-case letters
    UC_MODIFIER_SYMBOL_LETTER = 4,  // modifier letters that are not letters of a word (U+02C7)
    UC_MODIFIER_LETTER = 5,         // modifier letters that are small letters (U+02B0)
    UC_OTHER_LETTER = 6,
    UC_IDEOGRAPH = 7,
    UC_KATAKANA = 8,
    UC_HIRAGANA = 9,
    UC_JAMO_LEADING = 10,
    UC_JAMO_VOWEL = 11,
    UC_JAMO_TRAILING = 12,
    UC_MARK_NONSPACING = 13,
    UC_MARK_ENCLOSING = 14,
    UC_MARK_SPACING = 15,
    UC_DIGIT = 16,
    UC_LETTER_NUMBER = 17,
    UC_IDEOGRAPHIC_NUMBER = 18,
    UC_OTHER_NUMBER = 19,
    UC_SPACE = 20,
    UC_ZERO_WIDTH_SPACE = 21,
    UC_LINE_SEPARATOR = 22,
    UC_PARAGRAPH_SEPARATOR = 23,
    UC_CONTROL = 24,
    UC_CONTROL_SPACE = 25,      // U+0009 to U+000D
    UC_CONTROL_SEPARATOR = 26,  // U+001C to U+001F
    UC_FORMAT = 27,
    UC_JOINER = 28,               // U+200C, U+200D, U+2060
    UC_BIDI = 29,                 // direction marks and embeddings
    UC_ZERO_WIDTH_NO_BREAK = 30,  // U+FEFF
    UC_LOW_SURROGATE = 31,
    UC_HIGH_SURROGATE = 32,
    UC_DASH = 33,
    UC_HYPHEN = 34,
    UC_OPEN = 35,
    UC_OPEN_QUOTE = 36,
    UC_CLOSE = 37,
    UC_CLOSE_QUOTE = 38,
    UC_INITIAL_QUOTE = 39,
    UC_FINAL_QUOTE = 40,
    UC_CONNECTOR = 41,
    UC_OTHER_PUNCTUATION = 42,
    UC_QUOTE = 43,
    UC_TERMINAL = 44,
    UC_MIDDLE_DOT = 45,
    UC_PUNCTUATION_HYPHEN = 46,  // U+30FB, U+FF65
    UC_MATH = 47,
    UC_MINUS = 48,
    UC_CURRENCY = 49,
    UC_MODIFIER_SYMBOL = 50,
    UC_OTHER_SYMBOL = 51,
    UC_OPEN_SINGLE_QUOTE = 52,
    UC_CLOSE_SINGLE_QUOTE = 53,
    UC_INITIAL_SINGLE_QUOTE = 54,
    UC_FINAL_SINGLE_QUOTE = 55,
    UC_SINGLE_QUOTE = 56,  // apostrophes and primes
    UC_CATEGORY_COUNT = 57,
};

constexpr uint32_t UNICODE_CATEGORY_MASK = 0x3F;
// Set when compatibility decomposition leaves the code point unchanged.
constexpr uint32_t UNICODE_NFKD_STABLE = 0x4000;
// Set when compatibility composition leaves the code point unchanged (not even a possible
// second of a composed pair).
constexpr uint32_t UNICODE_NFKC_STABLE = 0x8000;

// Number of code points with a property record: every code point, U+0000 to U+10FFFF, so that
// the last two (noncharacters, but valid text) keep their own records and survive decoding and
// case changes instead of turning into U+FFFD.
constexpr size_t UNICODE_TABLE_SIZE = 0x110000;
// The pages of the property table cover the whole code space, 32 code points a page.
constexpr size_t UNICODE_CODE_SPACE = 0x110000;
// Number of code points covered by the decomposition tables (U+0000 to U+2FA1D).
constexpr size_t DECOMPOSITION_TABLE_SIZE = 195102;
// The record that stands for values beyond the property table (a private-use character).
constexpr uint32_t UNICODE_FALLBACK_CODE_POINT = 0xE001;

// The property record of one code point. Five 32-bit words; the mapped code point of a case
// change is the code point plus the delta, modulo 2^32.
struct TUnicodeCharInfo {
    uint32_t Info;       // category in the low 6 bits, UNICODE_NFK*_STABLE bits
    int32_t LowerDelta;  // simple lower-case mapping
    int32_t UpperDelta;  // simple upper-case mapping
    int32_t TitleDelta;  // simple title-case mapping
    uint32_t Combining;  // canonical combining class in the low byte

    uint32_t Category() const { return Info & UNICODE_CATEGORY_MASK; }
    uint8_t CombiningClass() const { return static_cast<uint8_t>(Combining); }
};

// {two-level table, number of code points}. Reading an entry below Size is always valid.
template <class T>
struct TUnicodeTableDescriptor {
    const T* const* Pages;
    size_t Size;

    bool Contains(uint32_t cp) const { return cp < Size; }
    // REQUIRES: Contains(cp).
    const T& operator[](uint32_t cp) const {
        assert(Contains(cp));
        return Pages[cp >> 5][cp & 31];
    }
};

using TUnicodeDataDescriptor = TUnicodeTableDescriptor<TUnicodeCharInfo>;
// An entry is null (no decomposition) or a 0-terminated string of UTF-32 code points.
using TDecompositionDescriptor = TUnicodeTableDescriptor<const uint32_t*>;

// The property records of all UNICODE_TABLE_SIZE code points.
const TUnicodeDataDescriptor& UnicodeDataTable();
// Full (recursively expanded) compatibility decompositions, Hangul syllables included.
const TDecompositionDescriptor& CompatDecompositionTable();
// Full canonical decompositions, Hangul syllables included.
const TDecompositionDescriptor& CanonDecompositionTable();
// The canonical table with U+00DF as "ss" and U+0419, U+0439 mapped to themselves.
const TDecompositionDescriptor& CustomDecompositionTable();

// The record of cp; a value beyond the table takes the record of UNICODE_FALLBACK_CODE_POINT.
// Raises kexception "Invalid index" only if the table did not reach that record.
const TUnicodeCharInfo& UnicodeCharInfo(uint32_t cp);

inline uint32_t UnicodeCategory(uint32_t cp) {
    return UnicodeCharInfo(cp).Category();
}

// Simple case mappings of one code point (the code point itself when it has none).
inline uint32_t UnicodeToLower(uint32_t cp) {
    return cp + static_cast<uint32_t>(UnicodeCharInfo(cp).LowerDelta);
}
inline uint32_t UnicodeToUpper(uint32_t cp) {
    return cp + static_cast<uint32_t>(UnicodeCharInfo(cp).UpperDelta);
}
inline uint32_t UnicodeToTitle(uint32_t cp) {
    return cp + static_cast<uint32_t>(UnicodeCharInfo(cp).TitleDelta);
}

// The entry of cp in a decomposition table; null when it has none or lies beyond the table.
inline const uint32_t* DecompositionOf(const TDecompositionDescriptor& table, uint32_t cp) {
    return table.Contains(cp) ? table[cp] : nullptr;
}
