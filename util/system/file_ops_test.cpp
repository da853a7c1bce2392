// Host name and whole-file operations.
#include "util/system/file_ops.h"

#include "util/generic/exception.h"
#include "util/system/hostname.h"
#include "util/testing/scratch_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

class TFileOpsTest : public ::testing::Test {
protected:
    TScratchDir Scratch;
    const std::string Dir = Scratch.Path();

    Stroka Path(const char* name) const { return Stroka((Dir + "/" + name).c_str()); }
    void Write(const char* name, const std::string& data) const {
        std::ofstream(Path(name).c_str(), std::ios::binary) << data;
    }
    std::string Read(const char* name) const {
        std::ifstream in(Path(name).c_str(), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(TFileOpsTest, CopyLinkAndAppend) {
    const std::string big(200000, 'q');
    Write("src", big);
    Write("dst", "old, longer contents that must go away entirely");
    CopyFile(Path("src"), Path("dst"));
    EXPECT_EQ(Read("dst"), big);

    // Linking onto an existing name fails, so the contents are copied over it.
    Write("src", "fresh");
    LinkOrCopyFile(Path("src"), Path("dst"));
    EXPECT_EQ(Read("dst"), "fresh");
    struct stat a, b;
    ASSERT_EQ(stat(Path("src").c_str(), &a), 0);
    ASSERT_EQ(stat(Path("dst").c_str(), &b), 0);
    EXPECT_NE(a.st_ino, b.st_ino);

    LinkOrCopyFile(Path("src"), Path("linked"));
    ASSERT_EQ(stat(Path("linked").c_str(), &b), 0);
    EXPECT_EQ(a.st_ino, b.st_ino);

    // Linking or copying again onto that link finds the same file: nothing may be truncated.
    LinkOrCopyFile(Path("src"), Path("linked"));
    CopyFile(Path("src"), Path("src"));
    EXPECT_EQ(Read("linked"), "fresh");
    EXPECT_EQ(Read("src"), "fresh");

    AppendFile(Path("dst"), Path("src"));
    EXPECT_EQ(Read("dst"), "freshfresh");
    EXPECT_THROW(AppendFile(Path("missing"), Path("src")), TFileError);
    EXPECT_EQ(access(Path("missing").c_str(), F_OK), -1);
    EXPECT_THROW(CopyFile(Path("missing"), Path("dst")), TFileError);
}

TEST_F(TFileOpsTest, RemoveAndRename) {
    ASSERT_EQ(mkdir(Path("d").c_str(), 0755), 0);
    Write("d/f", "x");
    ASSERT_EQ(symlink(Path("d").c_str(), Path("link").c_str()), 0);
    EXPECT_EQ(RemovePath(Path("link").c_str()), 0);  // the link goes, not its target
    EXPECT_EQ(access(Path("d/f").c_str(), F_OK), 0);
    EXPECT_EQ(RemovePath(Path("d").c_str()), -1);
    EXPECT_EQ(errno, ENOTEMPTY);
    EXPECT_EQ(RenameFile(Path("d/f").c_str(), Path("g").c_str()), 0);
    EXPECT_EQ(RemovePath(Path("d").c_str()), 0);
    EXPECT_EQ(RemovePath(Path("g").c_str()), 0);
    EXPECT_EQ(RemovePath(Path("g").c_str()), -1);
    EXPECT_EQ(errno, ENOENT);
}

TEST(THostNameTest, ReadOnceAndShared) {
    const char* name = GetHostName();
    char expected[256] = {};
    ASSERT_EQ(gethostname(expected, sizeof(expected) - 1), 0);
    EXPECT_STREQ(name, expected);
    EXPECT_EQ(GetHostName(), name);
}

}  // namespace
