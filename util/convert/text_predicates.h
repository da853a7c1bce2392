// Tests of 8-bit text that never raise: all white space, all decimal digits, a word meaning
// true, a word meaning false. None reads past the given length, allocates or keeps state.
#pragma once

#include "util/generic/string.h"

#include <cstddef>

// True for a non-empty text of TAB, LF, VT, FF, CR and space bytes only.
bool IsSpace(const char* data, size_t len) noexcept;
// True for a non-empty text of the digits '0' to '9' only (no sign, no point, any length).
bool IsNumber(const TCharRange& text) noexcept;
// True when the text is a non-empty prefix, in any ASCII case, of one of "da", "yes", "on", "1",
// "true" ("y", "T", "Yes"); a NUL in the text ends the comparison, and the bytes before it must
// then spell the whole word. A text that is also a false word ("o") is neither.
bool IsTrue(const TCharRange& text) noexcept;
// The same for "net", "no", "off", "0", "false" ("n", "fal", "OFF").
bool IsFalse(const TCharRange& text) noexcept;
