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
    const size_t n = DoSkip(length);
    if (n) {
        std::memcpy(buffer, Buf_->Data() + Pos_ - n, n);
    }
    return n;
}

size_t TBufferInput::DoSkip(size_t length) {
    const size_t left = Buf_->Size() - Pos_;
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
    TBuffer& b = *Impl_->Buffer;
    const size_t len = b.Size();
    if (length > b.Avail() && b.Capacity() < 2 * (len + length)) {
        b.Reserve(2 * (len + length));
    }
    b.Resize(len + length);
    std::memcpy(b.Data() + len, data, length);
}
