#include "util/system/sys_info.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>

namespace {
const uint64_t StartupPageSize = static_cast<uint64_t>(getpagesize());

// Written with the same value by any racing first callers.
std::atomic<uint64_t> CpuCount{0};
}  // namespace

uint64_t NSystemInfo::PageSize() noexcept {
    // Zero only when asked from another unit's static initialiser before ours ran.
    return StartupPageSize != 0 ? StartupPageSize : static_cast<uint64_t>(getpagesize());
}

uint64_t NSystemInfo::NumberOfCpus() noexcept {
    const long n = sysconf(_SC_NPROCESSORS_ONLN);
    if (n <= 0) {
        abort();
    }
    return static_cast<uint64_t>(n);
}

uint64_t NSystemInfo::CachedNumberOfCpus() noexcept {
    uint64_t n = CpuCount.load(std::memory_order_relaxed);
    if (n == 0) {
        n = NumberOfCpus();
        CpuCount.store(n, std::memory_order_relaxed);
    }
    return n;
}

int NSystemInfo::LoadAverage(double* averages, int n) noexcept {
    const int filled = getloadavg(averages, n);
    if (filled >= 0) {
        return filled;
    }
    for (int i = 0; i < n; ++i) {
        averages[i] = 0.0;
    }
    return n;
}
