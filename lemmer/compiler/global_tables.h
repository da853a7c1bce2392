// The global tables of the dictionary compiler: every accepted entry is broken into
//   - affixes: (prefix, reversed suffix, form grammar) of each wordform;
//   - paradigms: the sorted affix ids of each stem of an entry, as EncodeNumber3 text + 0;
//   - rules: the packed rule record of each stem (rule_packer.h) + 0;
//   - stems: (reversed stem, rule id) of each stem;
// each held in a counted table whose ids are dense from 0. Equal keys from any entry are one
// key, so entries that inflect alike share paradigms and rules.
//
// Call order: AddDictionaryEntry any number of times; then DumpTables once, which gives the
// tables their final ids (affixes and stems in key order, rules by falling count, with the
// count of non-rare rules) and, with the settings' dump flag, writes the trace and dump files;
// then the building side reads the tables by id (Affixes(), Paradigms(), Rules(), Stems(),
// NonRareRuleCount()). Every key lives in the tables' own key pool until they are destroyed.
#pragma once

#include "lemmer/compiler/compiler_settings.h"
#include "lemmer/compiler/counted_table.h"
#include "lemmer/compiler/entry_parser.h"
#include "lemmer/compiler/paradigm.h"
#include "lemmer/compiler/rule_packer.h"
#include "lemmer/compiler/table_keys.h"

#include "util/generic/memory_pool.h"
#include "util/stream/output.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The id limit of the affix, paradigm and rule tables: ids are stored as 16-bit numbers.
constexpr uint64_t MaxTableIds = 65535;
// Distinct stems one entry may have (a rule record has room for more, the stem blocks not).
constexpr size_t MaxEntryStems = 19;

// Not thread-safe. AddDictionaryEntry raises
// - NByk::TInvalidEntryException when the entry itself cannot be stored (too many stems, too
//   many endings in one paradigm, a rule-record field past its range); nothing of it is kept;
// - NByk::TOverflowError when a table is full ("Too much affixes in global table." and the
//   like); the tables are then not fit for use.
// The settings and the statistics stream are not owned and must outlive the tables.
class TGlobalTables {
public:
    using TAffixTable = TCountedTable<TAffixKey, TAffixKeyLess>;
    using TStemTable = TCountedTable<TStemKey, TStemKeyLess>;
    // Paradigm and rule keys: the byte string with its final 0 byte counted in the length.
    using TByteTable = TCountedTable<TCharRange, TByteStringLess>;

    // With the dump flag, opens the trace file (MakeLogFileName "trace"); raises the file
    // error when it cannot be created.
    TGlobalTables(const TCompilerSettings* settings, TOutputStream* statistics);
    ~TGlobalTables();

    TGlobalTables(const TGlobalTables&) = delete;
    TGlobalTables& operator=(const TGlobalTables&) = delete;

    // Adds one parsed entry. REQUIRES: DumpTables has not run.
    void AddDictionaryEntry(TUtf16Range lemma, TCharRange commonGrammar,
                            const std::vector<TEntryParser::TWordform>& wordforms);
    // The parser's current entry.
    void AddDictionaryEntry(const TEntryParser& entry) {
        AddDictionaryEntry(entry.Lemma(), entry.CommonGrammar(), entry.Wordforms());
    }

    uint64_t AddAffix(TUtf16Range prefix, TUtf16Range suffix, TCharRange grammar);
    uint64_t AddStem(TUtf16Range stem, uint64_t ruleId);
    uint64_t InternParadigm(const TParadigm& paradigm);
    uint64_t InternRule(const TRulePacker& packer, size_t k);

    // Final ids (once; later calls do nothing) and, with the dump flag, the dump files
    // "rule-renumeration", "table-affixes", "table-paradigms", "table-rules", "table-stems".
    // A file that cannot be created raises its error; the dumped flag then stays clear.
    void DumpTables();
    bool Dumped() const noexcept { return Dumped_; }

    // The renumbering steps of DumpTables, in its order.
    void RenumberAffixes();
    void RenumberStems();
    void RenumberRules();

    const TAffixTable& Affixes() const noexcept { return Affixes_; }
    const TByteTable& Paradigms() const noexcept { return Paradigms_; }
    const TByteTable& Rules() const noexcept { return Rules_; }
    const TStemTable& Stems() const noexcept { return Stems_; }
    // Rules 0 to NonRareRuleCount() - 1 are used more often than the rule threshold.
    uint64_t NonRareRuleCount() const noexcept { return NonRareRules_; }
    const TCompilerSettings& Settings() const noexcept { return *Settings_; }
    TOutputStream& StatisticsStream() const noexcept { return *Statistics_; }
    TMemoryPool& KeyPool() noexcept { return KeyPool_; }

private:
    struct TEntryState;

    void TraceEntryHeader(TUtf16Range lemma, TCharRange commonGrammar);
    void CountEntryStems(TUtf16Range lemma, const std::vector<TEntryParser::TWordform>& forms);
    void CheckEntryFits(TUtf16Range lemma);
    TCharRange StoreBytes(TCharRange bytes);
    char* PackingRoom(size_t n);
    void WriteTables() const;

    const TCompilerSettings* Settings_;
    TStemTable Stems_;
    TAffixTable Affixes_;
    TByteTable Paradigms_;
    TByteTable Rules_;
    // Paradigm texts and rule records are built here and copied to the pool only when new.
    std::vector<char> Packing_;
    bool Dumped_ = false;
    bool Renumbered_ = false;
    uint64_t NonRareRules_ = 0;
    std::unique_ptr<TOutputStream> Trace_;
    TOutputStream* Statistics_;
    TMemoryPool KeyPool_;
    // Per-entry scratch, allocated once: the entry's stems and 20 paradigm buffers.
    std::unique_ptr<TEntryState> Entry_;
    std::vector<wchar16> Reversed_;
};
