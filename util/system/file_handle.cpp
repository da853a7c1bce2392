// Descriptor calls behind TFileHandle, the mapping of open modes onto open flags, advice and
// permissions, and the mode text used in file error messages.
#include "util/system/file_handle.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

struct TModeName {
    uint32_t Bits;
    const char* Name;
};

// Tested in this order; each match is removed before the next test, so that the group names
// win over the single bits they contain.
constexpr TModeName ModeNames[] = {
    {RdWr, "RdWr"},
    {CreateNew, "CreateNew"},
    {AX, "AX"},
    {AR, "AR"},
    {AW, "AW"},
    {TruncExisting, "TruncExisting"},
    {CreateAlways, "CreateAlways"},
    {RdOnly, "RdOnly"},
    {WrOnly, "WrOnly"},
    {Seq, "Seq"},
    {Direct, "Direct"},
    {Temp, "Temp"},
    {ForAppend, "ForAppend"},
    {Transient, "Transient"},
    {AXOther, "AXOther"},
    {AWOther, "AWOther"},
    {AROther, "AROther"},
    {AXGroup, "AXGroup"},
    {AWGroup, "AWGroup"},
    {ARGroup, "ARGroup"},
    {AXUser, "AXUser"},
    {AWUser, "AWUser"},
    {ARUser, "ARUser"},
};

constexpr struct {
    uint32_t Flag;
    mode_t Permission;
} Permissions[] = {
    {AXOther, S_IXOTH}, {AWOther, S_IWOTH}, {AROther, S_IROTH},
    {AXGroup, S_IXGRP}, {AWGroup, S_IWGRP}, {ARGroup, S_IRGRP},
    {AXUser, S_IXUSR},  {AWUser, S_IWUSR},  {ARUser, S_IRUSR},
};

int OpenFlags(EOpenMode mode) {
    static constexpr int Dispositions[] = {0, O_TRUNC, O_CREAT, O_CREAT | O_EXCL,
                                           O_CREAT | O_TRUNC};
    const uint32_t disposition = mode & MaskCreation;
    if (disposition > CreateAlways) {
        abort();  // a caller's programming error
    }
    int flags = Dispositions[disposition];
    if ((mode & RdWr) == RdWr) {
        flags |= O_RDWR;
    } else if (mode & RdOnly) {
        flags |= O_RDONLY;
    } else {
        flags |= O_WRONLY;
    }
    if (mode & ForAppend) {
        flags |= O_APPEND;
    }
    if (mode & Direct) {
        flags |= O_DIRECT;
    }
    return flags;
}

template <class TCall>
auto RepeatOnInterrupt(TCall call) {
    for (;;) {
        const auto result = call();
        if (result != -1 || errno != EINTR) {
            return result;
        }
    }
}

}  // namespace

Stroka OpenModeText(EOpenMode mode) {
    Stroka text;
    auto add = [&text](const char* item) {
        if (!text.empty()) {
            text.append('|');
        }
        text.append(item);
    };
    for (const auto& name : ModeNames) {
        if ((mode & name.Bits) == name.Bits) {
            add(name.Name);
            mode &= ~name.Bits;
        }
    }
    if (mode != 0) {
        char buffer[32];
        snprintf(buffer, sizeof(buffer), "0x%lX", static_cast<unsigned long>(mode));
        add(buffer);
    }
    if (text.empty()) {
        text.append('0');
    }
    return text;
}

TFileHandle::TFileHandle(const Stroka& name, EOpenMode mode) noexcept {
    if ((mode & MaskRW) == 0) {
        mode |= RdWr;
    }
    if ((mode & AMask) == 0) {
        mode |= ARW;
    }
    const int flags = OpenFlags(mode);
    mode_t permissions = 0;
    for (const auto& p : Permissions) {
        if (mode & p.Flag) {
            permissions |= p.Permission;
        }
    }
    Fd_ = RepeatOnInterrupt([&] { return open(name.c_str(), flags, permissions); });
    if (Fd_ < 0) {
        return;
    }
    if (mode & NoReuse) {
        posix_fadvise(Fd_, 0, 0, POSIX_FADV_NOREUSE);
    }
    if (mode & Seq) {
        posix_fadvise(Fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    }
    if (mode & Transient) {
        unlink(name.c_str());
    }
}

bool TFileHandle::Close() noexcept {
    if (Fd_ == -1) {
        return true;
    }
    // Linux releases the descriptor even when close reports EINTR; closing the number again
    // could close a file that another thread has opened in the meantime. So an interrupted
    // close counts as done.
    const bool ok = close(Fd_) == 0 || errno == EINTR;
    Fd_ = -1;
    return ok;
}

int32_t TFileHandle::Read(void* buffer, uint32_t length) noexcept {
    if (Fd_ == -1) {
        return -1;
    }
    return static_cast<int32_t>(RepeatOnInterrupt([&] { return read(Fd_, buffer, length); }));
}

int32_t TFileHandle::Write(const void* data, uint32_t length) noexcept {
    if (Fd_ == -1) {
        return -1;
    }
    return static_cast<int32_t>(RepeatOnInterrupt([&] { return write(Fd_, data, length); }));
}

int32_t TFileHandle::Pread(void* buffer, uint32_t length, int64_t offset) const noexcept {
    return static_cast<int32_t>(
        RepeatOnInterrupt([&] { return pread(Fd_, buffer, length, offset); }));
}

int32_t TFileHandle::Pwrite(const void* data, uint32_t length, int64_t offset) const noexcept {
    return static_cast<int32_t>(
        RepeatOnInterrupt([&] { return pwrite(Fd_, data, length, offset); }));
}

int64_t TFileHandle::Seek(int64_t offset, int origin) noexcept {
    if (Fd_ == -1) {
        return -1;
    }
    static constexpr int Whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (origin < 0 || origin > 2) {
        errno = EINVAL;
        return -1;
    }
    return lseek(Fd_, offset, Whence[origin]);
}

int64_t TFileHandle::GetPosition() const noexcept {
    if (Fd_ == -1) {
        return -1;
    }
    return lseek(Fd_, 0, SEEK_CUR);
}

int64_t TFileHandle::GetLength() const noexcept {
    if (Fd_ == -1) {
        return -1;
    }
    struct stat st;
    if (fstat(Fd_, &st) != 0) {
        return -1;
    }
    return st.st_size;
}

bool TFileHandle::Resize(int64_t length) noexcept {
    if (Fd_ == -1) {
        return false;
    }
    if (GetLength() == length) {
        return true;
    }
    return ftruncate(Fd_, length) == 0;
}

bool TFileHandle::Reserve(int64_t length) noexcept {
    if (Fd_ == -1) {
        return false;
    }
    if (GetLength() < length) {
        return Resize(length);
    }
    return true;
}

bool TFileHandle::Flush() noexcept {
    if (Fd_ == -1) {
        return false;
    }
    return fsync(Fd_) == 0;
}

bool TFileHandle::FlushData() noexcept {
    return Flush();
}

int TFileHandle::Flock(int operation) noexcept {
    return flock(Fd_, operation);
}

int TFileHandle::Duplicate() const noexcept {
    if (Fd_ == -1) {
        return -1;
    }
    return dup(Fd_);
}

bool TFileHandle::LinkTo(const TFileHandle& other) const noexcept {
    return dup2(other.Fd_, Fd_) != -1;
}

TFileStat::TFileStat(int fd) noexcept {
    struct stat st;
    if (fstat(fd, &st) != 0) {
        return;
    }
    Mode = st.st_mode;
    Uid = st.st_uid;
    Gid = st.st_gid;
    NLinks = st.st_nlink;
    Size = static_cast<uint64_t>(st.st_size);
    ATime = static_cast<uint64_t>(st.st_atime);
    MTime = static_cast<uint64_t>(st.st_mtime);
    CTime = static_cast<uint64_t>(st.st_ctime);
}

TFileStat::TFileStat(const Stroka& name) noexcept {
    TFileHandle handle(name, RdOnly);
    if (handle.IsOpen()) {
        *this = TFileStat(handle);
    }
}
