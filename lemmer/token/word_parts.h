// The parts of a word as maximal runs of units other than joiners, for the callers that
// analyse words without running the tokeniser (tests, tools, fuzz targets).
#pragma once

#include "lemmer/token/token.h"

#include <cstddef>
#include <vector>

namespace NLemmer {

// Hyphens and apostrophes, as the tokeniser joins the parts of a word.
inline bool IsWordJoiner(wchar16 unit) {
    return unit == u'-' || unit == u'\'' || unit == u'\u2019';
}

// Replaces `parts` with the runs of `text[0, length)` between joiners.
template <class TIsJoiner>
void SplitWordParts(const wchar16* text, size_t length, std::vector<TTokenPart>& parts,
                    TIsJoiner isJoiner) {
    parts.clear();
    size_t i = 0;
    while (i < length) {
        if (isJoiner(text[i])) {
            ++i;
            continue;
        }
        TTokenPart part;
        part.Pos = i;
        while (i < length && !isJoiner(text[i])) {
            ++i;
        }
        part.Len = i - part.Pos;
        parts.push_back(part);
    }
}

inline void SplitWordParts(const wchar16* text, size_t length, std::vector<TTokenPart>& parts) {
    SplitWordParts(text, length, parts, IsWordJoiner);
}

}  // namespace NLemmer
