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

void CopyFile(const Stroka& source, const Stroka& destination) {
    TFileInput in(source);
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
