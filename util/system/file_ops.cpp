// Whole-file operations over the file streams.
#include "util/system/file_ops.h"

#include "util/stream/file_stream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

int RenameFile(const char* oldName, const char* newName) {
    return rename(oldName, newName);
}

int RemovePath(const char* path) {
    struct stat st;
    if (lstat(path, &st) != 0) {
        return -1;
    }
    return S_ISDIR(st.st_mode) ? rmdir(path) : remove(path);
}

namespace {

// Whether both names lead to one file (a hard link, the same name): truncating the destination
// would then destroy the source before a byte of it is read.
bool SameFile(const Stroka& a, const Stroka& b) {
    struct stat sa, sb;
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

}  // namespace

void CopyFile(const Stroka& source, const Stroka& destination) {
    TFileInput in(source);
    if (SameFile(source, destination)) {
        return;  // the destination already holds the source's bytes
    }
    TFileOutput out(TFile(destination, CreateAlways | WrOnly | Seq));
    TransferData(&in, &out);
}

void LinkOrCopyFile(const Stroka& source, const Stroka& destination) {
    if (link(source.c_str(), destination.c_str()) != 0) {
        CopyFile(source, destination);
    }
}

void AppendFile(const Stroka& destination, const Stroka& source) {
    TFileOutput out(TFile(destination, ForAppend | WrOnly | Seq));
    TFileInput in(source);
    TransferData(&in, &out);
}
