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
#include "tools/dictionary_file.h"
#include "tools/tool_main.h"
#include "util/generic/memory_pool.h"
#include "util/stream/memory.h"
#include "util/stream/std_stream.h"

namespace {

const char Usage[] = "usage: dictionary_check <dictionary>\n";

void CheckFile(const char* path) {
    const Stroka bytes = ReadDictionaryBytes(path);
    TMemoryInput in(bytes.data(), bytes.size());
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
