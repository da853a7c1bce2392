#include "util/system/file_identity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

TFileIdentity FromStatus(const struct stat& st) noexcept {
    TFileIdentity id;
    id.Device = static_cast<uint64_t>(st.st_dev);
    id.Inode = static_cast<uint64_t>(st.st_ino);
    id.Known = true;
    id.Regular = S_ISREG(st.st_mode);
    return id;
}

}  // namespace

TFileIdentity TFileIdentity::OfDescriptor(int fd) noexcept {
    struct stat st;
    return fstat(fd, &st) == 0 ? FromStatus(st) : TFileIdentity();
}

TFileIdentity TFileIdentity::OfPath(const char* path) noexcept {
    struct stat st;
    return stat(path, &st) == 0 ? FromStatus(st) : TFileIdentity();
}

TFileIdentity TFileIdentity::OfStandardInput() noexcept {
    return OfDescriptor(STDIN_FILENO);
}

TFileIdentity TFileIdentity::OfStandardOutput() noexcept {
    return OfDescriptor(STDOUT_FILENO);
}

int KnownReadError(int fd) noexcept {
    const int flags = fcntl(fd, F_GETFL);
    if (flags == -1) {
        return errno;
    }
    if ((flags & O_ACCMODE) == O_WRONLY) {
        return EBADF;
    }
    struct stat st;
    if (fstat(fd, &st) != 0) {
        return errno;
    }
    return S_ISDIR(st.st_mode) ? EISDIR : 0;
}
