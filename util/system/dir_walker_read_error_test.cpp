// Directories that cannot be read, or whose listing fails half-way, must reach the caller. This
// program replaces the C library's opendir and readdir with ones that fail on request, so it
// stands apart from the other tests of the walker.
#include "util/system/dir_walker.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace {
// Names (other than "." and "..") still to deliver before readdir fails with EIO; -1: never.
int NamesBeforeFailure = -1;
}  // namespace

extern "C" struct dirent* readdir(DIR* dir) {
    using TReal = struct dirent* (*)(DIR*);
    static const TReal real = reinterpret_cast<TReal>(dlsym(RTLD_NEXT, "readdir"));
    for (;;) {
        if (NamesBeforeFailure == 0) {
            errno = EIO;
            return nullptr;
        }
        struct dirent* d = real(dir);
        if (d == nullptr || NamesBeforeFailure < 0) {
            return d;
        }
        if (strcmp(d->d_name, ".") != 0 && strcmp(d->d_name, "..") != 0) {
            --NamesBeforeFailure;
            return d;
        }
    }
}

// A directory named "locked" cannot be opened, as an unreadable one could not, even by the
// superuser.
extern "C" DIR* opendir(const char* name) {
    using TReal = DIR* (*)(const char*);
    static const TReal real = reinterpret_cast<TReal>(dlsym(RTLD_NEXT, "opendir"));
    const char* slash = strrchr(name, '/');
    if (strcmp(slash != nullptr ? slash + 1 : name, "locked") == 0) {
        errno = EACCES;
        return nullptr;
    }
    return real(name);
}

namespace {

using namespace NFts;

struct TSeen {
    std::string Name;
    unsigned short Info;
    int Errno;

    bool operator==(const TSeen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TSeen& s) {
    return out << "{" << s.Name << ", " << s.Info << ", " << s.Errno << "}";
}

TEST(TWalkerReadErrorTest, FailedListingEndsAsErrorEntry) {
    char tmpl[] = "/tmp/walkerrXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string top = tmpl;
    for (const char* name : {"/f1", "/f2", "/f3"}) {
        const int fd = open((top + name).c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        close(fd);
    }
    const std::string root = top.substr(top.rfind('/') + 1);

    struct TCase {
        int Delivered;
        std::vector<TSeen> Expected;
    };
    const TCase cases[] = {
        {0, {{root, FTS_D, 0}, {root, FTS_ERR, EIO}}},
        {1, {{root, FTS_D, 0}, {"f?", FTS_F, 0}, {root, FTS_ERR, EIO}}},
        {-1,
         {{root, FTS_D, 0},
          {"f?", FTS_F, 0},
          {"f?", FTS_F, 0},
          {"f?", FTS_F, 0},
          {root, FTS_DP, 0}}},
    };
    for (const auto& c : cases) {
        for (int options : {int(FTS_PHYSICAL), FTS_PHYSICAL | FTS_NOCHDIR}) {
            SCOPED_TRACE(testing::Message() << c.Delivered << " " << options);
            char* roots[] = {tmpl, nullptr};
            FTS* walk = fts_open(roots, options, nullptr);
            ASSERT_NE(walk, nullptr);
            std::vector<TSeen> seen;
            NamesBeforeFailure = c.Delivered;
            while (FTSENT* e = fts_read(walk)) {
                std::string name = e->fts_name;
                if (name[0] == 'f') {
                    name[1] = '?';
                }
                seen.push_back({name, e->fts_info, e->fts_errno});
            }
            NamesBeforeFailure = -1;
            EXPECT_EQ(errno, 0);
            EXPECT_EQ(fts_close(walk), 0);
            EXPECT_EQ(seen, c.Expected);
        }
    }
    for (const char* name : {"/f1", "/f2", "/f3"}) {
        unlink((top + name).c_str());
    }
    rmdir(tmpl);
}

TEST(TWalkerReadErrorTest, UnreadableDirectoryComesBackAsDnr) {
    char tmpl[] = "/tmp/walkerrXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string top = tmpl;
    ASSERT_EQ(mkdir((top + "/locked").c_str(), 0755), 0);
    const std::string root = top.substr(top.rfind('/') + 1);
    for (int options : {int(FTS_PHYSICAL), FTS_PHYSICAL | FTS_NOCHDIR}) {
        char* roots[] = {tmpl, nullptr};
        FTS* walk = fts_open(roots, options, nullptr);
        ASSERT_NE(walk, nullptr);
        std::vector<TSeen> seen;
        while (FTSENT* e = fts_read(walk)) {
            seen.push_back({e->fts_name, e->fts_info, e->fts_errno});
        }
        EXPECT_EQ(fts_close(walk), 0);
        const std::vector<TSeen> expected = {
            {root, FTS_D, 0}, {"locked", FTS_D, 0}, {"locked", FTS_DNR, EACCES}, {root, FTS_DP, 0}};
        EXPECT_EQ(seen, expected) << options;
    }
    rmdir((top + "/locked").c_str());
    rmdir(tmpl);
}

}  // namespace
