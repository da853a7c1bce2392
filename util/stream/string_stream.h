// Streams over a Stroka: reading from one, appending to one, and both over an owned string.
#pragma once

#include "util/stream/input.h"
#include "util/stream/output.h"

#include <cstddef>

// Reads the current contents of a string it does not own, from position 0; the string may grow
// between reads.
class TStringInput : public TInputStream {
public:
    explicit TStringInput(const Stroka& s) noexcept : S_(&s), Pos_(0) {}

protected:
    size_t DoRead(void* buffer, size_t length) override;

private:
    const Stroka* S_;
    size_t Pos_;
};

// Appends to a string it does not own (copy-on-write included).
class TStringOutput : public TOutputStream {
public:
    explicit TStringOutput(Stroka& s) noexcept : S_(&s) {}

protected:
    void DoWrite(const void* data, size_t length) override;

private:
    Stroka* S_;
};

// An owned string that reads from its start while writes append to its end.
class TStringStream : public Stroka, public TStringInput, public TStringOutput {
public:
    // The string part is built first; the stream parts only keep its address.
    TStringStream()
        : Stroka(),
          TStringInput(static_cast<Stroka&>(*this)),
          TStringOutput(static_cast<Stroka&>(*this)) {}
    explicit TStringStream(const Stroka& s)
        : Stroka(s),
          TStringInput(static_cast<Stroka&>(*this)),
          TStringOutput(static_cast<Stroka&>(*this)) {}
    TStringStream(const TStringStream&) = delete;
    TStringStream& operator=(const TStringStream&) = delete;

    Stroka& Str() noexcept { return *this; }
    const Stroka& Str() const noexcept { return *this; }
};
