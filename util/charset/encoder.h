// Encoders: the Unicode-to-byte direction of the single-byte code pages, and the builders that
// make encoders and 256-byte translation tables from code-page records.
//
// An encoder maps a code point up to U+FFFF through 256 pages of 256 bytes (0 = no byte);
// a character without a byte is written as the page's replacement byte for its Unicode
// category. Every single-byte code has one built-in encoder; multibyte codes have none.
#pragma once

#include "util/charset/codepage.h"

#include <cstddef>
#include <cstdint>

// Read-only view of one encoder. Thread-safe.
struct Encoder {
    const uint8_t* Pages[256];  // by the high byte of the code point; ZeroPage when empty
    const char* Replacement;    // the record's replacement table (57 bytes)
    const uint8_t* ZeroPage;    // the shared all-zero page

    // The page's own byte for cp, 0 when it has none (always 0 above U+FFFF).
    uint8_t Lookup(uint32_t cp) const noexcept {
        return cp <= 0xFFFF ? Pages[cp >> 8][cp & 0xFF] : 0;
    }

    // The byte written for cp: its own byte, 0 for cp 0, else the replacement byte of cp's
    // Unicode category. Raises kexception "Invalid index" when the Unicode table cannot give
    // the category of a code point beyond it.
    char Code(uint32_t cp) const;
};

// The built-in encoder of `code`; null for a multibyte code. Raises kexception "Invalid
// charset code " + code for a code outside 0 to 112.
const Encoder* EncoderByCharset(ECharset code);

// An encoder built at run time from a record; owns its pages. Not thread-safe while being
// filled; read-only use afterwards may be shared.
class TCodePageEncoder {
public:
    // An encoder with every page empty and the record's replacement table.
    explicit TCodePageEncoder(const CodePage& record);
    // Empty pages, then Set for each byte whose character is not U+FFFD, in byte order; with
    // `related`, code points that still lack a byte may borrow one from their compatibility
    // decomposition (the rule of the built-in encoder of code 9). Without `warn`, a second
    // upper-half byte for one code point is left out silently (the built-in encoders are
    // made so: they stand for fixed tables).
    TCodePageEncoder(const CodePage& record, bool related, bool warn = true);
    ~TCodePageEncoder();

    TCodePageEncoder(const TCodePageEncoder&) = delete;
    TCodePageEncoder& operator=(const TCodePageEncoder&) = delete;

    // Stores `byte` for cp (cp at most U+FFFF) unless cp already has one. A second byte of
    // 0x80 or above for one code point is reported as a warning on standard error.
    void Set(uint32_t cp, uint8_t byte);

    const Encoder& Get() const noexcept { return Encoder_; }

private:
    void AddRelated();

    const CodePage& Record_;
    Encoder Encoder_;
    uint8_t* Owned_[256];
    bool Quiet_ = false;
};

// Encodes n code points into n bytes by the rule of Encoder::Code.
void EncodeUtf32(const Encoder& encoder, const uint32_t* src, char* dst, size_t n);
// Encodes a 0-terminated string up to and including its terminating 0; returns the end of
// the output (just past the written 0).
char* EncodeUtf32(const Encoder& encoder, const uint32_t* src, char* dst);

// table[b] = the byte of `page` for f(character of b) when the page has one, else b (byte 0
// stays 0); with a case mapping as f this is the page's case table. Raises kexception "Encoder
// structure can only be used for single byte encodings" when `page` is not single-byte.
void BuildMappedTable(const CodePage& page, uint32_t (*f)(uint32_t), uint8_t* table);
// table[b] = the byte written by page `to` for the character of byte b of page `from`.
// Raises as BuildMappedTable when `to` is not single-byte.
void BuildTranslationTable(const CodePage& from, const CodePage& to, uint8_t* table);
