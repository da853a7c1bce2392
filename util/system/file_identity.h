// Which file a descriptor or a path reaches: its device and inode. Two names reach one file
// (through hard or symbolic links, or two spellings of one path) exactly when these are equal.
// And what an opened descriptor is bound to fail at, found out before it is read.
#pragma once

#include <cstdint>

// Never throws; a file that cannot be examined has no identity and equals nothing.
struct TFileIdentity {
    uint64_t Device = 0;
    uint64_t Inode = 0;
    bool Known = false;
    bool Regular = false;  // a regular file, not a directory, device, pipe or socket

    static TFileIdentity OfDescriptor(int fd) noexcept;
    // Follows symbolic links; the file is not opened, so a pipe's writer is not waited for.
    static TFileIdentity OfPath(const char* path) noexcept;
    static TFileIdentity OfStandardInput() noexcept;
    static TFileIdentity OfStandardOutput() noexcept;

    bool SameFile(const TFileIdentity& other) const noexcept {
        return Known && other.Known && Device == other.Device && Inode == other.Inode;
    }
};

// The error that the first read from fd is bound to meet, known without reading it: EBADF
// where fd is not open for reading, EISDIR for a directory; 0 where a read may succeed.
int KnownReadError(int fd) noexcept;
