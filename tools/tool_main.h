// What the build tools share: the outer frame of main, and writing a result file whole.
#pragma once

#include "util/generic/exception.h"
#include "util/generic/string.h"
#include "util/stream/file_stream.h"
#include "util/stream/std_stream.h"

#include <cstdio>
#include <exception>

// Runs a tool's body: its result is the exit status; an escaping exception becomes
// prefix + its message on standard error and exit status 1.
template <class TBody>
int RunTool(const char* prefix, TBody body) {
    try {
        return body();
    } catch (const std::exception& e) {
        StdErrStream() << prefix << e.what() << "\n";
        StdErrStream().Flush();
        return 1;
    }
}

// Writes `path` through write(TOutputStream&) into a file beside it, then renames that into
// place, so that a failed run never leaves a half-written result, nor the file beside it,
// behind.
template <class TWrite>
void WriteFileWhole(const Stroka& path, TWrite write) {
    const Stroka temporary = path + ".tmp";
    try {
        {
            TFileOutput out(temporary);
            write(out);
            out.Finish();
        }
        if (std::rename(temporary.c_str(), path.c_str()) != 0) {
            throw TFileError() << "can't rename " << temporary << " to " << path;
        }
    } catch (...) {
        std::remove(temporary.c_str());
        throw;
    }
}
