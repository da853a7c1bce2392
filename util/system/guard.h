// Scope guards for anything with Acquire and Release (TMutex, TSpinLock, TRecursiveSpinLock).
#pragma once

// Takes the lock on construction and releases it when the scope ends, also by an exception.
template <class TLock>
class TGuard {
public:
    explicit TGuard(TLock& lock) noexcept(noexcept(lock.Acquire())) : Lock_(&lock) {
        Lock_->Acquire();
    }
    ~TGuard() { Lock_->Release(); }

    TGuard(const TGuard&) = delete;
    TGuard& operator=(const TGuard&) = delete;

private:
    TLock* Lock_;
};
