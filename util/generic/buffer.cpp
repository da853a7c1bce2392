#include "util/generic/buffer.h"

#include "util/generic/exception.h"

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Smallest power of two not below n (n >= 1); raises when that does not fit 64 bits.
size_t PowerOfTwoFor(size_t n) {
    if (n > (static_cast<size_t>(1) << 63)) {
        ThrowBadAlloc();
    }
    return std::bit_ceil(n);
}

}  // namespace

TBuffer::TBuffer(size_t capacity) {
    if (capacity) {
        Reserve(capacity);
    }
}

TBuffer::TBuffer(const Stroka& s) {
    Append(s.c_str(), s.size() + 1);
}

TBuffer::TBuffer(const TBuffer& b) {
    if (b.Len_) {
        Append(b.Data_, b.Len_);
    }
}

TBuffer::TBuffer(TBuffer&& b) noexcept {
    Swap(b);
}

TBuffer& TBuffer::operator=(const TBuffer& b) {
    if (this != &b) {
        Clear();
        if (b.Len_) {
            Append(b.Data_, b.Len_);
        }
    }
    return *this;
}

TBuffer& TBuffer::operator=(TBuffer&& b) noexcept {
    if (this != &b) {
        TBuffer tmp(static_cast<TBuffer&&>(b));
        Swap(tmp);
    }
    return *this;
}

TBuffer::~TBuffer() {
    std::free(Data_);
}

void TBuffer::Realloc(size_t capacity) {
    void* block = std::realloc(Data_, capacity);
    if (!block) {
        ThrowBadAlloc();
    }
    Data_ = static_cast<char*>(block);
    Capacity_ = capacity;
}

void TBuffer::Reserve(size_t n) {
    if (n > Capacity_) {
        Realloc(PowerOfTwoFor(n));
    }
}

void TBuffer::Append(const char* data, size_t count) {
    if (count > Avail()) {
        const size_t needed = Len_ + count;
        if (needed < Len_ || needed > (static_cast<size_t>(1) << 62)) {
            ThrowBadAlloc();
        }
        // The bytes may be the buffer's own (a part repeated at its end): the block is about to
        // move, so find them again in the new one.
        const auto at = reinterpret_cast<uintptr_t>(data);
        const auto begin = reinterpret_cast<uintptr_t>(Data_);
        const bool own = Data_ && at >= begin && at < begin + Len_;
        Realloc(PowerOfTwoFor(2 * needed));
        if (own) {
            data = Data_ + (at - begin);
        }
    }
    if (count) {
        std::memcpy(Data_ + Len_, data, count);
    }
    Len_ += count;
}

void TBuffer::Resize(size_t n) {
    Reserve(n);
    Len_ = n;
}

void TBuffer::Swap(TBuffer& other) noexcept {
    char* d = Data_;
    Data_ = other.Data_;
    other.Data_ = d;
    size_t c = Capacity_;
    Capacity_ = other.Capacity_;
    other.Capacity_ = c;
    size_t l = Len_;
    Len_ = other.Len_;
    other.Len_ = l;
}

void TBuffer::AsString(Stroka& s) {
    s.assign(Data_, Len_);
    Clear();
}

void StringCopyBounded(char* destination, const char* source, size_t size) noexcept {
    if (size == 0) {
        return;
    }
    size_t n = 0;
    while (n + 1 < size && source[n]) {
        ++n;
    }
    std::memcpy(destination, source, n);
    destination[n] = 0;
}

void StringCopyAdvance(char*& cursor, const char* source, size_t& remaining) noexcept {
    if (remaining == 0) {
        return;
    }
    size_t n = 0;
    while (n < remaining && source[n]) {
        ++n;
    }
    if (n >= remaining - 1) {
        // Did not fit, or filled the area exactly: cut to remaining - 1 bytes.
        n = remaining - 1;
        std::memcpy(cursor, source, n);
        cursor[n] = 0;
        cursor += n;
        remaining = 0;
        return;
    }
    std::memcpy(cursor, source, n);
    cursor[n] = 0;
    cursor += n;
    remaining -= n;
}

void FreeMemory(void* block) noexcept {
    std::free(block);
}
