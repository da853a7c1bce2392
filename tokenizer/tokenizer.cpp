#include "tokenizer/tokenizer.h"

#include "tokenizer/sentence_break.h"
#include "tokenizer/text_tokenizer.h"
#include "util/charset/codepage.h"

#include <vector>

void TokenizeWide(const TTokenizerConfig& config, const wchar16* text, size_t length,
                  bool paragraphBreaks, int32_t checkerMode) {
    TSentenceBreakChecker checker(checkerMode);
    TTextTokenizer tokenizer(config.Handler, &checker, paragraphBreaks, config.SplitTokens);
    try {
        tokenizer.Execute(text, length);
    } catch (const ITokenHandler::TAllDoneException&) {
    }
}

void TokenizeNarrow(const TTokenizerConfig& config, const char* text, size_t length,
                    bool paragraphBreaks, int32_t checkerMode) {
    const uint32_t* table = CodePageByCharset(CODES_KORVEL)->Unicode;
    std::vector<wchar16> wide(length);
    for (size_t i = 0; i < length; ++i) {
        wide[i] = static_cast<wchar16>(table[static_cast<uint8_t>(text[i])]);
    }
    TokenizeWide(config, wide.data(), length, paragraphBreaks, checkerMode);
}

int32_t GetTokenTypeByParts(const TTokenPart* parts, size_t count) {
    const uint32_t kind = parts[0].Kind;
    for (size_t i = 1; i < count; ++i) {
        if (parts[i].Kind != kind) {
            return TOKEN_MIXED;
        }
    }
    switch (kind) {
        case PART_LETTERS:
            return TOKEN_WORD;
        case PART_DIGITS:
            return TOKEN_INTEGER;
        case PART_FLOAT:
            return TOKEN_FLOAT;
        default:
            return TOKEN_MIXED;
    }
}

namespace {

template <class TChar>
int32_t GuessNumberType(const TChar* text, size_t length) {
    if (length == 0) {
        return TOKEN_MIXED;
    }
    auto isDigit = [](TChar c) { return (c >= '0' && c <= '9') || c == 0; };
    if (!isDigit(text[0])) {
        for (size_t i = 0; i < length; ++i) {
            if (text[i] == 0) {
                return TOKEN_MIXED;
            }
            if (text[i] >= '0' && text[i] <= '9') {
                return TOKEN_MIXED;
            }
        }
        return TOKEN_WORD;
    }
    // States: 0 digits, 1 digits and a full stop, 2 digits after the full stop.
    static constexpr int32_t TYPE_BY_STATE[3] = {TOKEN_INTEGER, TOKEN_FLOAT, TOKEN_FLOAT};
    int state = 0;
    for (size_t i = 0; i < length; ++i) {
        if (isDigit(text[i])) {
            state = state == 0 ? 0 : 2;
        } else if (text[i] == '.' && state == 0) {
            state = 1;
        } else {
            return TOKEN_MIXED;
        }
    }
    return TYPE_BY_STATE[state];
}

}  // namespace

int32_t GuessNumberTokenType(const wchar16* text, size_t length) {
    return GuessNumberType(text, length);
}

int32_t GuessNumberTokenType(const char* text, size_t length) {
    return GuessNumberType(text, length);
}
