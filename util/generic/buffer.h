// A growable byte array: data, capacity and length. Growth always goes to a power of two, so the
// capacity is 0 or a power of two. Not reference-counted; the bytes are not NUL-terminated.
#pragma once

#include "util/generic/string.h"

#include <cstddef>

// Owns one heap block. Raises the standard bad-allocation error when memory runs out (the
// buffer then keeps its old block). Not thread-safe.
class TBuffer {
public:
    explicit TBuffer(size_t capacity = 0);
    // The bytes of s together with its terminating NUL.
    explicit TBuffer(const Stroka& s);
    TBuffer(const TBuffer& b);
    TBuffer(TBuffer&& b) noexcept;
    TBuffer& operator=(const TBuffer& b);
    TBuffer& operator=(TBuffer&& b) noexcept;
    ~TBuffer();

    char* Data() noexcept { return Data_; }
    const char* Data() const noexcept { return Data_; }
    size_t Size() const noexcept { return Len_; }
    size_t Capacity() const noexcept { return Capacity_; }
    size_t Avail() const noexcept { return Capacity_ - Len_; }
    bool Empty() const noexcept { return Len_ == 0; }
    char* Pos() noexcept { return Data_ + Len_; }

    // Makes the capacity the power of two not below n when n exceeds it.
    void Reserve(size_t n);
    // Appends count bytes, growing to the power of two not below twice the needed length. The
    // bytes may be the buffer's own.
    void Append(const char* data, size_t count);
    void Append(char c) { Append(&c, 1); }
    // Reserve(n), then length n; new bytes are not cleared.
    void Resize(size_t n);
    // Length 0; the block stays.
    void Clear() noexcept { Len_ = 0; }
    void Swap(TBuffer& other) noexcept;
    // Assigns the bytes to s, then clears the buffer (keeping its block).
    void AsString(Stroka& s);

private:
    void Realloc(size_t capacity);

    char* Data_ = nullptr;
    size_t Capacity_ = 0;
    size_t Len_ = 0;
};

// Copies at most size - 1 bytes of the NUL-terminated source and always writes a NUL when
// size > 0.
void StringCopyBounded(char* destination, const char* source, size_t size) noexcept;
// Bounded copy into the area [cursor, cursor + remaining): the cursor ends at the NUL written and
// remaining counts the bytes from it to the end of the area (0 when the source did not fit or
// filled the area exactly).
void StringCopyAdvance(char*& cursor, const char* source, size_t& remaining) noexcept;
// free of a block.
void FreeMemory(void* block) noexcept;
