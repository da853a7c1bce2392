// A recursive mutex over POSIX threads.
#pragma once

// Recursive: the owner may lock again and must unlock as often. Construction raises kexception
// ("mutex init failed(" + error text + ")" and the like) when the system cannot make the mutex;
// a failing lock, unlock or destroy is a broken invariant and ends the process with a VERIFY
// report. Thread-safe.
class TMutex {
public:
    TMutex();
    TMutex(TMutex&& other) noexcept;
    ~TMutex();

    TMutex(const TMutex&) = delete;
    TMutex& operator=(const TMutex&) = delete;
    TMutex& operator=(TMutex&&) = delete;

    void Acquire() noexcept;
    // True when the lock was taken.
    bool TryAcquire() noexcept;
    void Release() noexcept;

    // The underlying pthread_mutex_t.
    void* Handle() const noexcept;

private:
    class TImpl;
    TImpl* Impl_;
};
