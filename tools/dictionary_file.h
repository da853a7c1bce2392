// Reading a binary dictionary file for the dictionary tools.
#pragma once

#include "util/generic/string.h"
#include "util/stream/file_stream.h"
#include "util/stream/zlib.h"

// The dictionary's bytes, inflated when the name ends in ".gz" (read to the end of the compressed
// data, so that zlib has compared its trailer).
inline Stroka ReadDictionaryBytes(const Stroka& path) {
    TFileInput file(path);
    if (!path.EndsWith(".gz")) {
        return file.ReadAll();
    }
    TZLibDecompress in(&file);
    return in.ReadAll();
}
