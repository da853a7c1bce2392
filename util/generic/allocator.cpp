// The malloc-based allocator and its process-wide instance.
#include "util/generic/allocator.h"

#include "util/generic/exception.h"
#include "util/system/singleton.h"

#include <cstdlib>
#include <new>

IAllocator::TBlock TDefaultAllocator::Allocate(size_t len) {
    void* data = std::malloc(len);
    if (data == nullptr && len != 0) {
        ThrowBadAlloc();
    }
    return {data, len};
}

void TDefaultAllocator::Release(const TBlock& block) {
    std::free(block.Data);
}

IAllocator* TDefaultAllocator::Instance() {
    return SingletonWithPriority<TDefaultAllocator, 256>();
}
