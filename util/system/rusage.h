// A snapshot of the calling process's resource usage.
#pragma once

#include <cstdint>

// Plain value; Fill raises TSystemError "rusage failed" when the system refuses (the fields
// then stay 0).
struct TRusage {
    uint64_t MaxRss = 0;  // maximum resident set size, bytes
    uint64_t Utime = 0;   // user CPU time, microseconds
    uint64_t Stime = 0;   // system CPU time, microseconds

    void Fill();
};
