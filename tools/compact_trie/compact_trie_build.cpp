// compact_trie_build [-m] [-u] [-g] [-v] <input text> <output trie>
//
// Builds a compact trie from lines "UTF-8 key TAB unsigned decimal value" ("-" names the
// standard input or output). -m minimises the trie, -u refuses repeated keys, -g expects keys
// grouped by prefix (sorted input) and keeps memory low, -v reports progress on standard error.
#include "lemmer/compiler/compact_trie_builder.h"
#include "lemmer/compiler/compact_trie_text.h"
#include "tools/tool_main.h"
#include "util/generic/exception.h"
#include "util/stream/buffer_stream.h"
#include "util/stream/file_stream.h"
#include "util/stream/std_stream.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {
const char kUsage[] = "usage: compact_trie_build [-m] [-u] [-g] [-v] <input text> <output trie>\n";

int Run(int argc, char** argv) {
    TTrieTextOptions options;
    const char* names[2] = {nullptr, nullptr};
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "-m") == 0) {
            options.Minimize = true;
        } else if (std::strcmp(arg, "-u") == 0) {
            options.BuilderFlags |= NCompactTrie::UniqueKeys;
        } else if (std::strcmp(arg, "-g") == 0) {
            options.BuilderFlags |= NCompactTrie::PrefixGroupedInput;
        } else if (std::strcmp(arg, "-v") == 0) {
            options.Verbose = true;
        } else if (files < 2 && (arg[0] != '-' || arg[1] == '\0')) {
            names[files++] = arg;
        } else {
            files = 3;
            break;
        }
    }
    if (files != 2) {
        StdErrStream() << kUsage;
        StdErrStream().Flush();
        return 2;
    }
    std::unique_ptr<TInputStream> fileIn;
    if (std::strcmp(names[0], "-") != 0) {
        fileIn = std::make_unique<TFileInput>(Stroka(names[0]));
    }
    TInputStream& in = fileIn ? *fileIn : StdInStream();
    // The whole trie is built before the output is touched, and a file is written beside the
    // target and renamed: a bad input line leaves no empty or partial trie that a later build
    // step could take for a good one.
    TBufferOutput trie;
    const uint64_t size = BuildCompactTrieFromText(in, trie, options);
    const TCharRange bytes = trie.Range();
    if (std::strcmp(names[1], "-") == 0) {
        StdOutStream().Write(bytes.data(), bytes.size());
        StdOutStream().Flush();
    } else {
        WriteFileWhole(Stroka(names[1]),
                       [&](TOutputStream& out) { out.Write(bytes.data(), bytes.size()); });
    }
    if (options.Verbose) {
        StdErrStream() << "trie of " << static_cast<unsigned long>(size) << " bytes" << Endl;
    }
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    return RunTool("", [&] { return Run(argc, argv); });
}
