#include "util/stream/buffer_stream.h"

#include <cstring>

namespace {

// A buffer owned by the stream: the TImpl part points at the object's own TBuffer part.
class TOwnedImpl : public TBuffer, public TBufferOutput::TImpl {
public:
    explicit TOwnedImpl(size_t capacity)
        : TBuffer(capacity), TBufferOutput::TImpl(static_cast<TBuffer*>(this)) {}
};

}  // namespace

size_t TBufferInput::DoRead(void* buffer, size_t length) {
    // This class's own skip, whatever a subclass makes of DoSkip.
    const size_t n = TBufferInput::DoSkip(length);
    if (n) {
        std::memcpy(buffer, Buf_->Data() + Pos_ - n, n);
    }
    return n;
}

size_t TBufferInput::DoSkip(size_t length) {
    // The buffer may have been cut below the read position since the last read.
    const size_t size = Buf_->Size();
    const size_t left = Pos_ < size ? size - Pos_ : 0;
    const size_t n = length < left ? length : left;
    Pos_ += n;
    return n;
}

TBufferOutput::TBufferOutput(size_t initialCapacity) : Impl_(new TOwnedImpl(initialCapacity)) {}

TBufferOutput::TBufferOutput(TBuffer& buffer) : Impl_(new TImpl(&buffer)) {}

TBufferOutput::~TBufferOutput() {
    delete Impl_;
}

void TBufferOutput::DoWrite(const void* data, size_t length) {
    // TBuffer::Append grows by the same rule and copies safely from the buffer's own bytes.
    Impl_->Buffer->Append(static_cast<const char*>(data), length);
}
