// The shared file record and the piecewise, throwing reads and writes. The errno of a failing
// call is taken before anything else runs, so the message names the right error.
#include "util/system/file.h"

#include "util/generic/exception.h"
#include "util/generic/random.h"
#include "util/string/escape.h"
#include "util/system/time.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>

namespace {

constexpr size_t MaxPiece = size_t(1) << 30;

}  // namespace

class TFile::TImpl {
public:
    TImpl(int fd, const Stroka& name) noexcept : Handle(fd), Name(name) {}

    std::atomic<int64_t> Refs{1};
    TFileHandle Handle;
    Stroka Name;

    // errno of the call that just failed; a closed handle made no call, so its error is EBADF.
    int FailureStatus() const noexcept { return Handle.IsOpen() ? errno : EBADF; }
    Stroka Quoted() const { return QuoteString(Name); }

    // Reads in pieces of at most 2^30 bytes until the length is reached or a piece reads
    // nothing; `readPiece` (buffer, piece length, bytes done) is one call of the handle.
    template <class TReadPiece>
    size_t ReadInPieces(void* buffer, size_t length, TReadPiece readPiece) const {
        char* p = static_cast<char*>(buffer);
        size_t done = 0;
        while (done < length) {
            const int32_t n =
                readPiece(p + done, uint32_t(std::min(length - done, MaxPiece)), done);
            if (n < 0) {
                const int status = FailureStatus();
                throw TFileError(status) << "can not read data from " << Quoted();
            }
            if (n == 0) {
                break;
            }
            done += size_t(n);
        }
        return done;
    }

    // Writes every byte in pieces of at most 2^30 bytes; `writePiece` as above.
    template <class TWritePiece>
    void WriteInPieces(const void* data, size_t length, TWritePiece writePiece) const {
        const char* p = static_cast<const char*>(data);
        size_t done = 0;
        while (done < length) {
            const size_t piece = std::min(length - done, MaxPiece);
            const int32_t n = writePiece(p + done, uint32_t(piece), done);
            if (n < 0) {
                const int status = FailureStatus();
                throw TFileError(status) << "can't write " << piece << " bytes to " << Quoted();
            }
            done += size_t(n);
        }
    }
};

TFile::TFile() : Impl_(new TImpl(-1, Stroka())) {}

TFile::TFile(int fd) : Impl_(new TImpl(fd, Stroka())) {}

TFile::TFile(const Stroka& name, EOpenMode mode) : Impl_(nullptr) {
    TFileHandle handle(name, mode);
    if (!handle.IsOpen()) {
        const int status = errno;
        char hex[32];
        snprintf(hex, sizeof(hex), "0x%lX", static_cast<unsigned long>(mode));
        throw TFileError(status) << "can't open " << QuoteString(name) << " with mode "
                                 << OpenModeText(mode) << " (" << hex << ")";
    }
    Impl_ = new TImpl(handle.Release(), name);
}

TFile::TFile(const TFile& other) noexcept : Impl_(other.Impl_) {
    Impl_->Refs.fetch_add(1, std::memory_order_relaxed);
}

TFile& TFile::operator=(const TFile& other) noexcept {
    TFile copy(other);
    std::swap(Impl_, copy.Impl_);
    return *this;
}

TFile::~TFile() {
    if (Impl_->Refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        delete Impl_;
    }
}

TFile TFile::CreateTemporary(const char* prefix) {
    const unsigned long random = RandomNumber<unsigned long>();
    Stroka name(prefix);
    char number[64];
    snprintf(number, sizeof(number), "%lu-%lu", static_cast<unsigned long>(MicroSeconds()),
             static_cast<unsigned long>(random));
    name.append(number);
    return TFile(name, CreateNew | RdWr | Seq | Temp | Transient);
}

bool TFile::IsOpen() const noexcept {
    return Impl_->Handle.IsOpen();
}

int TFile::GetHandle() const noexcept {
    return Impl_->Handle.GetHandle();
}

const Stroka& TFile::GetName() const noexcept {
    return Impl_->Name;
}

int64_t TFile::GetLength() const noexcept {
    return Impl_->Handle.GetLength();
}

int64_t TFile::GetPosition() const noexcept {
    return Impl_->Handle.GetPosition();
}

size_t TFile::Read(void* buffer, size_t length) {
    TFileHandle& handle = Impl_->Handle;
    return Impl_->ReadInPieces(buffer, length, [&handle](char* p, uint32_t piece, size_t) {
        return handle.Read(p, piece);
    });
}

void TFile::Load(void* buffer, size_t length) {
    if (Read(buffer, length) != length) {
        const int status = errno;
        throw TFileError(status) << "can't read " << length << " bytes from " << Impl_->Quoted();
    }
}

size_t TFile::Pread(void* buffer, size_t length, int64_t offset) const {
    const TFileHandle& handle = Impl_->Handle;
    return Impl_->ReadInPieces(buffer, length, [&](char* p, uint32_t piece, size_t done) {
        return handle.Pread(p, piece, offset + int64_t(done));
    });
}

void TFile::Pload(void* buffer, size_t length, int64_t offset) const {
    if (Pread(buffer, length, offset) != length) {
        const int status = errno;
        throw TFileError(status) << "can't read " << length << " bytes at offset " << offset
                                 << " from " << Impl_->Quoted();
    }
}

void TFile::Write(const void* data, size_t length) {
    TFileHandle& handle = Impl_->Handle;
    Impl_->WriteInPieces(data, length, [&handle](const char* p, uint32_t piece, size_t) {
        return handle.Write(p, piece);
    });
}

void TFile::Pwrite(const void* data, size_t length, int64_t offset) const {
    const TFileHandle& handle = Impl_->Handle;
    Impl_->WriteInPieces(data, length, [&](const char* p, uint32_t piece, size_t done) {
        return handle.Pwrite(p, piece, offset + int64_t(done));
    });
}

int64_t TFile::Seek(int64_t offset, int origin) {
    const int64_t position = Impl_->Handle.Seek(offset, origin);
    if (position == -1) {
        const int status = Impl_->FailureStatus();
        throw TFileError(status) << "can't seek " << offset << " bytes in " << Impl_->Quoted();
    }
    return position;
}

void TFile::Close() {
    if (!Impl_->Handle.Close()) {
        const int status = errno;
        throw TFileError(status) << "can't close " << Impl_->Quoted();
    }
}

void TFile::Flock(int operation) {
    if (Impl_->Handle.Flock(operation) != 0) {
        const int status = Impl_->FailureStatus();
        throw TFileError(status) << "can't flock " << Impl_->Quoted();
    }
}

void TFile::Flush() {
    if (!Impl_->Handle.Flush()) {
        const int status = Impl_->FailureStatus();
        throw TFileError(status) << "can't flush " << Impl_->Quoted();
    }
}

void TFile::FlushData() {
    if (!Impl_->Handle.FlushData()) {
        const int status = Impl_->FailureStatus();
        throw TFileError(status) << "can't flush data " << Impl_->Quoted();
    }
}

void TFile::Resize(int64_t length) {
    if (!Impl_->Handle.Resize(length)) {
        const int status = Impl_->FailureStatus();
        throw TFileError(status) << "can't resize " << Impl_->Quoted() << " to size " << length;
    }
}

void TFile::Reserve(int64_t length) {
    if (!Impl_->Handle.Reserve(length)) {
        const int status = Impl_->FailureStatus();
        throw TFileError(status) << "can't reserve " << length << " for file " << Impl_->Quoted();
    }
}

TFile TFile::Duplicate() const {
    const int fd = Impl_->Handle.Duplicate();
    if (fd == -1) {
        const int status = Impl_->FailureStatus();
        throw TFileError(status) << "can't duplicate the handle of " << Impl_->Quoted();
    }
    return TFile(new TImpl(fd, Impl_->Name));
}

void TFile::LinkTo(const TFile& other) const {
    if (!Impl_->Handle.LinkTo(other.Impl_->Handle)) {
        const int status = errno;
        throw TFileError(status) << "can not link fd(" << Impl_->Name << " -> " << other.Impl_->Name
                                 << ")";
    }
}

TFile DuplicateFile(int fd) {
    return TFile(dup(fd));
}

TFile DuplicateFile(FILE* stream) {
    return DuplicateFile(fileno(stream));
}

TFileStat::TFileStat(const TFile& file) noexcept : TFileStat(file.GetHandle()) {}
