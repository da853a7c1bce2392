#include "util/convert/text_predicates.h"

namespace {

bool IsSpaceByte(unsigned char c) noexcept {
    return c == ' ' || (c >= 9 && c <= 13);
}

unsigned char FoldAscii(unsigned char c) noexcept {
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

// Whole-word comparison: a prefix of a word is not the word ("o" is neither "on" nor "off"),
// and a NUL inside the text is an ordinary byte that matches nothing.
bool EqualsWord(const TCharRange& text, const char* word) noexcept {
    size_t i = 0;
    for (; word[i]; ++i) {
        if (i == text.Length || FoldAscii(text.Data[i]) != static_cast<unsigned char>(word[i])) {
            return false;
        }
    }
    return i == text.Length;
}

bool IsOneOf(const TCharRange& text, const char* const* words) noexcept {
    for (; *words; ++words) {
        if (EqualsWord(text, *words)) {
            return true;
        }
    }
    return false;
}

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

bool IsTrue(const TCharRange& text) noexcept {
    static const char* const words[] = {"da", "yes", "on", "1", "true", nullptr};
    return IsOneOf(text, words);
}

bool IsFalse(const TCharRange& text) noexcept {
    static const char* const words[] = {"net", "no", "off", "0", "false", nullptr};
    return IsOneOf(text, words);
}
