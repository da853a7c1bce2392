// The fts-style walker over small trees built in a scratch directory.
#include "util/system/dir_walker.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace NDirWalkerTest {
using namespace NFts;

namespace {

int ByNameOrder(const FTSENT** a, const FTSENT** b) {
    return strcmp((*a)->fts_name, (*b)->fts_name);
}

void WriteFile(const std::string& path, const std::string& body) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path;
    ASSERT_EQ(write(fd, body.data(), body.size()), ssize_t(body.size()));
    close(fd);
}

// Removes a tree through descriptors, so that paths longer than PATH_MAX can go too.
void RemoveTreeAt(int parent, const char* name) {
    const int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (fd < 0) {
        unlinkat(parent, name, 0);
        return;
    }
    DIR* dir = fdopendir(fd);
    std::vector<std::string> names;
    while (const dirent* d = readdir(dir)) {
        if (strcmp(d->d_name, ".") != 0 && strcmp(d->d_name, "..") != 0) {
            names.push_back(d->d_name);
        }
    }
    for (const auto& n : names) {
        RemoveTreeAt(dirfd(dir), n.c_str());
    }
    closedir(dir);
    unlinkat(parent, name, AT_REMOVEDIR);
}

struct TSeen {
    std::string Path;
    unsigned short Info;
    short Level;

    bool operator==(const TSeen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TSeen& s) {
    return out << "{" << s.Path << ", " << s.Info << ", " << s.Level << "}";
}

class TWalkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/walkerXXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        Top = tmpl;
        char cwd[PATH_MAX];
        ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
        StartDir = cwd;
    }

    void TearDown() override {
        ASSERT_EQ(chdir(StartDir.c_str()), 0);
        RemoveTreeAt(AT_FDCWD, Top.c_str());
    }

    // Top/t: a (file), b/c (file), d (empty dir), l -> b (link to a directory).
    std::string MakeSampleTree() {
        const std::string t = Top + "/t";
        mkdir(t.c_str(), 0755);
        WriteFile(t + "/a", "x");
        mkdir((t + "/b").c_str(), 0755);
        WriteFile(t + "/b/c", "yy");
        mkdir((t + "/d").c_str(), 0755);
        EXPECT_EQ(symlink("b", (t + "/l").c_str()), 0);
        return t;
    }

    // Walks every entry, checking on the way that each access path reaches its file.
    std::vector<TSeen> Walk(const std::string& root, int options) {
        std::vector<TSeen> seen;
        char* roots[] = {const_cast<char*>(root.c_str()), nullptr};
        FTS* walk = fts_open(roots, options, ByNameOrder);
        EXPECT_NE(walk, nullptr);
        if (walk == nullptr) {
            return seen;
        }
        while (FTSENT* e = fts_read(walk)) {
            struct stat st;
            EXPECT_EQ(lstat(e->fts_accpath, &st), 0) << e->fts_path << " via " << e->fts_accpath;
            seen.push_back({e->fts_path, e->fts_info, e->fts_level});
        }
        EXPECT_EQ(errno, 0);
        EXPECT_EQ(fts_close(walk), 0);
        return seen;
    }

    std::string Top;
    std::string StartDir;
};

TEST_F(TWalkerTest, VisitsTreeInOrderWithKinds) {
    const std::string t = MakeSampleTree();
    const std::vector<TSeen> expected = {
        {t, FTS_D, 0},          {t + "/a", FTS_F, 1},  {t + "/b", FTS_D, 1},
        {t + "/b/c", FTS_F, 2}, {t + "/b", FTS_DP, 1}, {t + "/d", FTS_D, 1},
        {t + "/d", FTS_DP, 1},  {t + "/l", FTS_SL, 1}, {t, FTS_DP, 0},
    };
    for (int options : {int(FTS_PHYSICAL), FTS_PHYSICAL | FTS_NOCHDIR}) {
        SCOPED_TRACE(options);
        EXPECT_EQ(Walk(t, options), expected);
        char cwd[PATH_MAX];
        ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
        EXPECT_EQ(StartDir, cwd);
    }
}

TEST_F(TWalkerTest, LogicalWalkFollowsLinksAndReportsCycles) {
    const std::string t = MakeSampleTree();
    ASSERT_EQ(symlink("..", (t + "/b/up").c_str()), 0);
    ASSERT_EQ(symlink("missing", (t + "/dangling").c_str()), 0);
    const std::vector<TSeen> expected = {
        {t, FTS_D, 0},          {t + "/a", FTS_F, 1},     {t + "/b", FTS_D, 1},
        {t + "/b/c", FTS_F, 2}, {t + "/b/up", FTS_DC, 2}, {t + "/b", FTS_DP, 1},
        {t + "/d", FTS_D, 1},   {t + "/d", FTS_DP, 1},    {t + "/dangling", FTS_SLNONE, 1},
        {t + "/l", FTS_D, 1},   {t + "/l/c", FTS_F, 2},   {t + "/l/up", FTS_DC, 2},
        {t + "/l", FTS_DP, 1},  {t, FTS_DP, 0},
    };
    EXPECT_EQ(Walk(t, FTS_LOGICAL), expected);
}

TEST_F(TWalkerTest, RootNamesAreTheirLastComponent) {
    MakeSampleTree();
    ASSERT_EQ(chdir(Top.c_str()), 0);
    struct TCase {
        const char* Root;
        const char* Path;
        const char* Name;
    };
    const TCase cases[] = {{"t/b", "t/b", "b"}, {"t/", "t/", ""}, {"/", "/", "/"}, {".", ".", "."}};
    for (const auto& c : cases) {
        char* roots[] = {const_cast<char*>(c.Root), nullptr};
        FTS* walk = fts_open(roots, FTS_PHYSICAL, nullptr);
        ASSERT_NE(walk, nullptr);
        FTSENT* e = fts_read(walk);
        ASSERT_NE(e, nullptr);
        EXPECT_STREQ(e->fts_path, c.Path);
        EXPECT_STREQ(e->fts_name, c.Name);
        EXPECT_EQ(e->fts_info, FTS_D) << c.Root;
        EXPECT_EQ(fts_close(walk), 0);
    }
}

TEST_F(TWalkerTest, SkipAndFollowInstructions) {
    const std::string t = MakeSampleTree();
    char* roots[] = {const_cast<char*>(t.c_str()), nullptr};
    FTS* walk = fts_open(roots, FTS_PHYSICAL, ByNameOrder);
    ASSERT_NE(walk, nullptr);
    std::vector<TSeen> seen;
    while (FTSENT* e = fts_read(walk)) {
        seen.push_back({e->fts_path, e->fts_info, e->fts_level});
        if (e->fts_info == FTS_D && strcmp(e->fts_name, "b") == 0) {
            EXPECT_EQ(fts_set(walk, e, FTS_SKIP), 0);
        }
        if (e->fts_info == FTS_SL) {
            EXPECT_EQ(fts_set(walk, e, FTS_FOLLOW), 0);
        }
    }
    EXPECT_EQ(fts_close(walk), 0);
    const std::vector<TSeen> expected = {
        {t, FTS_D, 0},          {t + "/a", FTS_F, 1},  {t + "/b", FTS_D, 1},  {t + "/b", FTS_DP, 1},
        {t + "/d", FTS_D, 1},   {t + "/d", FTS_DP, 1}, {t + "/l", FTS_SL, 1}, {t + "/l", FTS_D, 1},
        {t + "/l/c", FTS_F, 2}, {t + "/l", FTS_DP, 1}, {t, FTS_DP, 0},
    };
    EXPECT_EQ(seen, expected);
}

TEST_F(TWalkerTest, ChildrenListsTheCurrentDirectory) {
    const std::string t = MakeSampleTree();
    ASSERT_EQ(chdir(Top.c_str()), 0);
    char root[] = "t";
    char* roots[] = {root, nullptr};
    FTS* walk = fts_open(roots, FTS_PHYSICAL, ByNameOrder);
    ASSERT_NE(walk, nullptr);
    FTSENT* init = fts_children(walk, 0);
    ASSERT_NE(init, nullptr);
    EXPECT_STREQ(init->fts_name, "t");
    ASSERT_NE(fts_read(walk), nullptr);

    for (int instr : {int(FTS_NAMEONLY), 0}) {
        std::string names;
        for (FTSENT* c = fts_children(walk, instr); c != nullptr; c = c->fts_link) {
            names += c->fts_name;
            EXPECT_EQ(c->fts_info == FTS_NSOK, instr == FTS_NAMEONLY) << c->fts_name;
        }
        EXPECT_EQ(names, "abdl");
    }
    EXPECT_EQ(fts_children(walk, 7), nullptr);
    EXPECT_EQ(errno, EINVAL);
    // The listing taken by fts_children is the one the walk descends with.
    FTSENT* first = fts_read(walk);
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->fts_path, "t/a");
    EXPECT_EQ(fts_close(walk), 0);
}

// Which entries get a status: everything by default, dots with FTS_SEEDOT, only the expected
// number of subdirectories with FTS_NOSTAT under FTS_PHYSICAL.
TEST_F(TWalkerTest, StatusOptions) {
    const std::string t = MakeSampleTree();
    struct TCase {
        int Options;
        std::vector<TSeen> Expected;
    };
    const TCase cases[] = {
        {FTS_PHYSICAL | FTS_NOSTAT,
         {{t, FTS_D, 0},
          {t + "/a", FTS_NSOK, 1},
          {t + "/b", FTS_D, 1},
          {t + "/b/c", FTS_NSOK, 2},
          {t + "/b", FTS_DP, 1},
          {t + "/d", FTS_D, 1},
          {t + "/d", FTS_DP, 1},
          {t + "/l", FTS_NSOK, 1},
          {t, FTS_DP, 0}}},
        {FTS_PHYSICAL | FTS_SEEDOT | FTS_NOCHDIR,
         {{t, FTS_D, 0},
          {t + "/.", FTS_DOT, 1},
          {t + "/..", FTS_DOT, 1},
          {t + "/a", FTS_F, 1},
          {t + "/b", FTS_D, 1},
          {t + "/b/.", FTS_DOT, 2},
          {t + "/b/..", FTS_DOT, 2},
          {t + "/b/c", FTS_F, 2},
          {t + "/b", FTS_DP, 1},
          {t + "/d", FTS_D, 1},
          {t + "/d/.", FTS_DOT, 2},
          {t + "/d/..", FTS_DOT, 2},
          {t + "/d", FTS_DP, 1},
          {t + "/l", FTS_SL, 1},
          {t, FTS_DP, 0}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Walk(t, c.Options), c.Expected) << c.Options;
    }
}

TEST_F(TWalkerTest, AgainRefreshesStatusAndXdevStaysOnDevice) {
    const std::string t = MakeSampleTree();
    char* roots[] = {const_cast<char*>(t.c_str()), nullptr};
    FTS* walk = fts_open(roots, FTS_PHYSICAL | FTS_NOCHDIR, ByNameOrder);
    ASSERT_NE(walk, nullptr);
    FTSENT* root = fts_read(walk);
    FTSENT* a = fts_read(walk);
    ASSERT_TRUE(root != nullptr && a != nullptr);
    ASSERT_STREQ(a->fts_name, "a");
    EXPECT_EQ(a->fts_statp->st_size, 1);
    WriteFile(t + "/a", "longer");
    fts_set(walk, a, FTS_AGAIN);
    EXPECT_EQ(fts_read(walk), a);
    EXPECT_EQ(a->fts_statp->st_size, 6);
    EXPECT_EQ(fts_close(walk), 0);

    struct stat here, there;
    ASSERT_EQ(stat(t.c_str(), &here), 0);
    ASSERT_EQ(stat("/proc", &there), 0);
    if (here.st_dev == there.st_dev) {
        GTEST_SKIP() << "no second device to walk onto";
    }
    ASSERT_EQ(symlink("/proc", (t + "/proc").c_str()), 0);
    const std::string proc = t + "/proc";
    int seen = 0;
    for (const auto& e : Walk(t, FTS_LOGICAL | FTS_XDEV)) {
        if (e.Path.rfind(proc, 0) == 0) {
            ++seen;
            EXPECT_EQ(e.Path, proc);
        }
    }
    EXPECT_EQ(seen, 2) << "the other device is returned, not entered";
}

TEST_F(TWalkerTest, RejectsBadArguments) {
    char empty[] = "";
    char* roots[] = {empty, nullptr};
    EXPECT_EQ(fts_open(roots, 0, nullptr), nullptr);
    EXPECT_EQ(errno, ENOENT);

    char top[] = "/tmp";
    char* good[] = {top, nullptr};
    EXPECT_EQ(fts_open(good, 0x100, nullptr), nullptr);
    EXPECT_EQ(errno, EINVAL);

    FTS* walk = fts_open(good, FTS_NOCHDIR, nullptr);
    ASSERT_NE(walk, nullptr);
    FTSENT* e = fts_read(walk);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(fts_set(walk, e, 5), 1);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(fts_close(walk), 0);
}

TEST_F(TWalkerTest, MissingRootHasNoStatus) {
    const std::string missing = Top + "/nothing";
    char* roots[] = {const_cast<char*>(missing.c_str()), nullptr};
    FTS* walk = fts_open(roots, FTS_PHYSICAL, nullptr);
    ASSERT_NE(walk, nullptr);
    FTSENT* e = fts_read(walk);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->fts_info, FTS_NS);
    EXPECT_EQ(e->fts_errno, ENOENT);
    EXPECT_EQ(fts_read(walk), nullptr);
    EXPECT_EQ(fts_close(walk), 0);
}

TEST_F(TWalkerTest, UnreadableDirectoryIsReported) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop the superuser";
    }
    const std::string t = MakeSampleTree();
    ASSERT_EQ(chmod((t + "/d").c_str(), 0), 0);
    const auto seen = Walk(t, FTS_PHYSICAL | FTS_NOCHDIR);
    chmod((t + "/d").c_str(), 0755);
    const TSeen d = {t + "/d", FTS_D, 1};
    const TSeen dnr = {t + "/d", FTS_DNR, 1};
    ASSERT_GE(seen.size(), 7u);
    EXPECT_EQ(seen[5], d);
    EXPECT_EQ(seen[6], dnr);
}

// A listing whose long names outgrow the path buffer half-way: the buffer moves, and every entry
// already read (whose access path, without changing directory, lies in that buffer) must move
// with it.
TEST_F(TWalkerTest, PathBufferMovesUnderEntriesAlreadyRead) {
    std::string deep = Top + "/w";
    mkdir(deep.c_str(), 0755);
    for (int i = 0; i < 6; ++i) {
        deep += "/" + std::string(200, char('p' + i));
        ASSERT_EQ(mkdir(deep.c_str(), 0755), 0);
    }
    const std::vector<std::string> names = {"a", "b", std::string(250, 'c'), std::string(251, 'd'),
                                            "e"};
    for (const auto& n : names) {
        WriteFile(deep + "/" + n, n);
    }
    for (const int options : {int(FTS_PHYSICAL), FTS_PHYSICAL | FTS_NOCHDIR}) {
        SCOPED_TRACE(options);
        const std::vector<TSeen> seen = Walk(Top + "/w", options);
        std::vector<TSeen> files;
        std::copy_if(seen.begin(), seen.end(), std::back_inserter(files),
                     [](const TSeen& e) { return e.Info == FTS_F; });
        ASSERT_EQ(files.size(), names.size());
        for (size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(files[i], (TSeen{deep + "/" + names[i], FTS_F, 7}));
        }
        EXPECT_EQ(seen.size(), 7 * 2 + names.size());
    }
}

// Directories of 250-byte names nested until the full path passes 65535 bytes: the walk grows
// its path buffer many times on the way down and stops with ENAMETOOLONG at the limit.
TEST_F(TWalkerTest, OverlongPathStopsTheWalk) {
    const std::string name(250, 'n');
    int fd = open(Top.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    for (int i = 0; i < 265; ++i) {
        ASSERT_EQ(mkdirat(fd, name.c_str(), 0755), 0);
        const int next = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        close(fd);
        ASSERT_GE(next, 0);
        fd = next;
    }
    close(fd);

    char* roots[] = {const_cast<char*>(Top.c_str()), nullptr};
    FTS* walk = fts_open(roots, FTS_PHYSICAL, nullptr);
    ASSERT_NE(walk, nullptr);
    int deepest = 0;
    size_t longest = 0;
    FTSENT* e;
    while ((e = fts_read(walk)) != nullptr) {
        ASSERT_EQ(e->fts_info, FTS_D) << e->fts_level;
        ASSERT_EQ(strlen(e->fts_path), e->fts_pathlen);
        deepest = std::max<int>(deepest, e->fts_level);
        longest = std::max<size_t>(longest, e->fts_pathlen);
    }
    EXPECT_EQ(errno, ENAMETOOLONG);
    EXPECT_LT(longest, 65535u);
    EXPECT_GT(longest, 65535u - 252);
    EXPECT_EQ(fts_read(walk), nullptr);
    EXPECT_EQ(fts_close(walk), 0);
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
    EXPECT_EQ(StartDir, cwd);
}

}  // namespace

}  // namespace NDirWalkerTest
