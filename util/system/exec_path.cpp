#include "util/system/exec_path.h"

#include "util/generic/exception.h"
#include "util/generic/temp_buf.h"
#include "util/system/fs.h"
#include "util/system/singleton.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

// glibc's counterpart of getprogname (from <errno.h> with _GNU_SOURCE).
extern char* program_invocation_short_name;

namespace {
const char ExecLink[] = "/proc/self/exe";
const char CmdLineFile[] = "/proc/self/cmdline";

Stroka GetEnv(const char* name) {
    const char* value = getenv(name);
    return Stroka(value ? value : "");
}

// True when `guess` names an existing file that is the kernel's answer (taken anew) after
// real-path resolution; the answer is then in `path`.
bool ConfirmedBy(const Stroka& guess, Stroka (*kernelAnswer)(), Stroka& path) {
    if (!PathExists(guess.c_str())) {
        return false;
    }
    path = kernelAnswer();
    return RealPath(guess) == RealPath(path);
}

bool GuessInDirectory(const Stroka& directory, Stroka (*kernelAnswer)(), Stroka& result) {
    Stroka candidate = directory + "/";
    if (program_invocation_short_name != nullptr) {
        candidate += program_invocation_short_name;
    }
    return ConfirmedBy(candidate, kernelAnswer, result);
}

struct TExecPath {
    Stroka Path = ResolveExecPath();
};
}  // namespace

Stroka ReadExecPath() {
    TTempBuf buf;
    for (;;) {
        const ssize_t n = readlink(ExecLink, buf.Data(), buf.Size());
        if (n < 0) {
            throw kexception() << "can't read link " << ExecLink;
        }
        if (static_cast<size_t>(n) < buf.Size()) {
            return Stroka(buf.Data(), static_cast<size_t>(n));
        }
        // The link may have been cut to the buffer: read it again into one twice as large.
        buf = TTempBuf(buf.Size() * 2);
    }
}

Stroka GetArgv0() {
    const int fd = open(CmdLineFile, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            return Stroka();
        }
        throw kexception() << "FreeBSDGetArgv0() failed: " << strerror(errno);
    }
    // Argument 0 ends at the first NUL; a path is at most PATH_MAX bytes, far below the buffer.
    TTempBuf buf;
    size_t filled = 0;
    while (filled < buf.Size()) {
        const ssize_t n = read(fd, buf.Data() + filled, buf.Size() - filled);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const int error = errno;
            close(fd);
            throw kexception() << "FreeBSDGetArgv0() failed: " << strerror(error);
        }
        if (n == 0 || memchr(buf.Data() + filled, 0, static_cast<size_t>(n)) != nullptr) {
            filled += static_cast<size_t>(n);
            break;
        }
        filled += static_cast<size_t>(n);
    }
    close(fd);
    return Stroka(buf.Data(), strnlen(buf.Data(), filled));
}

bool GuessExecPath(const Stroka& directory, Stroka& result) {
    return GuessInDirectory(directory, &ReadExecPath, result);
}

Stroka ResolveExecPath(Stroka (*kernelAnswer)()) {
    Stroka path = kernelAnswer();
    if (path.find('/') != Stroka::npos) {
        return path;
    }
    if (ConfirmedBy(GetArgv0(), kernelAnswer, path) ||
        ConfirmedBy(GetEnv("_"), kernelAnswer, path) ||
        GuessInDirectory(GetEnv("PWD"), kernelAnswer, path) ||
        GuessInDirectory(GetCwd(), kernelAnswer, path)) {
        return path;
    }
    throw kexception() << "can not resolve exec path";
}

Stroka ResolveExecPath() {
    return ResolveExecPath(&ReadExecPath);
}

const Stroka& GetExecPath() {
    return Singleton<TExecPath>()->Path;
}
