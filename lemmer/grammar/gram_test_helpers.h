// Grammar strings for the grammeme tests, written as lists of codes, and Cyrillic names as the
// grammeme table keeps them (code page 9).
#pragma once

#include "util/charset/codepage.h"
#include "util/charset/recode.h"
#include "util/charset/utf8.h"

#include <cstring>
#include <initializer_list>
#include <string>

// The grammar string of the given codes, one byte each (no terminating 0 beyond the string's).
inline std::string G(std::initializer_list<int> codes) {
    std::string s;
    for (int c : codes) {
        s += static_cast<char>(c);
    }
    return s;
}

// UTF-8 text in code page 9.
inline std::string Korvel(const char* utf8) {
    const TUtf16String wide = DecodeUtf8(utf8, std::strlen(utf8));
    const Stroka bytes = RecodeFromUtf16(CODES_KORVEL, wide.data(), wide.size());
    return std::string(bytes.data(), bytes.size());
}
