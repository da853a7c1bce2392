// Finalisation of the global tables (renumbering, the count of non-rare rules) and their dump
// files.
#include "lemmer/compiler/table_dumps.h"
#include "lemmer/compiler/global_tables.h"

#include "util/stream/file_stream.h"
#include "util/string/escape.h"

#include <memory>

namespace {

constexpr uint64_t DumpWidth = 6;

TPaddedNumber Padded(uint64_t value) {
    return TPaddedNumber{value, DumpWidth, ' '};
}

void WriteEscaped(TOutputStream& out, TCharRange bytes) {
    Stroka escaped;
    EscapeC(bytes.Data, bytes.Length, escaped);
    out << escaped;
}

// "ID# " id " x " count " : " -- the head of a line of the affix, paradigm and rule dumps.
void WriteHead(TOutputStream& out, uint64_t id, uint64_t count) {
    out << "ID# " << Padded(id) << " x " << Padded(count) << " : ";
}

template <class TTable>
void WriteByteTable(const TCompilerSettings& settings, const char* name, const TTable& table) {
    TFileOutput out(MakeLogFileName(settings, name));
    for (uint64_t id = 0; id < table.Size(); ++id) {
        WriteHead(out, id, table.Count(id));
        WriteEscaped(out, table.Key(id));
        out << Endl;
    }
}

}  // namespace

TOutputStream& operator<<(TOutputStream& out, const TPaddedNumber& number) {
    char digits[24];
    size_t n = 0;
    uint64_t v = number.Value;
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    for (uint64_t i = n; i < number.Width; ++i) {
        out.Write(number.Fill);
    }
    while (n != 0) {
        out.Write(digits[--n]);
    }
    return out;
}

void TGlobalTables::RenumberAffixes() {
    std::vector<uint64_t> newIdOf;
    Affixes_.RenumberByKeyOrder(newIdOf);
    const auto buffers = std::make_unique<TParadigm[]>(2);
    TParadigm& old = buffers[0];
    TParadigm& renumbered = buffers[1];
    for (uint64_t id = 0; id < Paradigms_.Size(); ++id) {
        TCharRange& text = Paradigms_.MutableKey(id);
        old.Decode(text.Data);
        renumbered.Clear();
        for (size_t i = 0; i < old.Count(); ++i) {
            renumbered.Add(static_cast<uint16_t>(newIdOf[old.Ids()[i]]));
        }
        renumbered.Normalize();
        // The mapping is one to one, so the text keeps its length; it lives in the key pool.
        renumbered.Encode(const_cast<char*>(text.Data));
    }
}

void TGlobalTables::RenumberStems() {
    std::vector<uint64_t> newIdOf;
    Stems_.RenumberByKeyOrder(newIdOf);
}

void TGlobalTables::RenumberRules() {
    std::vector<uint64_t> newIdOf;
    Rules_.RenumberByCount(newIdOf);
    for (uint64_t id = 0; id < Stems_.Size(); ++id) {
        TStemKey& key = Stems_.MutableKey(id);
        key.RuleId = newIdOf[key.RuleId];
    }
    if (Settings_->DumpTables) {
        TFileOutput log(MakeLogFileName(*Settings_, "rule-renumeration"));
        for (uint64_t old = 0; old < newIdOf.size(); ++old) {
            log << old << " -> " << newIdOf[old] << "\n";
            log.Flush();
        }
    }
    const uint64_t threshold = Settings_->RuleThreshold;
    NonRareRules_ = 0;
    while (NonRareRules_ < Rules_.Size() && Rules_.Count(NonRareRules_) > threshold) {
        ++NonRareRules_;
    }
}

void TGlobalTables::DumpTables() {
    if (Dumped_) {
        return;
    }
    // A dump that failed may be tried again, but the ids are given only once.
    if (!Renumbered_) {
        RenumberAffixes();
        RenumberStems();
        RenumberRules();
        Affixes_.Seal();
        Paradigms_.Seal();
        Rules_.Seal();
        Stems_.Seal();
        Renumbered_ = true;
    }
    if (Settings_->DumpTables) {
        WriteTables();
    }
    Dumped_ = true;
}

void TGlobalTables::WriteTables() const {
    {
        TFileOutput out(MakeLogFileName(*Settings_, "table-affixes"));
        for (uint64_t id = 0; id < Affixes_.Size(); ++id) {
            const TAffixKey& key = Affixes_.Key(id);
            WriteHead(out, id, Affixes_.Count(id));
            out << key.Prefix << " // " << key.ReversedSuffix << " # ";
            WriteEscaped(out, key.Grammar);
            out << Endl;
        }
    }
    WriteByteTable(*Settings_, "table-paradigms", Paradigms_);
    WriteByteTable(*Settings_, "table-rules", Rules_);
    TFileOutput out(MakeLogFileName(*Settings_, "table-stems"));
    for (uint64_t id = 0; id < Stems_.Size(); ++id) {
        const TStemKey& key = Stems_.Key(id);
        out << key.ReversedStem << " # " << key.RuleId << Endl;
    }
}

void WriteStatistic(TOutputStream& out, const char* what, uint64_t value) {
    out << "Statistic: " << what << ": " << value << Endl;
}
