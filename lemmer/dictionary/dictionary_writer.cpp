// The writer of the binary dictionary: the loader's parts in the loader's order.
#include "lemmer/dictionary/dictionary_writer.h"

#include <cstring>
#include <limits>

namespace NByk {
namespace {

template <class T>
void Put(TOutputStream& out, T value) {
    out.Write(&value, sizeof(value));
}

uint32_t Count32(uint64_t count, const char* what) {
    if (count > std::numeric_limits<uint32_t>::max()) {
        throw kexception() << what << " of " << count << " entries is too long to be written";
    }
    return static_cast<uint32_t>(count);
}

template <class TUnit>
void PutText(TOutputStream& out, const TUnit* text) {
    size_t length = 0;
    if (text) {
        while (text[length] != 0) {
            ++length;
        }
        out.Write(text, length * sizeof(TUnit));
    }
    Put<TUnit>(out, 0);
}

void WriteEndingTable(const TDictionary& d, TOutputStream& out) {
    Put<uint16_t>(out, d.EndingCount);
    for (uint32_t i = 0; i < d.EndingCount; ++i) {
        PutText(out, d.Endings[i].Prefix);
        PutText(out, d.Endings[i].Ending);
        PutText(out, d.Endings[i].FormGrammar);
    }
}

void WriteRuleTable(const TDictionary& d, TOutputStream& out) {
    Put<uint16_t>(out, d.RuleCount);
    Put<uint16_t>(out, d.RareRuleThreshold);
    for (uint32_t id = 0; id < d.RuleCount; ++id) {
        const TRuleRecord& rule = d.Rules[id];
        Put<uint32_t>(out, Count32(rule.Length, "a rule"));
        out.Write(rule.Data, rule.Length);
    }
}

void WriteEndingTree(const TDictionary& d, TOutputStream& out) {
    const uint32_t count = d.EndingTree ? d.EndingTree->Count : 0;
    Put<uint32_t>(out, count);
    if (count) {
        out.Write(d.EndingTree->Nodes, count * sizeof(TCharTreeNode));
    }
}

void WriteStemBlocks(const TDictionary& d, const TAlphabetTupleCodec& alphabet,
                     TOutputStream& out) {
    const uint64_t slots = StemSlotCount(alphabet);
    if (slots == 0) {
        throw kexception() << "the alphabet of " << alphabet.LetterCount
                           << " letters and tuple length " << alphabet.TupleLength
                           << " gives too many stem-block slots";
    }
    for (uint64_t slot = 0; slot < slots; ++slot) {
        out.Write(d.StemBlock(slot) ? '1' : '0');
    }
    for (uint64_t slot = 0; slot < slots; ++slot) {
        if (const TStemBlock* block = d.StemBlock(slot)) {
            Put<uint32_t>(out, block->NodeCount);
            out.Write(block->Nodes, block->NodeCount * sizeof(uint64_t));
            Put<uint32_t>(out, block->RuleIdCount);
            out.Write(block->RuleIds, block->RuleIdCount * sizeof(uint16_t));
        }
    }
}

void WriteEndingLists(const TDictionary& d, TOutputStream& out) {
    Put<uint16_t>(out, d.EndingListCount);
    for (uint32_t i = 0; i < d.EndingListCount; ++i) {
        Put<uint32_t>(out, d.EndingLists[i].Count);
        out.Write(d.EndingLists[i].Ids, d.EndingLists[i].Count * sizeof(uint16_t));
    }
}

}  // namespace

void WriteDictionary(const TDictionary& d, TOutputStream& out) {
    static const TAlphabetTupleCodec empty;
    const TAlphabetTupleCodec& alphabet = d.Alphabet ? *d.Alphabet : empty;
    WriteEndingTable(d, out);
    WriteRuleTable(d, out);
    WriteEndingTree(d, out);
    out.Write(&alphabet, sizeof(alphabet));
    WriteStemBlocks(d, alphabet, out);
    WriteEndingLists(d, out);
    Put<uint8_t>(out, 1);
    Put<uint32_t>(out, Count32(d.PrefixTrie.Length(), "the prefix trie"));
    out.Write(d.PrefixTrie.Data(), d.PrefixTrie.Length());
}

}  // namespace NByk
