// Counts the heap allocations of a program: replaces the global allocation functions. Include
// it in exactly one translation unit of a test or benchmark program, and read
// NLemmer::NTest::AllocationCount() around the code that must not allocate.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace NLemmer::NTest {

inline std::atomic<uint64_t> Allocations{0};

inline uint64_t AllocationCount() {
    return Allocations.load(std::memory_order_relaxed);
}

}  // namespace NLemmer::NTest

// g++ sees the replaced delete free what its inlined new took from malloc and warns of a
// mismatch that is none.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t n) {
    NLemmer::NTest::Allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
#pragma GCC diagnostic pop
