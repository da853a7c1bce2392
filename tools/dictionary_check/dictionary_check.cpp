// dictionary_check <dictionary>
//
// Loads a binary dictionary (gzip-compressed when its name ends in ".gz") with every check of
// the loader, checks its tables as a whole and reads the compressed data to its end, so that
// zlib compares its trailer. Silent when all is well; otherwise prints what is wrong, as the
// loader says it, and exits with status 1.
//
// The build runs it over data/russian-dictionary.bin.gz before the file is embedded: the
// analyser's start-up leaves these checks out for exactly the bytes that were packed.
#include "lemmer/dictionary/dictionary_check.h"
#include "lemmer/dictionary/dictionary.h"
#include "lemmer/dictionary/dictionary_loader.h"
#include "tools/tool_main.h"
#include "util/generic/memory_pool.h"
#include "util/stream/buffered.h"
#include "util/stream/file_stream.h"
#include "util/stream/std_stream.h"
#include "util/stream/zlib.h"

#include <cstring>
#include <memory>

namespace {

const char Usage[] = "usage: dictionary_check <dictionary>\n";

// The loader reads its texts a unit at a time.
constexpr size_t ReadBufferSize = 1 << 16;

bool EndsWith(const char* text, const char* tail) {
    const size_t n = std::strlen(text);
    const size_t m = std::strlen(tail);
    return n >= m && std::strcmp(text + n - m, tail) == 0;
}

void CheckFile(const char* path) {
    TFileInput file{Stroka(path)};
    std::unique_ptr<TZLibDecompress> inflated;
    if (EndsWith(path, ".gz")) {
        inflated = std::make_unique<TZLibDecompress>(&file);
    }
    TBufferedInput in(inflated ? static_cast<TInputStream*>(inflated.get()) : &file,
                      ReadBufferSize);
    TMemoryPool pool(1 << 20);
    NByk::TDictionary dictionary;
    try {
        NByk::LoadDictionary(dictionary, in, pool, NByk::ELoadChecks::EachPart);
    } catch (const NByk::TLoadError& e) {
        // The loader says nothing more of a text cut short or a wrong format byte.
        if (*e.what() == '\0') {
            throw NByk::TLoadError() << "a text of the endings is cut short, or the format byte "
                                        "is not 1";
        }
        throw;
    }
    NByk::CheckDictionary(dictionary);
    // Bytes after the dictionary are no part of it, but a damaged trailer is damage.
    char rest[1 << 14];
    while (in.Read(rest, sizeof(rest)) != 0) {
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        StdErrStream() << Usage;
        StdErrStream().Flush();
        return 2;
    }
    const Stroka prefix = Stroka("dictionary_check: ") + argv[1] + ": ";
    return RunTool(prefix.c_str(), [&] {
        CheckFile(argv[1]);
        return 0;
    });
}
