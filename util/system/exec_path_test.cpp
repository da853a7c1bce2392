#include "util/system/exec_path.h"

#include "util/generic/exception.h"
#include "util/testing/scratch_dir.h"
#include "util/testing/utf.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

namespace {
std::string LinkTarget(const char* link) {
    char buf[PATH_MAX + 1];
    const ssize_t n = readlink(link, buf, sizeof(buf));
    return n < 0 ? std::string() : std::string(buf, static_cast<size_t>(n));
}

}  // namespace

TEST(ExecPath, IsTheTargetOfProcSelfExe) {
    const std::string expected = LinkTarget("/proc/self/exe");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(NTesting::Std(GetExecPath()), expected);
    EXPECT_EQ(NTesting::Std(ReadExecPath()), expected);
    EXPECT_EQ(NTesting::Std(ResolveExecPath()), expected);
    EXPECT_EQ(expected.substr(expected.rfind('/') + 1), "util_tests");
    // Built once: every call gives the same string.
    EXPECT_EQ(&GetExecPath(), &GetExecPath());
}

TEST(ExecPath, Argv0NamesThisProgram) {
    const Stroka argv0 = GetArgv0();
    ASSERT_FALSE(argv0.empty());
    EXPECT_TRUE(argv0.EndsWith("util_tests")) << NTesting::Std(argv0);
    char* resolved = realpath(argv0.c_str(), nullptr);
    ASSERT_NE(resolved, nullptr);
    EXPECT_EQ(std::string(resolved), NTesting::Std(GetExecPath()));
    free(resolved);
}

// The kernel answers are replaced to reach the confirming guesses; each test restores the
// directory and environment it changes.
class ExecPathGuesses : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(getcwd(OldCwd, sizeof(OldCwd)), nullptr);
        const char* pwd = getenv("PWD");
        OldPwd = pwd ? pwd : "";
        const char* underscore = getenv("_");
        OldUnderscore = underscore ? underscore : "";
        const std::string exe = LinkTarget("/proc/self/exe");
        ExeDir = exe.substr(0, exe.rfind('/'));
    }

    void TearDown() override {
        EXPECT_EQ(chdir(OldCwd), 0);
        setenv("PWD", OldPwd.c_str(), 1);
        setenv("_", OldUnderscore.c_str(), 1);
    }

    char OldCwd[PATH_MAX];
    std::string OldPwd;
    std::string OldUnderscore;
    TScratchDir Scratch;
    const std::string EmptyDir = Scratch.Path();
    std::string ExeDir;
};

namespace {
Stroka BareName() {
    return Stroka("util_tests");
}

Stroka KernelAnswerEmpty() {
    return Stroka();
}

Stroka KernelAnswerOtherFile() {
    return Stroka("other");
}

Stroka KernelAnswerAbsolute() {
    return Stroka("/not/checked/at/all");
}
}  // namespace

// An answer with a '/' is taken as it is, without any look at the file system.
TEST_F(ExecPathGuesses, AnswerWithSlashIsTakenWithoutChecks) {
    EXPECT_EQ(NTesting::Std(ResolveExecPath(&KernelAnswerAbsolute)), "/not/checked/at/all");
}

// A bare name is kept when a guess (argument 0, "_", or the program in the current directory)
// names the same file from the current directory.
TEST_F(ExecPathGuesses, BareAnswerConfirmedFromTheExecutablesDirectory) {
    ASSERT_EQ(chdir(ExeDir.c_str()), 0);
    EXPECT_EQ(NTesting::Std(ResolveExecPath(&BareName)), "util_tests");
}

// From a directory where the bare name resolves to nothing, the real-path failure ends the
// resolution.
TEST_F(ExecPathGuesses, UnresolvableAnswerRaisesFileError) {
    ASSERT_EQ(chdir(EmptyDir.c_str()), 0);
    // An existing guess whatever argument 0 is, so that the answer must be resolved.
    setenv("_", LinkTarget("/proc/self/exe").c_str(), 1);
    EXPECT_THROW(ResolveExecPath(&BareName), TFileError);
    try {
        ResolveExecPath(&KernelAnswerEmpty);
        ADD_FAILURE() << "no exception";
    } catch (const TFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  std::string("(") + strerror(ENOENT) + ") RealPath failed \"\"");
    }
}

// Every guess either misses or names another file than the kernel's answer: the resolution
// gives up with its own message.
TEST_F(ExecPathGuesses, NoConfirmingGuessFails) {
    ASSERT_EQ(chdir(EmptyDir.c_str()), 0);
    const int fd = open("other", O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    close(fd);
    setenv("PWD", EmptyDir.c_str(), 1);
    setenv("_", "", 1);
    try {
        ResolveExecPath(&KernelAnswerOtherFile);
        ADD_FAILURE() << "no exception";
    } catch (const TFileError& e) {
        ADD_FAILURE() << e.what();
    } catch (const kexception& e) {
        EXPECT_STREQ(e.what(), "can not resolve exec path");
    }
    unlink("other");
}

// A guess confirms only a directory that holds the program; a miss leaves the result alone.
TEST_F(ExecPathGuesses, GuessInOneDirectory) {
    Stroka result("untouched");
    EXPECT_FALSE(GuessExecPath(Stroka(EmptyDir.c_str()), result));
    EXPECT_EQ(NTesting::Std(result), "untouched");
    EXPECT_TRUE(GuessExecPath(Stroka(ExeDir.c_str()), result));
    EXPECT_EQ(NTesting::Std(result), LinkTarget("/proc/self/exe"));
}
