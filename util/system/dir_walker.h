// Walker over file hierarchies with the BSD fts programming interface (fts_open, fts_read,
// fts_children, fts_set, fts_close), and TDirIterator, the walk as an object over one root.
//
// Every file below a root is returned once, every directory twice (pre-order FTS_D, post-order
// FTS_DP). Unless FTS_NOCHDIR is given the walk changes the working directory as it descends, so
// that fts_accpath reaches each file by a short relative path.
//
// The types live in NFts rather than in the global namespace, because the C library ships its own
// fts with the same names; device and inode numbers are 64-bit here.
#pragma once

#include <sys/stat.h>

#include <cstdint>

namespace NFts {

// Options of fts_open (at most the low 8 bits) and the walk's internal state bits.
enum EFtsOptions : int {
    FTS_COMFOLLOW = 0x1,  // follow symbolic links named as roots
    FTS_LOGICAL = 0x2,    // follow every symbolic link; implies FTS_NOCHDIR
    FTS_NOCHDIR = 0x4,    // never change the working directory
    FTS_NOSTAT = 0x8,     // take no status when it can be avoided
    FTS_PHYSICAL = 0x10,  // do not follow symbolic links
    FTS_SEEDOT = 0x20,    // return "." and ".." entries
    FTS_XDEV = 0x40,      // do not cross devices
    FTS_OPTIONMASK = 0xFF,
    FTS_NAMEONLY = 0x100,  // internal: the last child list holds names only
    FTS_STOP = 0x200,      // internal: an unrecoverable error happened
};

// Kinds of entries (fts_info).
enum EFtsInfo : unsigned short {
    FTS_D = 1,        // directory in pre-order
    FTS_DC = 2,       // directory that closes a cycle
    FTS_DEFAULT = 3,  // none of the other kinds
    FTS_DNR = 4,      // directory that cannot be read
    FTS_DOT = 5,      // "." or ".."
    FTS_DP = 6,       // directory in post-order
    FTS_ERR = 7,      // error; fts_errno says which
    FTS_F = 8,        // regular file
    FTS_INIT = 9,     // start state
    FTS_NS = 10,      // no status could be had
    FTS_NSOK = 11,    // no status was asked for
    FTS_SL = 12,      // symbolic link
    FTS_SLNONE = 13,  // symbolic link whose target is missing
};

// Entry flags (fts_flags).
enum EFtsFlags : unsigned short {
    FTS_DONTCHDIR = 0x1,  // the walk did not enter this directory
    FTS_SYMFOLLOW = 0x2,  // fts_symfd is open
};

// Caller instructions (fts_instr, set through fts_set).
enum EFtsInstr : unsigned short {
    FTS_AGAIN = 1,    // return this entry again, with fresh status
    FTS_FOLLOW = 2,   // follow this symbolic link
    FTS_NOINSTR = 3,  // none
    FTS_SKIP = 4,     // do not descend into this directory
};

// One file of the walk. fts_path points at the walk's shared path buffer and holds the full path
// only while the entry is current. The name, and the status unless FTS_NOSTAT, live in the same
// allocation as the entry.
struct FTSENT {
    FTSENT* fts_cycle;   // the ancestor that closes a directory cycle
    FTSENT* fts_parent;  // parent directory
    FTSENT* fts_link;    // next sibling
    int64_t fts_number;  // for the caller
    void* fts_pointer;   // for the caller
    char* fts_accpath;   // path that reaches the file from the current directory
    char* fts_path;      // full path (the walk's buffer)
    int fts_errno;
    int fts_symfd;  // descriptor kept when a followed link is a directory
    unsigned short fts_pathlen;
    unsigned short fts_namelen;
    uint64_t fts_ino;
    uint64_t fts_dev;
    uint64_t fts_nlink;
    short fts_level;  // -1 for the hidden parent of the roots, 0 for roots
    unsigned short fts_info;
    unsigned short fts_flags;
    unsigned short fts_instr;
    struct stat* fts_statp;  // null with FTS_NOSTAT
    char* fts_name;          // file name, NUL-terminated
};

using TFtsCompare = int (*)(const FTSENT**, const FTSENT**);

// The state of one walk; treat it as opaque.
struct FTS {
    FTSENT* fts_cur;
    FTSENT* fts_child;
    FTSENT** fts_array;
    uint64_t fts_dev;
    char* fts_path;
    int fts_rfd;
    int fts_pathlen;
    int fts_nitems;
    TFtsCompare fts_compar;
    int fts_options;
};

// Opens a walk over the null-terminated array of roots; null with errno set on failure (EINVAL
// for options above the low 8 bits, ENOENT for an empty root).
FTS* fts_open(char* const* roots, int options, TFtsCompare compare);

// The next entry, or null at the end (errno 0) or after an error (errno set).
FTSENT* fts_read(FTS* walk);

// The children of the current directory entry linked through fts_link, or null. `instr` is 0 or
// FTS_NAMEONLY.
FTSENT* fts_children(FTS* walk, int instr);

// Sets the caller instruction of an entry; 1 with errno EINVAL for an unknown instruction.
int fts_set(FTS* walk, FTSENT* entry, int instr);

// Frees the walk and returns to the starting directory; -1 when that return failed.
int fts_close(FTS* walk);

}  // namespace NFts
