// errno accessors. The C library's strerror_r returns a text pointer in its GNU form; the XSI
// form, which fills the buffer and returns a status, is taken under its exported name.
#include "util/system/last_error.h"

#include <cerrno>
#include <cstring>

extern "C" int __xpg_strerror_r(int code, char* buffer, size_t length);

int LastSystemError() noexcept {
    return errno;
}

void ClearLastSystemError() noexcept {
    errno = 0;
}

const char* SystemErrorText(int code) noexcept {
    return strerror(code);
}

int SystemErrorText(char* buffer, size_t length, int code) noexcept {
    return __xpg_strerror_r(code, buffer, length);
}
