#include "util/stream/string_stream.h"

#include <cstring>

size_t TStringInput::DoRead(void* buffer, size_t length) {
    const size_t size = S_->size();
    if (Pos_ >= size) {
        return 0;
    }
    const size_t n = length < size - Pos_ ? length : size - Pos_;
    if (n == 0) {  // a read of 0 bytes may come with a null buffer
        return 0;
    }
    std::memcpy(buffer, S_->data() + Pos_, n);
    Pos_ += n;
    return n;
}

void TStringOutput::DoWrite(const void* data, size_t length) {
    S_->append(static_cast<const char*>(data), length);
}
