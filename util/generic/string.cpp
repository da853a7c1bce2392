#include "util/generic/string.h"

#include "util/generic/standard_errors.h"

#include <atomic>
#include <bit>
#include <cstdlib>
#include <new>

namespace {

// The static empty representation: an all-zero header followed by zero characters wide enough
// for either string type.
struct alignas(16) TEmptyBlock {
    NStringPrivate::TStringHeader Header;
    char16_t Chars[4];
};

constinit TEmptyBlock EmptyBlock = {};

// Smallest power of two not below n (n >= 1); n itself when that would overflow.
size_t RoundUpToPowerOfTwo(size_t n) noexcept {
    return n > (static_cast<size_t>(1) << 63) ? n : std::bit_ceil(n);
}

// Cuts the range [pos, pos + n) to a text of len characters.
void ClampRange(size_t len, size_t& pos, size_t& n) noexcept {
    if (pos > len) {
        pos = len;
    }
    if (n > len - pos) {
        n = len - pos;
    }
}

}  // namespace

namespace NStringPrivate {
void* const EmptyStringData = &EmptyBlock.Chars;
}  // namespace NStringPrivate

template <class TDerived, class TChar, class TTraits>
TChar* TStringImpl<TDerived, TChar, TTraits>::Allocate(size_t length, size_t request, TChar* old) {
    if (request == 0) {
        if (old && old != EmptyData()) {
            std::free(Header(old));
        }
        return EmptyData();
    }
    const size_t capacity = RoundUpToPowerOfTwo(request);
    // Above this capacity the block size (header, characters and NUL) no longer fits 64 bits.
    constexpr size_t maxCapacity =
        sizeof(TChar) == 1 ? static_cast<size_t>(-27) : 0x7FFFFFFFFFFFFFF1ull;
    if (capacity > maxCapacity) {
        ThrowLengthError("Allocate() will fail");
    }
    const size_t bytes = sizeof(THeader) + (capacity + 1) * sizeof(TChar);
    void* block = old ? std::realloc(Header(old), bytes) : std::malloc(bytes);
    if (!block) {
        ThrowBadAlloc();
    }
    THeader* header = new (block) THeader{1, capacity, length};
    TChar* data = reinterpret_cast<TChar*>(header + 1);
    data[length] = TChar();
    return data;
}

template <class TDerived, class TChar, class TTraits>
uint64_t TStringImpl<TDerived, TChar, TTraits>::RefCount() const noexcept {
    if (Data_ == EmptyData()) {
        return 0;
    }
    return std::atomic_ref<uint64_t>(Header(Data_)->Refs).load(std::memory_order_acquire);
}

template <class TDerived, class TChar, class TTraits>
void TStringImpl<TDerived, TChar, TTraits>::Ref(TChar* d) noexcept {
    if (d != EmptyData()) {
        std::atomic_ref<uint64_t>(Header(d)->Refs).fetch_add(1, std::memory_order_relaxed);
    }
}

template <class TDerived, class TChar, class TTraits>
void TStringImpl<TDerived, TChar, TTraits>::UnRefData(TChar* d) noexcept {
    if (d == EmptyData()) {
        return;
    }
    THeader* header = Header(d);
    if (std::atomic_ref<uint64_t>(header->Refs).fetch_sub(1, std::memory_order_acq_rel) == 1) {
        std::free(header);
    }
}

template <class TDerived, class TChar, class TTraits>
TStringImpl<TDerived, TChar, TTraits>::TStringImpl(const TChar* s)
    : TStringImpl(s, TTraits::GetLength(s)) {}

template <class TDerived, class TChar, class TTraits>
TStringImpl<TDerived, TChar, TTraits>::TStringImpl(const TChar* s, size_t n)
    : Data_(Allocate(n, n)) {
    TTraits::Copy(Data_, s, n);
}

template <class TDerived, class TChar, class TTraits>
TStringImpl<TDerived, TChar, TTraits>::TStringImpl(size_t n, TChar c) : Data_(Allocate(n, n)) {
    for (size_t i = 0; i < n; ++i) {
        Data_[i] = c;
    }
}

template <class TDerived, class TChar, class TTraits>
TStringImpl<TDerived, TChar, TTraits>::TStringImpl(const TDerived& s, size_t pos, size_t n)
    : Data_(EmptyData()) {
    const size_t len = s.size();
    ClampRange(len, pos, n);
    if (pos == 0 && n == len) {
        Data_ = s.Data_;
        Ref(Data_);
    } else {
        Data_ = Allocate(n, n);
        TTraits::Copy(Data_, s.data() + pos, n);
    }
}

template <class TDerived, class TChar, class TTraits>
bool TStringImpl<TDerived, TChar, TTraits>::Detach() {
    if (Data_ == EmptyData() || RefCount() == 1) {
        return false;
    }
    const size_t len = size();
    TChar* copy = Allocate(len, len);
    TTraits::Copy(copy, Data_, len);
    UnRefData(Data_);
    Data_ = copy;
    return true;
}

template <class TDerived, class TChar, class TTraits>
void TStringImpl<TDerived, TChar, TTraits>::ReserveAndResize(size_t n) {
    if (IsShared()) {
        const size_t len = size();
        TChar* fresh = Allocate(n, n);
        TTraits::Copy(fresh, Data_, len < n ? len : n);
        UnRefData(Data_);
        Data_ = fresh;
    } else if (n > capacity()) {
        Data_ = Allocate(n, n, Data_);
    } else {
        SetLength(n);
    }
}

template <class TDerived, class TChar, class TTraits>
void TStringImpl<TDerived, TChar, TTraits>::resize(size_t n, TChar c) {
    const size_t len = size();
    if (n == len) {
        return;
    }
    ReserveAndResize(n);
    for (size_t i = len; i < n; ++i) {
        Data_[i] = c;
    }
}

template <class TDerived, class TChar, class TTraits>
void TStringImpl<TDerived, TChar, TTraits>::reserve(size_t n) {
    if (n <= capacity() && !IsShared()) {
        return;
    }
    if (n == 0) {
        return;
    }
    const size_t len = size();
    const size_t request = n > len ? n : len;
    if (IsShared()) {
        TChar* fresh = Allocate(len, request);
        TTraits::Copy(fresh, Data_, len);
        UnRefData(Data_);
        Data_ = fresh;
    } else {
        Data_ = Allocate(len, request, Data_);
    }
}

template <class TDerived, class TChar, class TTraits>
void TStringImpl<TDerived, TChar, TTraits>::clear() noexcept {
    if (IsShared()) {
        UnRef();
    } else {
        SetLength(0);
    }
}

template <class TDerived, class TChar, class TTraits>
TDerived& TStringImpl<TDerived, TChar, TTraits>::assign(const TChar* s, size_t n) {
    if (!IsShared() && !Inside(s)) {
        if (n > capacity()) {
            Data_ = Allocate(n, n, Data_);
        } else {
            SetLength(n);
        }
        TTraits::Copy(Data_, s, n);
        Data_[n] = TChar();
    } else if (!IsShared() && s == Data_ && n <= capacity()) {
        SetLength(n);
    } else {
        TChar* fresh = Allocate(n, n);
        TTraits::Copy(fresh, s, n);
        UnRefData(Data_);
        Data_ = fresh;
    }
    return static_cast<TDerived&>(*this);
}

template <class TDerived, class TChar, class TTraits>
TDerived& TStringImpl<TDerived, TChar, TTraits>::append(const TChar* s, size_t n) {
    if (n == 0) {
        return static_cast<TDerived&>(*this);
    }
    const size_t len = size();
    if (Inside(s)) {
        if (n > max_size() - len) {
            ThrowLengthError("TStringImpl::replace");
        }
        // The source lives in the old block: fill a new one and release the old one last.
        TChar* fresh = Allocate(len + n, len + n);
        TTraits::Copy(fresh, Data_, len);
        TTraits::Copy(fresh + len, s, n);
        UnRefData(Data_);
        Data_ = fresh;
        return static_cast<TDerived&>(*this);
    }
    if (n > max_size() - len) {
        // The length itself would not fit: no block can hold it.
        ThrowLengthError("Allocate() will fail");
    }
    const size_t total = len + n;
    if (IsShared()) {
        TChar* fresh = Allocate(total, total);
        TTraits::Copy(fresh, Data_, len);
        UnRefData(Data_);
        Data_ = fresh;
    } else if (total > capacity()) {
        Data_ = Allocate(total, total, Data_);
    } else {
        SetLength(total);
    }
    TTraits::Copy(Data_ + len, s, n);
    return static_cast<TDerived&>(*this);
}

template <class TDerived, class TChar, class TTraits>
TDerived& TStringImpl<TDerived, TChar, TTraits>::append(const TDerived& s, size_t pos, size_t n) {
    ClampRange(s.size(), pos, n);
    return append(s.data() + pos, n);
}

template class TStringImpl<Stroka, char, TCharTraits<char>>;
template class TStringImpl<TUtf16String, wchar16, TCharTraits<wchar16>>;

TUtf16String& TUtf16String::AppendAscii(const TCharRange& r) {
    const size_t len = size();
    if (r.Length > max_size() - len) {
        ThrowLengthError("TStringImpl::replace");
    }
    ReserveAndResize(len + r.Length);
    for (size_t i = 0; i < r.Length; ++i) {
        Data_[len + i] = static_cast<wchar16>(static_cast<signed char>(r.Data[i]));
    }
    return *this;
}

void DestroyStrokaVector(std::vector<Stroka>& v) noexcept {
    while (!v.empty()) {
        v.pop_back();
    }
    std::vector<Stroka>().swap(v);
}

void* MallocOrThrow(size_t size) {
    void* p = std::malloc(size);
    if (!p) {
        ThrowBadAlloc();
    }
    return p;
}
