// errno accessors and error texts.
#include "util/system/last_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace {

TEST(TLastErrorTest, ReadsAndClearsErrno) {
    errno = ENOSPC;
    EXPECT_EQ(LastSystemError(), ENOSPC);
    ClearLastSystemError();
    EXPECT_EQ(errno, 0);
}

TEST(TLastErrorTest, BufferFormReturnsStatus) {
    char buffer[256];
    EXPECT_EQ(SystemErrorText(buffer, sizeof(buffer), ENOENT), 0);
    EXPECT_STREQ(buffer, strerror(ENOENT));
    EXPECT_STREQ(SystemErrorText(ENOENT), strerror(ENOENT));

    char tiny[4];
    EXPECT_EQ(SystemErrorText(tiny, sizeof(tiny), ENOENT), ERANGE);
}

}  // namespace
