// The byte-source interface, the zero-copy input interface and the copying of a whole stream.
//
// Implementations override the protected Do* operations; callers use the public non-virtual
// ones. DoSkip and DoReadTo have defaults that read byte by byte through DoRead.
#pragma once

#include "util/generic/string.h"

#include <cstddef>

class TOutputStream;
class TBuffer;

// A source of bytes. Not copyable; owned by whoever created it. Reads raise what the
// implementation raises; the string-returning ReadTo/ReadLine raise kexception at end of input.
class TInputStream {
public:
    TInputStream() noexcept = default;
    TInputStream(const TInputStream&) = delete;
    TInputStream& operator=(const TInputStream&) = delete;
    virtual ~TInputStream() = default;

    // One DoRead: may return fewer bytes than asked; 0 at end of input.
    size_t Read(void* buffer, size_t length) { return DoRead(buffer, length); }
    // One byte; false at end of input (c unchanged).
    bool ReadChar(char& c) { return DoRead(&c, 1) == 1; }
    // Reads until length bytes are in or the input ends; returns the bytes read.
    size_t Load(void* buffer, size_t length);
    size_t Skip(size_t length) { return DoSkip(length); }

    // Reads up to the delimiter (consumed, not stored); false only when no byte was left.
    bool ReadTo(Stroka& s, char delimiter) { return DoReadTo(s, delimiter); }
    Stroka ReadTo(char delimiter);
    // Reads a line without its '\n' and without one '\r' before it; false at end of input.
    bool ReadLine(Stroka& line);
    Stroka ReadLine();
    // The rest of the input.
    Stroka ReadAll();

protected:
    virtual size_t DoRead(void* buffer, size_t length) = 0;
    // By default reads into a scratch buffer of that size.
    virtual size_t DoSkip(size_t length);
    // By default reads byte by byte; at end of input s is left untouched.
    virtual bool DoReadTo(Stroka& s, char delimiter);
};

// A source that hands out its own buffer: each chunk stays valid until the next operation.
class IZeroCopyInput {
public:
    virtual ~IZeroCopyInput() = default;

    // The next chunk; false (and length 0) at end of input.
    bool Next(const void** data, size_t* length) { return DoNext(data, length); }

protected:
    virtual bool DoNext(const void** data, size_t* length) = 0;
};

// Copies the input to the output through the given scratch space; returns the bytes copied.
size_t TransferData(TInputStream* in, TOutputStream* out, char* scratch, size_t length);
// The same through a default 65536-byte scratch buffer.
size_t TransferData(TInputStream* in, TOutputStream* out);
// The same through a scratch buffer of bufferSize bytes.
size_t TransferData(TInputStream* in, TOutputStream* out, size_t bufferSize);
// The same through the bytes of a TBuffer (its data and its length).
size_t TransferData(TInputStream* in, TOutputStream* out, TBuffer& scratch);
