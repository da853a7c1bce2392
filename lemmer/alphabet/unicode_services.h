// Unicode services of the word normaliser on UTF-16 text: the property record of a code point,
// simple case mapping of a run of units, compatibility decomposition with canonical ordering of
// marks (NFKD) and compatibility composition (NFKC).
//
// Everything here is reentrant; the tables behind it are process-wide and read-only. Surrogate
// pairs are decoded; a high surrogate without its low surrogate becomes U+FFFD.
#pragma once

#include "util/charset/unicode_table.h"
#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>

// The property record of cp; values beyond the table get the record of U+E001 (category 0).
const TUnicodeCharInfo* GetUnicodeCharInfo(uint32_t cp);

namespace NLemmer {

using ::GetUnicodeCharInfo;

inline uint32_t CharCategory(uint32_t cp) {
    return GetUnicodeCharInfo(cp)->Category();
}
// Categories 13 to 15: non-spacing, enclosing and spacing combining marks.
inline bool IsCombiningMark(uint32_t cp) {
    const uint32_t c = CharCategory(cp);
    return c >= UC_MARK_NONSPACING && c <= UC_MARK_SPACING;
}

// Single code points plus their lower, upper or title delta.
uint32_t ToLowerCodePoint(uint32_t cp);
uint32_t ToUpperCodePoint(uint32_t cp);
uint32_t ToTitleCodePoint(uint32_t cp);

// Case mapping of src[0, length) into out, which may be src itself. The output holds at most
// `length` units (a mapping that would need more stops the run there); returns the units
// written. Title case maps the first code point to title case and the rest to lower case.
size_t ToLowerUtf16(const wchar16* src, size_t length, wchar16* out);
size_t ToUpperUtf16(const wchar16* src, size_t length, wchar16* out);
size_t ToTitleUtf16(const wchar16* src, size_t length, wchar16* out);

struct TUnicodeNormResult {
    size_t Length = 0;     // units written
    bool Complete = true;  // false when the output was cut
    bool Changed = false;  // always true once an operation ran: callers flag the step
};

// NFKD of src[0, length) into out (at most outSize units; a surrogate pair that does not fit
// whole is left out). Writes no terminator. Allocates only when the word needs rebuilding.
TUnicodeNormResult DecomposeWord(const wchar16* src, size_t length, wchar16* out, size_t outSize);
// NFKC of src[0, length) into out, as DecomposeWord.
TUnicodeNormResult ComposeWord(const wchar16* src, size_t length, wchar16* out, size_t outSize);

}  // namespace NLemmer
