// The storage kinds of TBlob and their factories.
#include "util/stream/blob.h"

#include "util/generic/exception.h"
#include "util/stream/additional_storage.h"
#include "util/stream/buffer_stream.h"
#include "util/system/singleton.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <utility>

namespace {

// Counter policies: the count a storage keeps of the handles on it.
class TAtomicCounter {
public:
    void Inc() noexcept { Count_.fetch_add(1, std::memory_order_relaxed); }
    // True when the count reached 0.
    bool Dec() noexcept { return Count_.fetch_sub(1, std::memory_order_acq_rel) == 1; }

private:
    std::atomic<uint64_t> Count_{0};
};

class TSimpleCounter {
public:
    void Inc() noexcept { ++Count_; }
    bool Dec() noexcept { return --Count_ == 0; }

private:
    uint64_t Count_ = 0;
};

// A storage counted with policy C that deletes itself with the last handle.
template <class C>
class TCountedBase : public TBlob::TBase {
public:
    void Ref() noexcept override { Counter_.Inc(); }
    void UnRef() noexcept override {
        if (Counter_.Dec()) {
            delete this;
        }
    }

private:
    C Counter_;
};

// Borrowed memory and the empty blob: nothing to count or free.
class TNullBlobBase : public TBlob::TBase {
public:
    void Ref() noexcept override {}
    void UnRef() noexcept override {}
};

// Goes after every library singleton that may still hold blobs.
constexpr uint64_t NullBlobBasePriority = 256;

TBlob::TBase* NullBase() {
    return SingletonWithPriority<TNullBlobBase, NullBlobBasePriority>();
}

// A private copy of the bytes, lying behind the object in the same allocation.
template <class C>
class TDynamicBlobBase : public TCountedBase<C>, public TAdditionalStorage<TDynamicBlobBase<C>> {
public:
    using TAdditionalStorage<TDynamicBlobBase<C>>::operator new;
    using TAdditionalStorage<TDynamicBlobBase<C>>::operator delete;
};

template <class C>
class TStringBlobBase : public TCountedBase<C> {
public:
    explicit TStringBlobBase(const Stroka& s) noexcept : String_(s) {}
    const Stroka& String() const noexcept { return String_; }

private:
    Stroka String_;
};

template <class C>
class TBufferBlobBase : public TCountedBase<C> {
public:
    explicit TBufferBlobBase(TBuffer& buffer) noexcept { Buffer_.Swap(buffer); }
    const TBuffer& Buffer() const noexcept { return Buffer_; }

private:
    TBuffer Buffer_;
};

// One window of a map; the window keeps the map alive.
template <class C>
class TMappedBlobBase : public TCountedBase<C> {
public:
    TMappedBlobBase(const TMemoryMap& map, uint64_t offset, size_t length) : Window_(map) {
        if (!map.IsOpen()) {
            throw kexception() << "memory map not open";
        }
        Window_.Map(static_cast<int64_t>(offset), length);
        if (length != 0 && Window_.Ptr() == nullptr) {
            throw kexception() << "can not map(" << static_cast<unsigned long>(offset) << ", "
                               << static_cast<unsigned long>(length) << ")";
        }
    }
    const TFileMap& Window() const noexcept { return Window_; }

private:
    TFileMap Window_;
};

}  // namespace

// Helpers that build blobs need the private constructor; they live in this struct.
struct TBlobFactory {
    template <class TStorage>
    static TBlob Make(const void* data, size_t length, TStorage* storage) noexcept {
        storage->Ref();
        return TBlob(data, length, storage);
    }

    template <class C>
    static TBlob Copy(const void* data, size_t length) {
        auto* storage = new (length) TDynamicBlobBase<C>();
        if (length != 0) {
            std::memcpy(storage->AdditionalData(), data, length);
        }
        return Make(storage->AdditionalData(), length, storage);
    }

    template <class C>
    static TBlob FromString(const Stroka& s) {
        auto* storage = new TStringBlobBase<C>(s);
        return Make(storage->String().data(), storage->String().size(), storage);
    }

    template <class C>
    static TBlob FromBuffer(TBuffer& buffer) {
        auto* storage = new TBufferBlobBase<C>(buffer);
        return Make(storage->Buffer().Data(), storage->Buffer().Size(), storage);
    }

    template <class C>
    static TBlob FromStream(TInputStream& in) {
        TBuffer buffer;
        {
            TBufferOutput out(buffer);
            TransferData(&in, &out);
        }
        return FromBuffer<C>(buffer);
    }

    template <class C>
    static TBlob FromFileContent(const TFile& file, uint64_t offset, size_t length) {
        auto* storage = new (length) TDynamicBlobBase<C>();
        std::unique_ptr<TDynamicBlobBase<C>> guard(storage);
        if (length != 0) {
            file.Pload(storage->AdditionalData(), length, static_cast<int64_t>(offset));
        }
        guard.release();
        return Make(storage->AdditionalData(), length, storage);
    }

    template <class C>
    static TBlob FromFileContent(const TFile& file) {
        return FromFileContent<C>(file, 0, static_cast<size_t>(file.GetLength()));
    }

    template <class C>
    static TBlob FromMemoryMap(const TMemoryMap& map, uint64_t offset, size_t length) {
        auto* storage = new TMappedBlobBase<C>(map, offset, length);
        const TFileMap& window = storage->Window();
        return Make(window.Ptr(), static_cast<size_t>(window.MappedSize()), storage);
    }

    template <class C>
    static TBlob FromWholeMap(const TMemoryMap& map) {
        return FromMemoryMap<C>(map, 0, static_cast<size_t>(map.Length()));
    }
};

TBlob::TBlob() noexcept : Data_(nullptr), Length_(0), Base_(NullBase()) {}

TBlob::TBlob(const TBlob& other) noexcept
    : Data_(other.Data_), Length_(other.Length_), Base_(other.Base_) {
    Ref();
}

TBlob::TBlob(TBlob&& other) noexcept : TBlob() {
    Swap(other);
}

TBlob& TBlob::operator=(const TBlob& other) noexcept {
    if (this != &other) {
        TBlob(other).Swap(*this);
    }
    return *this;
}

TBlob& TBlob::operator=(TBlob&& other) noexcept {
    TBlob(std::move(other)).Swap(*this);
    return *this;
}

TBlob::~TBlob() {
    UnRef();
}

// The null storage counts nothing; skipping it also keeps blobs that outlive the at-exit run
// (static handles of the C++ runtime) away from its destroyed object.
void TBlob::Ref() noexcept {
    if (Base_ != NullBase()) {
        Base_->Ref();
    }
}

void TBlob::UnRef() noexcept {
    if (Base_ != NullBase()) {
        Base_->UnRef();
    }
}

void TBlob::Swap(TBlob& other) noexcept {
    std::swap(Data_, other.Data_);
    std::swap(Length_, other.Length_);
    std::swap(Base_, other.Base_);
}

TBlob TBlob::SubBlob(size_t begin, size_t end) const {
    if (begin > Length_ || end > Length_ || end < begin) {
        throw kexception() << "incorrect subblob (" << static_cast<unsigned long>(begin) << ", "
                           << static_cast<unsigned long>(end)
                           << ", outer length = " << static_cast<unsigned long>(Length_) << ")";
    }
    Base_->Ref();
    return TBlob(AsCharPtr() + begin, end - begin, Base_);
}

TBlob TBlob::DeepCopy() const {
    return Copy(Data_, Length_);
}

TBlob TBlob::NoCopy(const void* data, size_t length) noexcept {
    return TBlob(data, length, NullBase());
}

TBlob TBlob::Copy(const void* data, size_t length) {
    return TBlobFactory::Copy<TAtomicCounter>(data, length);
}

TBlob TBlob::CopySingleThreaded(const void* data, size_t length) {
    return TBlobFactory::Copy<TSimpleCounter>(data, length);
}

TBlob TBlob::FromString(const Stroka& s) {
    return TBlobFactory::FromString<TAtomicCounter>(s);
}

TBlob TBlob::FromStringSingleThreaded(const Stroka& s) {
    return TBlobFactory::FromString<TSimpleCounter>(s);
}

TBlob TBlob::FromBuffer(TBuffer& buffer) {
    return TBlobFactory::FromBuffer<TAtomicCounter>(buffer);
}

TBlob TBlob::FromBufferSingleThreaded(TBuffer& buffer) {
    return TBlobFactory::FromBuffer<TSimpleCounter>(buffer);
}

TBlob TBlob::FromStream(TInputStream& in) {
    return TBlobFactory::FromStream<TAtomicCounter>(in);
}

TBlob TBlob::FromStreamSingleThreaded(TInputStream& in) {
    return TBlobFactory::FromStream<TSimpleCounter>(in);
}

TBlob TBlob::FromFileContent(const Stroka& path) {
    return TBlobFactory::FromFileContent<TAtomicCounter>(TFile(path, RdOnly));
}

TBlob TBlob::FromFileContent(const TFile& file) {
    return TBlobFactory::FromFileContent<TAtomicCounter>(file);
}

TBlob TBlob::FromFileContent(const TFile& file, uint64_t offset, size_t length) {
    return TBlobFactory::FromFileContent<TAtomicCounter>(file, offset, length);
}

TBlob TBlob::FromFileContentSingleThreaded(const Stroka& path) {
    return TBlobFactory::FromFileContent<TSimpleCounter>(TFile(path, RdOnly));
}

TBlob TBlob::FromFileContentSingleThreaded(const TFile& file) {
    return TBlobFactory::FromFileContent<TSimpleCounter>(file);
}

TBlob TBlob::FromFileContentSingleThreaded(const TFile& file, uint64_t offset, size_t length) {
    return TBlobFactory::FromFileContent<TSimpleCounter>(file, offset, length);
}

TBlob TBlob::FromMemoryMap(const TMemoryMap& map, uint64_t offset, size_t length) {
    return TBlobFactory::FromMemoryMap<TAtomicCounter>(map, offset, length);
}

TBlob TBlob::FromMemoryMapSingleThreaded(const TMemoryMap& map, uint64_t offset, size_t length) {
    return TBlobFactory::FromMemoryMap<TSimpleCounter>(map, offset, length);
}

namespace {
constexpr TMemoryMap::EOpenMode MapReadOnly = TMemoryMap::oRdOnly;
constexpr TMemoryMap::EOpenMode MapPrecharged = TMemoryMap::oRdOnly | TMemoryMap::oPrecharge;
}  // namespace

TBlob TBlob::FromFile(const TFile& file) {
    return TBlobFactory::FromWholeMap<TAtomicCounter>(TMemoryMap(file, MapReadOnly));
}

TBlob TBlob::FromFile(const Stroka& path) {
    return TBlobFactory::FromWholeMap<TAtomicCounter>(TMemoryMap(path, MapReadOnly));
}

TBlob TBlob::FromFileSingleThreaded(const TFile& file) {
    return TBlobFactory::FromWholeMap<TSimpleCounter>(TMemoryMap(file, MapReadOnly));
}

TBlob TBlob::FromFileSingleThreaded(const Stroka& path) {
    return TBlobFactory::FromWholeMap<TSimpleCounter>(TMemoryMap(path, MapReadOnly));
}

TBlob TBlob::PrechargedFromFile(const TFile& file) {
    return TBlobFactory::FromWholeMap<TAtomicCounter>(TMemoryMap(file, MapPrecharged));
}

TBlob TBlob::PrechargedFromFile(const Stroka& path) {
    return TBlobFactory::FromWholeMap<TAtomicCounter>(TMemoryMap(path, MapPrecharged));
}

TBlob TBlob::PrechargedFromFileSingleThreaded(const TFile& file) {
    return TBlobFactory::FromWholeMap<TSimpleCounter>(TMemoryMap(file, MapPrecharged));
}

TBlob TBlob::PrechargedFromFileSingleThreaded(const Stroka& path) {
    return TBlobFactory::FromWholeMap<TSimpleCounter>(TMemoryMap(path, MapPrecharged));
}
