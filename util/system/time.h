// Clocks and sleeping in the system's units: unsigned 64-bit counts of microseconds unless the
// name says otherwise. The clocks feed the entropy pool; nothing here is used for deadlines.
#pragma once

#include <sys/time.h>

#include <cstdint>
#include <ctime>

// Wall-clock time since the epoch.
uint64_t MicroSeconds() noexcept;
// MicroSeconds() / 1000, truncated.
uint64_t MilliSeconds() noexcept;
uint32_t Seconds() noexcept;

// CPU time of the calling thread.
uint64_t ThreadCPUTime() noexcept;

uint64_t TimeValToMicroSeconds(const timeval& tv) noexcept;
uint64_t TimeSpecToMicroSeconds(const timespec& ts) noexcept;

// Sleeps `ns` nanoseconds; a signal that interrupts the sleep does not shorten it. Returns 0.
int NanoSleep(uint64_t ns) noexcept;
