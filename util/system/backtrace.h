// Back traces: capture the return addresses of the calling thread's stack and print them, one
// frame per line, as "<demangled symbol>+<offset from the symbol's start>" ("??+0" for an
// address without a symbol). Symbols of executables are found only when they export them
// (they are linked with -rdynamic).
#pragma once

#include "util/generic/string.h"

#include <cstddef>

class TOutputStream;

// Fills `buffer` with up to `capacity` return addresses of the calling thread's stack, the
// caller of BackTrace first; returns how many were stored. Async-signal-unsafe (the unwinder
// may allocate on first use).
size_t BackTrace(void** buffer, size_t capacity) noexcept;

// The symbol that covers an address: its name (demangled when possible) and start address.
struct TResolvedSymbol {
    const char* Name;
    void* NearestSymbol;
};

// Resolves `address`; the name is copied into `buffer` (cut to `length` - 1 bytes and a NUL).
// An address without a symbol gives {"??", address}, which prints as "??+0".
TResolvedSymbol ResolveSymbol(void* address, char* buffer, size_t length) noexcept;

// Writes one line per address: the symbol name, "+", the decimal offset and Endl.
void FormatBackTrace(TOutputStream& out, void* const* addresses, size_t count);
// Captures up to 300 frames of the calling thread and writes them.
void FormatBackTrace(TOutputStream& out);
// FormatBackTrace on the standard error stream.
void PrintBackTrace();

// A captured stack: up to 300 return addresses, none until Capture. Plain value; printing
// raises what the stream raises.
class TBackTrace {
public:
    static constexpr size_t Capacity = 300;

    TBackTrace() noexcept = default;

    // Replaces the addresses with those of the calling thread's stack (its caller first).
    void Capture() noexcept;
    void PrintTo(TOutputStream& out) const;
    // The printed form as a string.
    Stroka PrintAsString() const;

    size_t Size() const noexcept { return Size_; }
    void* const* Addresses() const noexcept { return Data_; }

private:
    void* Data_[Capacity];
    size_t Size_ = 0;
};
