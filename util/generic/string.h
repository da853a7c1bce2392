// Copy-on-write strings: Stroka (8-bit) and TUtf16String (UTF-16 code units).
//
// A string is one pointer to its first character. Three unsigned 64-bit words lie right before
// it: the reference count (changed atomically), the capacity and the length, all counted in
// characters. The characters are always followed by a NUL. Copies share the block; every
// changing operation first takes a private copy when the block is shared. An empty string
// points at one static all-zero block that is never counted or freed, so it costs nothing.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// One UTF-16 code unit.
using wchar16 = char16_t;

// A non-owning view of bytes. The bytes need not be NUL-terminated.
struct TCharRange {
    const char* Data = nullptr;
    size_t Length = 0;

    constexpr TCharRange() noexcept = default;
    constexpr TCharRange(const char* data, size_t length) noexcept : Data(data), Length(length) {}
    // A view of a NUL-terminated string (empty for a null pointer).
    explicit TCharRange(const char* s) noexcept : Data(s), Length(s ? std::strlen(s) : 0) {}

    constexpr const char* data() const noexcept { return Data; }
    constexpr size_t size() const noexcept { return Length; }
    constexpr bool empty() const noexcept { return Length == 0; }

    friend bool operator==(const TCharRange& a, const TCharRange& b) noexcept {
        return a.Length == b.Length &&
               (a.Length == 0 || std::memcmp(a.Data, b.Data, a.Length) == 0);
    }
};

// A non-owning view of UTF-16 code units.
struct TWCharRange {
    const wchar16* Data = nullptr;
    size_t Length = 0;

    constexpr TWCharRange() noexcept = default;
    constexpr TWCharRange(const wchar16* data, size_t length) noexcept
        : Data(data), Length(length) {}

    constexpr const wchar16* data() const noexcept { return Data; }
    constexpr size_t size() const noexcept { return Length; }
    constexpr bool empty() const noexcept { return Length == 0; }
};

// Character primitives shared by both string types; both compare characters as unsigned values.
template <class TChar>
struct TCharTraits {
    // Characters before the first NUL; 0 for a null pointer.
    static size_t GetLength(const TChar* s) noexcept {
        if (!s) {
            return 0;
        }
        if constexpr (sizeof(TChar) == 1) {
            return std::strlen(s);
        } else {
            const TChar* p = s;
            while (*p) {
                ++p;
            }
            return static_cast<size_t>(p - s);
        }
    }

    static int Compare(const TChar* a, const TChar* b, size_t n) noexcept {
        if constexpr (sizeof(TChar) == 1) {
            return n ? std::memcmp(a, b, n) : 0;
        } else {
            for (size_t i = 0; i < n; ++i) {
                if (a[i] != b[i]) {
                    return a[i] < b[i] ? -1 : 1;
                }
            }
            return 0;
        }
    }

    static const TChar* Find(const TChar* s, size_t n, TChar c) noexcept {
        for (size_t i = 0; i < n; ++i) {
            if (s[i] == c) {
                return s + i;
            }
        }
        return nullptr;
    }

    static void Copy(TChar* to, const TChar* from, size_t n) noexcept {
        if (n) {
            std::memmove(to, from, n * sizeof(TChar));
        }
    }
};

namespace NStringPrivate {
// The three words before the first character of every string block.
struct TStringHeader {
    uint64_t Refs;
    uint64_t Capacity;
    uint64_t Length;
};

static_assert(sizeof(TStringHeader) == 24);

// First character of the shared static empty block (header and characters all zero).
extern void* const EmptyStringData;
}  // namespace NStringPrivate

// Read-only operations common to both string types; TDerived gives data() and size().
template <class TDerived, class TChar, class TTraits>
class TStringBase {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    bool empty() const noexcept { return Self().size() == 0; }

    const TChar* begin() const noexcept { return Self().data(); }
    const TChar* end() const noexcept { return Self().data() + Self().size(); }

    // Position of the first c at or after pos, or npos.
    size_t find(TChar c, size_t pos = 0) const noexcept {
        const size_t n = Self().size();
        if (pos >= n) {
            return npos;
        }
        const TChar* p = TTraits::Find(Self().data() + pos, n - pos, c);
        return p ? static_cast<size_t>(p - Self().data()) : npos;
    }

    // Position of the first occurrence of s[0, len) at or after pos, or npos.
    size_t find(const TChar* s, size_t pos, size_t len) const noexcept {
        const size_t n = Self().size();
        if (pos > n || len > n - pos) {
            return npos;
        }
        const TChar* d = Self().data();
        for (size_t i = pos; i + len <= n; ++i) {
            if (TTraits::Compare(d + i, s, len) == 0) {
                return i;
            }
        }
        return npos;
    }
    size_t find(const TChar* s, size_t pos = 0) const noexcept {
        return find(s, pos, TTraits::GetLength(s));
    }
    size_t find(const TDerived& s, size_t pos = 0) const noexcept {
        return find(s.data(), pos, s.size());
    }

    // Position of the last c at or before pos, or npos.
    size_t rfind(TChar c, size_t pos = npos) const noexcept {
        const size_t n = Self().size();
        if (n == 0) {
            return npos;
        }
        size_t i = pos < n ? pos + 1 : n;
        while (i > 0) {
            --i;
            if (Self().data()[i] == c) {
                return i;
            }
        }
        return npos;
    }

    // Three-way comparison of the characters as unsigned values, a prefix first.
    int compare(const TChar* s, size_t len) const noexcept {
        const size_t n = Self().size();
        const int r = TTraits::Compare(Self().data(), s, n < len ? n : len);
        if (r != 0) {
            return r;
        }
        return n < len ? -1 : (n > len ? 1 : 0);
    }
    int compare(const TDerived& s) const noexcept { return compare(s.data(), s.size()); }
    int compare(const TChar* s) const noexcept { return compare(s, TTraits::GetLength(s)); }

    bool StartsWith(const TChar* s, size_t len) const noexcept {
        return len <= Self().size() && TTraits::Compare(Self().data(), s, len) == 0;
    }
    bool StartsWith(const TDerived& s) const noexcept { return StartsWith(s.data(), s.size()); }
    bool StartsWith(const TChar* s) const noexcept { return StartsWith(s, TTraits::GetLength(s)); }
    bool EndsWith(const TChar* s, size_t len) const noexcept {
        const size_t n = Self().size();
        return len <= n && TTraits::Compare(Self().data() + n - len, s, len) == 0;
    }
    bool EndsWith(const TDerived& s) const noexcept { return EndsWith(s.data(), s.size()); }
    bool EndsWith(const TChar* s) const noexcept { return EndsWith(s, TTraits::GetLength(s)); }

    friend bool operator==(const TDerived& a, const TDerived& b) noexcept {
        return a.size() == b.size() && TTraits::Compare(a.data(), b.data(), a.size()) == 0;
    }
    friend bool operator==(const TDerived& a, const TChar* b) noexcept { return a.compare(b) == 0; }
    friend bool operator<(const TDerived& a, const TDerived& b) noexcept {
        return a.compare(b) < 0;
    }
    friend bool operator>(const TDerived& a, const TDerived& b) noexcept {
        return a.compare(b) > 0;
    }
    friend bool operator<=(const TDerived& a, const TDerived& b) noexcept {
        return a.compare(b) <= 0;
    }
    friend bool operator>=(const TDerived& a, const TDerived& b) noexcept {
        return a.compare(b) >= 0;
    }

private:
    const TDerived& Self() const noexcept { return static_cast<const TDerived&>(*this); }
};

// The representation and the changing operations. Not thread-safe for one handle; copies of
// one string may be used by different threads at once (only the count is shared, atomically).
// Raises the standard length error ("Allocate() will fail", "TStringImpl::replace") for
// impossible sizes and the standard bad-allocation error when memory runs out.
template <class TDerived, class TChar, class TTraits>
class TStringImpl : public TStringBase<TDerived, TChar, TTraits> {
    using THeader = NStringPrivate::TStringHeader;

public:
    using TCharType = TChar;
    using TTraitsType = TTraits;
    static constexpr size_t npos = static_cast<size_t>(-1);

    TStringImpl() noexcept : Data_(EmptyData()) {}
    TStringImpl(const TStringImpl& s) noexcept : Data_(s.Data_) { Ref(Data_); }
    TStringImpl(TStringImpl&& s) noexcept : Data_(s.Data_) { s.Data_ = EmptyData(); }
    // A NUL-terminated string; a null pointer gives the empty string.
    TStringImpl(const TChar* s);
    TStringImpl(const TChar* s, size_t n);
    TStringImpl(size_t n, TChar c);
    // The characters [pos, pos + n) of s, cut to its end.
    TStringImpl(const TDerived& s, size_t pos, size_t n);
    ~TStringImpl() { UnRefData(Data_); }

    TStringImpl& operator=(const TStringImpl& s) noexcept {
        Ref(s.Data_);
        UnRefData(Data_);
        Data_ = s.Data_;
        return *this;
    }
    TStringImpl& operator=(TStringImpl&& s) noexcept {
        if (this != &s) {
            UnRefData(Data_);
            Data_ = s.Data_;
            s.Data_ = EmptyData();
        }
        return *this;
    }
    TStringImpl& operator=(const TChar* s) {
        assign(s, TTraits::GetLength(s));
        return *this;
    }

    // A block for `length` characters with room for at least `request`: the capacity is the
    // next power of two not below the request (the request itself above 2^63). With `old`
    // the block is reallocated keeping its characters. Request 0 gives the empty block.
    static TChar* Allocate(size_t length, size_t request, TChar* old = nullptr);
    // The largest length a string may have.
    static constexpr size_t max_size() noexcept {
        return sizeof(TChar) == 1 ? static_cast<size_t>(-26) : 0x7FFFFFFFFFFFFFF2ull;
    }

    const TChar* data() const noexcept { return Data_; }
    const TChar* c_str() const noexcept { return Data_; }
    size_t size() const noexcept { return static_cast<size_t>(Header(Data_)->Length); }
    size_t length() const noexcept { return size(); }
    size_t capacity() const noexcept { return static_cast<size_t>(Header(Data_)->Capacity); }
    const TChar& operator[](size_t i) const noexcept { return Data_[i]; }
    const TChar& back() const noexcept { return Data_[size() - 1]; }

    // Reference count of the block (0 for the empty representation).
    uint64_t RefCount() const noexcept;
    bool IsShared() const noexcept { return Data_ == EmptyData() || RefCount() != 1; }

    // Drops this handle's reference; the handle becomes empty.
    void UnRef() noexcept {
        UnRefData(Data_);
        Data_ = EmptyData();
    }
    // Makes the block private before a change; true when it had to copy. The empty string
    // stays empty (false): it has no characters to change.
    bool Detach();
    // Detaches and gives the characters for writing (the NUL slot at size() included).
    TChar* MutableData() {
        Detach();
        return Data_;
    }

    // Sets the length to n for the caller to fill; characters past the old length are unset.
    void ReserveAndResize(size_t n);
    // Sets the length to n, filling new characters with c.
    void resize(size_t n, TChar c = TChar());
    // Makes room for n characters without changing the text.
    void reserve(size_t n);
    void clear() noexcept;

    TDerived& assign(const TChar* s, size_t n);
    TDerived& assign(const TChar* s) { return assign(s, TTraits::GetLength(s)); }

    // Appends [s, s + n); the range may lie inside this string.
    TDerived& append(const TChar* s, size_t n);
    TDerived& append(const TChar* s) { return append(s, TTraits::GetLength(s)); }
    TDerived& append(TChar c) {
        // The common case of text built unit by unit: a private block with room left.
        const size_t len = size();
        if (len < capacity() && IsPrivate()) {
            Data_[len] = c;
            SetLength(len + 1);
            return static_cast<TDerived&>(*this);
        }
        return append(&c, 1);
    }
    TDerived& append(const TDerived& s) { return append(s.data(), s.size()); }
    // Appends the characters [pos, pos + n) of s, cut to its end.
    TDerived& append(const TDerived& s, size_t pos, size_t n);
    void push_back(TChar c) { append(c); }

    TDerived& operator+=(const TDerived& s) { return append(s); }
    TDerived& operator+=(const TChar* s) { return append(s); }
    TDerived& operator+=(TChar c) { return append(c); }

    // The characters [pos, pos + n), cut to the end.
    TDerived substr(size_t pos, size_t n = npos) const {
        return TDerived(static_cast<const TDerived&>(*this), pos, n);
    }

    void swap(TStringImpl& s) noexcept {
        TChar* t = Data_;
        Data_ = s.Data_;
        s.Data_ = t;
    }

    friend TDerived operator+(const TDerived& a, const TDerived& b) {
        TDerived r(a);
        r.append(b);
        return r;
    }
    friend TDerived operator+(const TDerived& a, const TChar* b) {
        TDerived r(a);
        r.append(b);
        return r;
    }
    friend TDerived operator+(const TDerived& a, TChar b) {
        TDerived r(a);
        r.append(b);
        return r;
    }
    friend TDerived operator+(const TChar* a, const TDerived& b) {
        TDerived r(a);
        r.append(b);
        return r;
    }

protected:
    static TChar* EmptyData() noexcept {
        return static_cast<TChar*>(NStringPrivate::EmptyStringData);
    }
    static THeader* Header(const TChar* d) noexcept {
        return reinterpret_cast<THeader*>(const_cast<char*>(reinterpret_cast<const char*>(d)) -
                                          sizeof(THeader));
    }
    static void Ref(TChar* d) noexcept;
    static void UnRefData(TChar* d) noexcept;
    // Length and terminator of a private block whose capacity is at least n.
    void SetLength(size_t n) noexcept {
        Header(Data_)->Length = n;
        Data_[n] = TChar();
    }
    // The empty representation has capacity 0, so callers that found room need not test for it.
    bool IsPrivate() const noexcept {
        return std::atomic_ref<uint64_t>(Header(Data_)->Refs).load(std::memory_order_acquire) == 1;
    }
    bool Inside(const TChar* p) const noexcept {
        const auto a = reinterpret_cast<uintptr_t>(p);
        const auto b = reinterpret_cast<uintptr_t>(Data_);
        return a >= b && a < b + size() * sizeof(TChar);
    }

    TChar* Data_;
};

// The 8-bit string of the system.
class Stroka : public TStringImpl<Stroka, char, TCharTraits<char>> {
    using TBase = TStringImpl<Stroka, char, TCharTraits<char>>;

public:
    using TBase::TBase;
    using TBase::operator=;

    Stroka() noexcept = default;
    explicit Stroka(const TCharRange& r) : TBase(r.Data, r.Length) {}

    // Assignment of a NUL-terminated string (a null pointer gives the empty string).
    Stroka& AssignCString(const char* s) { return assign(s); }
    TCharRange AsRange() const noexcept { return TCharRange(data(), size()); }

    friend bool operator==(const Stroka& a, const TCharRange& b) noexcept {
        return a.AsRange() == b;
    }
};

// The UTF-16 string of the system; lengths and capacities count 16-bit units.
class TUtf16String : public TStringImpl<TUtf16String, wchar16, TCharTraits<wchar16>> {
    using TBase = TStringImpl<TUtf16String, wchar16, TCharTraits<wchar16>>;

public:
    using TBase::TBase;
    using TBase::operator=;

    TUtf16String() noexcept = default;
    explicit TUtf16String(const TWCharRange& r) : TBase(r.Data, r.Length) {}

    // Appends one unit per byte, each byte taken as a signed 8-bit value (0xC0 gives 0xFFC0).
    TUtf16String& AppendAscii(const TCharRange& r);
    // A string of one unit per byte of r, as AppendAscii.
    static TUtf16String FromAscii(const TCharRange& r) {
        TUtf16String s;
        s.AppendAscii(r);
        return s;
    }
    TWCharRange AsRange() const noexcept { return TWCharRange(data(), size()); }
};

extern template class TStringImpl<Stroka, char, TCharTraits<char>>;
extern template class TStringImpl<TUtf16String, wchar16, TCharTraits<wchar16>>;

// Releases the strings of v from the last to the first, then frees its storage.
void DestroyStrokaVector(std::vector<Stroka>& v) noexcept;

// malloc that raises the standard bad-allocation error instead of returning null.
void* MallocOrThrow(size_t size);
