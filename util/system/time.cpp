#include "util/system/time.h"

#include <cerrno>

uint64_t TimeValToMicroSeconds(const timeval& tv) noexcept {
    return static_cast<uint64_t>(tv.tv_sec) * 1000000 + static_cast<uint64_t>(tv.tv_usec);
}

uint64_t TimeSpecToMicroSeconds(const timespec& ts) noexcept {
    return static_cast<uint64_t>(ts.tv_sec) * 1000000 + static_cast<uint64_t>(ts.tv_nsec) / 1000;
}

uint64_t MicroSeconds() noexcept {
    timeval tv;
    gettimeofday(&tv, nullptr);
    return TimeValToMicroSeconds(tv);
}

uint64_t MilliSeconds() noexcept {
    return MicroSeconds() / 1000;
}

uint32_t Seconds() noexcept {
    timeval tv;
    gettimeofday(&tv, nullptr);
    return static_cast<uint32_t>(tv.tv_sec);
}

uint64_t ThreadCPUTime() noexcept {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return TimeSpecToMicroSeconds(ts);
}

int NanoSleep(uint64_t ns) noexcept {
    timespec request;
    request.tv_sec = static_cast<time_t>(ns / 1000000000);
    request.tv_nsec = static_cast<long>(ns % 1000000000);
    timespec remainder;
    // Only an interruption is retried: any other failure would fail again with the same
    // request and spin for ever.
    while (nanosleep(&request, &remainder) != 0 && errno == EINTR) {
        request = remainder;
    }
    return 0;
}
