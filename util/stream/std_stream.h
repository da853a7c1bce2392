// The process-wide standard streams over the C library's stdin, stdout and stderr. Each is built
// on first use and destroyed at exit; their destructors do not flush (the C library flushes the
// standard output at process exit).
#pragma once

#include "util/stream/input.h"
#include "util/stream/output.h"

// Reads with fread; a read error raises kexception "can not read from stream(...)".
TInputStream& StdInStream();
// Write with fwrite: a short write raises TSystemError "write failed". Flush raises
// TSystemError "flush failed" when fflush fails or the stream has its error flag set, so that
// a caller that flushes at the end learns of output that never arrived.
TOutputStream& StdOutStream();
TOutputStream& StdErrStream();
