// The grammeme table: the names and the grammatical category of every grammeme code.
//
// A grammeme (a part of speech, a case, a number, a stylistic label ...) travels through the
// analyser as one byte, its code (127 to 249; 209 to 213 are unassigned). The table gives each
// code a Latin name, a Cyrillic name (as registered in UTF-8, and recoded into code page 9,
// "korvel", the form the printer writes) and a category mask, and finds the code of any of
// those three names. The process-wide table holds the built-in grammemes and is complete
// before main runs:
//     const TGrammemeTable& table = TGrammemeTable::Instance();
//     table.GetLatinName(136);        // "S"
//     table.FindCode(TCharRange("nom"));  // 165
#pragma once

#include "lemmer/grammar/grammeme_data.h"
#include "lemmer/grammar/grammeme_name_index.h"
#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// One bit per grammatical category; a grammeme has at most one of them.
enum EGramCategory : uint32_t {
    GC_PART_OF_SPEECH = 0x1,
    GC_TENSE = 0x2,
    GC_CASE = 0x4,
    GC_NUMBER = 0x8,
    GC_MOOD = 0x10,
    GC_ADJ_FORM = 0x20,
    GC_COMPARISON = 0x40,
    GC_POSSESSIVE = 0x80,
    GC_PERSON = 0x100,
    GC_GENDER = 0x200,
    GC_ASPECT = 0x400,
    GC_VOICE = 0x800,
    GC_ANIMACY = 0x1000,
    GC_PREDICATIVE = 0x2000,
    GC_PARENTHETICAL = 0x4000,
    GC_TRANSITIVITY = 0x8000,
    GC_PROPER_NAME = 0x10000,
    GC_DEFINITENESS = 0x20000,
    GC_DERIVATION = 0x40000,
    GC_VERB_SUBTYPE = 0x80000,
    GC_PREDICATIVE_PERSON = 0x80000000,
};

// The parts of speech a hypothesis may have: bit (code - 127) for each allowed part-of-speech
// code, tested against the first byte of a common grammar.
inline constexpr uint32_t POS_MASK_HYPOTHESIS_LONG = 0xE06;    // A, ADV, S, V, ANUM
inline constexpr uint32_t POS_MASK_HYPOTHESIS_PREFIX = 0x202;  // A, S
inline constexpr uint32_t POS_MASK_HYPOTHESIS_SHORT = 0x200;   // S

// The lowest and the highest registered grammeme code.
inline constexpr uint32_t MinGrammemeCode = 127;
inline constexpr uint32_t MaxGrammemeCode = 249;

// Names and categories by code, and codes by name.
//
// Every byte value indexes the table: an unregistered code has empty names and mask 0. The
// process-wide instance is built before main and only read afterwards, so it may be read from
// any thread without a lock; a table being filled with AddGrammem is not thread-safe.
class TGrammemeTable {
public:
    // An empty table: 256 codes without names, the name index with 7 buckets.
    TGrammemeTable();
    // A table of the given rows, registered in order.
    TGrammemeTable(const TGrammemeRow* rows, size_t count);

    // The process-wide table of the built-in grammemes.
    static const TGrammemeTable& Instance();

    // Registers one grammeme; null names count as empty. The code is entered in the name index
    // under the UTF-8 Cyrillic name, the code-page-9 Cyrillic name and the Latin name; a name
    // already in the index moves to this code. A code of 256 or more grows the table first.
    // Raises the error of DecodeUtf8 for malformed UTF-8.
    void AddGrammem(uint32_t code, const char* cyrillicName, const char* latinName,
                    uint32_t categoryMask);

    // The code registered under the name (exact and case-sensitive), 0 when there is none.
    uint32_t FindCode(TCharRange name) const noexcept { return Index_.Find(name); }
    uint32_t FindCode(const char* name, size_t length) const noexcept {
        return Index_.Find(TCharRange(name, length));
    }

    // NUL-terminated names; "" for an unregistered code or a code beyond the table. The
    // Cyrillic name is the code-page-9 form.
    const char* GetCyrillicName(uint32_t code) const noexcept;
    const char* GetCyrillicUtf8Name(uint32_t code) const noexcept;
    const char* GetLatinName(uint32_t code) const noexcept;
    // 0 for an unregistered code and for a code beyond the table.
    uint32_t GetCategoryMask(uint32_t code) const noexcept {
        return code < CategoryMasks.size() ? CategoryMasks[code] : 0;
    }

    // Number of codes the table covers (256 unless a larger code was registered).
    size_t Size() const noexcept { return CategoryMasks.size(); }

private:
    static const char* NameOf(const std::vector<Stroka>& names, uint32_t code) noexcept {
        return code < names.size() ? names[code].c_str() : "";
    }

    TGrammemeNameIndex Index_;
    std::vector<Stroka> CyrillicNames;      // code page 9
    std::vector<Stroka> CyrillicUtf8Names;  // as registered
    std::vector<Stroka> LatinNames;
    std::vector<uint32_t> CategoryMasks;
};
