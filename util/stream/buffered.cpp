// The buffered streams. Each keeps its implementation and buffer in one heap allocation: the
// buffer follows the implementation object.
#include "util/stream/buffered.h"

#include "util/generic/exception.h"
#include "util/stream/memory.h"

#include <cstring>
#include <new>

namespace {

// An implementation object and its buffer of `length` bytes in one allocation, the buffer
// right behind the object.
template <class TImpl, class TSlave>
TImpl* CreateWithBuffer(TSlave* slave, size_t length) {
    void* block = ::operator new(sizeof(TImpl) + length);
    return new (block) TImpl(slave, length);
}

template <class TImpl>
void DestroyWithBuffer(TImpl* impl) noexcept {
    impl->~TImpl();
    ::operator delete(impl);
}

template <class TImpl>
char* BufferBehind(TImpl* impl) noexcept {
    return reinterpret_cast<char*>(impl + 1);
}

}  // namespace

class TBufferedInput::TImpl {
public:
    TImpl(TInputStream* slave, size_t length) noexcept : Slave(slave), Length(length) {}

    char* Buffer() noexcept { return BufferBehind(this); }

    // Fills the empty buffer with one slave read; false when the slave had nothing.
    bool Refill() {
        const size_t n = Length == 0 ? 0 : Slave->Read(Buffer(), Length);
        Memory.Reset(Buffer(), n);
        return n != 0;
    }

    TInputStream* Slave;
    TMemoryInput Memory;  // the bytes of the buffer not yet consumed
    size_t Length;
};

TBufferedInput::TBufferedInput(TInputStream* slave, size_t bufferLength)
    : Impl_(CreateWithBuffer<TImpl>(slave, bufferLength)) {}

TBufferedInput::~TBufferedInput() {
    DestroyWithBuffer(Impl_);
}

void TBufferedInput::SetSlave(TInputStream* slave) noexcept {
    Impl_->Slave = slave;
}

size_t TBufferedInput::DoRead(void* buffer, size_t length) {
    if (Impl_->Memory.Exhausted()) {
        if (length > Impl_->Length / 2) {
            return Impl_->Slave->Read(buffer, length);
        }
        Impl_->Refill();
    }
    if (length == 0) {
        return 0;
    }
    return Impl_->Memory.Read(buffer, length);
}

bool TBufferedInput::DoReadTo(Stroka& result, char delimiter) {
    Stroka accumulated;
    bool found = false;
    for (;;) {
        if (Impl_->Memory.Exhausted() && !Impl_->Refill()) {
            break;
        }
        const size_t available = Impl_->Memory.Avail();
        Stroka piece;
        Impl_->Memory.ReadTo(piece, delimiter);
        accumulated.append(piece);
        found = true;
        if (piece.size() != available) {
            break;  // the delimiter was in the buffer
        }
    }
    result = accumulated;
    return found;
}

bool TBufferedInput::DoNext(const void** data, size_t* length) {
    if (Impl_->Memory.Exhausted()) {
        Impl_->Refill();
    }
    return Impl_->Memory.Next(data, length);
}

class TBufferedOutput::TImpl {
public:
    TImpl(TOutputStream* slave, size_t length) noexcept
        : Slave(slave), Cursor(Buffer()), End(Buffer() + length), Length(length) {}

    char* Buffer() noexcept { return BufferBehind(this); }
    size_t Pending() const noexcept { return Length - (End - Cursor); }

    // Moves the pending bytes to the slave; on failure they stay.
    void WriteOut() {
        if (Pending() != 0) {
            Slave->Write(Buffer(), Pending());
        }
        Cursor = Buffer();
        if (PropagateFlush) {
            Slave->Flush();
        }
    }

    TOutputStream* Slave;
    char* Cursor;  // the free part of the buffer is [Cursor, End)
    char* End;
    bool PropagateFlush = false;
    bool PropagateFinish = false;
    size_t Length;
};

TBufferedOutput::TBufferedOutput(TOutputStream* slave, size_t bufferLength)
    : Impl_(CreateWithBuffer<TImpl>(slave, bufferLength)) {}

TBufferedOutput::~TBufferedOutput() {
    try {
        FinishImpl();
    } catch (...) {
    }
    if (Impl_ != nullptr) {
        DestroyWithBuffer(Impl_);
        Impl_ = nullptr;
    }
}

void TBufferedOutput::SetPropagateMode(bool propagate) noexcept {
    if (Impl_ != nullptr) {
        Impl_->PropagateFlush = propagate;
    }
}

void TBufferedOutput::SetFinishPropagateMode(bool propagate) noexcept {
    if (Impl_ != nullptr) {
        Impl_->PropagateFinish = propagate;
    }
}

void TBufferedOutput::DoWrite(const void* data, size_t length) {
    if (Impl_ == nullptr) {
        throw kexception() << "can not write to finished stream";
    }
    TImpl& impl = *Impl_;
    if (length <= size_t(impl.End - impl.Cursor)) {
        memcpy(impl.Cursor, data, length);
        impl.Cursor += length;
        return;
    }
    // The slave gets a whole multiple of the buffer length in one vectored write; the tail
    // stays buffered. A zero-length buffer passes everything through.
    const size_t pending = impl.Pending();
    const size_t direct = impl.Length == 0 ? length : length - (pending + length) % impl.Length;
    const TPart parts[2] = {{impl.Buffer(), pending}, {data, direct}};
    impl.Slave->Write(parts, 2);
    impl.Cursor = impl.Buffer();
    const size_t tail = length - direct;
    memcpy(impl.Cursor, static_cast<const char*>(data) + direct, tail);
    impl.Cursor += tail;
}

void TBufferedOutput::DoFlush() {
    if (Impl_ != nullptr) {
        Impl_->WriteOut();
    }
}

void TBufferedOutput::DoFinish() {
    FinishImpl();
}

void TBufferedOutput::FinishImpl() {
    TImpl* impl = Impl_;
    if (impl == nullptr) {
        return;
    }
    Impl_ = nullptr;  // finished from here on, whatever happens next
    struct TFree {
        TImpl* Impl;
        ~TFree() { DestroyWithBuffer(Impl); }
    } freeOnExit{impl};

    try {
        impl->WriteOut();
    } catch (...) {
        if (impl->PropagateFinish) {
            try {
                impl->Slave->Finish();
            } catch (...) {
            }
        }
        throw;
    }
    if (impl->PropagateFinish) {
        impl->Slave->Finish();
    }
}
