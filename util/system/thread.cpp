// Starting, joining and detaching POSIX threads.
#include "util/system/thread.h"

#include "util/generic/exception.h"
#include "util/system/thread_id.h"

#include <pthread.h>

#include <bit>
#include <cstring>

struct TThread::TImpl {
    TThreadProc Proc;
    pthread_t Handle;
    void* Param;
    size_t StackSize;
};

TThread::TThread(TThreadProc proc, void* param) : Impl_(new TImpl{proc, 0, param, 0}) {}

namespace {
// Rounds up to a power of two; a size above the largest one cannot be rounded and is kept, so
// that the system refuses it when the thread is created.
size_t RoundStackSize(size_t size) noexcept {
    constexpr size_t largest = size_t(1) << (sizeof(size_t) * 8 - 1);
    return size == 0 || size > largest ? size : std::bit_ceil(size);
}
}  // namespace

TThread::TThread(const TParams& params)
    : Impl_(new TImpl{params.Proc, 0, params.Data, RoundStackSize(params.StackSize)}) {}

TThread::~TThread() {
    Join();
    delete Impl_;
}

void TThread::Start() {
    // A second thread would take the first one's handle, and the first would then never be
    // joined: the owner could free what it still uses.
    if (Running()) {
        throw kexception() << "thread already started";
    }
    pthread_attr_t attr;
    pthread_attr_t* attrs = nullptr;
    int error = 0;
    if (Impl_->StackSize != 0) {
        pthread_attr_init(&attr);
        attrs = &attr;
        error = pthread_attr_setstacksize(&attr, Impl_->StackSize);
    }
    if (error == 0) {
        error = pthread_create(&Impl_->Handle, attrs, Impl_->Proc, Impl_->Param);
    }
    if (attrs != nullptr) {
        pthread_attr_destroy(attrs);
    }
    if (error != 0) {
        // pthread calls return their error instead of setting errno, so errno would name an
        // unrelated earlier failure.
        Impl_->Handle = 0;
        const char* text = std::strerror(error);
        throw kexception() << "failed to create thread: " << (text != nullptr ? text : "(null)");
    }
}

void* TThread::Join() {
    if (!Running()) {
        return nullptr;
    }
    void* result = nullptr;
    pthread_join(Impl_->Handle, &result);
    Impl_->Handle = 0;
    return result;
}

void TThread::Detach() {
    if (Running()) {
        pthread_detach(Impl_->Handle);
        Impl_->Handle = 0;
    }
}

bool TThread::Running() const noexcept {
    return Impl_->Handle != 0;
}

uint64_t TThread::Id() const noexcept {
    return MixThreadHandle(static_cast<uint64_t>(Impl_->Handle));
}

TSimpleThread::TSimpleThread(size_t stackSize) : TThread(TParams(Run, this, stackSize)) {}

void* TSimpleThread::Run(void* self) noexcept {
    return static_cast<TSimpleThread*>(self)->ThreadProc();
}
