// File identity: the same file through every kind of name, and what has none.
#include "util/system/file_identity.h"
#include "util/testing/scratch_dir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <string>

namespace {

TEST(FileIdentityTest, TellsOneFileFromAnotherWhateverTheName) {
    TScratchDir scratch;
    std::ofstream(scratch.File("a.txt")) << "a";
    std::ofstream(scratch.File("b.txt")) << "a";
    ASSERT_EQ(link(scratch.File("a.txt").c_str(), scratch.File("hard.txt").c_str()), 0);
    ASSERT_EQ(symlink("a.txt", scratch.File("soft.txt").c_str()), 0);
    ASSERT_EQ(mkdir(scratch.File("d").c_str(), 0700), 0);
    const int fd = open(scratch.File("a.txt").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    const TFileIdentity a = TFileIdentity::OfDescriptor(fd);
    close(fd);
    EXPECT_TRUE(a.Known);
    EXPECT_TRUE(a.Regular);

    const struct {
        std::string Path;
        bool Same;
    } cases[] = {
        {scratch.File("a.txt"), true},        {scratch.File("d/../a.txt"), true},
        {scratch.File("hard.txt"), true},     {scratch.File("soft.txt"), true},
        {scratch.File("b.txt"), false},  // the same bytes, another file
        {scratch.File("missing.txt"), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(a.SameFile(TFileIdentity::OfPath(c.Path.c_str())), c.Same) << c.Path;
    }
    EXPECT_FALSE(TFileIdentity::OfPath(scratch.File("d").c_str()).Regular);
    EXPECT_FALSE(TFileIdentity::OfPath("/dev/null").Regular);
    // Nothing known equals nothing, not even itself.
    const TFileIdentity none = TFileIdentity::OfDescriptor(-1);
    EXPECT_FALSE(none.Known);
    EXPECT_FALSE(none.SameFile(none));
}

TEST(FileIdentityTest, KnowsTheReadErrorsThatNeedNoRead) {
    TScratchDir scratch;
    std::ofstream(scratch.File("a.txt")) << "a";
    ASSERT_EQ(mkdir(scratch.File("d").c_str(), 0700), 0);
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const struct {
        const char* Name;
        int Fd;
        int Error;
    } cases[] = {
        {"a file open for reading", open(scratch.File("a.txt").c_str(), O_RDONLY), 0},
        {"a file open for both", open(scratch.File("a.txt").c_str(), O_RDWR), 0},
        {"the read end of a pipe", pipeFds[0], 0},
        {"a directory", open(scratch.File("d").c_str(), O_RDONLY), EISDIR},
        {"a file open only for writing", open(scratch.File("a.txt").c_str(), O_WRONLY), EBADF},
        {"the write end of a pipe", pipeFds[1], EBADF},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KnownReadError(c.Fd), c.Error) << c.Name;
    }
    for (const auto& c : cases) {
        close(c.Fd);
        EXPECT_EQ(KnownReadError(c.Fd), EBADF) << c.Name << ", closed";
    }
}

}  // namespace
