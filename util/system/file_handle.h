// The lowest file layer: TFileHandle owns one descriptor and wraps the POSIX calls on it without
// ever throwing (-1 or false on failure, errno left as the system set it, reads and writes
// interrupted by a signal repeated); EOpenMode is the open-mode bit set with its text form for
// messages; TFileStat is a file's status. TFile (file.h) is the throwing layer above.
#pragma once

#include "util/generic/string.h"

#include <cstdint>

class TFile;

// Open modes: a 32-bit set of the flags below.
using EOpenMode = uint32_t;

enum EOpenModeFlag : uint32_t {
    // Creation disposition, bits 0-2.
    OpenExisting = 0,
    TruncExisting = 1,
    OpenAlways = 2,
    CreateNew = 3,
    CreateAlways = 4,
    MaskCreation = 7,

    // Access; neither bit means read-write.
    RdOnly = 0x8,
    WrOnly = 0x10,
    RdWr = 0x18,
    MaskRW = 0x18,

    Seq = 0x20,     // sequential-access advice
    Direct = 0x40,  // uncached input and output
    Temp = 0x80,    // named in texts, no effect on opening
    ForAppend = 0x100,
    Transient = 0x200,  // the name is unlinked right after opening
    NoReuse = 0x400,    // no-reuse advice

    // Permissions, one nibble each for other, group and user.
    AXOther = 0x10000,
    AWOther = 0x20000,
    AROther = 0x40000,
    AXGroup = 0x100000,
    AWGroup = 0x200000,
    ARGroup = 0x400000,
    AXUser = 0x1000000,
    AWUser = 0x2000000,
    ARUser = 0x4000000,
    AX = AXUser | AXGroup | AXOther,
    AR = ARUser | ARGroup | AROther,
    AW = AWUser | AWGroup,
    ARW = AR | AW,
    AMask = 0xFFF0000,
};

// Names of the set bits joined by "|" ("RdOnly|Seq"); bits without a name as one "0x..." item;
// "0" for no bit.
Stroka OpenModeText(EOpenMode mode);

// Owns one descriptor (-1 when closed) and closes it when destroyed. Never throws. Not copyable;
// used by one thread at a time.
class TFileHandle {
public:
    TFileHandle() noexcept = default;
    explicit TFileHandle(int fd) noexcept : Fd_(fd) {}
    // Opens the name; holds -1 on failure. A creation disposition of 5 to 7 aborts.
    TFileHandle(const Stroka& name, EOpenMode mode) noexcept;
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    ~TFileHandle() { Close(); }

    bool IsOpen() const noexcept { return Fd_ != -1; }
    int GetHandle() const noexcept { return Fd_; }

    // True when already closed or close succeeded (an interrupted close included: the system
    // has released the descriptor then); the handle holds -1 afterwards.
    bool Close() noexcept;
    // Gives the descriptor up without closing it.
    int Release() noexcept {
        const int fd = Fd_;
        Fd_ = -1;
        return fd;
    }

    int32_t Read(void* buffer, uint32_t length) noexcept;
    int32_t Write(const void* data, uint32_t length) noexcept;
    int32_t Pread(void* buffer, uint32_t length, int64_t offset) const noexcept;
    int32_t Pwrite(const void* data, uint32_t length, int64_t offset) const noexcept;

    // Origin 0 from the start, 1 from the current position, 2 from the end.
    int64_t Seek(int64_t offset, int origin) noexcept;
    int64_t GetPosition() const noexcept;
    int64_t GetLength() const noexcept;
    // Sets the length; no system call when it already has it.
    bool Resize(int64_t length) noexcept;
    // Grows to the length; never shortens.
    bool Reserve(int64_t length) noexcept;
    bool Flush() noexcept;
    bool FlushData() noexcept;
    int Flock(int operation) noexcept;
    int Duplicate() const noexcept;
    // Makes this descriptor refer to the other's open file (dup2).
    bool LinkTo(const TFileHandle& other) const noexcept;

private:
    int Fd_ = -1;
};

// The status of a file; all zero when it could not be had.
struct TFileStat {
    uint32_t Mode = 0;  // file type and permission bits
    uint32_t Uid = 0;
    uint32_t Gid = 0;
    uint64_t NLinks = 0;
    uint64_t Size = 0;
    uint64_t ATime = 0;
    uint64_t MTime = 0;
    uint64_t CTime = 0;

    TFileStat() noexcept = default;
    explicit TFileStat(int fd) noexcept;
    explicit TFileStat(const TFileHandle& handle) noexcept : TFileStat(handle.GetHandle()) {}
    explicit TFileStat(const TFile& file) noexcept;
    // Opens the name read-only, examines it and closes it again.
    explicit TFileStat(const Stroka& name) noexcept;
};
