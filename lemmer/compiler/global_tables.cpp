// Entry intake of the global tables.
#include "lemmer/compiler/global_tables.h"

#include "lemmer/grammar/gram_codes.h"

#include "util/stream/file_stream.h"
#include "util/stream/null.h"

#include <algorithm>
#include <cstring>

namespace {

// The pool doubles its chunks, so a modest first one costs the big sources nothing and spares
// the small ones a 128 MiB allocation.
constexpr size_t KeyPoolBlock = 1 << 20;
constexpr size_t PackingReserve = 65536;

}  // namespace

// The per-entry scratch: the distinct stems in first-seen order, each wordform's index into
// them, the stems in text order, and one paradigm buffer per stem.
struct TGlobalTables::TEntryState {
    std::vector<TUtf16Range> Seen;
    std::vector<uint64_t> FormsOfSeen;
    std::vector<uint8_t> FormStem;
    std::vector<uint8_t> IdOfSeen;
    std::vector<TUtf16Range> Stems;
    TParadigm Paradigms[MaxEntryStems + 1];
};

TGlobalTables::TGlobalTables(const TCompilerSettings* settings, TOutputStream* statistics)
    : Settings_(settings),
      Stems_(TStemTable::NoLimit, nullptr),
      Affixes_(MaxTableIds, "Too much affixes in global table.", MaxTableIds),
      Paradigms_(MaxTableIds, "Too much paradigms in global table.", MaxTableIds),
      Rules_(MaxTableIds, "Too much rules in global table.", MaxTableIds),
      Statistics_(statistics),
      KeyPool_(KeyPoolBlock, TMemoryPool::TExpGrow::Instance()),
      Entry_(std::make_unique<TEntryState>()) {
    Packing_.reserve(PackingReserve);
    if (settings->DumpTables) {
        Trace_ = std::make_unique<TFileOutput>(MakeLogFileName(*settings, "trace"));
    }
}

TGlobalTables::~TGlobalTables() = default;

TCharRange TGlobalTables::StoreBytes(TCharRange bytes) {
    char* copy = static_cast<char*>(KeyPool_.Allocate(bytes.Length));
    std::memcpy(copy, bytes.Data, bytes.Length);
    return TCharRange(copy, bytes.Length);
}

char* TGlobalTables::PackingRoom(size_t n) {
    if (Packing_.size() < n) {
        Packing_.resize(n);
    }
    return Packing_.data();
}

uint64_t TGlobalTables::AddAffix(TUtf16Range prefix, TUtf16Range suffix, TCharRange grammar) {
    Reversed_.assign(suffix.Data, suffix.Data + suffix.Length);
    std::reverse(Reversed_.begin(), Reversed_.end());
    const TAffixKey probe{prefix, TUtf16Range(Reversed_.data(), Reversed_.size()), grammar};
    return Affixes_.Add(probe, [this](const TAffixKey& key) {
        // One block: prefix + 0, reversed suffix + 0, grammar + 0.
        const size_t p = key.Prefix.Length + 1;
        const size_t s = key.ReversedSuffix.Length + 1;
        char* block = static_cast<char*>(KeyPool_.Allocate(2 * (p + s) + key.Grammar.Length + 1));
        wchar16* units = reinterpret_cast<wchar16*>(block);
        std::copy_n(key.Prefix.Data, key.Prefix.Length, units);
        units[p - 1] = 0;
        std::copy_n(key.ReversedSuffix.Data, key.ReversedSuffix.Length, units + p);
        units[p + s - 1] = 0;
        char* bytes = block + 2 * (p + s);
        std::copy_n(key.Grammar.Data, key.Grammar.Length, bytes);
        bytes[key.Grammar.Length] = 0;
        return TAffixKey{TUtf16Range(units, p - 1), TUtf16Range(units + p, s - 1),
                         TCharRange(bytes, key.Grammar.Length)};
    });
}

uint64_t TGlobalTables::AddStem(TUtf16Range stem, uint64_t ruleId) {
    Reversed_.assign(stem.Data, stem.Data + stem.Length);
    std::reverse(Reversed_.begin(), Reversed_.end());
    const TStemKey probe{TUtf16Range(Reversed_.data(), Reversed_.size()), ruleId};
    return Stems_.Add(probe, [this](const TStemKey& key) {
        wchar16* units =
            static_cast<wchar16*>(KeyPool_.Allocate(key.ReversedStem.Length * sizeof(wchar16)));
        std::copy_n(key.ReversedStem.Data, key.ReversedStem.Length, units);
        return TStemKey{TUtf16Range(units, key.ReversedStem.Length), key.RuleId};
    });
}

uint64_t TGlobalTables::InternParadigm(const TParadigm& paradigm) {
    const size_t n = paradigm.EncodedSize();
    char* text = PackingRoom(n);
    paradigm.Encode(text);
    return Paradigms_.Add(TCharRange(text, n), [this](TCharRange key) { return StoreBytes(key); });
}

uint64_t TGlobalTables::InternRule(const TRulePacker& packer, size_t k) {
    const size_t n = packer.PackedEntrySize(k);
    char* record = PackingRoom(n);
    packer.PackEntryToByteString(k, record);
    return Rules_.Add(TCharRange(record, n), [this](TCharRange key) { return StoreBytes(key); });
}

void TGlobalTables::TraceEntryHeader(TUtf16Range lemma, TCharRange commonGrammar) {
    char grammar[257];
    const size_t g = std::min<size_t>(commonGrammar.Length, 256);
    std::memcpy(grammar, commonGrammar.Data, g);
    grammar[g] = 0;
    const Stroka names = GramCodesToText(grammar, 0, false);
    const CodePage& page = *CodePageByCharset(CODES_KORVEL);
    TUtf16String text;
    for (char c : names) {
        text.append(static_cast<wchar16>(page.Unicode[static_cast<unsigned char>(c)]));
    }
    *Trace_ << "Dictionary Entry [" << lemma << "," << text << "] {" << Endl;
}

void TGlobalTables::CountEntryStems(TUtf16Range lemma,
                                    const std::vector<TEntryParser::TWordform>& forms) {
    TEntryState& e = *Entry_;
    e.Seen.clear();
    e.FormsOfSeen.clear();
    e.FormStem.clear();
    for (const TEntryParser::TWordform& form : forms) {
        size_t i = 0;
        while (i < e.Seen.size() && CompareWide(e.Seen[i], form.Stem) != 0) {
            ++i;
        }
        if (i == e.Seen.size()) {
            if (e.Seen.size() == MaxEntryStems) {
                throw NByk::TInvalidEntryException()
                    << "Too much stems per dictionary entry (more than " << MaxEntryStems
                    << "); entry \"" << lemma << "\" skipped.";
            }
            e.Seen.push_back(form.Stem);
            e.FormsOfSeen.push_back(0);
        }
        if (++e.FormsOfSeen[i] > TParadigm::Capacity) {
            throw NByk::TInvalidEntryException()
                << "Too much endings in paradigm; entry \"" << lemma << "\" skipped.";
        }
        e.FormStem.push_back(static_cast<uint8_t>(i));
    }
    // Stem ids follow the text order of the stems, not the source order.
    std::vector<uint8_t> order(e.Seen.size());
    for (size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<uint8_t>(i);
    }
    std::sort(order.begin(), order.end(),
              [&](uint8_t a, uint8_t b) { return TWideStringLess()(e.Seen[a], e.Seen[b]); });
    e.Stems.clear();
    e.IdOfSeen.assign(order.size(), 0);
    for (size_t id = 0; id < order.size(); ++id) {
        e.IdOfSeen[order[id]] = static_cast<uint8_t>(id);
        e.Stems.push_back(e.Seen[order[id]]);
    }
}

void TGlobalTables::AddDictionaryEntry(TUtf16Range lemma, TCharRange commonGrammar,
                                       const std::vector<TEntryParser::TWordform>& wordforms) {
    assert(!Dumped_);
    if (Trace_) {
        TraceEntryHeader(lemma, commonGrammar);
    }
    TEntryState& e = *Entry_;
    // Everything that can reject the entry is checked before the tables change.
    CountEntryStems(lemma, wordforms);
    TRulePacker packer(commonGrammar);
    for (const TUtf16Range& stem : e.Stems) {
        packer.AddEntry(lemma, stem, 0);
    }
    try {
        packer.CheckFields();
    } catch (const NByk::TOverflowError& error) {
        throw NByk::TInvalidEntryException()
            << error.what() << "; entry \"" << lemma << "\" skipped.";
    }

    const size_t stems = e.Stems.size();
    for (size_t s = 0; s < stems; ++s) {
        e.Paradigms[s].Clear();
    }
    for (size_t f = 0; f < wordforms.size(); ++f) {
        const TEntryParser::TWordform& form = wordforms[f];
        const uint64_t a = AddAffix(form.Prefix, form.Suffix, form.Grammar);
        e.Paradigms[e.IdOfSeen[e.FormStem[f]]].Add(static_cast<uint16_t>(a));
    }
    for (size_t s = 0; s < stems; ++s) {
        e.Paradigms[s].Normalize();
        packer.SetParadigm(s, InternParadigm(e.Paradigms[s]));
    }
    for (size_t s = 0; s < stems; ++s) {
        const uint64_t r = InternRule(packer, s);
        AddStem(e.Stems[s], r);
        if (Trace_) {
            *Trace_ << " " << e.Stems[s] << " # " << r << Endl;
        }
    }
    if (Trace_) {
        *Trace_ << "}" << Endl;
    }
}
