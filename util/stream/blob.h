// TBlob: a cheap-to-copy handle on immutable bytes, kept alive by a reference-counted storage.
//
// The storage decides who owns the bytes: nobody (NoCopy: borrowed memory), a private copy
// behind the storage object (Copy, FromFileContent), a shared Stroka (FromString), a TBuffer
// taken over without copying (FromBuffer, FromStream) or a window of a memory-mapped file
// (FromFile, FromMemoryMap). A SubBlob shares its parent's storage, so any slice keeps the
// whole storage alive:
//     TBlob table = TBlob::FromStream(in);
//     TBlob head = table.SubBlob(0, 16);
#pragma once

#include "util/generic/buffer.h"
#include "util/generic/string.h"
#include "util/stream/input.h"
#include "util/system/file.h"
#include "util/system/mmap.h"

#include <cstddef>
#include <cstdint>

// Handles on storage with an atomic count (the factories without a suffix) may be copied and
// destroyed from several threads at once; the SingleThreaded factories use a plain count and
// their handles must stay in one thread. Failures: the standard bad-allocation error, the file
// and map layers' errors, kexception "incorrect subblob (...)", "memory map not open" and
// "can not map(...)"; nothing is leaked when a factory raises.
class TBlob {
public:
    // The storage of a blob's bytes; counts the handles and goes with the last of them.
    class TBase {
    public:
        virtual ~TBase() = default;
        virtual void Ref() noexcept = 0;
        virtual void UnRef() noexcept = 0;
    };

    // The empty blob: no data, length 0.
    TBlob() noexcept;
    TBlob(const TBlob& other) noexcept;
    TBlob(TBlob&& other) noexcept;
    TBlob& operator=(const TBlob& other) noexcept;
    TBlob& operator=(TBlob&& other) noexcept;
    ~TBlob();

    // Shares other's storage: counts it before the old storage is released.
    TBlob& Assign(const TBlob& other) noexcept { return *this = other; }

    const void* Data() const noexcept { return Data_; }
    const char* AsCharPtr() const noexcept { return static_cast<const char*>(Data_); }
    const unsigned char* AsUnsignedCharPtr() const noexcept {
        return static_cast<const unsigned char*>(Data_);
    }
    size_t Size() const noexcept { return Length_; }
    size_t Length() const noexcept { return Length_; }
    bool Empty() const noexcept { return Length_ == 0; }
    const char* Begin() const noexcept { return AsCharPtr(); }
    const char* End() const noexcept { return AsCharPtr() + Length_; }

    void Swap(TBlob& other) noexcept;

    // The bytes [begin, end) sharing this blob's storage. Raises kexception "incorrect subblob ("
    // + begin + ", " + end + ", outer length = " + length + ")" for a range outside the blob.
    TBlob SubBlob(size_t begin, size_t end) const;
    TBlob SubBlob(size_t length) const { return SubBlob(0, length); }
    // A private copy of the bytes.
    TBlob DeepCopy() const;

    // Wraps memory the caller keeps alive as long as any handle.
    static TBlob NoCopy(const void* data, size_t length) noexcept;
    // Copies the bytes into one new allocation.
    static TBlob Copy(const void* data, size_t length);
    static TBlob CopySingleThreaded(const void* data, size_t length);
    // Shares the string's block.
    static TBlob FromString(const Stroka& s);
    static TBlob FromStringSingleThreaded(const Stroka& s);
    // Takes the buffer's block; the caller's buffer comes back empty.
    static TBlob FromBuffer(TBuffer& buffer);
    static TBlob FromBufferSingleThreaded(TBuffer& buffer);
    // Reads the stream to its end.
    static TBlob FromStream(TInputStream& in);
    static TBlob FromStreamSingleThreaded(TInputStream& in);
    // Reads the whole file, or `length` bytes at `offset`, into a private copy.
    static TBlob FromFileContent(const Stroka& path);
    static TBlob FromFileContent(const TFile& file);
    static TBlob FromFileContent(const TFile& file, uint64_t offset, size_t length);
    static TBlob FromFileContentSingleThreaded(const Stroka& path);
    static TBlob FromFileContentSingleThreaded(const TFile& file);
    static TBlob FromFileContentSingleThreaded(const TFile& file, uint64_t offset, size_t length);
    // A window of an open map.
    static TBlob FromMemoryMap(const TMemoryMap& map, uint64_t offset, size_t length);
    static TBlob FromMemoryMapSingleThreaded(const TMemoryMap& map, uint64_t offset, size_t length);
    // Maps the whole file read-only.
    static TBlob FromFile(const TFile& file);
    static TBlob FromFile(const Stroka& path);
    static TBlob FromFileSingleThreaded(const TFile& file);
    static TBlob FromFileSingleThreaded(const Stroka& path);
    // The same, with the pages read in at once.
    static TBlob PrechargedFromFile(const TFile& file);
    static TBlob PrechargedFromFile(const Stroka& path);
    static TBlob PrechargedFromFileSingleThreaded(const TFile& file);
    static TBlob PrechargedFromFileSingleThreaded(const Stroka& path);

private:
    friend struct TBlobFactory;

    // Takes over one reference on base that the caller already counted.
    TBlob(const void* data, size_t length, TBase* base) noexcept
        : Data_(data), Length_(length), Base_(base) {}

    void Ref() noexcept;
    void UnRef() noexcept;

    const void* Data_;
    size_t Length_;
    TBase* Base_;
};
