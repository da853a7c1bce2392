#include "util/generic/temp_buf.h"

#include "util/generic/exception.h"

#include <cstring>
#include <limits>
#include <new>

namespace {

constexpr size_t DefaultSize = 65536;

class TTempBufManager;

// A default body: 65536 inline bytes that go back to the free list of the thread that made
// them.
class TPerThreadedBuf final : public TTempBuf::TImpl {
public:
    explicit TPerThreadedBuf(TTempBufManager* owner) noexcept : Owner(owner) {
        Data = Storage;
        Size = DefaultSize;
    }

    TPerThreadedBuf* Next = nullptr;
    TTempBufManager* Owner;
    char Storage[DefaultSize];

protected:
    void Dispose() noexcept override;
};

// A body for a request above the default size: the header and the n bytes in one allocation.
class TAllocedBuf final : public TTempBuf::TImpl {
public:
    static TAllocedBuf* Make(size_t n) {
        // A request so large that the header no longer fits beside it can never be served;
        // letting the sum wrap would hand out a block far smaller than Size.
        if (n > std::numeric_limits<size_t>::max() - sizeof(TAllocedBuf)) {
            ThrowBadAlloc();
        }
        void* memory = ::operator new(sizeof(TAllocedBuf) + n);
        return new (memory) TAllocedBuf(n);
    }

    // The allocation is the object's own memory, freed by the sized-less operator delete below.
    static void operator delete(void* p) { ::operator delete(p); }

protected:
    void Dispose() noexcept override { delete this; }

private:
    explicit TAllocedBuf(size_t n) noexcept {
        Data = reinterpret_cast<char*>(this + 1);
        Size = n;
    }
};

// The free list of one thread: the body released last is reused first.
class TTempBufManager {
public:
    TTempBufManager() = default;
    TTempBufManager(const TTempBufManager&) = delete;
    TTempBufManager& operator=(const TTempBufManager&) = delete;

    ~TTempBufManager() {
        while (Head) {
            TPerThreadedBuf* next = Head->Next;
            delete Head;
            Head = next;
        }
    }

    TPerThreadedBuf* Take() {
        if (Head) {
            TPerThreadedBuf* b = Head;
            Head = b->Next;
            b->Next = nullptr;
            return b;
        }
        return new TPerThreadedBuf(this);
    }

    void Return(TPerThreadedBuf* b) noexcept {
        b->Next = Head;
        Head = b;
    }

private:
    TPerThreadedBuf* Head = nullptr;
};

// The calling thread's manager, cached in a plain thread-local pointer. It stays null once the
// thread's storage is being torn down, so that late releases free their bodies instead of
// touching a destroyed list.
thread_local TTempBufManager* ThreadManager = nullptr;
thread_local bool ThreadManagerGone = false;

// Frees the thread's manager, and every body on its list, when the thread ends.
struct TManagerHolder {
    TTempBufManager* Manager = new TTempBufManager;

    ~TManagerHolder() {
        ThreadManager = nullptr;
        ThreadManagerGone = true;
        delete Manager;
    }
};

TTempBufManager* CurrentManager() {
    if (!ThreadManager && !ThreadManagerGone) {
        thread_local TManagerHolder holder;
        ThreadManager = holder.Manager;
    }
    return ThreadManager;
}

void TPerThreadedBuf::Dispose() noexcept {
    Filled = 0;
    // Only the creating thread may touch its list: released anywhere else (or after the
    // creator's list is gone), the body is freed here.
    if (Owner == ThreadManager && Owner) {
        Owner->Return(this);
    } else {
        delete this;
    }
}

TTempBuf::TImpl* TakeDefault() {
    if (TTempBufManager* manager = CurrentManager()) {
        return manager->Take();
    }
    return new TPerThreadedBuf(nullptr);
}

}  // namespace

TTempBuf::TTempBuf() : Impl_(TakeDefault()) {
    ++Impl_->Refs;
}

TTempBuf::TTempBuf(size_t n)
    : Impl_(n <= DefaultSize ? TakeDefault() : static_cast<TImpl*>(TAllocedBuf::Make(n))) {
    ++Impl_->Refs;
}

TTempBuf& TTempBuf::operator=(const TTempBuf& b) noexcept {
    ++b.Impl_->Refs;
    UnRef(Impl_);
    Impl_ = b.Impl_;
    return *this;
}

void TTempBuf::Append(const void* data, size_t n) {
    const size_t left = Left();
    if (n > left) {
        throw kexception() << "temp buf exhausted(" << left << ", " << n << ")";
    }
    if (n) {
        std::memcpy(Current(), data, n);
    }
    Impl_->Filled += n;
}

void TTempBufOutput::DoWrite(const void* data, size_t length) {
    Append(data, length);
}
