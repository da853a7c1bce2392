// Whole-file operations: rename, remove, copy, hard link or copy, append.
#pragma once

#include "util/generic/string.h"

// rename(2): 0, or -1 with errno set.
int RenameFile(const char* oldName, const char* newName);

// Removes a directory with rmdir and anything else (a symbolic link to a directory included)
// with remove; 0, or -1 with errno set.
int RemovePath(const char* path);

// Copies the source to the destination, creating or truncating it; a destination that is the
// source itself (the same name, or a hard link to it) is left alone. Raises the file streams'
// errors.
void CopyFile(const Stroka& source, const Stroka& destination);

// A hard link, or a copy when linking fails for any reason.
void LinkOrCopyFile(const Stroka& source, const Stroka& destination);

// Appends the source to the destination, which must exist. Note the order: destination first.
void AppendFile(const Stroka& destination, const Stroka& source);
