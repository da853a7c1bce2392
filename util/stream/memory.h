// Streams over memory regions that the caller owns.
#pragma once

#include "util/stream/input.h"
#include "util/stream/output.h"

#include <cstddef>

// Reads a fixed region without copying or owning it. Hands the whole region out as one chunk.
class TMemoryInput : public TInputStream, public IZeroCopyInput {
public:
    TMemoryInput() noexcept = default;
    TMemoryInput(const void* data, size_t length) noexcept
        : Buf_(static_cast<const char*>(data)), Len_(length) {}

    void Reset(const void* data, size_t length) noexcept {
        Buf_ = static_cast<const char*>(data);
        Len_ = length;
    }
    // The next unread byte and the bytes left.
    const char* Buf() const noexcept { return Buf_; }
    size_t Avail() const noexcept { return Len_; }
    bool Exhausted() const noexcept { return Len_ == 0; }

protected:
    size_t DoRead(void* buffer, size_t length) override;
    size_t DoSkip(size_t length) override;
    bool DoReadTo(Stroka& s, char delimiter) override;
    bool DoNext(const void** data, size_t* length) override;

private:
    const char* Buf_ = nullptr;
    size_t Len_ = 0;
};

// Writes into a fixed region from its start. A write that does not fit raises kexception
// "memory output stream exhausted" and writes nothing.
class TMemoryOutput : public TOutputStream {
public:
    TMemoryOutput(void* data, size_t length) noexcept
        : Buf_(static_cast<char*>(data)), End_(Buf_ + length) {}
    TMemoryOutput(char* begin, char* end) noexcept : Buf_(begin), End_(end) {}

    // The next byte to be written and the bytes left.
    char* Buf() const noexcept { return Buf_; }
    size_t Avail() const noexcept { return static_cast<size_t>(End_ - Buf_); }

protected:
    void DoWrite(const void* data, size_t length) override;

private:
    char* Buf_;
    char* End_;
};
