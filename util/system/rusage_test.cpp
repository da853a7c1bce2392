#include "util/system/rusage.h"

#include "util/system/time.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

TEST(Rusage, ReportsBytesAndMicroseconds) {
    TRusage empty;
    EXPECT_EQ(empty.MaxRss, 0u);
    EXPECT_EQ(empty.Utime, 0u);
    EXPECT_EQ(empty.Stime, 0u);

    // Touch 32 MiB so that the peak resident size is at least that, in bytes.
    const size_t size = 32 << 20;
    std::unique_ptr<char[]> block(new char[size]);
    memset(block.get(), 1, size);
    volatile uint64_t sink = 0;
    // At least 20 ms of this thread's CPU time, however loaded the machine is.
    const uint64_t start = ThreadCPUTime();
    const uint64_t wallStart = MicroSeconds();
    while (ThreadCPUTime() - start < 20000 && MicroSeconds() - wallStart < 20000000) {
        sink = sink + 1;
    }

    TRusage usage;
    usage.Fill();
    EXPECT_GE(usage.MaxRss, size);
    EXPECT_LT(usage.MaxRss, uint64_t(1) << 40);  // kilobytes were shifted, not bytes
    EXPECT_GE(usage.Utime + usage.Stime, 20000u);
    EXPECT_EQ(block[size - 1], 1);
}
