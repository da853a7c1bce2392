// Progress steps of the compact-trie tools.
#include "lemmer/compiler/trie_progress.h"

#include "util/stream/output.h"

#include <sys/resource.h>

#include <cstdio>

namespace {
// Peak resident size of the process in bytes (the system reports kilobytes).
// TODO: switch to the utility library's resource-usage snapshot once it exists.
unsigned long PeakResidentBytes() {
    struct rusage usage {};
    if (getrusage(RUSAGE_SELF, &usage) != 0) {
        return 0;
    }
    return static_cast<unsigned long>(usage.ru_maxrss) << 10;
}

// The standard error stream for progress.
// TODO: switch to the utility library's StdErrStream once it exists.
class TStdErrOutput : public TOutputStream {
protected:
    void DoWrite(const void* data, size_t length) override { std::fwrite(data, 1, length, stderr); }
    void DoFlush() override { std::fflush(stderr); }
};
}  // namespace

void ReportTrieProgress(size_t count, TOutputStream& log) {
    if (count % 1000000 == 0) {
        log << static_cast<unsigned long>(count) << ", RSS=" << (PeakResidentBytes() >> 20) << "mb"
            << Endl;
    } else if (count % 20000 == 0) {
        log << ".";
    }
}

void ReportTrieProgress(size_t count) {
    static TStdErrOutput err;
    ReportTrieProgress(count, err);
}
