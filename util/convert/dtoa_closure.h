// Per-conversion storage of the decimal conversion core.
//
// One conversion (a double to digits, or decimal text to a double) needs a handful of big
// integers and, for digit generation, the digit string. They are cut from a memory pool whose
// first chunk is the calling thread's 65536-byte scratch buffer, so that an ordinary conversion
// takes nothing from the general heap. Nothing is freed before the closure goes away.
//
// A conversion that needs more (decimal text with thousands of significant digits) gets further
// chunks from the heap; they are returned when the closure is destroyed.
#pragma once

#include <cstddef>

namespace NDtoa {

// The state of one conversion. Owned by the caller, usually on its stack; not copyable and not
// shared between threads. The storage is built on the first allocation only, so a conversion
// settled without big integers costs nothing.
class TParserClosure {
public:
    class TResHelper;

    TParserClosure() noexcept = default;
    // For parsing: the text the conversion works on.
    TParserClosure(const char* begin, const char* end) noexcept : Begin(begin), End(end) {}
    ~TParserClosure();

    TParserClosure(const TParserClosure&) = delete;
    TParserClosure& operator=(const TParserClosure&) = delete;

    // len bytes, 8-byte aligned, from the pool currently in use (the closure's own pool, or the
    // process-wide pool while a cached power of five is being built). Raises std::bad_alloc
    // when the heap is exhausted.
    void* Allocate(size_t len);

    TResHelper& Helper();

    const char* Begin = nullptr;
    const char* End = nullptr;

private:
    alignas(8) unsigned char Storage_[128];
    TResHelper* Helper_ = nullptr;
};

}  // namespace NDtoa
