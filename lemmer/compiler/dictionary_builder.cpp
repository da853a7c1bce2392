#include "lemmer/compiler/dictionary_builder.h"

#include "lemmer/compiler/alphabet_builder.h"
#include "lemmer/compiler/char_tree.h"
#include "lemmer/compiler/compiler_errors.h"
#include "lemmer/compiler/stem_blocks.h"
#include "lemmer/compiler/table_dumps.h"

#include <cstring>
#include <memory>

namespace {

template <class T>
T* PoolArray(TMemoryPool& pool, size_t n) {
    const size_t bytes = (n * sizeof(T) + 7) / 8 * 8;
    void* room = pool.Allocate(bytes ? bytes : 8);
    std::memset(room, 0, bytes ? bytes : 8);
    return static_cast<T*>(room);
}

const wchar16* CopyText(TDictionaryStorage& storage, TUtf16Range text) {
    if (text.empty()) {
        return storage.EmptyText();
    }
    wchar16* copy = PoolArray<wchar16>(*storage.Pool(), text.size() + 1);
    std::memcpy(copy, text.data(), text.size() * sizeof(wchar16));
    return copy;
}

const char* CopyBytes(TDictionaryStorage& storage, TCharRange bytes) {
    if (bytes.empty()) {
        return reinterpret_cast<const char*>(storage.EmptyText());
    }
    char* copy = PoolArray<char>(*storage.Pool(), bytes.size() + 1);
    std::memcpy(copy, bytes.data(), bytes.size());
    return copy;
}

// Letter count ^ tuple length slots, and one per letter for a tuple length of 0 as for 1. A
// written dictionary keeps only the slots its loader counts (one for a tuple length of 0);
// the others stay empty, since a tuple length of 0 puts every stem in slot 0.
uint64_t IndexSlotCount(const TAlphabetTupleCodec& alphabet) {
    return alphabet.TupleLength == 0 ? alphabet.LetterCount : NByk::StemSlotCount(alphabet);
}

void BuildAlphabet(const TGlobalTables& tables, NByk::TDictionary& dictionary,
                   TDictionaryStorage& storage) {
    const TCompilerSettings& settings = tables.Settings();
    // A tuple length is refused before the alphabet or the slot array takes any memory: the
    // slot count (letters ^ length) would otherwise overflow or exhaust memory.
    auto built = std::make_unique<TAlphabetTupleCodec>();
    BuildDictionaryAlphabet(*built, settings);
    if (settings.TupleLength > 0xFFFFFFFFu || NByk::StemSlotCount(*built) == 0) {
        throw NByk::TCompileError()
            << "Tuple length " << settings.TupleLength << " with " << built->LetterCount
            << " letters gives more than " << NByk::MaxStemSlots << " stem-block slots";
    }
    auto* alphabet = PoolArray<TAlphabetTupleCodec>(*storage.Pool(), 1);
    std::memcpy(static_cast<void*>(alphabet), built.get(), sizeof(TAlphabetTupleCodec));
    dictionary.Alphabet = alphabet;
    TOutputStream& out = tables.StatisticsStream();
    out << Endl;
    WriteStatistic(out, "Alphabet: Character Count", alphabet->LetterCount);
    WriteStatistic(out, "Alphabet: Tuple Length", alphabet->TupleLength);
}

void BuildAffixTable(const TGlobalTables& tables, NByk::TDictionary& dictionary,
                     TDictionaryStorage& storage) {
    const auto& affixes = tables.Affixes();
    const auto count = static_cast<uint32_t>(affixes.Size());
    WriteStatistic(tables.StatisticsStream(), "Affixes", count);
    dictionary.EndingTree = BuildEndingTree(count ? &affixes.Key(0) : nullptr, count, storage);
    auto* endings = PoolArray<NByk::TEndingRecord>(*storage.Pool(), count);
    for (uint32_t id = 0; id < count; ++id) {
        const TAffixKey& key = affixes.Key(id);
        endings[id].Prefix = CopyText(storage, key.Prefix);
        endings[id].Ending = CopyText(storage, key.ReversedSuffix);
        endings[id].FormGrammar = CopyBytes(storage, key.Grammar);
    }
    dictionary.Endings = endings;
    dictionary.EndingCount = static_cast<uint16_t>(count);
}

void BuildParadigmTable(const TGlobalTables& tables, NByk::TDictionary& dictionary,
                        TDictionaryStorage& storage) {
    const auto& paradigms = tables.Paradigms();
    const auto count = static_cast<uint32_t>(paradigms.Size());
    WriteStatistic(tables.StatisticsStream(), "Paradigms", count);
    auto* lists = PoolArray<NByk::TEndingList>(*storage.Pool(), count);
    auto paradigm = std::make_unique<TParadigm>();
    for (uint32_t id = 0; id < count; ++id) {
        paradigm->Decode(paradigms.Key(id).data());
        auto* ids = PoolArray<uint16_t>(*storage.Pool(), paradigm->Count());
        std::memcpy(ids, paradigm->Ids(), paradigm->Count() * sizeof(uint16_t));
        lists[id].Count = static_cast<uint32_t>(paradigm->Count());
        lists[id].Ids = ids;
    }
    dictionary.EndingLists = lists;
    dictionary.EndingListCount = static_cast<uint16_t>(count);
}

void BuildRuleTable(const TGlobalTables& tables, NByk::TDictionary& dictionary,
                    TDictionaryStorage& storage) {
    const auto& rules = tables.Rules();
    const auto count = static_cast<uint32_t>(rules.Size());
    TOutputStream& out = tables.StatisticsStream();
    WriteStatistic(out, "Rules", count);
    WriteStatistic(out, "Rules: Last Non Rare", tables.NonRareRuleCount());
    auto* records = PoolArray<NByk::TRuleRecord>(*storage.Pool(), count);
    for (uint32_t id = 0; id < count; ++id) {
        const TCharRange record = rules.Key(id);
        records[id].Data = reinterpret_cast<const unsigned char*>(CopyBytes(storage, record));
        records[id].Length = record.size();
    }
    dictionary.Rules = records;
    dictionary.RuleCount = static_cast<uint16_t>(count);
    dictionary.RareRuleThreshold = static_cast<uint16_t>(tables.NonRareRuleCount());
}

void BuildStemIndex(const TGlobalTables& tables, NByk::TDictionary& dictionary,
                    TDictionaryStorage& storage) {
    const auto& stems = tables.Stems();
    WriteStatistic(tables.StatisticsStream(), "Stems", stems.Size());
    const TAlphabetTupleCodec& alphabet = *dictionary.Alphabet;
    std::vector<TKeyedStemBlock> blocks =
        BuildStemBlocks(stems.Size() ? &stems.Key(0) : nullptr, stems.Size(), alphabet.TupleLength,
                        dictionary.RareRuleThreshold);
    const uint64_t slotCount = IndexSlotCount(alphabet);
    std::unique_ptr<NByk::TStemBlock*[]> slots(new NByk::TStemBlock* [slotCount] {});
    std::vector<uint64_t> slotOf(blocks.size());
    for (size_t i = 0; i < blocks.size(); ++i) {
        const TUtf16String& key = blocks[i].Key;
        slotOf[i] = alphabet.EncodePrefix(key.data(), key.size());
        if (slotOf[i] >= slotCount) {
            throw NByk::TCompileError() << "Unmatched pair: " << key << "\n";
        }
    }
    // Every block is built and placed before the storage takes any: a failure leaves the
    // storage as it was.
    for (size_t i = 0; i < blocks.size(); ++i) {
        slots[slotOf[i]] = blocks[i].Block.release();
    }
    dictionary.StemBlocks = slots.get();
    dictionary.StemSlotCount = slotCount;
    storage.SetStemBlocks(slots.release(), slotCount, &ReleaseStemBlock);
}

}  // namespace

void BuildDictionaryFromTables(const TGlobalTables& tables, NByk::TDictionary& dictionary,
                               TDictionaryStorage& storage) {
    BuildAlphabet(tables, dictionary, storage);
    BuildAffixTable(tables, dictionary, storage);
    BuildParadigmTable(tables, dictionary, storage);
    BuildRuleTable(tables, dictionary, storage);
    BuildStemIndex(tables, dictionary, storage);
}
