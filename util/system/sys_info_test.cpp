#include "util/system/sys_info.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <thread>

TEST(SysInfo, PageSizeIsAPowerOfTwo) {
    const uint64_t page = NSystemInfo::PageSize();
    EXPECT_GE(page, 4096u);
    EXPECT_EQ(page & (page - 1), 0u);
    EXPECT_EQ(page, static_cast<uint64_t>(sysconf(_SC_PAGESIZE)));
}

TEST(SysInfo, CountsOnlineProcessors) {
    const uint64_t n = NSystemInfo::NumberOfCpus();
    EXPECT_GE(n, 1u);
    EXPECT_EQ(n, static_cast<uint64_t>(sysconf(_SC_NPROCESSORS_ONLN)));
    EXPECT_EQ(NSystemInfo::CachedNumberOfCpus(), n);
    EXPECT_EQ(NSystemInfo::CachedNumberOfCpus(), n);
}

TEST(SysInfo, LoadAveragesAreNonNegative) {
    double averages[3] = {-1.0, -1.0, -1.0};
    EXPECT_EQ(NSystemInfo::LoadAverage(averages, 3), 3);
    for (double a : averages) {
        EXPECT_GE(a, 0.0);
    }
    // Fewer slots than averages: only those are written.
    double one[2] = {-1.0, -7.0};
    EXPECT_EQ(NSystemInfo::LoadAverage(one, 1), 1);
    EXPECT_GE(one[0], 0.0);
    EXPECT_EQ(one[1], -7.0);
}
