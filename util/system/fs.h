// File-system utilities: the temporary directory and unique temporary directories, path
// resolution (real paths, resolution against a base, normalisation with '~' expansion), directory
// creation with parents, the current and home directories, existence tests, and two ways of
// removing a directory tree.
//
// Two layers stand side by side. The plain layer works on NUL-terminated text and caller buffers,
// returns 0 or an errno value (or a bool) and never raises; a path that does not fit a buffer
// gives ENAMETOOLONG. The Stroka layer raises kexception, TSystemError (whose messages start with
// "(" + the system's text + ") "), TIoSystemError, TFileError or TDirIterator::TError.
#pragma once

#include "util/generic/string.h"

#include <climits>
#include <cstddef>

// The size of the caller's buffer for ResolvePath and MakeTempDir.
inline constexpr size_t MaxPathBuffer = PATH_MAX;

inline char PathSeparator() noexcept {
    return '/';
}
inline const char* PathSeparatorString() noexcept {
    return "/";
}

// TMPDIR, or "/tmp" when it is unset.
const char* GetTempDir() noexcept;
// Just behind the last '/', or the whole path.
const char* GetBaseName(const char* path) noexcept;
// 0 for a directory; ENOENT for a null or empty path or a non-directory; stat's errno.
int IsDir(const char* path) noexcept;
bool PathExists(const char* path) noexcept;
// Creates every missing directory of the (writable) path; 0, or -1 with errno set (EEXIST when a
// component exists but is not a directory).
int MakePath(char* path, int mode) noexcept;
// Removes a directory that holds only non-directories; ENOTEMPTY as soon as a subdirectory is
// met (entries removed before it stay removed).
int RemoveDirTree(const char* dir) noexcept;
// The real path of `path` (joined to an absolute `base` when it is relative) into `out`, which
// holds MaxPathBuffer bytes; a directory result ends with '/'. A file that does not exist yet
// resolves through its directory and keeps its own name.
int ResolvePath(const char* path, const char* base, char* out, bool isDir) noexcept;
// Creates a unique directory "tmpXXXXXX" under the parent (GetTempDir when null) and writes its
// path with a final '/' into `out` (MaxPathBuffer bytes).
int MakeTempDir(char* out, const char* parent) noexcept;

bool IsDir(const Stroka& path) noexcept;
// True, or raises kexception "File or dir " + path + " does not exist".
bool EnsureExists(const Stroka& path);
// The directory part: without the final '/' when there is one, else before the last '/' ("" when
// that is the first character), "." without any '/'.
Stroka GetDirName(const Stroka& path);
// Appends '/' unless the text is empty or already ends with one.
void AppendSlash(Stroka& path);
// Raises kexception "cannot resolve path: \"" + path + "\"".
Stroka ResolvePath(const char* path, bool isDir = true);
// Raises TFileError "RealPath failed \"" + path + "\"".
Stroka RealPath(const Stroka& path);
// Raises TIoSystemError "failed to getcwd".
Stroka GetCwd();
// Raises TSystemError "failed to change directory to \"" + escaped path + "\"".
void ChangeDir(const Stroka& path);
// An existing directory is accepted (errno is then 0); raises TSystemError
// "failed to create directory " + path.
void MakeDir(const Stroka& path, int mode = 0777);
// Creates the path with its parents; an existing directory is fine (errno 0). Raises kexception
// path + " already exists and is not a directory", or TSystemError "failed to create directory ".
void MakePathIfNotExist(const char* path, int mode = 0777);
// Removes the directory and everything below it without following links. Raises
// TDirIterator::TError ("can not open '...'", "error while iterating ...") or TSystemError
// "error while removing " + path.
void RemoveDirWithContents(const Stroka& dir);
// HOME when set and not empty, else the password entry's home (of USER, or of the real user),
// else the current directory.
Stroka GetHomeDir();
// Expands a leading '~' or '~user', puts a relative path in place of the base's last component,
// turns '\' into '/' and removes "." and ".." components. False, with the path unchanged, for an
// empty path, an unknown user, or a relative path against a base without '/'.
bool NormalizePath(Stroka& path, const Stroka& base = "/");
