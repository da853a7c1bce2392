// The code-page registry: one record per charset code with its names, the character of each
// byte of a single-byte page and the replacement bytes for characters the page lacks, plus the
// per-code byte tables (lower case, upper case, and the translations into and out of the
// system's own page "korvel", code 9, which holds the Cyrillic grammeme names).
//
// A charset code is an int: 0 to 112 are the pages of the table, CODES_UNKNOWN (-1) a name not
// in the table and CODES_UNSUPPORTED (-2) an encoding the system does not handle.
#pragma once

#include <cstddef>
#include <cstdint>

using ECharset = int;

constexpr ECharset CODES_UNSUPPORTED = -2;
constexpr ECharset CODES_UNKNOWN = -1;
constexpr ECharset CODES_WIN = 0;
constexpr ECharset CODES_KORVEL = 9;
constexpr ECharset CODES_UTF16BE = 10;
constexpr ECharset CODES_UTF16LE = 11;
constexpr ECharset CODES_UTF8 = 13;
constexpr ECharset CODES_UNKNOWNPLANE = 14;
constexpr ECharset CODES_MAX = 113;  // number of charset codes of the table

constexpr size_t CODEPAGE_NAME_SLOTS = 30;
constexpr size_t CODEPAGE_CATEGORY_COUNT = 57;

// The record of one charset code. Records are built once with the registry and never change
// or go away while the process runs.
struct CodePage {
    ECharset Code;
    // Canonical name first (the name given to iconv), then the aliases; ended by nullptr.
    const char* Names[CODEPAGE_NAME_SLOTS];
    // Character of each byte; U+FFFD for a byte without one. All 0 on a multibyte page.
    uint32_t Unicode[256];
    // CODEPAGE_CATEGORY_COUNT bytes by Unicode category, written for a character the page
    // cannot hold. Null exactly on the pages that are not single-byte.
    const char* Replacement;

    const char* Name() const noexcept { return Names[0]; }
    bool SingleByte() const noexcept { return Replacement != nullptr; }
};

// Process-wide table of the 113 records and the two extra records "unsupported" (-2) and
// "unknown" (-1). Built on first use; thread-safe afterwards (read only).
class CodePageRegistry {
public:
    static const CodePageRegistry& Instance();

    // The record of `code`. Raises kexception "Invalid charset code " + code for a code
    // outside -2 to 112.
    const CodePage& operator[](ECharset code) const;

    CodePageRegistry();

private:
    const CodePage* Slots_[CODES_MAX + 2];
};

// True for a code 0 to 112.
inline bool ValidCharset(ECharset code) noexcept {
    return code >= 0 && code < CODES_MAX;
}

// The record of `code` (checked as CodePageRegistry::operator[]).
inline const CodePage* CodePageByCharset(ECharset code) {
    return &CodePageRegistry::Instance()[code];
}

// The canonical name of `code` (checked as CodePageRegistry::operator[]).
inline const char* NameByCharset(ECharset code) {
    return CodePageByCharset(code)->Name();
}

// True when `code` is a single-byte page; false for every other code, invalid ones included.
bool SingleByteCodepage(ECharset code) noexcept;

// The per-code byte tables: 257 bytes for code 0 to 112, indexed by byte (the 257th is 0;
// a multibyte code's row is all 0). Built on first use from the records, the encoders and the
// Unicode case mappings. Each raises kexception "Invalid charset code " + code for a code
// outside 0 to 112.
const uint8_t* CodePageLowerTable(ECharset code);
const uint8_t* CodePageUpperTable(ECharset code);
// Row of code f: the code-9 byte of each byte's character (or code 9's replacement byte).
const uint8_t* ToKorvelTable(ECharset code);
// Row of code t: the byte of page t that holds the character of each code-9 byte (or "?").
const uint8_t* FromKorvelTable(ECharset code);

// Raises kexception "Invalid charset code " + code.
[[noreturn]] void ThrowInvalidCharset(ECharset code);
