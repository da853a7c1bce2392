#include "util/convert/text_predicates.h"

namespace {

bool IsSpaceByte(unsigned char c) noexcept {
    return c == ' ' || (c >= 9 && c <= 13);
}

unsigned char FoldAscii(unsigned char c) noexcept {
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

// strncasecmp over the text's length: a non-empty text matches when it is a case-insensitive
// prefix of the word ("y", "Ye", "yes"); a NUL inside the text ends the comparison, so it
// matches only when the bytes before it spell the whole word ("yes\0x" does, "ye\0" does not).
bool MatchesWord(const TCharRange& text, const char* word) noexcept {
    if (!text.Length) {
        return false;
    }
    for (size_t i = 0; i < text.Length; ++i) {
        const unsigned char w = static_cast<unsigned char>(word[i]);
        if (FoldAscii(static_cast<unsigned char>(text.Data[i])) != w) {
            return false;
        }
        if (!w) {
            return true;
        }
    }
    return true;
}

bool MatchesOneOf(const TCharRange& text, const char* const* words) noexcept {
    for (; *words; ++words) {
        if (MatchesWord(text, *words)) {
            return true;
        }
    }
    return false;
}

const char* const TrueWords[] = {"da", "yes", "on", "1", "true", nullptr};
const char* const FalseWords[] = {"net", "no", "off", "0", "false", nullptr};

}  // namespace

bool IsSpace(const char* data, size_t len) noexcept {
    if (!len) {
        return false;
    }
    for (size_t i = 0; i < len; ++i) {
        if (!IsSpaceByte(static_cast<unsigned char>(data[i]))) {
            return false;
        }
    }
    return true;
}

bool IsNumber(const TCharRange& text) noexcept {
    if (!text.Length) {
        return false;
    }
    for (size_t i = 0; i < text.Length; ++i) {
        if (text.Data[i] < '0' || text.Data[i] > '9') {
            return false;
        }
    }
    return true;
}

// A prefix of both a true and a false word ("o" of "on" and "off") is neither.
bool IsTrue(const TCharRange& text) noexcept {
    return MatchesOneOf(text, TrueWords) && !MatchesOneOf(text, FalseWords);
}

bool IsFalse(const TCharRange& text) noexcept {
    return MatchesOneOf(text, FalseWords) && !MatchesOneOf(text, TrueWords);
}
