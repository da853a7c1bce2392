// Grammeme sets: a grammar held as a fixed set of bits, one per grammeme code 127 to 249, so
// that grammars are compared, combined and tested with word operations instead of walks over
// grammar strings.
//
// A set is built from a grammar string, from codes, from names or from hexadecimal text, and
// turned back into codes, names or hexadecimal text:
//     TGramBitSet set = TGramBitSet::FromCodes(grammar);
//     if (set.HasAny(AllCaseGrammemes)) ...
//     set.ToString(",", true);  // "S,gen,sg"
// Any operation given a code outside 127 to 249 raises the standard out-of-range error
// "bitset"; the name and hexadecimal parsers raise TGramBitSet::TException.
#pragma once

#include "util/generic/exception.h"
#include "util/generic/string.h"
#include "util/stream/output.h"

#include <bit>
#include <cstddef>
#include <cstdint>

// A set of grammemes; a plain value, copied freely and safe to read from any thread. The bit
// of code c is bit c - 127: word 0 holds 127 to 190, word 1 holds 191 to 249 in its low 59
// bits; the bits above are always 0.
class TGramBitSet {
public:
    // The error of the name and hexadecimal parsers.
    class TException : public kexception {};

    static constexpr uint32_t FirstCode = 127;
    static constexpr uint32_t LastCode = 249;
    // The number of bits; FindNext answers it when no bit is left.
    static constexpr uint64_t BitCount = LastCode - FirstCode + 1;

    constexpr TGramBitSet() noexcept = default;
    constexpr TGramBitSet(uint64_t word0, uint64_t word1) noexcept
        : Words_{word0, word1 & HighWordMask} {}

    // From grammar strings and code bytes; null or empty gives the empty set. The codes set
    // before a bad one stay set in AddCodes.
    static TGramBitSet FromCodes(const char* grammar);
    static TGramBitSet FromCodeRange(const char* bytes, size_t length);
    static void AddCodes(const char* grammar, TGramBitSet& set);
    static void AddGrammars(const char* common, const char* form, TGramBitSet& set);

    static constexpr TGramBitSet Make(uint32_t a, uint32_t b, uint32_t c) {
        TGramBitSet s;
        s.Set(a).Set(b).Set(c);
        return s;
    }
    static constexpr TGramBitSet Make(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
        TGramBitSet s = Make(a, b, c);
        s.Set(d);
        return s;
    }

    // From names joined by any byte of `delimiters` (Latin, UTF-8 Cyrillic or code-page-9
    // Cyrillic names). Whitespace around the text and after each delimiter is dropped;
    // whitespace before a delimiter stays in the name. An empty name or one the grammeme table
    // lacks raises TException "Unknown grammem " + the name between double quotes; a text of
    // whitespace gives the empty set.
    static TGramBitSet FromString(TCharRange text, const char* delimiters);
    // The same, but the empty set where FromString raises TException.
    static TGramBitSet FromStringOrEmpty(TCharRange text, const char* delimiters);
    // The same over UTF-16 text: each name is looked up in code page 9, and the message shows
    // it in UTF-8. A name longer than 256 units is unknown.
    static TGramBitSet FromWideString(TWCharRange text, const char* delimiters);
    // From two hexadecimal digits per code (either case). A bad digit or an odd length raises
    // TException "String " + the text between double quotes + " is not a valid hex.".
    static TGramBitSet FromHexString(const Stroka& text);

    constexpr TGramBitSet& Set(uint32_t code) {
        const uint32_t bit = BitOf(code);
        Words_[bit >> 6] |= uint64_t(1) << (bit & 63);
        return *this;
    }
    constexpr TGramBitSet& Reset(uint32_t code) {
        const uint32_t bit = BitOf(code);
        Words_[bit >> 6] &= ~(uint64_t(1) << (bit & 63));
        return *this;
    }
    constexpr bool Test(uint32_t code) const {
        const uint32_t bit = BitOf(code);
        return (Words_[bit >> 6] >> (bit & 63)) & 1;
    }

    // The lowest set bit above `bit` (-1 asks for the first one); BitCount when there is none
    // or when `bit` lies outside -1 to 126.
    uint64_t FindNext(int64_t bit) const noexcept;
    uint64_t FindFirst() const noexcept { return FindNext(-1); }

    constexpr bool Empty() const noexcept { return (Words_[0] | Words_[1]) == 0; }
    int Count() const noexcept { return std::popcount(Words_[0]) + std::popcount(Words_[1]); }
    constexpr bool HasAny(const TGramBitSet& s) const noexcept { return !(*this & s).Empty(); }
    constexpr bool HasAll(const TGramBitSet& s) const noexcept { return (*this & s) == s; }
    constexpr uint64_t Word(size_t i) const noexcept { return Words_[i]; }

    // Appends the codes, one byte each, in rising order.
    void ToCodes(Stroka& out) const;
    // Two upper-case hexadecimal digits per code, in rising order.
    Stroka ToHexString() const;
    // The names in rising code order with `separator` (may be null) between them: the Latin
    // names when `latin`, else the code-page-9 Cyrillic names.
    void ToText(TOutputStream& out, const char* separator, bool latin) const;
    Stroka ToString(const char* separator, bool latin) const;

    constexpr TGramBitSet& operator|=(const TGramBitSet& s) noexcept {
        Words_[0] |= s.Words_[0];
        Words_[1] |= s.Words_[1];
        return *this;
    }
    constexpr TGramBitSet& operator&=(const TGramBitSet& s) noexcept {
        Words_[0] &= s.Words_[0];
        Words_[1] &= s.Words_[1];
        return *this;
    }
    friend constexpr TGramBitSet operator|(TGramBitSet a, const TGramBitSet& b) noexcept {
        return a |= b;
    }
    friend constexpr TGramBitSet operator&(TGramBitSet a, const TGramBitSet& b) noexcept {
        return a &= b;
    }
    // The codes 127 to 249 not in the set.
    friend constexpr TGramBitSet operator~(const TGramBitSet& a) noexcept {
        return TGramBitSet(~a.Words_[0], ~a.Words_[1]);
    }
    friend constexpr bool operator==(const TGramBitSet& a, const TGramBitSet& b) noexcept {
        return a.Words_[0] == b.Words_[0] && a.Words_[1] == b.Words_[1];
    }
    // By word 0 as an unsigned number, then by word 1.
    friend constexpr bool operator<(const TGramBitSet& a, const TGramBitSet& b) noexcept {
        return a.Words_[0] != b.Words_[0] ? a.Words_[0] < b.Words_[0] : a.Words_[1] < b.Words_[1];
    }

private:
    static constexpr uint64_t HighWordMask = (uint64_t(1) << (BitCount - 64)) - 1;

    static constexpr uint32_t BitOf(uint32_t code) {
        if (code < FirstCode || code > LastCode) {
            ThrowRangeError("bitset");
        }
        return code - FirstCode;
    }

    uint64_t Words_[2] = {0, 0};
};

// The predefined sets.
inline constexpr TGramBitSet GenderGrammemes = TGramBitSet::Make(191, 192, 193, 194);  // f m n mf
inline constexpr TGramBitSet MainCaseGrammemes =
    TGramBitSet::Make(165, 166, 167, 168) | TGramBitSet::Make(168, 169, 170);        // nom to abl
inline constexpr TGramBitSet ExtraCaseGrammemes = TGramBitSet::Make(171, 172, 173);  // part loc voc
inline constexpr TGramBitSet AllCaseGrammemes = MainCaseGrammemes | ExtraCaseGrammemes;
inline constexpr TGramBitSet NumberGrammemes = TGramBitSet::Make(174, 175, 174);      // sg pl
inline constexpr TGramBitSet TenseGrammemes = TGramBitSet::Make(160, 161, 162, 163);  // not aor
inline constexpr TGramBitSet PersonGrammemes = TGramBitSet::Make(188, 189, 190);
inline constexpr TGramBitSet AllGrammemes = ~TGramBitSet();
