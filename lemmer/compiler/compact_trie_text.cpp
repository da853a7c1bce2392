// Text lines to compact trie.
#include "lemmer/compiler/compact_trie_text.h"

#include "lemmer/compiler/compact_trie_builder.h"
#include "lemmer/compiler/compact_trie_minimizer.h"
#include "util/charset/utf8.h"
#include "util/convert/from_string.h"
#include "util/generic/exception.h"
#include "util/stream/buffer_stream.h"
#include "util/stream/input.h"

namespace {
using TBuilder = TCompactTrieBuilder<wchar16, unsigned long>;

void AddLine(TBuilder& builder, const Stroka& line) {
    const size_t tab = line.rfind('\t');
    if (tab == Stroka::npos) {
        throw kexception() << "no TAB between key and value";
    }
    const char* text = line.data();
    const size_t valueLen = line.size() - tab - 1;
    const unsigned long value = FromString<unsigned long, char>(text + tab + 1, valueLen);
    const TUtf16String key = DecodeUtf8(text, tab);
    builder.Add(key.data(), key.size(), value);
}
}  // namespace

uint64_t BuildCompactTrieFromText(TInputStream& in, TOutputStream& out,
                                  const TTrieTextOptions& options) {
    TBuilder builder(options.BuilderFlags |
                     (options.Verbose ? uint32_t(NCompactTrie::ReportProgress) : 0u));
    Stroka line;
    for (unsigned long number = 1; in.ReadLine(line); ++number) {
        if (line.empty()) {
            continue;
        }
        try {
            AddLine(builder, line);
        } catch (const kexception& e) {
            throw kexception() << "line " << number << ": " << e.what();
        }
    }
    if (!options.Minimize) {
        return builder.Save(out);
    }
    TBufferOutput saved;
    builder.Save(saved);
    const TCharRange bytes = saved.Range();
    return TCompactTrieMinimizer::WriteMinimizedTree(out, bytes.data(), bytes.size(),
                                                     options.Verbose, TPackedValueSkipper());
}
