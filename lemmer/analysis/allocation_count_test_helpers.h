// Counts the heap allocations of a program: replaces the global allocation functions. Include
// it in exactly one translation unit of a test or benchmark program, and read
// NLemmer::NTest::AllocationCount() around the code that must not allocate, or
// NLemmer::NTest::LiveHeapBytes() around the code whose memory is measured.
#pragma once

#include <malloc.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace NLemmer::NTest {

inline std::atomic<uint64_t> Allocations{0};
// Bytes that operator new has handed out and delete not taken back, as malloc sizes them.
inline std::atomic<int64_t> LiveBytes{0};

inline uint64_t AllocationCount() {
    return Allocations.load(std::memory_order_relaxed);
}

inline int64_t LiveHeapBytes() {
    return LiveBytes.load(std::memory_order_relaxed);
}

inline void ForgetLiveBytes(void* p) noexcept {
    if (p != nullptr) {
        LiveBytes.fetch_sub(static_cast<int64_t>(malloc_usable_size(p)), std::memory_order_relaxed);
    }
}

}  // namespace NLemmer::NTest

// g++ sees the replaced delete free what its inlined new took from malloc and warns of a
// mismatch that is none.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t n) {
    NLemmer::NTest::Allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) {
        NLemmer::NTest::LiveBytes.fetch_add(static_cast<int64_t>(malloc_usable_size(p)),
                                            std::memory_order_relaxed);
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    NLemmer::NTest::ForgetLiveBytes(p);
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    NLemmer::NTest::ForgetLiveBytes(p);
    std::free(p);
}
#pragma GCC diagnostic pop
