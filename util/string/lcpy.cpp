// Bounded copies.
#include "util/string/lcpy.h"

#include <cstring>

namespace NLemmix {

size_t strlcpy(char* dst, const char* src, size_t size) noexcept {
    const size_t length = strlen(src);
    if (size != 0) {
        const size_t n = length < size - 1 ? length : size - 1;
        memcpy(dst, src, n);
        dst[n] = '\0';
    }
    return length;
}

size_t strlcat(char* dst, const char* src, size_t size) noexcept {
    const char* end = static_cast<const char*>(memchr(dst, '\0', size));
    if (end == nullptr) {
        return size + strlen(src);
    }
    const size_t used = size_t(end - dst);
    return used + strlcpy(dst + used, src, size - used);
}

}  // namespace NLemmix
