#include "util/generic/exception.h"

#include <cerrno>
#include <cstring>

namespace NPrivateException {

const char* kexception::what() const noexcept {
    // The buffer is shared and writable; the NUL is not counted, so later appends overwrite it.
    char* p = Message_.Current();
    if (Message_.Left() == 0) {
        --p;
    }
    *p = 0;
    return Message_.Data();
}

}  // namespace NPrivateException

namespace NPrivate {
TSystemErrorStatus::TSystemErrorStatus() noexcept : Status_(errno) {}
}  // namespace NPrivate

TSystemError::TSystemError() {
    WritePrefix();
}

TSystemError::TSystemError(int status) : NPrivate::TSystemErrorStatus(status) {
    WritePrefix();
}

void TSystemError::WritePrefix() {
    const char* text = std::strerror(Status());
    *this << "(" << (text ? text : "") << ") ";
}

Stroka CurrentExceptionMessage() {
    try {
        throw;
    } catch (const std::exception& e) {
        return Stroka(e.what());
    } catch (...) {
    }
    return Stroka("unknown error");
}

bool UncaughtException() noexcept {
    return std::uncaught_exceptions() > 0;
}

TOutputStream& operator<<(TOutputStream& out, const TSourceLocation& location) {
    const size_t length = location.File ? std::strlen(location.File) : 0;
    const size_t skip = length < 50 ? length : 50;
    out.Write(location.File + skip, length - skip);
    return out << ":" << location.Line << ": ";
}
