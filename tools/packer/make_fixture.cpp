// make_fixture <zlib|gzip> <compressed output> <raw output> <part>...
//
// Makes the compressed test data sets of the packer: every part is compressed as its own zlib
// stream or gzip member and the members are written back to back; the raw output receives the
// parts' bytes uncompressed, for comparison. A part is a file name, or "random:<bytes>:<seed>"
// for that many pseudo-random bytes (incompressible, the same on every build).
#include "tools/tool_main.h"
#include "util/generic/exception.h"
#include "util/stream/blob.h"
#include "util/stream/file_stream.h"
#include "util/stream/std_stream.h"
#include "util/stream/zlib.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

const char Usage[] = "usage: make_fixture <zlib|gzip> <compressed output> <raw output> <part>...\n";

Stroka PartBytes(const char* part) {
    unsigned long length = 0, seed = 0;
    char tail = 0;
    if (std::sscanf(part, "random:%lu:%lu%c", &length, &seed, &tail) == 2) {
        std::mt19937 rng(static_cast<unsigned>(seed));
        Stroka bytes;
        bytes.ReserveAndResize(length);
        char* p = bytes.MutableData();
        for (unsigned long i = 0; i < length; ++i) {
            p[i] = static_cast<char>(rng() >> 24);
        }
        return bytes;
    }
    const TBlob file = TBlob::FromFileContent(Stroka(part));
    return Stroka(file.AsCharPtr(), file.Size());
}

int Run(int argc, char** argv) {
    if (argc < 5 || (std::strcmp(argv[1], "zlib") != 0 && std::strcmp(argv[1], "gzip") != 0)) {
        StdErrStream() << Usage;
        StdErrStream().Flush();
        return 2;
    }
    const EZLibStreamType type =
        std::strcmp(argv[1], "gzip") == 0 ? EZLibStreamType::GZip : EZLibStreamType::ZLib;
    TFileOutput compressed{Stroka(argv[2])};
    TFileOutput raw{Stroka(argv[3])};
    for (int i = 4; i < argc; ++i) {
        const Stroka bytes = PartBytes(argv[i]);
        raw.Write(bytes.data(), bytes.size());
        TZLibCompress member(&compressed, type, 9);
        member.Write(bytes.data(), bytes.size());
        member.Finish();
    }
    compressed.Finish();
    raw.Finish();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return RunTool("make_fixture: ", [&] { return Run(argc, argv); });
}
