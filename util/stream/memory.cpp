#include "util/stream/memory.h"

#include "util/generic/exception.h"

#include <cstring>

size_t TMemoryInput::DoRead(void* buffer, size_t length) {
    const size_t n = length < Len_ ? length : Len_;
    if (n) {
        std::memcpy(buffer, Buf_, n);
    }
    Buf_ += n;
    Len_ -= n;
    return n;
}

size_t TMemoryInput::DoSkip(size_t length) {
    const size_t n = length < Len_ ? length : Len_;
    Buf_ += n;
    Len_ -= n;
    return n;
}

bool TMemoryInput::DoReadTo(Stroka& s, char delimiter) {
    if (Len_ == 0) {
        return false;
    }
    const char* found = static_cast<const char*>(std::memchr(Buf_, delimiter, Len_));
    const size_t taken = found ? static_cast<size_t>(found - Buf_) : Len_;
    s.assign(Buf_, taken);
    const size_t consumed = found ? taken + 1 : taken;
    Buf_ += consumed;
    Len_ -= consumed;
    return true;
}

bool TMemoryInput::DoNext(const void** data, size_t* length) {
    *data = Buf_;
    *length = Len_;
    Len_ = 0;
    return *length != 0;
}

void TMemoryOutput::DoWrite(const void* data, size_t length) {
    if (length > static_cast<size_t>(End_ - Buf_)) {
        throw kexception() << "memory output stream exhausted";
    }
    if (length) {  // an empty part of a vectored write may come with a null pointer
        std::memcpy(Buf_, data, length);
        Buf_ += length;
    }
}
