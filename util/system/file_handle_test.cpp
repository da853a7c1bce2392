// Descriptor handles: open-mode mapping, the mode text, sizes and status.
#include "util/system/file_handle.h"
#include "util/testing/scratch_dir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

class TFileHandleTest : public ::testing::Test {
protected:
    void SetUp() override { OldMask = umask(0); }
    void TearDown() override { umask(OldMask); }
    Stroka Path(const char* name) const { return Stroka((Dir + "/" + name).c_str()); }

    static mode_t Permissions(const Stroka& path) {
        struct stat st;
        EXPECT_EQ(stat(path.c_str(), &st), 0);
        return st.st_mode & 07777;
    }

    TScratchDir Scratch;
    const std::string Dir = Scratch.Path();
    mode_t OldMask = 0;
};

TEST(TOpenModeTextTest, NamesBitsInFixedOrder) {
    struct TCase {
        EOpenMode Mode;
        const char* Text;
    };
    const TCase cases[] = {
        {0x28, "RdOnly|Seq"},
        {0x34, "CreateAlways|WrOnly|Seq"},
        {0x130, "WrOnly|Seq|ForAppend"},
        {0x2BB, "RdWr|CreateNew|Seq|Temp|Transient"},
        {0x2, "0x2"},
        {0, "0"},
        {0x6640000, "AR|AW"},
        {0x400, "0x400"},
        {0x80000, "0x80000"},
        {0x7770000, "AX|AR|AW|AWOther"},
        {0x1 | 0x40 | 0x400, "TruncExisting|Direct|0x400"},
        {0x443, "CreateNew|Direct|0x400"},
        {ARUser | AWUser | AXGroup, "AXGroup|AWUser|ARUser"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(OpenModeText(c.Mode).c_str(), c.Text) << std::hex << c.Mode;
    }
}

TEST_F(TFileHandleTest, DefaultsToReadWriteWith0664) {
    const Stroka name = Path("rw");
    TFileHandle h(name, CreateAlways);
    ASSERT_TRUE(h.IsOpen());
    EXPECT_EQ(h.Write("hello", 5), 5);
    EXPECT_EQ(h.Seek(0, 0), 0);
    char buf[8] = {};
    EXPECT_EQ(h.Read(buf, sizeof(buf)), 5);
    EXPECT_STREQ(buf, "hello");
    EXPECT_EQ(Permissions(name), 0664u);

    // Only an unnamed permission bit: no permission at all, and no default either.
    TFileHandle bare(Path("bare"), CreateAlways | 0x80000);
    ASSERT_TRUE(bare.IsOpen());
    EXPECT_EQ(Permissions(Path("bare")), 0u);

    TFileHandle exec(Path("exec"), CreateAlways | AX | ARUser);
    ASSERT_TRUE(exec.IsOpen());
    EXPECT_EQ(Permissions(Path("exec")), 0511u);
}

TEST_F(TFileHandleTest, CreationDispositions) {
    const Stroka name = Path("f");
    {
        TFileHandle missing(name, OpenExisting | RdOnly);
        EXPECT_FALSE(missing.IsOpen());
        EXPECT_EQ(errno, ENOENT);
    }
    {
        TFileHandle h(name, CreateNew | WrOnly);
        ASSERT_TRUE(h.IsOpen());
        EXPECT_EQ(h.Write("abcdef", 6), 6);
        EXPECT_EQ(h.Read(nullptr, 0), -1);  // write-only
    }
    {
        TFileHandle again(name, CreateNew | WrOnly);
        EXPECT_FALSE(again.IsOpen());
        EXPECT_EQ(errno, EEXIST);
    }
    {
        TFileHandle append(name, OpenAlways | WrOnly | ForAppend);
        ASSERT_TRUE(append.IsOpen());
        EXPECT_EQ(append.Write("gh", 2), 2);
        EXPECT_EQ(append.GetLength(), 8);
    }
    {
        TFileHandle trunc(name, TruncExisting | WrOnly);
        ASSERT_TRUE(trunc.IsOpen());
        EXPECT_EQ(trunc.GetLength(), 0);
        EXPECT_EQ(trunc.Write("xy", 2), 2);
    }
    {
        TFileHandle always(name, CreateAlways | RdOnly);
        ASSERT_TRUE(always.IsOpen());
        EXPECT_EQ(always.GetLength(), 0);
    }
}

// Dispositions 5 to 7 do not exist; a caller that passes one has a bug the process must not
// carry on with, and no file may be created on the way.
TEST_F(TFileHandleTest, UnknownDispositionAborts) {
    for (const EOpenMode disposition : {5u, 6u, 7u}) {
        EXPECT_DEATH(TFileHandle(Path("never"), disposition | RdWr), "") << disposition;
    }
    EXPECT_NE(access(Path("never").c_str(), F_OK), 0);
}

TEST_F(TFileHandleTest, TransientNameGoesAtOnce) {
    const Stroka name = Path("t");
    TFileHandle h(name, CreateNew | RdWr | Transient);
    ASSERT_TRUE(h.IsOpen());
    EXPECT_NE(access(name.c_str(), F_OK), 0);
    EXPECT_EQ(h.Pwrite("data", 4, 10), 4);
    char buf[4];
    EXPECT_EQ(h.Pread(buf, 4, 10), 4);
    EXPECT_EQ(std::string(buf, 4), "data");
    EXPECT_EQ(h.GetLength(), 14);
}

TEST_F(TFileHandleTest, ResizeAndReserve) {
    TFileHandle h(Path("r"), CreateAlways);
    ASSERT_TRUE(h.IsOpen());
    EXPECT_TRUE(h.Resize(100));
    EXPECT_EQ(h.GetLength(), 100);
    EXPECT_TRUE(h.Reserve(50));  // never shortens
    EXPECT_EQ(h.GetLength(), 100);
    EXPECT_TRUE(h.Reserve(200));
    EXPECT_EQ(h.GetLength(), 200);
    EXPECT_TRUE(h.Resize(10));
    EXPECT_EQ(h.GetLength(), 10);
    EXPECT_TRUE(h.Flush());
    EXPECT_TRUE(h.FlushData());
    EXPECT_EQ(h.Seek(3, 0), 3);
    EXPECT_EQ(h.Seek(2, 1), 5);
    EXPECT_EQ(h.GetPosition(), 5);
    EXPECT_EQ(h.Seek(-1, 2), 9);
    EXPECT_EQ(TFileStat(h).Size, 10u);

    // A read-only descriptor cannot be truncated, so a length it already has must succeed
    // without any call, and a smaller reservation must leave it alone.
    TFileHandle readOnly(Path("r"), RdOnly);
    ASSERT_TRUE(readOnly.IsOpen());
    EXPECT_TRUE(readOnly.Resize(10));
    EXPECT_TRUE(readOnly.Reserve(5));
    EXPECT_FALSE(readOnly.Resize(11));
    EXPECT_EQ(readOnly.GetLength(), 10);
}

TEST_F(TFileHandleTest, ClosedHandleFailsWithoutSystemCall) {
    TFileHandle h(Path("c"), CreateAlways);
    ASSERT_TRUE(h.IsOpen());
    EXPECT_TRUE(h.Close());
    EXPECT_TRUE(h.Close());
    char c;
    EXPECT_EQ(h.Read(&c, 1), -1);
    EXPECT_EQ(h.Write(&c, 1), -1);
    EXPECT_EQ(h.GetLength(), -1);
    EXPECT_EQ(h.GetPosition(), -1);
    EXPECT_EQ(h.Seek(0, 0), -1);
    EXPECT_FALSE(h.Flush());
    EXPECT_FALSE(h.Resize(1));
    EXPECT_FALSE(h.Reserve(1));
    EXPECT_EQ(h.Duplicate(), -1);
    errno = 0;
    EXPECT_EQ(h.Pread(&c, 1, 0), -1);  // passed to the system
    EXPECT_EQ(errno, EBADF);
}

TEST_F(TFileHandleTest, DuplicateLinkAndRelease) {
    TFileHandle a(Path("a"), CreateAlways);
    TFileHandle b(Path("b"), CreateAlways);
    ASSERT_TRUE(a.IsOpen() && b.IsOpen());
    ASSERT_TRUE(b.LinkTo(a));  // b's descriptor now writes into a
    EXPECT_EQ(b.Write("zz", 2), 2);
    EXPECT_EQ(a.GetLength(), 2);
    TFileHandle dup(a.Duplicate());
    ASSERT_TRUE(dup.IsOpen());
    EXPECT_EQ(dup.GetLength(), 2);
    EXPECT_EQ(dup.Flock(LOCK_EX), 0);

    const int fd = dup.Release();
    EXPECT_FALSE(dup.IsOpen());
    EXPECT_EQ(fcntl(fd, F_GETFD) != -1, true);  // still open
    close(fd);
}

void OnAlarm(int) {}

// A signal that arrives while a read waits must not end the read.
TEST(TFileHandleSignalTest, InterruptedReadIsRepeated) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    struct sigaction action = {};
    action.sa_handler = OnAlarm;  // no SA_RESTART: the system call itself returns EINTR
    struct sigaction old;
    ASSERT_EQ(sigaction(SIGALRM, &action, &old), 0);
    // The writer starts with the signal blocked, so that it reaches the reading thread.
    sigset_t alarm;
    sigemptyset(&alarm);
    sigaddset(&alarm, SIGALRM);
    ASSERT_EQ(pthread_sigmask(SIG_BLOCK, &alarm, nullptr), 0);
    std::thread writer([fd = fds[1]] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_EQ(write(fd, "late", 4), 4);
    });
    ASSERT_EQ(pthread_sigmask(SIG_UNBLOCK, &alarm, nullptr), 0);
    itimerval timer = {};
    timer.it_value.tv_usec = 50000;
    ASSERT_EQ(setitimer(ITIMER_REAL, &timer, nullptr), 0);

    TFileHandle reader(fds[0]);
    char buf[8];
    EXPECT_EQ(reader.Read(buf, sizeof(buf)), 4);
    writer.join();
    sigaction(SIGALRM, &old, nullptr);
    close(fds[1]);
}

TEST_F(TFileHandleTest, StatusByNameAndDescriptor) {
    const Stroka name = Path("s");
    {
        TFileHandle h(name, CreateAlways | ARUser | AWUser);
        ASSERT_EQ(h.Write("12345", 5), 5);
    }
    const TFileStat byName(name);
    EXPECT_EQ(byName.Size, 5u);
    EXPECT_TRUE(S_ISREG(byName.Mode));
    EXPECT_EQ(byName.Mode & 0777, 0600u);
    EXPECT_EQ(byName.NLinks, 1u);
    EXPECT_GT(byName.MTime, 0u);

    const TFileStat missing(Path("none"));
    EXPECT_EQ(missing.Size, 0u);
    EXPECT_EQ(missing.Mode, 0u);
    EXPECT_EQ(TFileStat(-1).NLinks, 0u);
}

}  // namespace
