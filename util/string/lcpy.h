// Bounded string copy and concatenation with the BSD strlcpy/strlcat contract, which this C
// library lacks; in the project's namespace so that they never collide with a library's own.
#pragma once

#include <cstddef>

namespace NLemmix {

// Copies at most size - 1 bytes of src and ends dst with a NUL when size is not 0; returns
// strlen(src), so a result >= size means the text was cut.
size_t strlcpy(char* dst, const char* src, size_t size) noexcept;

// Appends src to the NUL-terminated dst in a buffer of size bytes, cutting as needed and ending
// with a NUL; returns the length the whole text would have had (strlen(dst) + strlen(src), or
// size + strlen(src) when dst holds no NUL within size bytes).
size_t strlcat(char* dst, const char* src, size_t size) noexcept;

}  // namespace NLemmix
