// Lazily built process-wide objects.
//
// Singleton<T>() builds a T on first use, in static storage, and hands its destruction to the
// at-exit registry, so that process-wide tables go in an order the library controls rather than
// in the order of the C++ runtime's static destructors. Library singletons use priority 65536;
// objects that other singletons still need while being destroyed use lower priorities and so
// go later (the thread-local-storage master 512, the allocators and growth policies 256).
//
// Creation is serialised by a spin lock per accessor; after creation the accessor takes no lock.
// If the constructor or the registration throws, nothing is kept and the next call tries again.
// After the at-exit run has destroyed the object the accessor still returns the old address:
// nothing may use a singleton from an at-exit callback of lower priority than its own.
#pragma once

#include "util/system/atexit.h"
// Units that build process-wide objects also see to it that SIGPIPE is ignored from start-up.
#include "util/system/sigpipe.h"
#include "util/system/spinlock.h"

#include <atomic>
#include <cstdint>
#include <new>

inline constexpr uint64_t DefaultSingletonPriority = 65536;

namespace NPrivate {
template <class T>
void DestroySingleton(void* object) noexcept {
    static_cast<T*>(object)->~T();
}

// One per (type, priority): the instance pointer, the creation lock and the storage. All
// three are constant-initialised, so an accessor works during static initialisation.
template <class T, uint64_t Priority>
struct TSingletonHolder {
    static inline std::atomic<T*> Instance{nullptr};
    static inline TSpinLockWord Lock{0};
    alignas(T) static inline unsigned char Storage[sizeof(T)];

    static T* Create() {
        TSpinLockGuard guard(Lock);
        T* instance = Instance.load(std::memory_order_relaxed);
        if (instance == nullptr) {
            instance = ::new (static_cast<void*>(Storage)) T();
            try {
                AtExit(DestroySingleton<T>, instance, Priority);
            } catch (...) {
                instance->~T();
                throw;
            }
            Instance.store(instance, std::memory_order_release);
        }
        return instance;
    }
};
}  // namespace NPrivate

template <class T, uint64_t Priority>
T* SingletonWithPriority() {
    using THolder = NPrivate::TSingletonHolder<T, Priority>;
    T* instance = THolder::Instance.load(std::memory_order_acquire);
    if (instance != nullptr) {
        return instance;
    }
    return THolder::Create();
}

template <class T>
T* Singleton() {
    return SingletonWithPriority<T, DefaultSingletonPriority>();
}
