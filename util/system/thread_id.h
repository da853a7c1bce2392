// Identity of the calling thread and giving up the processor.
//
// The identity is a mixed form of the thread's POSIX handle; it is what the recursive spin lock
// records as its owner and what a thread object reports as the id of the thread it runs, so
// both must come from the same mixing function.
#pragma once

#include <cstdint>

// Mixes a thread handle into the 64-bit identity used throughout the library.
uint64_t MixThreadHandle(uint64_t handle) noexcept;

// The identity of the calling thread: MixThreadHandle of pthread_self().
uint64_t SystemCurrentThreadId() noexcept;

// Lets other runnable threads go first.
void ThreadYield() noexcept;
