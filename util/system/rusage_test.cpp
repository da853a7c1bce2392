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
    const uint64_t start = MicroSeconds();
    while (MicroSeconds() - start < 20000) {
        sink = sink + 1;
    }

    TRusage usage;
    usage.Fill();
    EXPECT_GE(usage.MaxRss, size);
    EXPECT_LT(usage.MaxRss, uint64_t(1) << 40);  // kilobytes were shifted, not bytes
    EXPECT_GE(usage.Utime + usage.Stime, 10000u);
    EXPECT_EQ(block[size - 1], 1);
}
