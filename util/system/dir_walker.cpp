// The fts-style walker. Entries are one malloc block each (entry, name, status); the walk keeps
// one path buffer that grows when a name does not fit, and every entry pointing into it is moved
// with it. A failing readdir does not end a listing silently: the directory carries the error in
// fts_errno and is returned as FTS_ERR.
#include "util/system/dir_walker.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

namespace NFts {
namespace {

enum EBuildMode { BuildChildren = 1, BuildNames = 2, BuildRead = 3 };

constexpr int MaxPathLength = USHRT_MAX;

bool IsSet(const FTS* sp, int bit) {
    return (sp->fts_options & bit) != 0;
}

bool IsDotName(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

size_t AlignUp(size_t n) {
    return (n + 7) & ~size_t(7);
}

// Position in the path buffer where a child's name starts, minus the separating '/'.
size_t AppendPoint(const FTSENT* p) {
    return (p->fts_pathlen > 0 && p->fts_path[p->fts_pathlen - 1] == '/') ? p->fts_pathlen - 1
                                                                          : p->fts_pathlen;
}

FTSENT* AllocEntry(FTS* sp, const char* name, size_t namelen) {
    const size_t nameOffset = sizeof(FTSENT);
    size_t size = nameOffset + namelen + 1;
    size_t statOffset = 0;
    if (!IsSet(sp, FTS_NOSTAT)) {
        statOffset = AlignUp(size);
        size = statOffset + sizeof(struct stat);
    }
    char* block = static_cast<char*>(malloc(size));
    if (block == nullptr) {
        return nullptr;
    }
    FTSENT* p = new (block) FTSENT{};
    p->fts_name = block + nameOffset;
    memcpy(p->fts_name, name, namelen);
    p->fts_name[namelen] = '\0';
    if (statOffset != 0) {
        p->fts_statp = reinterpret_cast<struct stat*>(block + statOffset);
    }
    p->fts_namelen = static_cast<unsigned short>(namelen);
    p->fts_path = sp->fts_path;
    p->fts_symfd = -1;
    p->fts_instr = FTS_NOINSTR;
    return p;
}

void FreeEntry(FTSENT* p) {
    p->~FTSENT();
    free(p);
}

void FreeList(FTSENT* head) {
    while (head != nullptr) {
        FTSENT* next = head->fts_link;
        FreeEntry(head);
        head = next;
    }
}

// A list of entries linked through fts_link, built in reading order.
struct TEntryList {
    FTSENT* Head = nullptr;
    FTSENT* Tail = nullptr;
    int Count = 0;

    void Append(FTSENT* p) {
        if (Head == nullptr) {
            Head = p;
        } else {
            Tail->fts_link = p;
        }
        Tail = p;
        ++Count;
    }
};

// Status of an entry through its access path, following links when asked or under FTS_LOGICAL.
unsigned short TakeStatus(FTS* sp, FTSENT* p, bool follow) {
    struct stat local;
    struct stat* sbp = p->fts_statp != nullptr ? p->fts_statp : &local;
    if (IsSet(sp, FTS_LOGICAL) || follow) {
        if (stat(p->fts_accpath, sbp) != 0) {
            const int savedErrno = errno;
            if (lstat(p->fts_accpath, sbp) == 0) {
                errno = 0;
                return FTS_SLNONE;
            }
            p->fts_errno = savedErrno;
            memset(sbp, 0, sizeof(*sbp));
            return FTS_NS;
        }
    } else if (lstat(p->fts_accpath, sbp) != 0) {
        p->fts_errno = errno;
        memset(sbp, 0, sizeof(*sbp));
        return FTS_NS;
    }

    if (S_ISDIR(sbp->st_mode)) {
        p->fts_dev = sbp->st_dev;
        p->fts_ino = sbp->st_ino;
        p->fts_nlink = sbp->st_nlink;
        if (IsDotName(p->fts_name)) {
            return FTS_DOT;
        }
        for (FTSENT* t = p->fts_parent; t != nullptr && t->fts_level >= 0; t = t->fts_parent) {
            if (t->fts_dev == p->fts_dev && t->fts_ino == p->fts_ino) {
                p->fts_cycle = t;
                return FTS_DC;
            }
        }
        return FTS_D;
    }
    if (S_ISLNK(sbp->st_mode)) {
        return FTS_SL;
    }
    if (S_ISREG(sbp->st_mode)) {
        return FTS_F;
    }
    return FTS_DEFAULT;
}

// Changes into a directory only when the descriptor (or the path, opened here) is the directory
// the entry describes, so a directory replaced behind the walk's back is never entered.
int SafeChangeDir(FTS* sp, const FTSENT* p, int fd, const char* path) {
    if (IsSet(sp, FTS_NOCHDIR)) {
        return 0;
    }
    const bool ownFd = fd < 0;
    if (ownFd) {
        if (path == nullptr) {
            errno = EBADF;
            return -1;
        }
        if ((fd = open(path, O_RDONLY | O_CLOEXEC)) < 0) {
            return -1;
        }
    }
    int result = -1;
    struct stat sb;
    if (fstat(fd, &sb) == 0) {
        if (p->fts_dev != static_cast<uint64_t>(sb.st_dev) ||
            p->fts_ino != static_cast<uint64_t>(sb.st_ino)) {
            errno = ENOENT;
        } else {
            result = fchdir(fd);
        }
    }
    if (ownFd) {
        const int savedErrno = errno;
        close(fd);
        errno = savedErrno;
    }
    return result;
}

// Opens "." into fts_symfd for a followed link that turned out to be a directory.
void KeepSymlinkDir(FTS* sp, FTSENT* p) {
    if (p->fts_info != FTS_D || IsSet(sp, FTS_NOCHDIR)) {
        return;
    }
    p->fts_symfd = open(".", O_RDONLY | O_CLOEXEC);
    if (p->fts_symfd < 0) {
        p->fts_errno = errno;
        p->fts_info = FTS_ERR;
    } else {
        p->fts_flags |= FTS_SYMFOLLOW;
    }
}

// Grows the path buffer by `more` + 256 bytes.
bool GrowPath(FTS* sp, size_t more) {
    const size_t newLength = static_cast<size_t>(sp->fts_pathlen) + more + 256;
    if (newLength > INT_MAX) {
        errno = ENAMETOOLONG;
        return false;
    }
    char* grown = static_cast<char*>(realloc(sp->fts_path, newLength));
    if (grown == nullptr) {
        return false;
    }
    sp->fts_path = grown;
    sp->fts_pathlen = static_cast<int>(newLength);
    return true;
}

// After the path buffer moved from `oldBase` (of `oldLength` bytes), points every entry that can
// still be reached at the new buffer. Access paths inside the old buffer are moved by their offset.
void AdjustEntries(FTS* sp, FTSENT* head, uintptr_t oldBase, size_t oldLength) {
    char* newBase = sp->fts_path;
    auto adjust = [&](FTSENT* p) {
        const uintptr_t acc = reinterpret_cast<uintptr_t>(p->fts_accpath);
        if (acc >= oldBase && acc < oldBase + oldLength) {
            p->fts_accpath = newBase + (acc - oldBase);
        }
        p->fts_path = newBase;
    };
    for (FTSENT* p = sp->fts_child; p != nullptr; p = p->fts_link) {
        adjust(p);
    }
    for (FTSENT* p = head; p != nullptr && p->fts_level >= 0;) {
        adjust(p);
        p = p->fts_link != nullptr ? p->fts_link : p->fts_parent;
    }
}

FTSENT* SortList(FTS* sp, FTSENT* head, int count) {
    if (count > sp->fts_nitems) {
        const int capacity = count + 40;
        auto* grown =
            static_cast<FTSENT**>(realloc(sp->fts_array, sizeof(FTSENT*) * size_t(capacity)));
        if (grown == nullptr) {
            free(sp->fts_array);
            sp->fts_array = nullptr;
            sp->fts_nitems = 0;
            return head;
        }
        sp->fts_array = grown;
        sp->fts_nitems = capacity;
    }
    FTSENT** ap = sp->fts_array;
    for (FTSENT* p = head; p != nullptr; p = p->fts_link) {
        *ap++ = p;
    }
    // The caller's function takes pointers to entry pointers, as it would from qsort.
    const TFtsCompare compare = sp->fts_compar;
    std::sort(sp->fts_array, sp->fts_array + count,
              [compare](const FTSENT* a, const FTSENT* b) { return compare(&a, &b) < 0; });
    head = sp->fts_array[0];
    for (int i = 0; i + 1 < count; ++i) {
        sp->fts_array[i]->fts_link = sp->fts_array[i + 1];
    }
    sp->fts_array[count - 1]->fts_link = nullptr;
    return head;
}

// Copies a root into the path buffer and makes it current; its name becomes the last component.
void LoadRoot(FTS* sp, FTSENT* p) {
    size_t len = p->fts_namelen;
    memmove(sp->fts_path, p->fts_name, len + 1);
    p->fts_pathlen = static_cast<unsigned short>(len);
    char* slash = strrchr(p->fts_name, '/');
    if (slash != nullptr && (slash != p->fts_name || slash[1] != '\0')) {
        ++slash;
        len = strlen(slash);
        memmove(p->fts_name, slash, len + 1);
        p->fts_namelen = static_cast<unsigned short>(len);
    }
    p->fts_accpath = p->fts_path = sp->fts_path;
    sp->fts_dev = p->fts_dev;
}

// Leaves a directory after building its list (back to the start for a root).
bool LeaveDir(FTS* sp, FTSENT* cur) {
    if (cur->fts_level == 0) {
        return IsSet(sp, FTS_NOCHDIR) || fchdir(sp->fts_rfd) == 0;
    }
    return SafeChangeDir(sp, cur->fts_parent, -1, "..") == 0;
}

// Fails a build: frees the children read so far and stops the walk.
FTSENT* FailBuild(FTS* sp, FTSENT* cur, FTSENT* head, DIR* dirp, int error) {
    FreeList(head);
    if (dirp != nullptr) {
        closedir(dirp);
    }
    cur->fts_info = FTS_ERR;
    sp->fts_options |= FTS_STOP;
    errno = error;
    return nullptr;
}

// Reads the children of the current directory into a linked list.
FTSENT* BuildList(FTS* sp, int mode) {
    FTSENT* cur = sp->fts_cur;
    DIR* dirp = opendir(cur->fts_accpath);
    if (dirp == nullptr) {
        if (mode == BuildRead) {
            cur->fts_info = FTS_DNR;
            cur->fts_errno = errno;
        }
        return nullptr;
    }

    // nlinks: how many children to examine; -1 means every one.
    int64_t nlinks;
    bool nostat;
    if (mode == BuildNames) {
        nlinks = 0;
        nostat = true;
    } else if (IsSet(sp, FTS_NOSTAT) && IsSet(sp, FTS_PHYSICAL)) {
        nlinks = int64_t(cur->fts_nlink) - (IsSet(sp, FTS_SEEDOT) ? 0 : 2);
        nostat = true;
    } else {
        nlinks = -1;
        nostat = false;
    }

    bool descended = false;
    if (nlinks != 0 || mode == BuildRead) {
        if (SafeChangeDir(sp, cur, dirfd(dirp), nullptr) != 0) {
            if (nlinks != 0 && mode == BuildRead) {
                cur->fts_errno = errno;
            }
            cur->fts_flags |= FTS_DONTCHDIR;
            closedir(dirp);
            dirp = nullptr;
        } else {
            descended = true;
        }
    }

    size_t len = AppendPoint(cur);
    char* cp = nullptr;
    if (IsSet(sp, FTS_NOCHDIR)) {
        cp = sp->fts_path + len;
        *cp++ = '/';
    }
    ++len;
    size_t maxlen = size_t(sp->fts_pathlen) - len;
    const short level = static_cast<short>(cur->fts_level + 1);

    int readError = 0;
    TEntryList list;
    while (dirp != nullptr) {
        errno = 0;
        const struct dirent* dp = readdir(dirp);
        if (dp == nullptr) {
            readError = errno;
            break;
        }
        if (!IsSet(sp, FTS_SEEDOT) && IsDotName(dp->d_name)) {
            continue;
        }
        const size_t namelen = strlen(dp->d_name);
        if (len + namelen >= size_t(MaxPathLength)) {
            return FailBuild(sp, cur, list.Head, dirp, ENAMETOOLONG);
        }
        FTSENT* p = AllocEntry(sp, dp->d_name, namelen);
        if (p == nullptr) {
            return FailBuild(sp, cur, list.Head, dirp, errno);
        }
        if (namelen >= maxlen) {
            const uintptr_t base = reinterpret_cast<uintptr_t>(sp->fts_path);
            const size_t length = size_t(sp->fts_pathlen);
            if (!GrowPath(sp, namelen + len + 1)) {
                const int error = errno;
                FreeEntry(p);
                return FailBuild(sp, cur, list.Head, dirp, error);
            }
            if (base != reinterpret_cast<uintptr_t>(sp->fts_path)) {
                p->fts_path = sp->fts_path;
                AdjustEntries(sp, list.Head != nullptr ? list.Head : cur, base, length);
                if (cp != nullptr) {
                    cp = sp->fts_path + len;
                }
            }
            maxlen = size_t(sp->fts_pathlen) - len;
        }
        p->fts_level = level;
        p->fts_parent = cur;
        p->fts_pathlen = static_cast<unsigned short>(len + namelen);

        const bool typeKnownNotDir = dp->d_type != DT_UNKNOWN && dp->d_type != DT_DIR;
        if (nlinks == 0 || (nostat && typeKnownNotDir)) {
            p->fts_accpath = IsSet(sp, FTS_NOCHDIR) ? p->fts_path : p->fts_name;
            p->fts_info = FTS_NSOK;
        } else {
            if (IsSet(sp, FTS_NOCHDIR)) {
                p->fts_accpath = p->fts_path;
                memmove(cp, p->fts_name, namelen + 1);
            } else {
                p->fts_accpath = p->fts_name;
            }
            p->fts_info = TakeStatus(sp, p, false);
            if (nlinks > 0 &&
                (p->fts_info == FTS_D || p->fts_info == FTS_DC || p->fts_info == FTS_DOT)) {
                --nlinks;
            }
        }
        list.Append(p);
    }
    if (dirp != nullptr) {
        closedir(dirp);
    }

    if (IsSet(sp, FTS_NOCHDIR)) {
        if (len == size_t(sp->fts_pathlen) || list.Count == 0) {
            --cp;
        }
        *cp = '\0';
    }

    if (descended && (mode == BuildChildren || list.Count == 0) && !LeaveDir(sp, cur)) {
        cur->fts_info = FTS_ERR;
        sp->fts_options |= FTS_STOP;
        FreeList(list.Head);
        return nullptr;
    }

    if (readError != 0) {
        // The children read before the failure are still returned; the directory itself comes
        // back as an error entry.
        cur->fts_errno = readError;
    }
    if (list.Count == 0) {
        if (mode == BuildRead) {
            cur->fts_info = readError != 0 ? FTS_ERR : FTS_DP;
        }
        errno = readError;
        return nullptr;
    }
    if (sp->fts_compar != nullptr && list.Count > 1) {
        list.Head = SortList(sp, list.Head, list.Count);
    }
    return list.Head;
}

// Appends the entry's name to its parent's path and makes it current.
FTSENT* EnterSibling(FTS* sp, FTSENT* p) {
    char* t = sp->fts_path + AppendPoint(p->fts_parent);
    *t++ = '/';
    memmove(t, p->fts_name, size_t(p->fts_namelen) + 1);
    return sp->fts_cur = p;
}

FTSENT* Stop(FTS* sp) {
    sp->fts_options |= FTS_STOP;
    return nullptr;
}

}  // namespace

FTS* fts_open(char* const* roots, int options, TFtsCompare compare) {
    errno = 0;
    if ((options & ~FTS_OPTIONMASK) != 0) {
        errno = EINVAL;
        return nullptr;
    }
    FTS* sp = static_cast<FTS*>(calloc(1, sizeof(FTS)));
    if (sp == nullptr) {
        return nullptr;
    }
    sp->fts_rfd = -1;
    sp->fts_compar = compare;
    sp->fts_options = options;
    if (IsSet(sp, FTS_LOGICAL)) {
        sp->fts_options |= FTS_NOCHDIR;
    }

    size_t longest = 0;
    for (char* const* r = roots; *r != nullptr; ++r) {
        longest = std::max(longest, strlen(*r));
    }
    if (longest + 1 >= size_t(MaxPathLength) ||
        !GrowPath(sp, std::max<size_t>(1024, longest + 1))) {
        if (errno == 0) {
            errno = ENAMETOOLONG;
        }
        free(sp);
        return nullptr;
    }

    FTSENT* parent = AllocEntry(sp, "", 0);
    TEntryList list;
    auto fail = [&](int error) -> FTS* {
        FreeList(list.Head);
        if (parent != nullptr) {
            FreeEntry(parent);
        }
        free(sp->fts_path);
        free(sp);
        errno = error;
        return nullptr;
    };
    if (parent == nullptr) {
        return fail(ENOMEM);
    }
    parent->fts_level = -1;

    for (char* const* r = roots; *r != nullptr; ++r) {
        const size_t len = strlen(*r);
        if (len == 0) {
            return fail(ENOENT);
        }
        FTSENT* p = AllocEntry(sp, *r, len);
        if (p == nullptr) {
            return fail(ENOMEM);
        }
        p->fts_level = 0;
        p->fts_parent = parent;
        p->fts_accpath = p->fts_name;
        p->fts_info = TakeStatus(sp, p, IsSet(sp, FTS_COMFOLLOW | FTS_LOGICAL));
        if (p->fts_info == FTS_DOT) {
            p->fts_info = FTS_D;
        }
        list.Append(p);
    }
    if (compare != nullptr && list.Count > 1) {
        list.Head = SortList(sp, list.Head, list.Count);
    }

    FTSENT* init = AllocEntry(sp, "", 0);
    if (init == nullptr) {
        return fail(ENOMEM);
    }
    init->fts_link = list.Head;
    init->fts_level = 0;
    init->fts_info = FTS_INIT;
    sp->fts_cur = init;

    if (!IsSet(sp, FTS_NOCHDIR) && (sp->fts_rfd = open(".", O_RDONLY | O_CLOEXEC)) < 0) {
        sp->fts_options |= FTS_NOCHDIR;
    }
    errno = 0;
    return sp;
}

FTSENT* fts_read(FTS* sp) {
    errno = 0;
    if (sp->fts_cur == nullptr || IsSet(sp, FTS_STOP)) {
        return nullptr;
    }
    FTSENT* p = sp->fts_cur;
    const unsigned short instr = p->fts_instr;
    p->fts_instr = FTS_NOINSTR;

    if (instr == FTS_AGAIN) {
        p->fts_info = TakeStatus(sp, p, false);
        return p;
    }
    if (instr == FTS_FOLLOW && (p->fts_info == FTS_SL || p->fts_info == FTS_SLNONE)) {
        p->fts_info = TakeStatus(sp, p, true);
        KeepSymlinkDir(sp, p);
        return p;
    }

    if (p->fts_info == FTS_D) {
        if (instr == FTS_SKIP || (IsSet(sp, FTS_XDEV) && p->fts_dev != sp->fts_dev)) {
            if ((p->fts_flags & FTS_SYMFOLLOW) != 0) {
                close(p->fts_symfd);
                p->fts_symfd = -1;
                p->fts_flags &= ~FTS_SYMFOLLOW;
            }
            FreeList(sp->fts_child);
            sp->fts_child = nullptr;
            p->fts_info = FTS_DP;
            return p;
        }
        if (sp->fts_child != nullptr && IsSet(sp, FTS_NAMEONLY)) {
            sp->fts_options &= ~FTS_NAMEONLY;
            FreeList(sp->fts_child);
            sp->fts_child = nullptr;
        }
        if (sp->fts_child != nullptr) {
            if (SafeChangeDir(sp, p, -1, p->fts_accpath) != 0) {
                p->fts_errno = errno;
                p->fts_flags |= FTS_DONTCHDIR;
                for (FTSENT* c = sp->fts_child; c != nullptr; c = c->fts_link) {
                    c->fts_accpath = c->fts_parent->fts_accpath;
                }
            }
        } else if ((sp->fts_child = BuildList(sp, BuildRead)) == nullptr) {
            if (IsSet(sp, FTS_STOP)) {
                return nullptr;
            }
            errno = 0;
            return p;
        }
        p = sp->fts_child;
        sp->fts_child = nullptr;
        return EnterSibling(sp, p);
    }

    for (;;) {
        FTSENT* done = p;
        p = p->fts_link;
        if (p == nullptr) {
            p = done->fts_parent;
            FreeEntry(done);
            break;
        }
        FreeEntry(done);
        if (p->fts_level == 0) {
            if (!IsSet(sp, FTS_NOCHDIR) && fchdir(sp->fts_rfd) != 0) {
                sp->fts_cur = p;
                return Stop(sp);
            }
            LoadRoot(sp, p);
            return sp->fts_cur = p;
        }
        if (p->fts_instr == FTS_SKIP) {
            continue;
        }
        if (p->fts_instr == FTS_FOLLOW) {
            p->fts_info = TakeStatus(sp, p, true);
            KeepSymlinkDir(sp, p);
            p->fts_instr = FTS_NOINSTR;
        }
        return EnterSibling(sp, p);
    }

    // No sibling left: back up to the parent.
    if (p->fts_level == -1) {
        FreeEntry(p);
        errno = 0;
        return sp->fts_cur = nullptr;
    }
    sp->fts_cur = p;
    sp->fts_path[p->fts_pathlen] = '\0';
    if (p->fts_level == 0) {
        if (!IsSet(sp, FTS_NOCHDIR) && fchdir(sp->fts_rfd) != 0) {
            return Stop(sp);
        }
    } else if ((p->fts_flags & FTS_SYMFOLLOW) != 0) {
        const bool failed = !IsSet(sp, FTS_NOCHDIR) && fchdir(p->fts_symfd) != 0;
        const int savedErrno = errno;
        close(p->fts_symfd);
        p->fts_symfd = -1;
        p->fts_flags &= ~FTS_SYMFOLLOW;
        if (failed) {
            errno = savedErrno;
            return Stop(sp);
        }
    } else if ((p->fts_flags & FTS_DONTCHDIR) == 0 &&
               SafeChangeDir(sp, p->fts_parent, -1, "..") != 0) {
        return Stop(sp);
    }
    p->fts_info = p->fts_errno != 0 ? FTS_ERR : FTS_DP;
    errno = 0;
    return p;
}

FTSENT* fts_children(FTS* sp, int instr) {
    if (instr != 0 && instr != FTS_NAMEONLY) {
        errno = EINVAL;
        return nullptr;
    }
    FTSENT* p = sp->fts_cur;
    errno = 0;
    if (p == nullptr || IsSet(sp, FTS_STOP)) {
        return nullptr;
    }
    if (p->fts_info == FTS_INIT) {
        return p->fts_link;
    }
    if (p->fts_info != FTS_D) {
        return nullptr;
    }
    FreeList(sp->fts_child);
    sp->fts_child = nullptr;
    int mode = BuildChildren;
    if (instr == FTS_NAMEONLY) {
        sp->fts_options |= FTS_NAMEONLY;
        mode = BuildNames;
    } else {
        sp->fts_options &= ~FTS_NAMEONLY;
    }
    if (p->fts_level != 0 || p->fts_accpath[0] == '/' || IsSet(sp, FTS_NOCHDIR)) {
        return sp->fts_child = BuildList(sp, mode);
    }
    const int fd = open(".", O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    sp->fts_child = BuildList(sp, mode);
    const int buildErrno = errno;
    const bool back = fchdir(fd) == 0;
    const int savedErrno = errno;
    close(fd);
    if (!back) {
        errno = savedErrno;
        return nullptr;
    }
    errno = buildErrno;
    return sp->fts_child;
}

int fts_set(FTS*, FTSENT* entry, int instr) {
    if (instr < 0 || instr > FTS_SKIP) {
        errno = EINVAL;
        return 1;
    }
    entry->fts_instr = static_cast<unsigned short>(instr);
    return 0;
}

int fts_close(FTS* sp) {
    if (sp->fts_cur != nullptr) {
        FTSENT* p = sp->fts_cur;
        while (p->fts_level >= 0) {
            FTSENT* next = p->fts_link != nullptr ? p->fts_link : p->fts_parent;
            if ((p->fts_flags & FTS_SYMFOLLOW) != 0) {
                close(p->fts_symfd);
            }
            FreeEntry(p);
            p = next;
        }
        FreeEntry(p);
    }
    FreeList(sp->fts_child);
    free(sp->fts_array);
    free(sp->fts_path);

    int result = 0;
    if (!IsSet(sp, FTS_NOCHDIR)) {
        const int error = fchdir(sp->fts_rfd) != 0 ? errno : 0;
        close(sp->fts_rfd);
        if (error != 0) {
            errno = error;
            result = -1;
        }
    }
    free(sp);
    return result;
}

}  // namespace NFts
