#include "lemmer/compiler/stem_blocks.h"

#include "lemmer/compiler/compiler_errors.h"
#include "lemmer/compiler/paradigm.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>

namespace {

using TSignatureSet = std::set<std::string>;
using TListOffsetMap = std::map<std::string, uint32_t>;

// Grows an array in steps of 1024 entries until `more` entries fit after `used`.
template <class T>
void Reserve(T*& items, uint32_t& capacity, uint32_t used, uint32_t more) {
    uint64_t wanted = capacity;
    while (uint64_t(used) + more > wanted) {
        wanted += 1024;
    }
    if (wanted == capacity) {
        return;
    }
    if (wanted > 0xFFFFFFFFu) {
        throw NByk::TOverflowError() << "A stem block is too large";
    }
    auto* grown = new T[wanted]();
    if (items) {
        std::memcpy(grown, items, sizeof(T) * capacity);
    }
    delete[] items;
    items = grown;
    capacity = static_cast<uint32_t>(wanted);
}

class TBlockBuilder {
public:
    TBlockBuilder(NByk::TStemBlock& block, const TSourceTree& source, uint16_t* ids,
                  uint16_t nonRare)
        : Block_(block), Source_(source), Ids_(ids), NonRare_(nonRare) {}

    void Build() {
        TSignatureSet root;
        Block_.NodeCount = 1;
        Subtree(0, 0, root);
    }

private:
    void Subtree(uint32_t o, uint64_t s, TSignatureSet& parent) {
        const TSourceNode& node = Source_[s];
        const uint64_t c = SourceChildCount(Source_, s);
        const bool terminal = node.Value != TSourceNode::NoValue;
        const uint64_t n = c + (terminal ? 1 : 0);
        if (n > 65535) {
            throw NByk::TCompileError()
                << "TFlexTrie::BuildNode: Suddenly, there are too much children.";
        }
        if (n > MaxNodeSlots) {
            throw NByk::TCompileError()
                << "TFlexTrie::BuildNode: Too much children; interference with flag bits.";
        }
        const uint32_t first = Block_.NodeCount;
        Reserve(Block_.Nodes, Block_.NodeCapacity, Block_.NodeCount, static_cast<uint32_t>(n));
        Block_.NodeCount += static_cast<uint32_t>(n);
        uint32_t countWord = static_cast<uint32_t>(n);
        uint32_t slot = first;
        if (terminal) {
            const uint32_t f = node.Value & 0xFFFF;
            const uint32_t k = node.Value >> 16;
            std::sort(Ids_ + f, Ids_ + f + k);
            if (k > MaxStemRuleIds) {
                throw NByk::TOverflowError() << "SignRules::Buffer overflow while packing rule ids";
            }
            std::string full;
            std::string nonRare;
            for (uint32_t i = f; i < f + k; ++i) {
                char code[3];
                char* out = code;
                EncodeNumber3(out, Ids_[i]);
                full.append(code, 3);
                if (Ids_[i] < NonRare_) {
                    nonRare.append(code, 3);
                }
            }
            parent.insert(nonRare);
            Block_.Nodes[slot++] = NByk::NStemNode::Make(0, k, PackRuleIds(f, k, full));
        }
        TSignatureSet own;
        uint64_t child = s + 1;
        for (uint64_t i = 0; i < c; ++i) {
            Subtree(slot++, child, own);
            child = Source_[child].NextSibling;
        }
        parent.insert(own.begin(), own.end());
        if (own.size() == 1) {
            countWord |= 0x8000;
        }
        if (parent.size() == 1 && parent.begin()->empty()) {
            countWord |= 0x4000;
        }
        Block_.Nodes[o] = NByk::NStemNode::Make(node.Char, countWord, first);
    }

    uint32_t PackRuleIds(uint32_t f, uint32_t k, const std::string& full) {
        if (k == 1) {
            return Ids_[f];
        }
        const auto found = Offsets_.find(full);
        if (found != Offsets_.end()) {
            return found->second;
        }
        const uint32_t offset = Block_.RuleIdCount;
        Reserve(Block_.RuleIds, Block_.RuleIdCapacity, Block_.RuleIdCount, k);
        std::memcpy(Block_.RuleIds + offset, Ids_ + f, sizeof(uint16_t) * k);
        Block_.RuleIdCount = offset + k;
        Offsets_.emplace(full, offset);
        return offset;
    }

    NByk::TStemBlock& Block_;
    const TSourceTree& Source_;
    uint16_t* Ids_;
    uint16_t NonRare_;
    TListOffsetMap Offsets_;
};

}  // namespace

void ReleaseStemBlock(NByk::TStemBlock* block) noexcept {
    if (block) {
        delete[] block->Nodes;
        delete[] block->RuleIds;
        delete block;
    }
}

TStemBlockPtr BuildStemBlock(const TUtf16String* tails, uint16_t* ids, uint32_t count,
                             uint16_t nonRare) {
    TStemTailFetcher fetcher(tails, count);
    const std::unique_ptr<TSourceTree> source = CompileCharTree(fetcher, size_t(3) * count);
    TStemBlockPtr block(new NByk::TStemBlock());
    if (!source) {
        return block;
    }
    const auto n = static_cast<uint32_t>(source->size());
    block->Nodes = new uint64_t[n]();
    block->NodeCapacity = n;
    TBlockBuilder(*block, *source, ids, nonRare).Build();
    return block;
}

std::vector<TKeyedStemBlock> BuildStemBlocks(const TStemKey* stems, uint64_t count,
                                             uint32_t tupleLength, uint16_t nonRare) {
    std::vector<TKeyedStemBlock> blocks;
    std::vector<TUtf16String> tails(MaxBlockStems);
    std::vector<uint16_t> ids(MaxBlockStems);
    uint64_t i = 0;
    while (i < count) {
        const TUtf16Range first = stems[i].ReversedStem;
        const TUtf16String key(first.data(), std::min<size_t>(first.size(), tupleLength));
        uint32_t n = 0;
        for (; i < count; ++i) {
            const TUtf16Range stem = stems[i].ReversedStem;
            const size_t keyLength = std::min<size_t>(stem.size(), tupleLength);
            if (keyLength != key.size() ||
                std::memcmp(stem.data(), key.data(), keyLength * sizeof(wchar16)) != 0) {
                break;
            }
            if (n >= MaxBlockStems) {
                throw NByk::TOverflowError() << "Too many stems in the block \"" << key << "\"\n";
            }
            tails[n].assign(stem.data() + keyLength, stem.size() - keyLength);
            ids[n] = static_cast<uint16_t>(stems[i].RuleId);
            ++n;
        }
        blocks.push_back({key, BuildStemBlock(tails.data(), ids.data(), n, nonRare)});
    }
    return blocks;
}
