// File-system utilities and the directory iterator.
#include "util/system/fs.h"

#include "util/generic/exception.h"
#include "util/system/dir_iterator.h"
#include "util/testing/exception_matchers.h"
#include "util/testing/scratch_dir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

template <class TError>
std::string RaisedText(const std::function<void()>& call) {
    try {
        call();
    } catch (const TError& e) {
        return e.what();
    }
    return "";
}

// Sets an environment variable for one scope.
class TEnvGuard {
public:
    TEnvGuard(const char* name, const char* value) : Name_(name) {
        const char* old = getenv(name);
        Had_ = old != nullptr;
        if (Had_) {
            Old_ = old;
        }
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~TEnvGuard() {
        if (Had_) {
            setenv(Name_, Old_.c_str(), 1);
        } else {
            unsetenv(Name_);
        }
    }

private:
    const char* Name_;
    bool Had_;
    std::string Old_;
};

class TFsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char out[MaxPathBuffer];
        ASSERT_EQ(MakeTempDir(out, Scratch.Path().c_str()), 0);
        Dir = out;  // real path with a final '/'
        Cwd = GetCwd();
    }
    void TearDown() override { ChangeDir(Cwd); }

    std::string Path(const std::string& name) const { return Dir + name; }
    void Touch(const std::string& name) const { std::ofstream(Path(name)) << "x"; }

    TScratchDir Scratch;
    std::string Dir;
    Stroka Cwd;
};

TEST_F(TFsTest, TemporaryDirectoriesAreCreatedAndRemoved) {
    {
        TEnvGuard unset("TMPDIR", nullptr);
        EXPECT_STREQ(GetTempDir(), "/tmp");
    }
    {
        TEnvGuard set("TMPDIR", Dir.c_str());
        EXPECT_EQ(GetTempDir(), Dir);
        char out[MaxPathBuffer];
        ASSERT_EQ(MakeTempDir(out, nullptr), 0);
        const std::string made = out;
        EXPECT_EQ(made.rfind(Dir + "tmp", 0), 0u) << made;
        EXPECT_EQ(made.size(), Dir.size() + 10);
        EXPECT_EQ(made.back(), '/');
        EXPECT_EQ(IsDir(out), 0);
        EXPECT_EQ(RemoveDirTree(out), 0);
        EXPECT_FALSE(PathExists(out));
    }
    char out[MaxPathBuffer];
    EXPECT_EQ(MakeTempDir(out, Path("missing").c_str()), ENOENT);
    Touch("file");
    EXPECT_EQ(MakeTempDir(out, Path("file").c_str()), ENOTDIR);
}

TEST_F(TFsTest, PlainQueries) {
    Touch("f");
    EXPECT_STREQ(GetBaseName("/a/b/c.txt"), "c.txt");
    EXPECT_STREQ(GetBaseName("plain"), "plain");
    EXPECT_STREQ(GetBaseName("dir/"), "");
    EXPECT_EQ(IsDir(Dir.c_str()), 0);
    EXPECT_EQ(IsDir(Path("f").c_str()), ENOENT);
    EXPECT_EQ(IsDir(Path("none/x").c_str()), ENOENT);
    EXPECT_EQ(IsDir(Path("f/x").c_str()), ENOTDIR);
    EXPECT_EQ(IsDir(static_cast<const char*>(nullptr)), ENOENT);
    EXPECT_EQ(IsDir(""), ENOENT);
    EXPECT_TRUE(IsDir(Stroka(Dir.c_str())));
    EXPECT_TRUE(PathExists(Path("f").c_str()));
    EXPECT_TRUE(EnsureExists(Stroka(Path("f").c_str())));
    EXPECT_EQ(RaisedText<kexception>([&] { EnsureExists(Stroka(Path("g").c_str())); }),
              "File or dir " + Path("g") + " does not exist");
    EXPECT_EQ(PathSeparator(), '/');
    EXPECT_STREQ(PathSeparatorString(), "/");
}

TEST(TFsTextTest, DirNameAndSlash) {
    const std::pair<const char*, const char*> cases[] = {
        {"/a/b/c", "/a/b"}, {"/a/b/", "/a/b"}, {"/a", ""}, {"a", "."}, {"a/b", "a"}, {"/", ""}};
    for (const auto& [path, dir] : cases) {
        EXPECT_EQ(GetDirName(Stroka(path)), dir) << path;
    }
    for (const auto& [in, out] :
         {std::pair<const char*, const char*>{"", ""}, {"a", "a/"}, {"a/", "a/"}}) {
        Stroka s(in);
        AppendSlash(s);
        EXPECT_EQ(s, out);
    }
}

TEST_F(TFsTest, ResolvesPaths) {
    ASSERT_EQ(mkdir(Path("d").c_str(), 0755), 0);
    Touch("d/f");
    ASSERT_EQ(symlink("d", Path("l").c_str()), 0);
    char out[MaxPathBuffer];

    struct TCase {
        std::string Path;
        std::string Base;  // "" for none
        bool IsDir;
        int Code;
        std::string Result;
    };
    const std::string base = Dir + "d";
    const TCase cases[] = {
        {Path("d"), "", true, 0, Path("d/")},
        {Path("l/"), "", true, 0, Path("d/")},
        {Path("d/../d/f"), "", false, 0, Path("d/f")},
        {Path("l/new"), "", false, 0, Path("d/new")},  // not there yet: keeps its name
        {"f", base, false, 0, Path("d/f")},
        {"../d", base, true, 0, Path("d/")},
        {Path("d/f"), "", true, ENOTDIR, ""},
        {Path("none/new"), "", false, ENOENT, ""},
        {Path("none"), "", true, ENOENT, ""},
        {"", "", false, EINVAL, ""},
        {"x", "/" + std::string(2047, 'b'), false, EINVAL, ""},
        {std::string(2000, 'p'), "/" + std::string(100, 'b'), false, EINVAL, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Path);
        EXPECT_EQ(
            ResolvePath(c.Path.c_str(), c.Base.empty() ? nullptr : c.Base.c_str(), out, c.IsDir),
            c.Code);
        EXPECT_EQ(out, c.Result);
    }

    // A bare name that does not exist resolves in the current directory and keeps its name.
    ChangeDir(Stroka(Path("d").c_str()));
    EXPECT_EQ(ResolvePath("newfile", nullptr, out, false), 0);
    EXPECT_EQ(std::string(out), Path("d/newfile"));
    EXPECT_EQ(ResolvePath("newfile", false), Path("d/newfile").c_str());
    EXPECT_EQ(ResolvePath(".", true), Path("d/").c_str());
    EXPECT_EQ(RaisedText<kexception>([] { ResolvePath("none/x", false); }),
              "cannot resolve path: \"none/x\"");
    EXPECT_EQ(RealPath("f"), Path("d/f").c_str());
    EXPECT_EQ(RaisedText<TFileError>([] { RealPath("none"); }),
              SystemErrorPrefix(ENOENT) + "RealPath failed \"none\"");
    EXPECT_EQ(GetCwd(), Path("d").c_str());
}

// Builds a directory whose path is `length` bytes long below `top` (through descriptors, since
// the path comes close to the system's limit) and returns its path.
std::string DeepDir(const std::string& top, size_t length) {
    std::string path = top;
    int fd = open(top.c_str(), O_RDONLY | O_DIRECTORY);
    while (path.size() < length) {
        const size_t n = std::min<size_t>(200, length - path.size() - 1);
        const std::string name(std::max<size_t>(n, 1), 'd');
        mkdirat(fd, name.c_str(), 0755);
        const int next = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        close(fd);
        fd = next;
        path += (path.back() == '/' ? "" : "/") + name;
    }
    close(fd);
    return path;
}

TEST_F(TFsTest, OverlongPathsAreRefusedNotOverrun) {
    const std::string deep = DeepDir(Dir, PATH_MAX - 60);
    ASSERT_EQ(IsDir(deep.c_str()), 0) << deep.size();
    const std::string name(100, 'n');
    const int fd = open((deep + "/" + name.substr(0, 50)).c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    close(fd);
    const int dirFd = open(deep.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(dirFd, 0);
    const int fileFd = openat(dirFd, name.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fileFd, 0);
    close(fileFd);
    close(dirFd);

    // The entry's path does not fit the removal's buffer.
    EXPECT_EQ(RemoveDirTree(deep.c_str()), ENAMETOOLONG);
    // The resolved directory plus the new name does not fit the output.
    char out[MaxPathBuffer];
    EXPECT_EQ(ResolvePath((deep + "/" + std::string(100, 'm')).c_str(), nullptr, out, false),
              ENAMETOOLONG);
    EXPECT_STREQ(out, "");
}

TEST_F(TFsTest, MakesDirectoriesWithParents) {
    std::string path = Path("a//b/");
    EXPECT_EQ(MakePath(path.data(), 0755), 0);
    EXPECT_EQ(path, Path("a//b/"));
    EXPECT_EQ(IsDir(Path("a/b").c_str()), 0);
    Touch("file");
    std::string blocked = Path("file/x");
    EXPECT_EQ(MakePath(blocked.data(), 0755), -1);

    errno = EDOM;
    MakePathIfNotExist(Path("a/b").c_str());
    EXPECT_EQ(errno, 0);
    MakePathIfNotExist(Path("p/q/r").c_str(), 0700);
    struct stat st;
    ASSERT_EQ(stat(Path("p/q/r").c_str(), &st), 0);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(st.st_mode & 0777, 0700u & ~mask);
    EXPECT_EQ(RaisedText<kexception>([&] { MakePathIfNotExist(Path("file").c_str()); }),
              Path("file") + " already exists and is not a directory");
    ASSERT_EQ(chmod(Path("p").c_str(), 0500), 0);
    if (geteuid() != 0) {
        EXPECT_EQ(RaisedText<TSystemError>([&] { MakePathIfNotExist(Path("p/new/x").c_str()); }),
                  SystemErrorPrefix(EACCES) + "failed to create directory " + Path("p/new/x"));
    }

    MakeDir(Stroka(Path("m").c_str()));
    errno = EDOM;
    MakeDir(Stroka(Path("m").c_str()));
    EXPECT_EQ(errno, 0);
    EXPECT_EQ(RaisedText<TSystemError>([&] { MakeDir(Stroka(Path("none/m").c_str())); }),
              SystemErrorPrefix(ENOENT) + "failed to create directory " + Path("none/m"));
    EXPECT_EQ(
        RaisedText<TSystemError>([&] { ChangeDir(Stroka(Path("none\n").c_str())); }),
        SystemErrorPrefix(ENOENT) + "failed to change directory to \"" + Path("none\\n") + "\"");
}

TEST_F(TFsTest, RemoveDirTreeIsFlat) {
    ASSERT_EQ(mkdir(Path("t").c_str(), 0755), 0);
    Touch("t/a");
    Touch("t/b");
    EXPECT_EQ(RemoveDirTree(Path("t").c_str()), 0);
    EXPECT_FALSE(PathExists(Path("t").c_str()));
    EXPECT_EQ(RemoveDirTree(Path("t").c_str()), ENOENT);

    ASSERT_EQ(mkdir(Path("u").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(Path("u/sub").c_str(), 0755), 0);
    Touch("u/sub/keep");
    EXPECT_EQ(RemoveDirTree((Path("u") + "/").c_str()), ENOTEMPTY);
    EXPECT_TRUE(PathExists(Path("u/sub/keep").c_str()));
}

TEST_F(TFsTest, RemoveDirWithContentsTakesEverything) {
    ASSERT_EQ(mkdir(Path("r").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(Path("r/s").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(Path("r/s/t").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(Path("outside").c_str(), 0755), 0);
    Touch("outside/kept");
    Touch("r/s/t/f");
    Touch("r/g");
    ASSERT_EQ(symlink(Path("outside").c_str(), Path("r/s/link").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", Path("r/dangling").c_str()), 0);
    ASSERT_EQ(mkfifo(Path("r/fifo").c_str(), 0644), 0);
    RemoveDirWithContents(Stroka(Path("r").c_str()));
    EXPECT_FALSE(PathExists(Path("r").c_str()));
    EXPECT_TRUE(PathExists(Path("outside/kept").c_str()));

    EXPECT_EQ(RaisedText<TDirIterator::TError>([&] { TDirIterator walk(Stroka(""), 0); }),
              SystemErrorPrefix(ENOENT) + "can not open ''");
}

TEST_F(TFsTest, IteratorDepthLimit) {
    ASSERT_EQ(mkdir(Path("i").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(Path("i/j").c_str(), 0755), 0);
    Touch("i/j/k");
    for (const auto& [depth, count] : {std::pair<int, int>{-1, 5}, {0, 2}, {1, 4}, {2, 5}}) {
        TDirIterator walk(Stroka(Path("i").c_str()), NFts::FTS_PHYSICAL, depth);
        int seen = 0;
        while (walk.Next() != nullptr) {
            ++seen;
        }
        EXPECT_EQ(seen, count) << depth;
    }
}

TEST(THomeDirTest, FallsBackThroughThePasswordEntry) {
    {
        TEnvGuard home("HOME", "/some/home");
        EXPECT_EQ(GetHomeDir(), "/some/home");
    }
    const passwd* me = getpwuid(getuid());
    ASSERT_NE(me, nullptr);
    const std::string myHome = me->pw_dir;
    const std::string myName = me->pw_name;
    {
        TEnvGuard home("HOME", "");
        TEnvGuard user("USER", nullptr);
        EXPECT_EQ(GetHomeDir(), myHome.c_str());
        TEnvGuard named("USER", myName.c_str());
        EXPECT_EQ(GetHomeDir(), myHome.c_str());
    }
}

TEST(TNormalizePathTest, Cases) {
    TEnvGuard home("HOME", "/home/me");
    const passwd* me = getpwuid(getuid());
    ASSERT_NE(me, nullptr);
    const std::string user = me->pw_name;
    const std::string userHome = me->pw_dir;
    struct TCase {
        std::string Path;
        std::string Base;
        bool Ok;
        std::string Result;
    };
    const TCase cases[] = {
        {"/a/./b/../c/", "/", true, "/a/c/"},
        {"x/y", "/", true, "/x/y"},
        {"~", "/", true, "/home/me"},
        {"~/docs/../x", "/", true, "/home/me/x"},
        {"/..", "/", true, "/"},
        {"a/..", "/", true, "/"},
        {"/a/b/..", "/", true, "/a/"},
        {"/a//b/.", "/", true, "/a/b/"},
        {"/../../x", "/", true, "/x"},
        {"c:\\dir\\f", "/base/file", true, "/base/c:/dir/f"},
        {"rel", "/base/file", true, "/base/rel"},
        {"~" + user + "/f", "/", true, userHome + "/f"},
        {"~no_such_user_here/f", "/", false, "~no_such_user_here/f"},
        {"rel", "nobase", false, "rel"},
        {"", "/", false, ""},
    };
    for (const auto& c : cases) {
        Stroka path(c.Path.c_str());
        EXPECT_EQ(NormalizePath(path, Stroka(c.Base.c_str())), c.Ok) << c.Path;
        EXPECT_EQ(std::string(path.c_str()), c.Result) << c.Path;
    }
    Stroka defaulted("q");
    EXPECT_TRUE(NormalizePath(defaulted));
    EXPECT_EQ(defaulted, "/q");
}

}  // namespace
