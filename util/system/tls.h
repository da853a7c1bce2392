// Thread-local storage with any number of keys over one POSIX key.
//
// Every thread gets one storage table (created on its first thread-local access) indexed by key
// index; indexes come from a process-wide counter and are never reused. An NTls::TKey holds one
// untyped pointer per thread; an NTls::TValue<T> builds a T in each thread on first use. When a
// thread ends, its values are destroyed last-created first; the main thread's values go when
// the at-exit registry destroys the storage master (priority 512).
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

namespace NTls {
using TDtor = void (*)(void* value);

// One pointer per thread, null in a thread that never set it. Thread-safe: each thread sees
// only its own value. Destroying a key frees only the key: values already set stay in
// their threads and get the destructor when those threads end.
class TKey {
public:
    explicit TKey(TDtor dtor);
    TKey(TKey&& other) noexcept;
    ~TKey();

    TKey(const TKey&) = delete;
    TKey& operator=(const TKey&) = delete;
    TKey& operator=(TKey&&) = delete;

    void* Get() const;
    void Set(void* value) const;

private:
    struct TImpl;
    TImpl* Impl_;
};

// A T per thread, built on first use in that thread through the constructor object and
// destroyed at that thread's exit. Get raises what the constructor raises (nothing is then
// stored) and std::bad_alloc.
template <class T>
class TValue {
public:
    class TConstructor {
    public:
        virtual ~TConstructor() = default;
        // Builds a T in `memory`, which has room and alignment for one.
        virtual T* Construct(void* memory) const = 0;
    };

    class TDefaultConstructor : public TConstructor {
    public:
        T* Construct(void* memory) const override { return ::new (memory) T(); }
    };

    TValue() : TValue(new TDefaultConstructor()) {}

    // Takes ownership of the constructor object.
    explicit TValue(TConstructor* constructor) : Constructor_(constructor), Key_(Destroy) {}

    ~TValue() { delete Constructor_; }

    TValue(const TValue&) = delete;
    TValue& operator=(const TValue&) = delete;

    T& Get() const {
        void* value = Key_.Get();
        if (value == nullptr) {
            value = Create();
        }
        return *static_cast<T*>(value);
    }

    T* GetPtr() const { return &Get(); }

private:
    static void* AllocateMemory() {
        if constexpr (alignof(T) > __STDCPP_DEFAULT_NEW_ALIGNMENT__) {
            return ::operator new(sizeof(T), std::align_val_t(alignof(T)));
        } else {
            return ::operator new(sizeof(T));
        }
    }

    static void FreeMemory(void* memory) noexcept {
        if constexpr (alignof(T) > __STDCPP_DEFAULT_NEW_ALIGNMENT__) {
            ::operator delete(memory, std::align_val_t(alignof(T)));
        } else {
            ::operator delete(memory);
        }
    }

    static void Destroy(void* value) {
        static_cast<T*>(value)->~T();
        FreeMemory(value);
    }

    void* Create() const {
        void* memory = AllocateMemory();
        T* value;
        try {
            value = Constructor_->Construct(memory);
        } catch (...) {
            FreeMemory(memory);
            throw;
        }
        Key_.Set(value);
        return value;
    }

    TConstructor* Constructor_;
    TKey Key_;
};
}  // namespace NTls
