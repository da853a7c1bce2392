#include "util/system/exec_file.h"

#include "util/system/mmap.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

// The map holds the executable's bytes: the file's size and the same contents.
TEST(OpenExecFile, MapsTheRunningBinaryWhole) {
    std::unique_ptr<TMappedFile> file(OpenExecFile());
    ASSERT_NE(file, nullptr);
    struct stat st;
    ASSERT_EQ(stat("/proc/self/exe", &st), 0);
    ASSERT_EQ(file->Length(), static_cast<uint64_t>(st.st_size));
    const char* data = static_cast<const char*>(file->Data());
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(memcmp(data,
                     "\x7F"
                     "ELF",
                     4),
              0);

    // One read: the test binary is tens of megabytes.
    std::ifstream in("/proc/self/exe", std::ios::binary);
    std::vector<char> bytes(file->Length() + 1);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_EQ(static_cast<uint64_t>(in.gcount()), file->Length());
    EXPECT_EQ(memcmp(bytes.data(), data, file->Length()), 0);
}
