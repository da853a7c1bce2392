// Streams over a TBuffer: reading one from its start and appending to one (owned or not).
#pragma once

#include "util/generic/buffer.h"
#include "util/stream/input.h"
#include "util/stream/output.h"

#include <cstddef>

// Reads a buffer it does not own, from position 0.
class TBufferInput : public TInputStream {
public:
    explicit TBufferInput(const TBuffer& buffer) noexcept : Buf_(&buffer), Pos_(0) {}

protected:
    size_t DoRead(void* buffer, size_t length) override;
    size_t DoSkip(size_t length) override;

private:
    const TBuffer* Buf_;
    size_t Pos_;
};

// Appends to a buffer: its own (built with an initial capacity) or the caller's. Growth doubles
// the needed length as TBuffer does.
class TBufferOutput : public TOutputStream {
public:
    // Where the bytes go; owned by the stream.
    class TImpl {
    public:
        explicit TImpl(TBuffer* buffer) noexcept : Buffer(buffer) {}
        virtual ~TImpl() = default;

        TBuffer* Buffer;
    };

    explicit TBufferOutput(size_t initialCapacity = 1024);
    explicit TBufferOutput(TBuffer& buffer);
    ~TBufferOutput() override;

    TBuffer& Buffer() const noexcept { return *Impl_->Buffer; }
    // The bytes written so far.
    TCharRange Range() const noexcept {
        return TCharRange(Impl_->Buffer->Data(), Impl_->Buffer->Size());
    }

protected:
    void DoWrite(const void* data, size_t length) override;

private:
    TImpl* Impl_;
};
