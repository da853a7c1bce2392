// Arbitrary bytes compiled as a dictionary source. The first byte chooses the settings (code
// page UTF-8 or the system's own page, with or without the Russian normaliser, a small line
// buffer); the rest is the source. Whatever the bytes, the compiler ends normally, and:
// - every entry read is accepted or reported as rejected, one report each;
// - Finish gives the entries read, 0 for none, -1 only after an abort report;
// - unless it aborted, the finished tables hold exactly the wordforms of the accepted
//   entries: every stem's rule record gives back its lemma and the stem itself, its paradigm
//   names the stem's affixes, and the (lemma, stem, prefix, suffix, grammar) tuples read back
//   from the tables are those the parser handed over.
//
// Seeds: tests/fuzz/corpus/dictionary_source (the compiler's fixture source behind a settings
// byte, and a few bad entries).
#include "lemmer/alphabet/alphabet_registry.h"
#include "lemmer/compiler/compiler_errors.h"
#include "lemmer/compiler/dictionary_compiler.h"
#include "lemmer/compiler/paradigm.h"

#include "util/stream/memory.h"
#include "util/stream/string_stream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <tuple>

namespace {

void Require(bool condition) {
    if (!condition) {
        abort();
    }
}

using TForm = std::tuple<std::u16string, std::u16string, std::u16string, std::u16string,
                         std::string, std::string>;

std::u16string Text(TUtf16Range r) {
    return r.Length ? std::u16string(r.Data, r.Length) : std::u16string();
}

std::string Bytes(TCharRange r) {
    return r.Length ? std::string(r.Data, r.Length) : std::string();
}

size_t Ui16(const uint8_t* b, size_t at) {
    return b[at] | (b[at + 1] << 8);
}

std::u16string Units(const uint8_t* b, size_t from, size_t to) {
    Require(from <= to && (to - from) % 2 == 0);
    std::u16string text;
    for (size_t at = from; at < to; at += 2) {
        text += static_cast<char16_t>(Ui16(b, at));
    }
    return text;
}

// The wordforms the finished tables hold, read back through stems, rules, paradigms, affixes.
std::set<TForm> FormsInTables(const TGlobalTables& tables) {
    std::set<TForm> forms;
    const auto& rules = tables.Rules();
    for (uint64_t id = 1; id < rules.Size(); ++id) {
        Require(rules.Count(id) <= rules.Count(id - 1));
    }
    Require(tables.NonRareRuleCount() <= rules.Size());
    for (uint64_t id = 0; id < tables.Stems().Size(); ++id) {
        const TStemKey& key = tables.Stems().Key(id);
        const std::u16string reversed = Text(key.ReversedStem);
        const std::u16string stem(reversed.rbegin(), reversed.rend());
        Require(key.RuleId < rules.Size());
        const TCharRange record = rules.Key(key.RuleId);
        const auto* b = reinterpret_cast<const uint8_t*>(record.Data);
        Require(record.Length >= 8 && b[record.Length - 1] == 0);
        const size_t n = b[0], k = b[1], cut = b[3];
        Require(k < n && record.Length >= 5 * n + 8);
        const size_t g = b[6 + 5 * n];
        const size_t grammarAt = Ui16(b, 4 + 5 * n);
        Require(grammarAt + g + 1 == record.Length);
        Require(cut <= stem.size());
        const std::u16string lemma =
            stem.substr(0, stem.size() - cut) + Units(b, 7 + 5 * n, Ui16(b, 4 + 3 * n));
        // The lemma turned into stem k is the stem again.
        const size_t stemCut = b[4 + 2 * n + k];
        const size_t tailEnd = k + 1 < n ? Ui16(b, 4 + 3 * n + 2 * (k + 1)) : grammarAt;
        Require(stemCut <= lemma.size());
        Require(lemma.substr(0, lemma.size() - stemCut) +
                    Units(b, Ui16(b, 4 + 3 * n + 2 * k), tailEnd) ==
                stem);
        const std::string common(record.Data + grammarAt, g);
        const uint64_t paradigm = Ui16(b, 4 + 2 * k);
        Require(paradigm < tables.Paradigms().Size());
        const char* text = tables.Paradigms().Key(paradigm).Data;
        uint16_t affix = 0;
        int64_t last = -1;
        while (DecodeNumber3(text, affix) == 3) {
            Require(affix > last && affix < tables.Affixes().Size());
            last = affix;
            const TAffixKey& a = tables.Affixes().Key(affix);
            const std::u16string suffix = Text(a.ReversedSuffix);
            forms.emplace(lemma, stem, Text(a.Prefix),
                          std::u16string(suffix.rbegin(), suffix.rend()), common, Bytes(a.Grammar));
        }
        Require(*text == 0 && last >= 0);
    }
    return forms;
}

size_t Count(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const uint8_t mode = data[0];
    TCompilerSettings settings;
    settings.CodePage = (mode & 1) ? CODES_UTF8 : CODES_KORVEL;
    settings.TupleLength = 2;
    if (mode & 2) {
        settings.Normalizer = NLemmer::GetAlphabetWordNormalizer(1);
    }
    // 128 bytes to 128 KiB: small buffers reach the exhaustion paths.
    const size_t buffer = size_t(128) << ((mode >> 2) % 11);

    Stroka messages;
    TStringOutput out(messages);
    TDictionaryCompiler compiler(&settings, &out, buffer);
    TMemoryInput in(data + 1, size - 1);
    std::set<TForm> accepted;
    uint64_t acceptedCount = 0;
    for (;;) {
        const uint64_t rejected = compiler.EntriesRejected();
        if (!compiler.CompileEntry(in)) {
            break;
        }
        if (compiler.EntriesRejected() != rejected) {
            continue;
        }
        ++acceptedCount;
        const TEntryParser& p = compiler.Parser();
        Require(!p.Wordforms().empty() && p.CommonGrammar().Length != 0);
        for (const TEntryParser::TWordform& f : p.Wordforms()) {
            accepted.emplace(Text(p.Lemma()), Text(f.Stem), Text(f.Prefix), Text(f.Suffix),
                             Bytes(p.CommonGrammar()), Bytes(f.Grammar));
        }
    }
    const bool aborted = compiler.Aborted();
    const uint64_t read = compiler.EntriesRead();
    const uint64_t rejected = compiler.EntriesRejected();
    const int64_t result = compiler.Finish();
    const std::string text(messages.data(), messages.size());
    // Reports start on a fresh line, and no quoted source text holds a line feed.
    Require(Count(text, "\nAn error occured at line ") == rejected);
    if (aborted) {
        Require(result == -1);
        Require(Count(text, "\nInternal structure overflow at line ") +
                    Count(text, "\nInternal buffer exhausted at line ") ==
                1);
        return 0;
    }
    Require(read == acceptedCount + rejected);
    Require(result == static_cast<int64_t>(read));
    Require(FormsInTables(compiler.Tables()) == accepted);
    return 0;
}
