// Memory maps. The map's state lives in one shared record; windows of a greedy map are slices
// of the whole-file mapping, windows of a non-greedy map are mappings of their own.
#include "util/system/mmap.h"

#include "util/generic/exception.h"
#include "util/system/sys_info.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>

namespace {

constexpr uint64_t PrechargePage = 4096;

int Protection(uint32_t mode) {
    return (mode & 3) == TMemoryMap::oRdOnly ? PROT_READ : PROT_READ | PROT_WRITE;
}

// The page-aligned range that covers [p, p + length), as the system calls want it.
struct TPageRange {
    void* Begin;
    size_t Length;
};

TPageRange PagesOf(const void* p, uint64_t length) {
    const uintptr_t page = NSystemInfo::PageSize();
    const uintptr_t begin = reinterpret_cast<uintptr_t>(p) & ~(page - 1);
    const uintptr_t end = reinterpret_cast<uintptr_t>(p) + length;
    return {reinterpret_cast<void*>(begin), size_t(end - begin)};
}

bool AllResident(const void* p, uint64_t length, unsigned char* vector) {
    const TPageRange range = PagesOf(p, length);
    if (mincore(range.Begin, range.Length, vector) != 0) {
        return false;
    }
    const size_t pages = (range.Length + NSystemInfo::PageSize() - 1) / NSystemInfo::PageSize();
    return std::all_of(vector, vector + pages, [](unsigned char c) { return (c & 1) != 0; });
}

}  // namespace

int Precharge(TFile file, const void* pointer, uint64_t size, uint64_t position, int64_t count,
              int64_t fileOffset) {
    if (position > size || size == 0) {
        return 0;
    }
    const uint64_t end = count < 0 ? size : std::min(size, position + uint64_t(count));
    if (end <= position) {
        return 0;
    }
    const uint64_t first = position - position % PrechargePage;
    const char* start = static_cast<const char*>(pointer) + first;
    const uint64_t total = end - first;

    const TPageRange all = PagesOf(start, total);
    madvise(all.Begin, all.Length, MADV_WILLNEED);

    const uint64_t chunk = total <= (uint64_t(128) << 20) ? uint64_t(4) << 20 : uint64_t(64) << 20;
    // One residency byte per page of the largest chunk, plus the pages that alignment adds.
    auto residency = std::make_unique<unsigned char[]>((chunk / PrechargePage) + 2);
    auto scratch = std::make_unique<char[]>(std::min(total, chunk));
    for (uint64_t done = 0; done < total; done += chunk) {
        const uint64_t length = std::min(chunk, total - done);
        if (!AllResident(start + done, length, residency.get())) {
            file.Pread(scratch.get(), length, fileOffset + int64_t(first + done));
        }
        const TPageRange range = PagesOf(start + done, length);
        madvise(range.Begin, range.Length, MADV_WILLNEED);
    }
    return 0;
}

class TMemoryMap::TImpl {
public:
    TImpl(const TFile& file, uint32_t mode, const Stroka& name, int64_t length)
        : File(file),
          Length(length),
          Mode(mode),
          Name(file.GetName().empty() ? name : file.GetName()) {}

    ~TImpl() {
        if (Base != nullptr) {
            munmap(Base, size_t(Length));
        }
    }

    // Maps the whole file unless the map is not greedy.
    void MapWhole(const char* kind) {
        if (!File.IsOpen()) {
            const int status = errno;
            throw kexception() << "TMemoryMap: " << kind << " '" << Name << "' is not open, "
                               << strerror(status);
        }
        if (Mode & oNotGreedy) {
            return;
        }
        void* p = mmap(nullptr, size_t(Length), Protection(Mode), MAP_SHARED, File.GetHandle(), 0);
        if (p == MAP_FAILED) {
            const int status = errno;
            if (Length != 0) {
                throw kexception() << "Can't map " << Length << " bytes of file '" << Name
                                   << "' at offset 0: " << strerror(status);
            }
            p = nullptr;
        }
        Base = p;
    }

    std::atomic<uint64_t> Refs{1};
    TFile File;
    int64_t Length;
    uint32_t Mode;
    void* Base = nullptr;
    Stroka Name;  // for messages
};

namespace {

// Opens a named file for a map: read-write with oRdWr, read-only otherwise.
TFile OpenForMap(const Stroka& name, uint32_t mode) {
    return TFile(name, (mode & TMemoryMap::oRdWr) ? RdWr : RdOnly);
}

}  // namespace

TMemoryMap::TMemoryMap(const TFile& file, EOpenMode mode, const Stroka& name)
    : Impl_(new TImpl(file, mode, name, file.GetLength())) {
    std::unique_ptr<TImpl> guard(Impl_);
    Impl_->MapWhole("TFile");
    guard.release();
}

TMemoryMap::TMemoryMap(FILE* stream, EOpenMode mode, const Stroka& name) : Impl_(nullptr) {
    const TFile file = DuplicateFile(stream);
    auto impl = std::make_unique<TImpl>(file, mode, name, file.GetLength());
    impl->MapWhole("FILE");
    Impl_ = impl.release();
}

TMemoryMap::TMemoryMap(const Stroka& name, EOpenMode mode) : Impl_(nullptr) {
    const TFile file = OpenForMap(name, mode);
    auto impl = std::make_unique<TImpl>(file, mode, name, file.GetLength());
    impl->MapWhole("TFile");
    Impl_ = impl.release();
}

TMemoryMap::TMemoryMap(const Stroka& name, int64_t length, EOpenMode mode) : Impl_(nullptr) {
    TFile file = OpenForMap(name, mode);
    if (file.GetLength() < length) {
        file.Resize(length);
    }
    auto impl = std::make_unique<TImpl>(file, mode, name, length);
    impl->MapWhole("TFile");
    Impl_ = impl.release();
}

TMemoryMap::TMemoryMap(const TMemoryMap& other) noexcept : Impl_(other.Impl_) {
    Impl_->Refs.fetch_add(1, std::memory_order_relaxed);
}

TMemoryMap& TMemoryMap::operator=(const TMemoryMap& other) noexcept {
    TMemoryMap copy(other);
    std::swap(Impl_, copy.Impl_);
    return *this;
}

TMemoryMap::~TMemoryMap() {
    if (Impl_->Refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        delete Impl_;
    }
}

TMapResult TMemoryMap::Map(int64_t offset, uint64_t size, const char* name) {
    const TImpl& impl = *Impl_;
    const Stroka& shown =
        !impl.File.GetName().empty() || name == nullptr ? impl.Name : Stroka(name);
    if (offset < 0 || impl.Length < offset) {
        throw kexception() << "Can't map something at offset " << offset << " of '" << shown
                           << "' with length " << impl.Length;
    }
    if (uint64_t(impl.Length - offset) < size) {
        const int status = errno;
        throw kexception() << "Can't map " << size << " bytes at offset " << offset << " of '"
                           << shown << "': " << strerror(status);
    }
    const int64_t page = int64_t(NSystemInfo::PageSize());
    const int64_t aligned = offset - offset % page;
    TMapResult result;
    result.Head = int32_t(offset - aligned);
    result.Size = uint64_t(result.Head) + size;
    if (!(impl.Mode & oNotGreedy)) {
        result.Ptr = impl.Base != nullptr ? static_cast<char*>(impl.Base) + aligned : nullptr;
    } else {
        void* p = mmap(nullptr, size_t(result.Size), Protection(impl.Mode), MAP_SHARED,
                       impl.File.GetHandle(), aligned);
        result.Ptr = p == MAP_FAILED ? nullptr : p;
    }
    if (result.Ptr == nullptr && result.Size != 0) {
        const int status = errno;
        throw kexception() << "Can't map " << result.Size << " bytes at offset " << offset
                           << " of '" << shown << "': " << strerror(status);
    }
    if (impl.Mode & oPrecharge) {
        Precharge(impl.File, result.Ptr, result.Size, 0, int64_t(result.Size), aligned);
    }
    return result;
}

bool TMemoryMap::Unmap(void* ptr, uint64_t size) {
    if ((Impl_->Mode & oNotGreedy) && size != 0) {
        return munmap(ptr, size_t(size)) == 0;
    }
    return true;
}

int64_t TMemoryMap::Length() const noexcept {
    return Impl_->Length;
}

bool TMemoryMap::IsOpen() const noexcept {
    return Impl_->File.IsOpen();
}

TFile TMemoryMap::GetFile() const noexcept {
    return Impl_->File;
}

TMemoryMap::EOpenMode TMemoryMap::GetMode() const noexcept {
    return Impl_->Mode;
}

void TMemoryMap::SetSequential() {
    if (Impl_->Base != nullptr && Impl_->Length != 0 &&
        madvise(Impl_->Base, size_t(Impl_->Length), MADV_SEQUENTIAL) != 0) {
        const int status = errno;
        throw kexception() << "error setting sequential: " << strerror(status);
    }
}

void TMemoryMap::Evict(void* ptr, uint64_t length) {
    // The pages of a shared file mapping can only be dropped, not freed; the file keeps the data.
    if (madvise(ptr, size_t(length), MADV_DONTNEED) != 0) {
        const int status = errno;
        throw kexception() << "error evecting {" << static_cast<const void*>(ptr) << ", " << length
                           << "} with MADV_FREE: " << strerror(status);
    }
}

void TMemoryMap::Evict() {
    Evict(Impl_->Base, uint64_t(Impl_->Length));
}

TFileMap::TFileMap(const TMemoryMap& map) noexcept : Map_(map) {}

TFileMap::TFileMap(const TFileMap& other) noexcept : Map_(other.Map_) {}

TFileMap::TFileMap(const TFile& file, EOpenMode mode) : Map_(file, mode, "Unknown_file_name") {}

TFileMap::TFileMap(FILE* stream, EOpenMode mode) : Map_(stream, mode, "Unknown_file_name") {}

TFileMap::TFileMap(const Stroka& name, EOpenMode mode) : Map_(name, mode) {}

TFileMap::TFileMap(const Stroka& name, int64_t length, EOpenMode mode) : Map_(name, length, mode) {}

TFileMap::~TFileMap() {
    try {
        Unmap();
    } catch (...) {
    }
}

TMapResult TFileMap::Map(int64_t offset, uint64_t size, const char* name) {
    Unmap();
    Window_ = Map_.Map(offset, size, name);
    WindowOffset_ = offset;
    return Window_;
}

void TFileMap::Unmap() {
    if (Window_.Ptr == nullptr) {
        return;
    }
    if (!Map_.Unmap(Window_)) {
        throw kexception() << "can't unmap file";
    }
    Window_ = TMapResult();
}

void TFileMap::Flush(void* ptr, uint64_t size, bool sync) {
    if (Window_.Ptr == nullptr) {
        return;
    }
    const TPageRange range = PagesOf(ptr, size);
    msync(range.Begin, range.Length, sync ? MS_SYNC : MS_ASYNC);
}

int TFileMap::Precharge(uint64_t position, int64_t count) const {
    return ::Precharge(Map_.GetFile(), Window_.MappedData(), Window_.Ptr ? Window_.MappedSize() : 0,
                       position, count, WindowOffset_);
}

TMappedFile::TMappedFile(TFileMap* map, const char* name) {
    Replace(map, name);
}

TMappedFile::TMappedFile(const TFile& file, TFileMap::EOpenMode mode, const char* name) {
    Init(file, mode, name);
}

TMappedFile::TMappedFile(const Stroka& name, TFileMap::EOpenMode mode) {
    Init(name, mode);
}

TMappedFile::TMappedFile(const Stroka& name, int64_t length, TFileMap::EOpenMode mode) {
    Init(name, length, mode);
}

TMappedFile::~TMappedFile() {
    Term();
}

void TMappedFile::Init(const TFile& file, TFileMap::EOpenMode mode, const char* name) {
    Replace(new TFileMap(file, mode), name != nullptr ? name : file.GetName().c_str());
}

void TMappedFile::Init(const Stroka& name, TFileMap::EOpenMode mode) {
    Replace(new TFileMap(name, mode), name.c_str());
}

void TMappedFile::Init(const Stroka& name, int64_t length, TFileMap::EOpenMode mode) {
    Replace(new TFileMap(name, length, mode), name.c_str());
}

void TMappedFile::Replace(TFileMap* map, const char* name) {
    try {
        map->Map(0, uint64_t(map->Length()), name);
    } catch (...) {
        delete map;
        throw;
    }
    TFileMap* old = Map_;
    Map_ = map;
    delete old;
}

void TMappedFile::Term() {
    delete Map_;
    Map_ = nullptr;
}

void TMappedFile::Flush() {
    if (Map_ != nullptr) {
        Map_->Flush(Map_->Ptr(), Map_->MappedSize(), true);
    }
}

int TMappedFile::Precharge(uint64_t position, int64_t count) const {
    return Map_ != nullptr ? Map_->Precharge(position, count) : 0;
}

TMappedAllocation::TMappedAllocation(uint64_t size, bool shared, void* hint)
    : Shared_(shared ? 1 : 0) {
    if (size != 0) {
        Alloc(size, hint);
    }
}

void* TMappedAllocation::Alloc(uint64_t size, void* hint) {
    Dealloc();
    void* p = mmap(hint, size_t(size), PROT_READ | PROT_WRITE,
                   MAP_ANONYMOUS | (Shared_ ? MAP_SHARED : MAP_PRIVATE), -1, 0);
    if (p == MAP_FAILED) {
        Ptr_ = nullptr;
        return nullptr;
    }
    Ptr_ = p;
    Size_ = size;
    return p;
}

void TMappedAllocation::Dealloc() noexcept {
    if (Ptr_ != nullptr) {
        munmap(Ptr_, size_t(Size_));
        Ptr_ = nullptr;
        Size_ = 0;
    }
}

void TMappedAllocation::Swap(TMappedAllocation& other) noexcept {
    std::swap(Ptr_, other.Ptr_);
    std::swap(Size_, other.Size_);
}
