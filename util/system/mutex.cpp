// The recursive POSIX mutex and its failure reports.
#include "util/system/mutex.h"

#include "util/generic/exception.h"
#include "util/system/verify.h"

#include <pthread.h>

#include <cstring>

namespace {
const char* ErrorText(int error) noexcept {
    const char* text = std::strerror(error);
    return text != nullptr ? text : "(null)";
}

[[noreturn]] void ThrowInitError(const char* what, int error) {
    throw kexception() << what << ErrorText(error) << ")";
}

// The mutex calls of a sound program cannot fail; a failure is reported as a broken invariant.
void CheckResult(int result, const char* function, const char* format) noexcept {
    if (result != 0) {
        Panic("util/system/mutex", __LINE__, function, "result == 0", format, ErrorText(result));
    }
}
}  // namespace

class TMutex::TImpl {
public:
    TImpl() {
        pthread_mutexattr_t attr;
        int result = pthread_mutexattr_init(&attr);
        if (result != 0) {
            ThrowInitError("mutexattr init failed(", result);
        }
        // The attribute object is destroyed whatever happens next, as a scope guard would.
        struct TAttrGuard {
            pthread_mutexattr_t* Attr;
            ~TAttrGuard() {
                CheckResult(pthread_mutexattr_destroy(Attr), "~T", "mutexattr destroy(%s)");
            }
        } attrGuard{&attr};

        result = pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
        if (result != 0) {
            ThrowInitError("mutexattr set type failed(", result);
        }
        result = pthread_mutex_init(&Mutex_, &attr);
        if (result != 0) {
            ThrowInitError("mutex init failed(", result);
        }
    }

    ~TImpl() {
        CheckResult(pthread_mutex_destroy(&Mutex_), "~TImpl", "mutex destroy failure (%s)");
    }

    pthread_mutex_t* Handle() noexcept { return &Mutex_; }

private:
    pthread_mutex_t Mutex_;
};

TMutex::TMutex() : Impl_(new TImpl()) {}

TMutex::TMutex(TMutex&& other) noexcept : Impl_(other.Impl_) {
    other.Impl_ = nullptr;
}

TMutex::~TMutex() {
    delete Impl_;
}

void TMutex::Acquire() noexcept {
    CheckResult(pthread_mutex_lock(Impl_->Handle()), "Acquire", "mutex lock failure (%s)");
}

bool TMutex::TryAcquire() noexcept {
    return pthread_mutex_trylock(Impl_->Handle()) == 0;
}

void TMutex::Release() noexcept {
    CheckResult(pthread_mutex_unlock(Impl_->Handle()), "Release", "mutex unlock failure (%s)");
}

void* TMutex::Handle() const noexcept {
    return Impl_->Handle();
}
