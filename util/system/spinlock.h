// Test-and-set spin locks: the lock of every lazily built singleton and of the at-exit registry.
//
// A lock word is 0 when free and 1 when taken. Taking it is one compare-and-swap; a waiter that
// loses spins with a processor pause, yields once after 2000 failed attempts and then sleeps
// for growing, hashed intervals after every further 2000, so that many waiters do not wake in
// step. There is no time-out. Lock words are constant-initialised and may be used during
// static initialisation.
#pragma once

#include <atomic>
#include <cstdint>

using TSpinLockWord = std::atomic<uint64_t>;

// Takes the word when it is free; never waits.
inline bool TryAcquireSpinLock(TSpinLockWord* word) noexcept {
    uint64_t expected = 0;
    return word->compare_exchange_strong(expected, 1, std::memory_order_acquire,
                                         std::memory_order_relaxed);
}

// Waits until the word can be taken, then takes it.
void AcquireSpinLockSlow(TSpinLockWord* word) noexcept;

inline void AcquireSpinLock(TSpinLockWord* word) noexcept {
    if (!TryAcquireSpinLock(word)) {
        AcquireSpinLockSlow(word);
    }
}

inline void ReleaseSpinLock(TSpinLockWord* word) noexcept {
    word->store(0, std::memory_order_release);
}

// The waiting schedule of AcquireSpinLockSlow, kept apart so that it can be checked without
// waiting. Next() is called once per failed attempt and says what to do before the next one.
// Not thread-safe: each waiter owns its schedule.
class TSpinBackoff {
public:
    enum EAction { Pause, Yield, Sleep };

    struct TStep {
        EAction Action;
        uint32_t SleepMicroSeconds;  // set for Sleep only
    };

    TStep Next() noexcept;

    // The centre of the next sleep in microseconds: 500, growing by half after every sleep up
    // to 20000.
    uint32_t SleepBase() const noexcept { return Base_; }

    uint32_t FailedAttempts() const noexcept { return Attempts_; }

private:
    uint32_t Base_ = 500;
    uint32_t Attempts_ = 0;
};

// A lock word with member functions, for code that locks through a guard template.
class TSpinLock {
public:
    constexpr TSpinLock() noexcept = default;
    TSpinLock(const TSpinLock&) = delete;
    TSpinLock& operator=(const TSpinLock&) = delete;

    void Acquire() noexcept { AcquireSpinLock(&Word_); }
    bool TryAcquire() noexcept { return TryAcquireSpinLock(&Word_); }
    void Release() noexcept { ReleaseSpinLock(&Word_); }

private:
    TSpinLockWord Word_{0};
};

// Holds a lock word for the guard's lifetime: takes it on construction, releases it on
// destruction (also when an exception leaves the scope).
class TSpinLockGuard {
public:
    explicit TSpinLockGuard(TSpinLockWord& word) noexcept : Word_(&word) { AcquireSpinLock(Word_); }
    explicit TSpinLockGuard(TSpinLockWord* word) noexcept : Word_(word) { AcquireSpinLock(Word_); }
    ~TSpinLockGuard() { ReleaseSpinLock(Word_); }
    TSpinLockGuard(const TSpinLockGuard&) = delete;
    TSpinLockGuard& operator=(const TSpinLockGuard&) = delete;

private:
    TSpinLockWord* Word_;
};

// A spin lock that its owner may take again; it is free after as many releases as takes.
// The owner is recorded by SystemCurrentThreadId. Constant-initialised, so usable during
// static initialisation. Release must come from the owning thread.
class TRecursiveSpinLock {
public:
    constexpr TRecursiveSpinLock() noexcept = default;
    TRecursiveSpinLock(const TRecursiveSpinLock&) = delete;
    TRecursiveSpinLock& operator=(const TRecursiveSpinLock&) = delete;

    void Acquire() noexcept;
    void Release() noexcept;

    // True when the calling thread holds the lock.
    bool IsOwnedByCurrentThread() const noexcept;

private:
    static constexpr uint64_t NoOwner = ~uint64_t(0);

    TSpinLockWord Word_{0};
    std::atomic<uint64_t> Owner_{NoOwner};
    uint64_t Depth_ = 0;
};
