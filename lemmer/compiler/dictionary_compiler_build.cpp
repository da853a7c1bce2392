// The building side of the dictionary compiler: the dictionary from the finished tables, and
// the trie of word beginnings.
#include "lemmer/compiler/compiler_errors.h"
#include "lemmer/compiler/dictionary_builder.h"
#include "lemmer/compiler/dictionary_compiler.h"
#include "lemmer/dictionary/dictionary.h"
#include "util/charset/recode.h"
#include "util/stream/blob.h"
#include "util/stream/buffer_stream.h"
#include "util/string/case.h"

#include <cstring>

std::unique_ptr<NByk::TDictionary> TDictionaryCompiler::BuildDictionary(
    TDictionaryStorage& storage) {
    if (!Finished_) {
        throw NByk::TCompileError() << "No finished compilation to build a dictionary from";
    }
    auto dictionary = std::make_unique<NByk::TDictionary>();
    BuildDictionaryFromTables(Tables_, *dictionary, storage);

    TBufferOutput saved(1024);
    const uint64_t size = Prefixes_.Save(saved);
    if (size > 0xFFFFFFFFu) {
        throw NByk::TOverflowError() << "The prefix trie is too large: " << size << " bytes";
    }
    const size_t n = static_cast<size_t>(size);
    const size_t rounded = (n + 7) / 8 * 8;
    char* bytes = static_cast<char*>(storage.Pool()->Allocate(rounded ? rounded : 8));
    std::memset(bytes, 0, rounded ? rounded : 8);
    if (n) {
        std::memcpy(bytes, saved.Range().data(), n);
    }
    dictionary->PrefixTrie.Init(TBlob::NoCopy(bytes, n));
    return dictionary;
}

int TDictionaryCompiler::CompilePrefixes(TInputStream& in) {
    Prefixes_.Clear();
    Stroka line;
    while (in.ReadLine(line)) {
        AddPrefix(line);
    }
    *Messages_ << "Compiled prefixes: " << Prefixes_.EntryCount() << " entries." << Endl;
    *Messages_ << "Compiled prefixes: " << Prefixes_.NodeCount() << " nodes in trie." << Endl;
    return 0;
}

void TDictionaryCompiler::AddPrefix(const Stroka& line) {
    // The code page is checked before it indexes the table of pages.
    const int code = static_cast<int>(Settings_->CodePage);
    if (code < 0 || code >= CODES_MAX) {
        throw kexception() << "Unknown code page " << code << " for prefix lines";
    }
    TUtf16String text = RecodeToUtf16(Settings_->CodePage, line.data(), line.size());
    ToLower(text);
    Prefixes_.Add(text.data(), text.size(), 0ul);
}
