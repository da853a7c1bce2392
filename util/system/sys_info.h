// Facts about the machine: page size, processor count and load averages.
#pragma once

#include <cstdint>

namespace NSystemInfo {
// The system's page size, read once at start-up (and on demand before that).
uint64_t PageSize() noexcept;

// The number of processors online, read anew. A failing query aborts the process: callers
// size thread pools and seeds from it and have no sound fallback.
uint64_t NumberOfCpus() noexcept;
// NumberOfCpus(), read once and cached.
uint64_t CachedNumberOfCpus() noexcept;

// Fills up to `n` load averages (1, 5 and 15 minutes) and returns how many were filled;
// when the system cannot tell, sets all `n` to 0.0 and returns `n`.
int LoadAverage(double* averages, int n) noexcept;
}  // namespace NSystemInfo
