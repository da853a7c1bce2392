// Whether a punctuation token ends a sentence. The checker remembers the last word token the
// tokeniser emitted and the number of word tokens since the last break, and judges from that
// word, the first punctuation character and the character that follows the punctuation.
#pragma once

#include "lemmer/token/token.h"

#include <cstddef>
#include <cstdint>

class TAbbreviations;

// One checker serves one tokeniser call (one input line). Not thread-safe.
class TSentenceBreakChecker {
public:
    // Mode 1: no abbreviation sets; any other mode uses the process-wide sets.
    explicit TSentenceBreakChecker(int32_t mode);

    // text[0] is the first unit of the punctuation token, text[length - 1] the upper-case
    // letter or digit after it (length >= 2); the units between are not read. Returns
    // TOKEN_SENTENCE or TOKEN_OTHER. Lower-cases the remembered word's last part in place.
    int32_t Check(const wchar16* text, size_t length);

    // The tokeniser tells the checker of every token it hands on, before handing it on.
    void OnToken(const TTokenView& token, int32_t type);

    // At least two parts, each but the last followed by a full stop.
    bool HasDotJoinedParts() const;

    int32_t Type() const { return Type_; }
    size_t WordCount() const { return WordCount_; }
    const wchar16* Text() const { return Buffer_; }
    size_t Length() const { return Length_; }

private:
    const TAbbreviations* Abbreviations_;
    int32_t Type_ = 0;
    size_t Length_ = 0;
    size_t WordCount_ = 0;
    TTokenPart Parts_[MAX_TOKEN_PARTS];
    size_t PartCount_ = 0;
    wchar16 Buffer_[MAX_WORD_TOKEN_LENGTH + 1];
};
