// The token model: what the tokeniser hands to a token handler and what the sentence-break
// checker, the analyser's handler and the morphology (AnalyzeWord) read.
//
// A token is a view of UTF-16 text with its word parts. It lives at the bottom of the
// morphology, which the tokeniser includes anyway, so that both read one model and neither
// reaches back into the other.
#pragma once

#include "util/generic/exception.h"
#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>
#include <span>

// Token types: the third argument of ITokenHandler::OnToken.
enum ETokenType : int32_t {
    TOKEN_WORD = 1,       // all parts are letters
    TOKEN_INTEGER = 2,    // all parts are digits
    TOKEN_FLOAT = 3,      // digits, a full stop and digits (or parts all of kind 3)
    TOKEN_MIXED = 4,      // parts of different kinds, or of kind 2
    TOKEN_SENTENCE = 5,   // punctuation that ends a sentence
    TOKEN_PARAGRAPH = 6,  // two or more line breaks, when paragraphs are reported
    TOKEN_OTHER = 7,      // blanks, punctuation, symbols, prefixes, gaps between split groups
};

// Kinds of a token part.
enum ETokenPartKind : uint32_t {
    PART_LETTERS = 0,
    PART_DIGITS = 1,
    PART_MIXED = 2,     // touching parts of different kinds merged into one
    PART_FLOAT = 3,     // digits, a full stop and digits
    PART_OVERFLOW = 4,  // the 63rd part that absorbed the rest of a long token
};

// How a part is glued to the next one when the token is rebuilt.
enum ETokenPartJoin : uint32_t {
    JOIN_NONE = 0,
    JOIN_HYPHEN_LINE_BREAK = 1,
    JOIN_SOFT_HYPHEN = 2,
};

// The joiner character between a part and the next.
enum ETokenPartDelim : uint32_t {
    DELIM_NONE = 0,  // the parts touch; always so for the last part
    DELIM_APOSTROPHE = 1,
    DELIM_HYPHEN = 2,
    DELIM_PLUS = 3,
    DELIM_UNDERSCORE = 4,
    DELIM_SLASH = 5,
    DELIM_AT = 6,
    DELIM_FULL_STOP = 7,
};

// Most parts a token may carry; an emitted token of touching parts carries at most 62.
constexpr size_t MAX_TOKEN_PARTS = 63;
// Most units of an emitted word token (types 1 to 4).
constexpr size_t MAX_WORD_TOKEN_LENGTH = 255;

// One part of a word token; a plain 32-byte record copied by value. Positions count UTF-16
// units from the start of the token's text.
struct TTokenPart {
    uint64_t Pos = 0;
    uint64_t Len = 0;
    uint16_t PrefixLen = 0;  // "#", "$" or "@" directly before Pos
    uint16_t SuffixLen = 0;  // "+", "++" or "#" directly after the part
    uint32_t Kind = PART_LETTERS;
    uint32_t Join = JOIN_NONE;
    uint32_t Delim = DELIM_NONE;

    uint64_t End() const { return Pos + Len; }
    friend bool operator==(const TTokenPart&, const TTokenPart&) = default;
};
static_assert(sizeof(TTokenPart) == 32);

// A token as its handler sees it: text (not terminated), its length in units and its parts in
// text order, non-overlapping, each inside the text. Valid only during OnToken: a handler that
// keeps any of it copies it.
struct TTokenView {
    const wchar16* Text = nullptr;
    size_t Length = 0;
    std::span<const TTokenPart> Parts;
};

// The receiver of tokens. The tokeniser never owns it. Not required to be thread-safe: one
// tokeniser call uses it from one thread.
class ITokenHandler {
public:
    // Thrown by a handler to stop tokenising; the tokeniser's entry point catches it and
    // returns normally.
    class TAllDoneException : public kexception {};

    virtual ~ITokenHandler() = default;

    // Called once per token, in text order. sourceLength is the number of units of the scanned
    // text the token stands for: it exceeds token.Length when the token was rebuilt, cut or
    // decoded from percent escapes.
    virtual void OnToken(const TTokenView& token, size_t sourceLength, int32_t type) = 0;
};

// Break types, a separate 2-bit code.
enum EBreakType : uint32_t {
    ST_NOBRK = 0,
    ST_SENTBRK = 1,
    ST_PARABRK = 3,
};

// "ST_NOBRK", "ST_SENTBRK", "" or "ST_PARABRK"; bits 2 and 3 of the code are ignored and higher
// bits select the same four names.
inline const char* BreakTypeName(uint32_t breakType) {
    static const char* const NAMES[4] = {"ST_NOBRK", "ST_SENTBRK", "", "ST_PARABRK"};
    return NAMES[(breakType & ~12u) & 3u];
}
