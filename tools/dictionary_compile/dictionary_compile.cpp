// dictionary_compile [-t tuple length] [-l language] [-r rule threshold] [-p prefix list]
//                    [-d base path] [-k] <source> <output>
//
// Compiles a dictionary source in the entry format (UTF-8; "-" names the standard input) into
// the binary dictionary that the analyser loads. The prefix list holds one word beginning per
// line (UTF-8). Defaults: tuple length 2, language "ru" (its word normaliser), rule threshold
// 0. -d writes the trace and table dumps as "<base path>.<table>.log". Reports, progress dots
// and statistics go to standard error. The exit status is non-zero when the compilation is
// aborted, finds no entry, rejects an entry (unless -k keeps the accepted ones) or fails; the
// output is then left untouched, since it is written beside the target and renamed only when
// whole.
#include "lemmer/alphabet/alphabet_registry.h"
#include "lemmer/compiler/dictionary_compiler.h"
#include "lemmer/dictionary/dictionary.h"
#include "lemmer/dictionary/dictionary_check.h"
#include "lemmer/dictionary/dictionary_writer.h"
#include "tools/tool_main.h"
#include "util/charset/language.h"
#include "util/generic/exception.h"
#include "util/generic/memory_pool.h"
#include "util/stream/buffer_stream.h"
#include "util/stream/buffered.h"
#include "util/stream/file_stream.h"
#include "util/stream/std_stream.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {
const char kUsage[] =
    "usage: dictionary_compile [-t tuple length] [-l language] [-r rule threshold]\n"
    "                          [-p prefix list] [-d base path] [-k] <source> <output>\n";

bool ParseNumber(const char* text, uint64_t& value) {
    if (!text || !*text) {
        return false;
    }
    char* end = nullptr;
    value = std::strtoull(text, &end, 10);
    return *end == '\0' && text[0] != '-';
}

int Usage() {
    StdErrStream() << kUsage;
    StdErrStream().Flush();
    return 2;
}

int Run(int argc, char** argv) {
    TCompilerSettings settings;
    settings.CodePage = CODES_UTF8;
    settings.TupleLength = 2;
    const char* language = "ru";
    const char* prefixes = nullptr;
    bool keepGoing = false;
    const char* names[2] = {nullptr, nullptr};
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(arg, "-t") == 0 && hasValue) {
            if (!ParseNumber(argv[++i], settings.TupleLength)) {
                return Usage();
            }
        } else if (std::strcmp(arg, "-r") == 0 && hasValue) {
            if (!ParseNumber(argv[++i], settings.RuleThreshold)) {
                return Usage();
            }
        } else if (std::strcmp(arg, "-l") == 0 && hasValue) {
            language = argv[++i];
        } else if (std::strcmp(arg, "-p") == 0 && hasValue) {
            prefixes = argv[++i];
        } else if (std::strcmp(arg, "-d") == 0 && hasValue) {
            settings.DumpTables = true;
            settings.BasePath = argv[++i];
        } else if (std::strcmp(arg, "-k") == 0) {
            keepGoing = true;
        } else if (files < 2 && (arg[0] != '-' || arg[1] == '\0')) {
            names[files++] = arg;
        } else {
            return Usage();
        }
    }
    if (files != 2) {
        return Usage();
    }
    const ELanguage lang = LanguageByNameOrMax(TCharRange(language));
    settings.Normalizer = lang == LANG_MAX ? nullptr : NLemmer::GetAlphabetWordNormalizer(lang);
    if (!settings.Normalizer) {
        StdErrStream() << "Unknown language \"" << language << "\"\n";
        StdErrStream().Flush();
        return 2;
    }

    TOutputStream& messages = StdErrStream();
    TDictionaryCompiler compiler(&settings, &messages);
    if (prefixes) {
        TFileInput file{Stroka(prefixes)};
        TBufferedInput in(&file);
        compiler.CompilePrefixes(in);
    }
    std::unique_ptr<TInputStream> fileIn;
    if (std::strcmp(names[0], "-") != 0) {
        fileIn = std::make_unique<TFileInput>(Stroka(names[0]));
    }
    // Lines are read a byte at a time: unbuffered, every byte would cost a system call.
    TBufferedInput source(fileIn ? fileIn.get() : &StdInStream(), 1 << 20);
    const int64_t entries = compiler.CompileStream(source);
    if (entries <= 0) {
        messages.Flush();
        return 1;
    }
    messages << "Entries read: " << static_cast<uint64_t>(entries)
             << ", rejected: " << compiler.EntriesRejected() << Endl;
    if (compiler.EntriesRejected() > 0 && !keepGoing) {
        messages << "Entries were rejected; nothing written (-k writes the accepted ones)." << Endl;
        return 1;
    }

    TMemoryPool pool(1 << 20);
    TDictionaryStorage storage(&pool);
    const std::unique_ptr<NByk::TDictionary> dictionary = compiler.BuildDictionary(storage);
    // What the loader would refuse is never written.
    NByk::CheckDictionary(*dictionary);
    TBufferOutput bytes;
    NByk::WriteDictionary(*dictionary, bytes);
    const TCharRange data = bytes.Range();
    if (std::strcmp(names[1], "-") == 0) {
        StdOutStream().Write(data.data(), data.size());
        StdOutStream().Flush();
    } else {
        WriteFileWhole(Stroka(names[1]),
                       [&](TOutputStream& out) { out.Write(data.data(), data.size()); });
    }
    messages << "Dictionary of " << static_cast<uint64_t>(data.size()) << " bytes" << Endl;
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    return RunTool("dictionary_compile: ", [&] { return Run(argc, argv); });
}
