// Memory maps of files. TMemoryMap is a shared, reference-counted map of one open file that
// either maps the whole file at creation or leaves every window to be mapped on request;
// TFileMap is one page-aligned window onto it; TMappedFile holds one window over the whole file;
// Precharge brings a mapped range into memory ahead of use; TMappedAllocation is an anonymous
// mapping of plain memory.
#pragma once

#include "util/generic/string.h"
#include "util/system/file.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

// A mapped window: the requested bytes start at Ptr + Head and are Size - Head long; Ptr is the
// first mapped page.
struct TMapResult {
    void* Ptr = nullptr;
    uint64_t Size = 0;
    int32_t Head = 0;

    void* MappedData() const noexcept { return Ptr ? static_cast<char*>(Ptr) + Head : nullptr; }
    uint64_t MappedSize() const noexcept { return Size - uint64_t(Head); }
};

// Reads the part [position, position + count) of a mapped range into memory ahead of use (count
// -1: to the end) and returns 0. `pointer` is the mapping of the file's bytes from `fileOffset`
// on; every 4096-byte-aligned chunk with a page that is not resident is read from the file at
// its own offset.
int Precharge(TFile file, const void* pointer, uint64_t size, uint64_t position, int64_t count,
              int64_t fileOffset = 0);

// Copies share the state (atomically counted, so copies may be released from several threads);
// the last one unmaps the whole-file mapping and releases the file. Failures raise kexception
// with the texts of this unit, file failures the file layer's TFileError.
class TMemoryMap {
public:
    using EOpenMode = uint32_t;
    enum EOpenModeFlag : uint32_t {
        oRdOnly = 1,      // pages read-only when the two low bits are exactly 1
        oRdWr = 2,        // a named file is opened read-write; pages read-write
        oNotGreedy = 8,   // the whole file is not mapped; each window maps itself
        oPrecharge = 16,  // every window is precharged right after mapping
    };

    // `name` is used in messages when the file has no name of its own.
    TMemoryMap(const TFile& file, EOpenMode mode = oRdOnly,
               const Stroka& name = "Unknown_file_name");
    TMemoryMap(FILE* stream, EOpenMode mode = oRdOnly, const Stroka& name = "Unknown_file_name");
    TMemoryMap(const Stroka& name, EOpenMode mode = oRdOnly);
    // Grows a shorter file to `length` first; the map covers `length` bytes.
    TMemoryMap(const Stroka& name, int64_t length, EOpenMode mode);
    TMemoryMap(const TMemoryMap& other) noexcept;
    TMemoryMap& operator=(const TMemoryMap& other) noexcept;
    ~TMemoryMap();

    // The window [offset, offset + size), page-aligned.
    TMapResult Map(int64_t offset, uint64_t size, const char* name = nullptr);
    // Unmaps a window mapped by itself; a window inside the whole-file mapping needs nothing.
    bool Unmap(void* ptr, uint64_t size);
    bool Unmap(const TMapResult& window) { return Unmap(window.Ptr, window.Size); }

    int64_t Length() const noexcept;
    bool IsOpen() const noexcept;
    TFile GetFile() const noexcept;
    EOpenMode GetMode() const noexcept;

    void SetSequential();
    // Drops the pages of the range from memory; the file keeps its contents.
    void Evict(void* ptr, uint64_t length);
    void Evict();

private:
    class TImpl;
    TImpl* Impl_;
};

// One window onto a TMemoryMap. Belongs to one thread at a time.
class TFileMap {
public:
    using EOpenMode = TMemoryMap::EOpenMode;

    explicit TFileMap(const TMemoryMap& map) noexcept;
    // Shares the other's map and starts without a window.
    TFileMap(const TFileMap& other) noexcept;
    TFileMap(const TFile& file, EOpenMode mode = TMemoryMap::oRdOnly);
    TFileMap(FILE* stream, EOpenMode mode = TMemoryMap::oRdOnly);
    TFileMap(const Stroka& name, EOpenMode mode = TMemoryMap::oRdOnly);
    TFileMap(const Stroka& name, int64_t length, EOpenMode mode);
    TFileMap& operator=(const TFileMap&) = delete;
    ~TFileMap();

    // Replaces the window; raises when the range is outside the map.
    TMapResult Map(int64_t offset, uint64_t size, const char* name = nullptr);
    // Raises kexception "can't unmap file" when the window cannot be unmapped.
    void Unmap();
    void Flush(void* ptr, uint64_t size, bool sync);
    int Precharge(uint64_t position = 0, int64_t count = -1) const;

    void* Ptr() const noexcept { return Window_.MappedData(); }
    uint64_t MappedSize() const noexcept { return Window_.Ptr ? Window_.MappedSize() : 0; }
    int64_t Length() const noexcept { return Map_.Length(); }
    const TMemoryMap& GetMemoryMap() const noexcept { return Map_; }

private:
    TMemoryMap Map_;
    TMapResult Window_;
    int64_t WindowOffset_ = 0;  // file offset of the requested bytes (Ptr() points at them)
};

// One window over a whole file. Belongs to one thread at a time.
class TMappedFile {
public:
    TMappedFile() noexcept = default;
    // Takes the map and maps it whole.
    TMappedFile(TFileMap* map, const char* name = nullptr);
    TMappedFile(const TFile& file, TFileMap::EOpenMode mode = TMemoryMap::oRdOnly,
                const char* name = nullptr);
    explicit TMappedFile(const Stroka& name, TFileMap::EOpenMode mode = TMemoryMap::oRdOnly);
    TMappedFile(const Stroka& name, int64_t length, TFileMap::EOpenMode mode);
    TMappedFile(const TMappedFile&) = delete;
    TMappedFile& operator=(const TMappedFile&) = delete;
    ~TMappedFile();

    // Each replaces the current map only once the new one is mapped.
    void Init(const TFile& file, TFileMap::EOpenMode mode = TMemoryMap::oRdOnly,
              const char* name = nullptr);
    void Init(const Stroka& name, TFileMap::EOpenMode mode = TMemoryMap::oRdOnly);
    void Init(const Stroka& name, int64_t length, TFileMap::EOpenMode mode);
    void Term();

    void Flush();
    int Precharge(uint64_t position = 0, int64_t count = -1) const;

    void* Data() const noexcept { return Map_ ? Map_->Ptr() : nullptr; }
    uint64_t Length() const noexcept { return Map_ ? Map_->MappedSize() : 0; }

private:
    void Replace(TFileMap* map, const char* name);

    TFileMap* Map_ = nullptr;
};

// Anonymous memory from mmap, private or shared with children.
class TMappedAllocation {
public:
    explicit TMappedAllocation(uint64_t size = 0, bool shared = false, void* hint = nullptr);
    TMappedAllocation(const TMappedAllocation&) = delete;
    TMappedAllocation& operator=(const TMappedAllocation&) = delete;
    ~TMappedAllocation() { Dealloc(); }

    // Null when the system refuses.
    void* Alloc(uint64_t size, void* hint = nullptr);
    void Dealloc() noexcept;
    // Exchanges address and size; each keeps its own shared flag.
    void Swap(TMappedAllocation& other) noexcept;

    void* Data() const noexcept { return Ptr_; }
    uint64_t Size() const noexcept { return Size_; }

private:
    void* Ptr_ = nullptr;
    uint64_t Size_ = 0;
    int Shared_ = 0;
};
