// Streams that hold nothing: reading gives no bytes, writing discards them.
#pragma once

#include "util/stream/input.h"
#include "util/stream/output.h"

#include <cstddef>

// An input at its end from the start.
class TNullInput : public TInputStream, public IZeroCopyInput {
protected:
    size_t DoRead(void* buffer, size_t length) override;
    bool DoNext(const void** data, size_t* length) override;
};

// An output that discards everything.
class TNullOutput : public TOutputStream {
protected:
    void DoWrite(const void* data, size_t length) override;
};

class TNullIO : public TNullInput, public TNullOutput {};

// The process-wide null stream, built on first use. Thread-safe.
TNullIO& NullStream();
