#include "util/system/sigpipe.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {

TEST(SigPipeGuardTest, IgnoredFromStartUp) {
    // Nothing in this test asks for the guard before checking: start-up already did.
    struct sigaction current {};
    ASSERT_EQ(sigaction(SIGPIPE, nullptr, &current), 0);
    EXPECT_EQ(current.sa_handler, SIG_IGN);
}

TEST(SigPipeGuardTest, WriteToAPipeWithoutReaderFails) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    errno = 0;
    EXPECT_EQ(write(fds[1], "x", 1), -1);  // the process is still alive to see it
    EXPECT_EQ(errno, EPIPE);
    close(fds[1]);
}

TEST(SigPipeGuardTest, ForcingAgainChangesNothing) {
    TSigPipeGuard* guard = SigPipeGuard();
    ForceSigPipeGuard();
    ForceSigPipeGuard();
    EXPECT_EQ(SigPipeGuard(), guard);
}

}  // namespace
