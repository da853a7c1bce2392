// Splitting NUL-terminated text into fields: on a set of delimiter characters, on a whole
// delimiter string, or in place. The grammeme parser splits grammar texts on ",", the language
// registry on a set of delimiter bytes.
//
// By default empty fields and the delimiters are dropped; the flags keep them. A maximum N
// (0: none) limits the output to N elements: once N - 1 are out, the rest of the text from the
// next element on (delimiters included) becomes the last one.
#pragma once

#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>
#include <vector>

enum ESplitFlags : uint32_t {
    // An empty field (between two delimiters, before the first or after the last one, or an
    // empty text) becomes an empty string.
    KEEP_EMPTY_TOKENS = 1,
    // Each delimiter becomes an element of its own, right after the field it ends; the
    // delimiter behind a dropped empty field is dropped with it.
    KEEP_DELIMITERS = 2,
};

// Splits `text` on any byte of the NUL-terminated `delimiters` into `out`, which is cleared
// first. A null text gives no elements.
void SplitString(std::vector<Stroka>& out, const char* text, const char* delimiters,
                 size_t maxFields = 0, uint32_t flags = 0);
void SplitWideString(std::vector<TUtf16String>& out, const wchar16* text, const wchar16* delimiters,
                     size_t maxFields = 0, uint32_t flags = 0);

// Splits `text` on the whole string `delimiter`. An empty delimiter leaves `out` as it was.
void SplitByString(std::vector<Stroka>& out, const char* text, const char* delimiter,
                   size_t maxFields = 0, uint32_t flags = 0);
void SplitWideByString(std::vector<TUtf16String>& out, const wchar16* text,
                       const wchar16* delimiter, size_t maxFields = 0, uint32_t flags = 0);

// Cuts the writable `text` in place: each `delimiter` found is overwritten with NUL and the
// start of each field is stored in `fields`. Stops after `maxFields` fields; the text behind
// the last delimiter cut then belongs to no field. Returns the number of fields (0 for a null
// text or a maximum of 0).
size_t SplitInPlace(char* text, char delimiter, char** fields, size_t maxFields);
