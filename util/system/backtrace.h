// Back traces: capture the return addresses of the calling thread's stack and print them, one
// frame per line, as "<demangled symbol>+<offset from the symbol's start>" ("??+0" for an
// address without a symbol). Symbols of executables are found only when they export them
// (they are linked with -rdynamic).
#pragma once

#include <cstddef>

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

// One printed frame: "<name>+<decimal offset>" and a line feed, written into `buffer` (cut to
// fit, always NUL-terminated); returns the length written.
size_t FormatBackTraceLine(void* address, char* buffer, size_t length) noexcept;
