// Exceptions with streamed messages and the system-error family (the throwers of the standard
// errors come with them from standard_errors.h).
//
// A throw site builds the message by streaming texts and numbers into the exception exactly as
// into an output stream, then throws it:
//     throw TFileError() << "can't read " << count << " bytes at offset " << offset;
// The message lives in one scratch buffer (at most 65536 bytes) that copies share, so the text
// written before the throw survives the thrower's local object.
#pragma once

#include "util/generic/standard_errors.h"
#include "util/generic/string.h"
#include "util/generic/temp_buf.h"
#include "util/stream/output.h"

#include <concepts>
#include <exception>
#include <stdexcept>
#include <utility>

namespace NPrivateException {

// The base of every exception of the system. Copies share the message. An exception and its
// copies belong to the thread that threw them.
class kexception : public std::exception {
public:
    kexception() = default;
    kexception(const kexception&) = default;
    kexception& operator=(const kexception&) = default;
    ~kexception() override = default;

    // The message so far, NUL-terminated (the NUL takes the last byte of a full buffer).
    const char* what() const noexcept override;

    // The stream that receives the message.
    TOutputStream& MessageStream() noexcept { return Message_; }

private:
    TTempBufOutput Message_;
};

template <class T>
concept CException = std::derived_from<std::remove_cvref_t<T>, kexception>;

// Appends a value to an exception's message as TOutputStream's operator<< writes it; returns
// the same exception (same value category), so that appends chain and the result can be thrown.
template <CException TExc, class T>
TExc&& operator<<(TExc&& e, const T& value) {
    e.MessageStream() << value;
    return std::forward<TExc>(e);
}

}  // namespace NPrivateException

class kexception : public NPrivateException::kexception {};

namespace NPrivate {
// The errno value captured when a system error is made.
class TSystemErrorStatus {
public:
    TSystemErrorStatus() noexcept;
    explicit TSystemErrorStatus(int status) noexcept : Status_(status) {}

    int Status() const noexcept { return Status_; }

private:
    int Status_;
};
}  // namespace NPrivate

// A failure of a system call: the message starts with "(" + strerror(status) + ") ". The status
// is errno at construction unless given.
class TSystemError : public virtual NPrivate::TSystemErrorStatus, public virtual kexception {
public:
    TSystemError();
    explicit TSystemError(int status);
    TSystemError(const TSystemError&) = default;
    ~TSystemError() override = default;

private:
    void WritePrefix();
};

// An input/output failure without a system error number.
class TIoException : public virtual kexception {};

// An input/output failure with a system error number.
class TIoSystemError : public TSystemError, public TIoException {
public:
    TIoSystemError() = default;
    explicit TIoSystemError(int status)
        : NPrivate::TSystemErrorStatus(status), TSystemError(status) {}
};

// A failure of a file operation.
class TFileError : public TIoSystemError {
public:
    TFileError() = default;
    explicit TFileError(int status)
        : NPrivate::TSystemErrorStatus(status), TIoSystemError(status) {}
};

// Inside a handler: what() of the exception being handled when it is a standard exception,
// else "unknown error". The handling goes on.
Stroka CurrentExceptionMessage();

// True while an exception is being thrown and not yet caught.
bool UncaughtException() noexcept;

// A position in the source, for diagnostics.
struct TSourceLocation {
    const char* File;
    int Line;
};

// Writes the file name without its first min(length, 50) characters, ":", the line and ": ".
TOutputStream& operator<<(TOutputStream& out, const TSourceLocation& location);
