// Objects that carry a run of bytes directly behind themselves in one allocation.
//
// A class T derives from TAdditionalStorage<T> and is created with `new (length) T(...)`; the
// allocation holds a header with the length, the object, then `length` bytes that
// AdditionalData() points at. Deleting the object (also through a base with a virtual
// destructor) frees the whole allocation. T must be the most derived class.
#pragma once

#include <cstddef>
#include <new>

template <class T>
class TAdditionalStorage {
public:
    static void* operator new(size_t size, size_t length) {
        char* block = static_cast<char*>(::operator new(HeaderSize + size + length));
        *reinterpret_cast<size_t*>(block) = length;
        return block + HeaderSize;
    }
    // Frees the allocation when the constructor raises.
    static void operator delete(void* object, size_t) noexcept { Free(object); }
    static void operator delete(void* object) noexcept { Free(object); }
    // Without a length there is nowhere to put the bytes.
    static void* operator new(size_t) = delete;

    void* AdditionalData() const noexcept {
        return const_cast<char*>(reinterpret_cast<const char*>(Self())) + sizeof(T);
    }
    size_t AdditionalDataLength() const noexcept {
        return *reinterpret_cast<const size_t*>(reinterpret_cast<const char*>(Self()) - HeaderSize);
    }

private:
    // Keeps the object at the alignment that ::operator new gives.
    static constexpr size_t HeaderSize = alignof(std::max_align_t);

    const T* Self() const noexcept { return static_cast<const T*>(this); }

    static void Free(void* object) noexcept {
        if (object) {
            ::operator delete(static_cast<char*>(object) - HeaderSize);
        }
    }
};
