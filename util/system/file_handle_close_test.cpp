// Closing a descriptor that a signal interrupts. On Linux close releases the descriptor even when
// it reports EINTR, so closing the number again could close a file that another thread opened
// meanwhile. This program replaces the C library's close with one that behaves so on request,
// which is why it stands apart from the other handle tests.
#include "util/system/file_handle.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

namespace {
// The descriptor whose next close is interrupted; -1: none.
int InterruptedFd = -1;
// What "another thread" opened in the number that the interrupted close released.
int ReusedFd = -1;
}  // namespace

extern "C" int close(int fd) {
    using TReal = int (*)(int);
    static const TReal real = reinterpret_cast<TReal>(dlsym(RTLD_NEXT, "close"));
    if (fd != InterruptedFd) {
        return real(fd);
    }
    InterruptedFd = -1;
    real(fd);
    ReusedFd = open("/dev/null", O_RDONLY);  // the lowest free number: the one just released
    errno = EINTR;
    return -1;
}

namespace {

TEST(TFileHandleCloseTest, InterruptedCloseLeavesReusedNumberAlone) {
    const int fd = open("/dev/null", O_RDONLY);
    ASSERT_GE(fd, 0);
    TFileHandle handle(fd);
    InterruptedFd = fd;
    EXPECT_TRUE(handle.Close());
    EXPECT_FALSE(handle.IsOpen());
    ASSERT_EQ(ReusedFd, fd);
    EXPECT_NE(fcntl(ReusedFd, F_GETFD), -1) << "the other file's descriptor was closed";
    close(ReusedFd);
}

}  // namespace
