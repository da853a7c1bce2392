// Scratch buffers: reference-counted byte blocks with a fill position.
//
// The default buffer holds 65536 bytes and is recycled through a free list of the calling
// thread, so that building an exception message or formatting a line costs no heap allocation
// after the first use. A larger request gets one allocation of exactly that size, freed when
// the last handle goes. TTempBufOutput is the output stream over one buffer: the message
// stream of every exception.
#pragma once

#include "util/stream/output.h"

#include <cstddef>
#include <cstdint>

// A handle of one scratch body. Copies share the body and its fill position. The count is not
// atomic: a body belongs to the thread that uses it, though it may be handed to another thread
// with proper synchronisation (a body released on a thread other than its creator is freed
// there instead of being recycled). Append raises kexception "temp buf exhausted(...)".
class TTempBuf {
public:
    // The body: a count, the bytes and the fill position.
    class TImpl {
    public:
        virtual ~TImpl() = default;

        uint64_t Refs = 0;
        char* Data = nullptr;
        uint64_t Size = 0;
        uint64_t Filled = 0;

    protected:
        friend class TTempBuf;
        // What happens when the count reaches 0.
        virtual void Dispose() noexcept = 0;
    };

    // A 65536-byte buffer from the calling thread's free list.
    TTempBuf();
    // Up to 65536 bytes: as the default; more: one allocation of exactly n bytes. Raises the
    // standard bad-allocation error when memory runs out or n can never be allocated.
    explicit TTempBuf(size_t n);
    TTempBuf(const TTempBuf& b) noexcept : Impl_(b.Impl_) { ++Impl_->Refs; }
    TTempBuf& operator=(const TTempBuf& b) noexcept;
    ~TTempBuf() { UnRef(Impl_); }

    char* Data() const noexcept { return Impl_->Data; }
    size_t Size() const noexcept { return Impl_->Size; }
    size_t Filled() const noexcept { return Impl_->Filled; }
    char* Current() const noexcept { return Impl_->Data + Impl_->Filled; }
    size_t Left() const noexcept { return Impl_->Size - Impl_->Filled; }

    void Reset() noexcept { Impl_->Filled = 0; }
    void SetPos(size_t n) noexcept { Impl_->Filled = n; }
    void Proceed(size_t n) noexcept { Impl_->Filled += n; }
    // Copies n bytes at Current and advances; raises when n exceeds Left (nothing copied).
    void Append(const void* data, size_t n);

    // Handles sharing the body (for tests and diagnostics).
    uint64_t RefCount() const noexcept { return Impl_->Refs; }

private:
    static void UnRef(TImpl* impl) noexcept {
        if (--impl->Refs == 0) {
            impl->Dispose();
        }
    }

    TImpl* Impl_;
};

// An output stream that appends to its own default TTempBuf. Copies share the buffer.
class TTempBufOutput : public TOutputStream, public TTempBuf {
public:
    TTempBufOutput() = default;
    explicit TTempBufOutput(size_t n) : TTempBuf(n) {}
    TTempBufOutput(const TTempBufOutput& o) noexcept : TOutputStream(), TTempBuf(o) {}
    TTempBufOutput& operator=(const TTempBufOutput& o) noexcept {
        TTempBuf::operator=(o);
        return *this;
    }
    ~TTempBufOutput() override = default;

protected:
    void DoWrite(const void* data, size_t length) override;
};
