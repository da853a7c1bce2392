#include "getopt/svn_revision.h"

#include "util/stream/std_stream.h"

#include <cstdlib>

namespace NLastGetopt {

namespace {
// Fixed texts of the build: the revision and the time that scripts compare, and the location
// the sources came from.
#define LEMMIX_REVISION "993234"
#define LEMMIX_REPOSITORY "https://lemmix.invalid/repository/trunk"
#define LEMMIX_BUILD_TIME "2012-11-16 17:51:24 +0300 "
constexpr char Line[] =
    "revision: " LEMMIX_REVISION " from " LEMMIX_REPOSITORY " at " LEMMIX_BUILD_TIME "\n";
#undef LEMMIX_REVISION
#undef LEMMIX_REPOSITORY
#undef LEMMIX_BUILD_TIME
}  // namespace

const char* SvnRevisionLine() noexcept {
    return Line;
}

void PrintSvnRevisionAndExit(const TOptsParser*) {
    TOutputStream& out = StdOutStream();
    out << Line;
    out.Flush();
    std::exit(0);
}

}  // namespace NLastGetopt
