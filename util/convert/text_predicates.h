// Tests of 8-bit text that never raise: all white space, all decimal digits, a word meaning
// true, a word meaning false. None reads past the given length, allocates or keeps state.
#pragma once

#include "util/generic/string.h"

#include <cstddef>

// True for a non-empty text of TAB, LF, VT, FF, CR and space bytes only.
bool IsSpace(const char* data, size_t len) noexcept;
// True for a non-empty text of the digits '0' to '9' only (no sign, no point, any length).
bool IsNumber(const TCharRange& text) noexcept;
// True when the whole text is one of "da", "yes", "on", "1", "true" in any ASCII case.
bool IsTrue(const TCharRange& text) noexcept;
// True when the whole text is one of "net", "no", "off", "0", "false" in any ASCII case.
bool IsFalse(const TCharRange& text) noexcept;
