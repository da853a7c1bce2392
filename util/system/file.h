// TFile: a cheap, copyable handle to one shared open file (descriptor and name) whose operations
// throw TFileError naming the operation, the sizes involved and the quoted file name. The file
// streams, the memory maps and the blobs read from files stand on it.
#pragma once

#include "util/generic/string.h"
#include "util/system/file_handle.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Copies share one record (atomically counted), so they may live in several threads; the
// operations take no lock. The last copy closes the descriptor (a close error is ignored).
// Reads and writes go to the system in pieces of at most 2^30 bytes; bytes transferred before
// a failing piece stay transferred. Every failure raises TFileError, whose message starts with
// the system's text for the errno of the failing call.
class TFile {
public:
    // A closed file with an empty name.
    TFile();
    // Adopts an open descriptor; the name is empty.
    explicit TFile(int fd);
    // Opens the name; raises "can't open ..." on failure.
    TFile(const Stroka& name, EOpenMode mode);
    TFile(const TFile& other) noexcept;
    TFile& operator=(const TFile& other) noexcept;
    ~TFile();

    // A new file named prefix + microseconds + "-" + random number, created exclusively and
    // unlinked at once: it vanishes with its last descriptor.
    static TFile CreateTemporary(const char* prefix);

    bool IsOpen() const noexcept;
    int GetHandle() const noexcept;
    const Stroka& GetName() const noexcept;
    // -1 on failure; these never throw.
    int64_t GetLength() const noexcept;
    int64_t GetPosition() const noexcept;

    // Reads until the length is reached or the file ends; returns the bytes read.
    size_t Read(void* buffer, size_t length);
    // Reads exactly the length or raises.
    void Load(void* buffer, size_t length);
    size_t Pread(void* buffer, size_t length, int64_t offset) const;
    void Pload(void* buffer, size_t length, int64_t offset) const;
    void Write(const void* data, size_t length);
    void Pwrite(const void* data, size_t length, int64_t offset) const;

    // Origin 0 from the start, 1 from the current position, 2 from the end.
    int64_t Seek(int64_t offset, int origin);
    // Succeeds on a closed file; the descriptor is -1 afterwards in every case.
    void Close();
    void Flock(int operation);
    // fsync.
    void Flush();
    void FlushData();
    void Resize(int64_t length);
    // Grows only.
    void Reserve(int64_t length);
    // A new shared record over dup of the descriptor, with the same name.
    TFile Duplicate() const;
    // Makes this descriptor refer to the other's open file.
    void LinkTo(const TFile& other) const;

private:
    class TImpl;
    explicit TFile(TImpl* impl) noexcept : Impl_(impl) {}

    TImpl* Impl_;
};

// A TFile over dup of the descriptor; a failed dup gives a closed file.
TFile DuplicateFile(int fd);
TFile DuplicateFile(FILE* stream);
