// Converts the analyser's output text into the output encoding: UTF-16 text (words, lemmas,
// copied text) and the grammeme names, which are held in the system's own page (code 9).
#pragma once

#include "util/charset/codepage.h"
#include "util/charset/iconv.h"
#include "util/generic/string.h"

#include <cstddef>
#include <memory>
#include <vector>

struct Encoder;

// Appends converted text to a caller's buffer. Single-byte pages write each character's byte
// or the page's replacement byte, UTF-8 writes every code point (a broken high surrogate as
// U+FFFD), every other page goes through one iconv converter kept for the run: what the page
// cannot hold is left out, the output grows as a character needs, and every piece ends in the
// initial shift state, so each piece reads on its own in a stateful encoding. Not thread-safe.
class TOutputRecoder {
public:
    // Raises kexception "Invalid charset code " + code for a code outside 0 to 112.
    explicit TOutputRecoder(ECharset code);
    ~TOutputRecoder();

    // False for a page that writes an ASCII character in more than one byte (UTF-16): the
    // marks of the output format then go through AppendAscii, as its bytes would be misread.
    // True for every other page, which takes the marks as they are.
    bool AsciiIsOneByte() const noexcept { return AsciiForms_.empty(); }
    // Appends ASCII text (bytes 0 to 0x7F) as the page writes it.
    void AppendAscii(const char* text, size_t length, Stroka& out) const;

    // Raises "Can not convert from UTF-16LE to <name>" when iconv cannot write the page and
    // "Unknown iconv error" for any other iconv failure; what was appended before stays.
    void AppendUtf16(const wchar16* text, size_t length, Stroka& out);

    // Appends text of code page 9. Raises "Recode failed" when it cannot be converted.
    void AppendKorvel(const char* text, size_t length, Stroka& out);

private:
    void OpenConverter();
    // Fills AsciiForms_ when the page's ASCII characters are wider than one byte.
    void LearnAsciiForms();

    const CodePage& Page_;
    const Encoder* Encoder_ = nullptr;  // single-byte pages only
    std::unique_ptr<TIconvConverter> Converter_;
    std::vector<Stroka> AsciiForms_;  // empty, or the page's form of each of the 128 characters
};
