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

    std::ifstream in("/proc/self/exe", std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), file->Length());
    EXPECT_EQ(memcmp(bytes.data(), data, bytes.size()), 0);
}
