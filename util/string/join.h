// Joining UTF-16 strings with a delimiter.
#pragma once

#include "util/generic/string.h"

#include <cstddef>
#include <vector>

// The length that stands for "up to the first NUL" of a delimiter.
inline constexpr size_t JoinDelimiterToNul = static_cast<size_t>(-1);

// Elements [first, first + count) of `v` (cut to its end) with the delimiter
// [delimiter, delimiter + delimiterLength) between them. Empty when count is 0 or first is
// past the end. Raises the standard length error "TStringImpl::replace" when the result would
// exceed the string size limit.
TUtf16String JoinStrings(const std::vector<TUtf16String>& v, size_t first, size_t count,
                         const wchar16* delimiter, size_t delimiterLength = JoinDelimiterToNul);

// All elements of `v`.
TUtf16String JoinStrings(const std::vector<TUtf16String>& v, const wchar16* delimiter,
                         size_t delimiterLength = JoinDelimiterToNul);
