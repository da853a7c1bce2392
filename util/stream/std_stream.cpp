// The standard-stream singletons.
#include "util/stream/std_stream.h"

#include "util/generic/exception.h"
#include "util/system/singleton.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

class TStdIn : public TInputStream {
public:
    TStdIn() noexcept : F_(stdin) {}

protected:
    size_t DoRead(void* buffer, size_t length) override {
        const size_t n = fread(buffer, 1, length, F_);
        if (n < length && ferror(F_)) {
            const char* text = strerror(errno);
            throw kexception() << "can not read from stream(" << text << ")";
        }
        return n;
    }

private:
    FILE* F_;
};

class TStdOutput : public TOutputStream {
public:
    explicit TStdOutput(FILE* f) noexcept : F_(f) {}

protected:
    void DoWrite(const void* data, size_t length) override {
        if (fwrite(data, 1, length, F_) != length) {
            const int status = errno;
            throw TSystemError(status) << "write failed";
        }
    }

    void DoFlush() override {
        const bool failed = fflush(F_) != 0;
        const int status = errno;
        if (failed || ferror(F_)) {
            throw TSystemError(status) << "flush failed";
        }
    }

private:
    FILE* F_;
};

class TStdOut : public TStdOutput {
public:
    TStdOut() noexcept : TStdOutput(stdout) {}
};

class TStdErr : public TStdOutput {
public:
    TStdErr() noexcept : TStdOutput(stderr) {}
};

}  // namespace

TInputStream& StdInStream() {
    return *Singleton<TStdIn>();
}

TOutputStream& StdOutStream() {
    return *Singleton<TStdOut>();
}

TOutputStream& StdErrStream() {
    return *Singleton<TStdErr>();
}
