// Demangling of C++ symbol names for back traces. The runtime's demangler allocates each
// result; TDemangler keeps the last one so that callers get a plain pointer and nothing to free.
#pragma once

// Owns the text of the last demangled name. Not thread-safe: each caller keeps its own.
class TDemangler {
public:
    TDemangler() = default;
    ~TDemangler();
    TDemangler(const TDemangler&) = delete;
    TDemangler& operator=(const TDemangler&) = delete;

    // The demangled form of `name`, valid until the next call or the destructor; `name`
    // itself (the same pointer) when it is not a mangled name.
    const char* Demangle(const char* name);

private:
    char* Last_ = nullptr;
};
