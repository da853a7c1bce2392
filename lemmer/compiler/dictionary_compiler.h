// The dictionary compiler of one language: reads a text source entry by entry, rejects bad
// entries with a report, collects the good ones in its global tables and finalises them.
//
//     TCompilerSettings settings;  // code page, normaliser, tuple length, ...
//     TDictionaryCompiler compiler(&settings, &messages);
//     const int64_t entries = compiler.CompileStream(source);  // -1 aborted, 0 none
//     if (entries > 0) { ... build the dictionary from compiler.Tables() ... }
//
// Reports go to the message stream: a rejected entry is "An error occured at line N" and the
// reason; a full table or buffer aborts ("Internal structure overflow at line N." or
// "Internal buffer exhausted at line N while processing entry ..."); CompileStream writes a
// "." per 1000 entries; Finish ends with "No dictionary entries were found." or "Aborted."
// when there is nothing to build.
#pragma once

#include "lemmer/compiler/compact_trie_builder.h"
#include "lemmer/compiler/compiler_settings.h"
#include "lemmer/compiler/dictionary_storage.h"
#include "lemmer/compiler/entry_parser.h"
#include "lemmer/compiler/global_tables.h"

#include "util/generic/string.h"
#include "util/stream/input.h"
#include "util/stream/output.h"

#include <cstdint>
#include <memory>

namespace NByk {
class TDictionary;
}  // namespace NByk

// Not thread-safe. Call order: CompileEntry / CompileEntryFromString any number of times, or
// CompileStream once; then Finish once; then, only when Finish returned 1 or more, the building
// side (the dictionary is built from Tables(); see FinishedTables). Once a compilation aborted
// it stays aborted: later entries are not read into the tables, and Finish reports "Aborted.".
// Exceptions other than the compiler's own (a failing stream, out of memory) pass out of
// CompileEntry unreported, the counters unchanged. The settings and the message stream are not
// owned and must outlive the compiler.
class TDictionaryCompiler {
public:
    static constexpr uint64_t AbortedCount = ~uint64_t(0);

    // Raises what the entry parser's and the global tables' constructors raise (a code page
    // whose lines cannot be decoded; a trace file that cannot be created).
    // The line buffer holds one whole entry (TEntryParser::DefaultBufferSize bytes).
    TDictionaryCompiler(const TCompilerSettings* settings, TOutputStream* messages,
                        size_t lineBufferSize = TEntryParser::DefaultBufferSize);

    // Compiles the next entry of in; false when compilation must stop (the source ended or
    // the compilation aborted).
    bool CompileEntry(TInputStream& in);
    bool CompileEntryFromString(const Stroka& text);
    // Every entry of in, then Finish.
    int64_t CompileStream(TInputStream& in);
    // Entries read (accepted and rejected); 0 when there were none; -1 after an abort. With
    // entries, the tables get their final ids (and dumps, with the dump flag).
    int64_t Finish();

    uint64_t EntriesRead() const noexcept { return EntriesRead_; }
    uint64_t EntriesRejected() const noexcept { return EntriesRejected_; }
    bool Aborted() const noexcept { return EntriesRead_ == AbortedCount; }

    const TEntryParser& Parser() const noexcept { return Parser_; }
    const TGlobalTables& Tables() const noexcept { return Tables_; }
    TGlobalTables& Tables() noexcept { return Tables_; }

    // The building side starts here: BuildDictionary (the alphabet, ending tree, id lists,
    // rule table and stem blocks of a new dictionary) and the prefix trie read the tables that
    // Finish numbered. REQUIRES: Finish returned 1 or more (asserted).
    const TGlobalTables& FinishedTables() const;

    // A new dictionary from the finished tables and the prefix trie: its tables in the
    // storage's pool, its stem blocks owned by the storage (which must outlive it). Writes the
    // statistics lines to the message stream. Raises NByk::TCompileError when Finish has not
    // returned 1 or more, and what the table builders raise (dictionary_builder.h); nothing
    // half-built is returned then, and the storage keeps the stem blocks it had.
    std::unique_ptr<NByk::TDictionary> BuildDictionary(TDictionaryStorage& storage);

    // Replaces the prefix trie by the lines of in (every line, empty ones too, is one word
    // beginning in the settings' code page, lower-cased); reports the entry and node counts.
    // Raises the recoding errors of AddPrefix, keeping the lines added before. Returns 0.
    int CompilePrefixes(TInputStream& in);
    // Adds one line to the prefix trie. Raises kexception for a code page outside the table
    // (checked before anything else) and the decoding errors of the code page.
    void AddPrefix(const Stroka& line);
    uint64_t PrefixCount() const { return Prefixes_.EntryCount(); }

private:
    void Abort() noexcept { EntriesRead_ = AbortedCount; }

    const TCompilerSettings* Settings_;
    TOutputStream* Messages_;
    TGlobalTables Tables_;
    TEntryParser Parser_;
    TCompactTrieBuilder<wchar16, unsigned long> Prefixes_;
    uint64_t EntriesRead_ = 0;
    uint64_t EntriesRejected_ = 0;
    bool Finished_ = false;
};
