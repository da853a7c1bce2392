// The inflated contents of a gzip file of the source tree (a compressed test fixture).
#pragma once

#include "util/generic/string.h"
#include "util/stream/file_stream.h"
#include "util/stream/zlib.h"

namespace NTesting {

inline Stroka ReadGzipFile(const char* path) {
    TFileInput file{Stroka(path)};
    TZLibDecompress in(&file);
    return in.ReadAll();
}

}  // namespace NTesting
