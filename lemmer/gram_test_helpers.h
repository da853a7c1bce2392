// Grammar strings for the grammeme tests, written as lists of codes.
#pragma once

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
