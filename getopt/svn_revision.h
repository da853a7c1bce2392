// The build-information option "svnrevision": one line naming the revision, the repository
// location and the time of the build, then the end of the process.
#pragma once

namespace NLastGetopt {

class TOptsParser;

// The line, with its line feed, that PrintSvnRevisionAndExit writes.
const char* SvnRevisionLine() noexcept;

// Writes SvnRevisionLine to standard output, flushes it and ends the process with status 0.
// The parser is not read. A failed write raises instead, so it is not mistaken for success.
[[noreturn]] void PrintSvnRevisionAndExit(const TOptsParser* parser);

}  // namespace NLastGetopt
