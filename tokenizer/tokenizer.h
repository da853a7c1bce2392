// The tokeniser: cuts UTF-16 text into typed tokens (words of one or more parts, numbers,
// punctuation, blanks, sentence and paragraph breaks) and hands each to a token handler.
//
// Usage: fill a TTokenizerConfig with the handler and call TokenizeWide once per line of text.
// Every unit of the text is accounted for: the source lengths of the tokens add up to the
// text's length. A handler stops the call early by throwing ITokenHandler::TAllDoneException.
#pragma once

#include "lemmer/token/token.h"

#include <cstddef>
#include <cstdint>

struct TTokenizerConfig {
    ITokenHandler* Handler = nullptr;
    // Hand multi-part tokens on as their groups (words, numbers) with the joiners between
    // them as separate tokens.
    bool SplitTokens = true;
};

// Tokenises text[0, length). Runs of two or more line breaks are reported as TOKEN_PARAGRAPH
// when paragraphBreaks is set, else as TOKEN_OTHER. checkerMode 1 judges sentence breaks
// without the abbreviation sets. Exceptions of the handler other than TAllDoneException pass
// to the caller. Reentrant; one call uses the handler from the calling thread only.
void TokenizeWide(const TTokenizerConfig& config, const wchar16* text, size_t length,
                  bool paragraphBreaks = false, int32_t checkerMode = 0);

// The same over 8-bit text of the internal single-byte code page (0x20-0x7E as themselves,
// 0xC0-0xFF the Cyrillic letters U+0410-U+044F).
void TokenizeNarrow(const TTokenizerConfig& config, const char* text, size_t length,
                    bool paragraphBreaks = false, int32_t checkerMode = 0);

// The token type that a list of parts implies: one kind throughout gives 1 for letters, 2 for
// digits, 3 for fractional numbers and 4 otherwise; mixed kinds give 4. REQUIRES: parts exist.
int32_t GetTokenTypeByParts(const TTokenPart* parts, size_t count);

// The type of a number-like text: 2 digits only, 3 digits with one full stop, 1 no digit at
// all, 4 anything else (and the empty text).
int32_t GuessNumberTokenType(const wchar16* text, size_t length);
int32_t GuessNumberTokenType(const char* text, size_t length);
