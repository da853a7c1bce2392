// The loader of the binary dictionary: one reader per part, each followed by its checks.
#include "lemmer/dictionary/dictionary_loader.h"

#include "lemmer/dictionary/dictionary_check.h"
#include "lemmer/dictionary/rule_record.h"
#include "util/stream/load.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace NByk {
namespace {

const wchar16 EmptyUnit = 0;

// Arrays up to this size are read straight into the pool; larger ones are first collected as
// they arrive, so that a count in a short or hostile stream cannot make us take more memory
// than the stream really holds.
constexpr size_t DirectReadLimit = size_t(1) << 20;

// Reads `expected` bytes into a vector that grows only as bytes arrive; TLoadEOF when short.
void LoadGrowing(TInputStream& in, size_t expected, std::vector<char>& bytes) {
    bytes.clear();
    size_t got = 0;
    while (got < expected) {
        const size_t step = std::min(expected - got, DirectReadLimit);
        bytes.resize(got + step);
        const size_t n = in.Load(bytes.data() + got, step);
        got += n;
        if (n != step) {
            ThrowLoadArrayEOF(expected, got);
        }
    }
}

template <class T>
T* LoadArray(TInputStream& in, TMemoryPool& pool, uint64_t count) {
    if (count == 0) {
        return nullptr;
    }
    const size_t bytes = count * sizeof(T);
    if (bytes <= DirectReadLimit) {
        T* items = static_cast<T*>(pool.Allocate(bytes));
        LoadPodArray(in, items, count);
        return items;
    }
    std::vector<char> buffer;
    LoadGrowing(in, bytes, buffer);
    void* items = pool.Allocate(bytes);
    std::memcpy(items, buffer.data(), bytes);
    return static_cast<T*>(items);
}

template <class T>
T Load(TInputStream& in) {
    T value{};
    LoadPodType(in, value);
    return value;
}

// Collects units up to the 0 terminator; a stream that ends first is a broken text.
template <class TUnit>
const TUnit* LoadText(TInputStream& in, TMemoryPool& pool, std::vector<TUnit>& scratch,
                      const TUnit* empty) {
    scratch.clear();
    for (;;) {
        TUnit unit = 0;
        if (in.Load(&unit, sizeof(unit)) != sizeof(unit)) {
            throw TLoadError();
        }
        if (unit == 0) {
            break;
        }
        scratch.push_back(unit);
    }
    if (scratch.empty()) {
        return empty;
    }
    TUnit* text = static_cast<TUnit*>(pool.Allocate((scratch.size() + 1) * sizeof(TUnit)));
    std::copy(scratch.begin(), scratch.end(), text);
    text[scratch.size()] = 0;
    return text;
}

void LoadEndingTable(TDictionary& d, TInputStream& in, TMemoryPool& pool) {
    d.EndingCount = Load<uint16_t>(in);
    TEndingRecord* endings = pool.NewArray<TEndingRecord>(d.EndingCount);
    std::vector<wchar16> units;
    std::vector<char> bytes;
    for (uint32_t i = 0; i < d.EndingCount; ++i) {
        endings[i].Prefix = LoadText(in, pool, units, &EmptyUnit);
        endings[i].Ending = LoadText(in, pool, units, &EmptyUnit);
        endings[i].FormGrammar = LoadText(in, pool, bytes, "");
    }
    d.Endings = endings;
}

void LoadRuleTable(TDictionary& d, TInputStream& in, TMemoryPool& pool, bool checked) {
    d.RuleCount = Load<uint16_t>(in);
    d.RareRuleThreshold = Load<uint16_t>(in);
    TRuleRecord* rules = pool.NewArray<TRuleRecord>(d.RuleCount);
    for (uint32_t id = 0; id < d.RuleCount; ++id) {
        const uint32_t length = Load<uint32_t>(in);
        if (length != 0 && (length < NRule::MinLength || length > NRule::MaxLength)) {
            throw TLoadError() << "rule " << id << " (" << length
                               << " bytes): its length is impossible";
        }
        rules[id].Data = LoadArray<unsigned char>(in, pool, length);
        rules[id].Length = length;
    }
    d.Rules = rules;
    // The ending lists come later: their indices are checked once they are there.
    if (checked) {
        CheckRules(rules, d.RuleCount, 65536);
    }
}

void LoadEndingTree(TDictionary& d, TInputStream& in, TMemoryPool& pool, bool checked) {
    TCharTree* tree = pool.New<TCharTree>();
    tree->Count = tree->Capacity = Load<uint32_t>(in);
    tree->Nodes = LoadArray<TCharTreeNode>(in, pool, tree->Count);
    if (checked) {
        CheckEndingTree(*tree, d.EndingCount);
    }
    d.EndingTree = tree;
}

void LoadAlphabet(TDictionary& d, TInputStream& in, TMemoryPool& pool) {
    TAlphabetTupleCodec* alphabet = pool.New<TAlphabetTupleCodec>(2);
    LoadPodType(in, alphabet->TupleLength);
    LoadPodType(in, alphabet->LetterCount);
    LoadPodArray(in, alphabet->Code, sizeof(alphabet->Code));
    LoadPodArray(in, alphabet->Letters, 256);
    LoadPodArray(in, alphabet->Flags, sizeof(alphabet->Flags));
    d.StemSlotCount = CheckAlphabet(*alphabet);
    d.Alphabet = alphabet;
}

void LoadStemBlock(TStemBlock& block, TInputStream& in, TMemoryPool& pool) {
    block.NodeCount = block.NodeCapacity = Load<uint32_t>(in);
    block.Nodes = LoadArray<uint64_t>(in, pool, block.NodeCount);
    block.RuleIdCount = block.RuleIdCapacity = Load<uint32_t>(in);
    block.RuleIds = LoadArray<uint16_t>(in, pool, block.RuleIdCount);
}

void LoadStemBlockIndex(TDictionary& d, TInputStream& in, TMemoryPool& pool, bool checked) {
    std::vector<char> markers;
    LoadGrowing(in, d.StemSlotCount, markers);
    TStemBlock** slots = pool.NewArray<TStemBlock*>(d.StemSlotCount);
    for (uint64_t slot = 0; slot < d.StemSlotCount; ++slot) {
        if (markers[slot] != '1') {
            continue;
        }
        TStemBlock* block = pool.New<TStemBlock>();
        LoadStemBlock(*block, in, pool);
        if (checked) {
            CheckStemBlock(*block, d.RuleCount, slot);
        }
        slots[slot] = block;
    }
    d.StemBlocks = slots;
}

void LoadEndingLists(TDictionary& d, TInputStream& in, TMemoryPool& pool, bool checked) {
    d.EndingListCount = Load<uint16_t>(in);
    TEndingList* lists = pool.NewArray<TEndingList>(d.EndingListCount);
    for (uint32_t i = 0; i < d.EndingListCount; ++i) {
        lists[i].Count = Load<uint32_t>(in);
        lists[i].Ids = LoadArray<uint16_t>(in, pool, lists[i].Count);
    }
    d.EndingLists = lists;
    if (checked) {
        CheckEndingLists(lists, d.EndingListCount, d.EndingCount);
        CheckRules(d.Rules, d.RuleCount, d.EndingListCount);
    }
}

void LoadFormatByte(TInputStream& in) {
    unsigned char format = 0;
    if (in.Load(&format, 1) != 1 || format != 1) {
        throw TLoadError();
    }
}

void LoadPrefixTrie(TDictionary& d, TInputStream& in, TMemoryPool& pool, bool checked) {
    const uint32_t length = Load<uint32_t>(in);
    const char* bytes = LoadArray<char>(in, pool, length);
    if (checked) {
        CheckPrefixTrie(bytes, length);
    }
    try {
        d.PrefixTrie.Init(TBlob::NoCopy(bytes, length));
    } catch (const TCompactTrieError& e) {
        throw TLoadError() << "prefix trie: " << e.what();
    }
}

}  // namespace

void LoadDictionary(TDictionary& dictionary, TInputStream& in, TMemoryPool& pool,
                    ELoadChecks checks) {
    const bool checked = checks == ELoadChecks::EachPart;
    TDictionary d;
    LoadEndingTable(d, in, pool);
    LoadRuleTable(d, in, pool, checked);
    LoadEndingTree(d, in, pool, checked);
    LoadAlphabet(d, in, pool);
    LoadStemBlockIndex(d, in, pool, checked);
    LoadEndingLists(d, in, pool, checked);
    LoadFormatByte(in);
    LoadPrefixTrie(d, in, pool, checked);
    dictionary = std::move(d);
}

}  // namespace NByk
