// packer <symbol> <compressed input> <generated source>
//
// Turns a zlib stream or gzip member (or several back to back) into the embedded data
// container: a C++ source that defines `const char* <symbol>(uint64_t index)`, the chunk
// accessor that TStringDataInputStream reads. The input is inflated once as a check, and its
// inflated size, MD5 and CRC-32 are noted in the source's opening comment and defined beside
// the accessor. The build runs it through the CMake function lemmix_embed_data.
#include "tools/packer/embedded_source.h"
#include "tools/tool_main.h"
#include "util/generic/exception.h"
#include "util/stream/blob.h"
#include "util/stream/file_stream.h"
#include "util/stream/std_stream.h"
#include "util/stream/string_stream.h"

#include <cstdio>

namespace {

const char Usage[] = "usage: packer <symbol> <compressed input> <generated source>\n";

int Run(int argc, char** argv) {
    if (argc != 4) {
        StdErrStream() << Usage;
        StdErrStream().Flush();
        return 2;
    }
    const Stroka symbol(argv[1]), input(argv[2]), output(argv[3]);
    if (!IsIdentifier(symbol)) {
        StdErrStream() << "packer: " << symbol << " is not an identifier\n";
        StdErrStream().Flush();
        return 1;
    }
    const TBlob data = TBlob::FromFileContent(input);
    if (!LooksCompressed(data.AsCharPtr(), data.Size())) {
        StdErrStream() << "packer: " << input << " is neither a zlib stream nor a gzip member\n";
        StdErrStream().Flush();
        return 1;
    }
    Stroka source;
    TStringOutput sourceOut(source);
    // The file name alone, so that the source does not depend on where the tree lies.
    const size_t slash = input.rfind('/');
    const Stroka fileName = slash == Stroka::npos ? input : Stroka(input.data() + slash + 1);
    sourceOut << "From " << fileName << ": " << static_cast<unsigned long>(data.Size())
              << " compressed bytes";
    const TInflatedDigest digest = DigestInflated(data.AsCharPtr(), data.Size());
    Stroka inflated;
    TStringOutput inflatedOut(inflated);
    inflatedOut << "inflates to " << static_cast<unsigned long>(digest.Size) << " bytes, MD5 "
                << digest.Md5 << ", CRC-32 " << static_cast<unsigned long>(digest.Crc32);
    const std::vector<Stroka> about = {source, inflated};
    const std::vector<Stroka> chunks = SplitIntoChunks(data.AsCharPtr(), data.Size());

    WriteFileWhole(output, [&](TOutputStream& out) {
        WriteEmbeddedSource(out, symbol, about, chunks, digest);
    });
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return RunTool("packer: ", [&] { return Run(argc, argv); });
}
