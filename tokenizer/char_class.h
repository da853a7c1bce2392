// Character classes of the scanner: every UTF-16 unit belongs to exactly one. They follow the
// general categories of Unicode 4.0 with the tokeniser's own exceptions (quotes, dashes and
// sentence punctuation by role); a code point Unicode 4.0 did not assign, and a private-use
// one, is Terminal.
#pragma once

#include "util/generic/string.h"

#include <cstdint>

enum ECharClass : uint8_t {
    CC_NUL,
    CC_TAB,
    CC_LINE_BREAK,
    CC_VERTICAL_SPACE,
    CC_RETURN,
    CC_SPACE,
    CC_TERMINAL,
    CC_FULL_STOP,
    CC_QUOTE,
    CC_APOSTROPHE,
    CC_OPEN_BRACKET,
    CC_CLOSE_BRACKET,
    CC_NUMBER_SIGN,
    CC_DOLLAR,
    CC_PERCENT,
    CC_PLUS,
    CC_SLASH,
    CC_AT,
    CC_UNDERSCORE,
    CC_DASH,
    CC_SOFT_HYPHEN,
    CC_ASCII_DIGIT,
    CC_OTHER_DIGIT,
    CC_HEX_UPPER,
    CC_UPPER,
    CC_HEX_LOWER,
    CC_LOWER,
    CC_IDEOGRAPH,
    CC_HANGUL_TAIL,
    CC_COMBINING,
    CC_MISC,
    CC_SURROGATE,
    CC_CLASS_COUNT,
};

// The 65536 class numbers, built once on first use; the pointer stays valid until exit and
// may be read from any thread.
const uint8_t* CharClassTable();

inline ECharClass CharClassOf(wchar16 unit) {
    return static_cast<ECharClass>(CharClassTable()[unit]);
}

inline bool IsLetterClass(uint8_t c) {
    return c == CC_HEX_UPPER || c == CC_UPPER || c == CC_HEX_LOWER || c == CC_LOWER;
}
inline bool IsDigitClass(uint8_t c) {
    return c == CC_ASCII_DIGIT || c == CC_OTHER_DIGIT;
}
inline bool IsUpperClass(uint8_t c) {
    return c == CC_HEX_UPPER || c == CC_UPPER;
}
inline bool IsHexDigitClass(uint8_t c) {
    return c == CC_ASCII_DIGIT || c == CC_HEX_UPPER || c == CC_HEX_LOWER;
}
