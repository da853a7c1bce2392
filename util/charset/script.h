// The Unicode script of the letters of the Basic Multilingual Plane, by the system's script
// ids.
#pragma once

#include <cstddef>
#include <cstdint>

enum EScript : uint32_t {
    SCRIPT_UNKNOWN = 0,  // not a letter, or no script
    SCRIPT_LATIN = 1,
    SCRIPT_CYRILLIC = 2,
    SCRIPT_GREEK = 3,
    SCRIPT_ARABIC = 4,
    SCRIPT_HEBREW = 5,
    SCRIPT_ARMENIAN = 6,
    SCRIPT_GEORGIAN = 7,
    SCRIPT_HAN = 8,
    SCRIPT_KATAKANA = 9,
    SCRIPT_HIRAGANA = 10,
    SCRIPT_HANGUL = 11,
    SCRIPT_DEVANAGARI = 12,
    SCRIPT_BENGALI = 13,
    SCRIPT_GUJARATI = 14,
    SCRIPT_GURMUKHI = 15,
    SCRIPT_KANNADA = 16,
    SCRIPT_MALAYALAM = 17,
    SCRIPT_ORIYA = 18,
    SCRIPT_TAMIL = 19,
    SCRIPT_TELUGU = 20,
    SCRIPT_THAANA = 21,
    SCRIPT_SINHALA = 22,
    SCRIPT_MYANMAR = 23,
    SCRIPT_THAI = 24,
    SCRIPT_LAO = 25,
    SCRIPT_KHMER = 26,
    SCRIPT_TIBETAN = 27,
    SCRIPT_MONGOLIAN = 28,
    SCRIPT_ETHIOPIC = 29,
    SCRIPT_RUNIC = 30,
    SCRIPT_COPTIC = 31,
    SCRIPT_SYRIAC = 32,
    SCRIPT_OTHER = 33,  // every other script, and languages without one
    SCRIPT_MAX = 34,
};

// The script of a letter (Unicode categories 1 to 12 of the property table) of the BMP;
// SCRIPT_UNKNOWN for anything else, code points from 0x10000 on included. The 64K table is
// built on first use; thread-safe.
EScript ScriptByChar(uint32_t c);
