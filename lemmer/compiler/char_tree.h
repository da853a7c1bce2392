// Character trees of the dictionary compiler. A fetcher hands out (key, value) pairs in strictly
// increasing key order, the empty key first; CompileCharTree turns them into a TSourceTree, one
// node per key unit in pre-order with sibling links. BuildFlexTree rewrites a source tree into
// the ending tree's 12-byte nodes, whose children lie side by side for binary search; the stem
// blocks (stem_blocks.h) rewrite it into their own node words.
#pragma once

#include "lemmer/compiler/table_keys.h"
#include "lemmer/dictionary/dictionary.h"
#include "util/generic/string.h"

#include <cstdint>
#include <memory>
#include <vector>

class TDictionaryStorage;

struct TSourceNode {
    static constexpr uint64_t NoSibling = ~uint64_t(0);
    static constexpr uint32_t NoValue = 0xFFFFFFFF;

    wchar16 Char = 0;
    uint64_t NextSibling = NoSibling;
    bool HasChildren = false;
    uint32_t Value = NoValue;
};

// Node 0 is the root; a node's first child, when it has one, is the node after it.
using TSourceTree = std::vector<TSourceNode>;

// The number of children of node s (following the sibling links).
uint64_t SourceChildCount(const TSourceTree& tree, uint64_t s);

namespace NCharTreeDetail {
// Starts a tree with the root (value of the empty key).
void StartTree(TSourceTree& tree, std::vector<uint64_t>& depth, uint32_t rootValue, size_t hint);
// Appends one key; raises NByk::TCompileError when it is not greater than previous.
void AppendKey(TSourceTree& tree, std::vector<uint64_t>& depth, const TUtf16String& previous,
               const TUtf16String& current, uint32_t value);
[[noreturn]] void ThrowFirstNotEmpty();
}  // namespace NCharTreeDetail

// Builds the tree of the fetcher's keys (fetcher.Next(TUtf16String& key, uint32_t& value) ->
// bool); null when the fetcher yields nothing. `hint` nodes are reserved up front. Raises
// NByk::TCompileError when the first key is not empty or a key does not increase.
template <class TFetcher>
std::unique_ptr<TSourceTree> CompileCharTree(TFetcher& fetcher, size_t hint) {
    TUtf16String current;
    uint32_t value = 0;
    if (!fetcher.Next(current, value)) {
        return nullptr;
    }
    if (!current.empty()) {
        NCharTreeDetail::ThrowFirstNotEmpty();
    }
    auto tree = std::make_unique<TSourceTree>();
    std::vector<uint64_t> depth;
    NCharTreeDetail::StartTree(*tree, depth, value, hint);
    TUtf16String previous = current;
    while (fetcher.Next(current, value)) {
        NCharTreeDetail::AppendKey(*tree, depth, previous, current, value);
        previous = current;
    }
    return tree;
}

// Hands out one key per run of equal items of a sorted array, after the empty key without a
// value; the empty key is left out when the first run's key is empty, and when there are no
// items unless TRuns::EmptyKeyWithoutItems. TRuns gives Same(a, b), KeyIsEmpty(item),
// Key(item, key) and Value(first index, end index) of a run.
template <class TItem, class TRuns>
class TRunFetcher {
public:
    TRunFetcher(const TItem* items, uint32_t count) : Items_(items), Count_(count) {}

    bool Next(TUtf16String& key, uint32_t& value) {
        if (!Started_) {
            Started_ = true;
            if (Count_ == 0 ? TRuns::EmptyKeyWithoutItems : !TRuns::KeyIsEmpty(Items_[0])) {
                key.clear();
                value = TSourceNode::NoValue;
                return true;
            }
        }
        if (Position_ >= Count_) {
            return false;
        }
        uint32_t end = Position_ + 1;
        while (end < Count_ && TRuns::Same(Items_[end], Items_[Position_])) {
            ++end;
        }
        TRuns::Key(Items_[Position_], key);
        value = TRuns::Value(Position_, end);
        Position_ = end;
        return true;
    }

private:
    const TItem* Items_;
    uint32_t Count_;
    uint32_t Position_ = 0;
    bool Started_ = false;
};

// The keys of the affix table: for each run of affix ids with one (reversed suffix, prefix),
// the reversed suffix, U+FFFF and the prefix, valued (first id | end id << 16); first of all
// the empty key, without a value.
struct TEndingRuns {
    static constexpr bool EmptyKeyWithoutItems = true;
    static bool Same(const TAffixKey& a, const TAffixKey& b);
    static bool KeyIsEmpty(const TAffixKey&) { return false; }
    static void Key(const TAffixKey& affix, TUtf16String& key);
    static uint32_t Value(uint32_t first, uint32_t end) { return (first & 0xFFFF) | (end << 16); }
};
using TEndingFetcher = TRunFetcher<TAffixKey, TEndingRuns>;

// The tails of one stem block, each run of equal tails once, valued (first index | count << 16).
struct TStemTailRuns {
    static constexpr bool EmptyKeyWithoutItems = false;
    static bool Same(const TUtf16String& a, const TUtf16String& b) { return a == b; }
    static bool KeyIsEmpty(const TUtf16String& tail) { return tail.empty(); }
    static void Key(const TUtf16String& tail, TUtf16String& key) { key = tail; }
    static uint32_t Value(uint32_t first, uint32_t end) {
        return (first & 0xFFFF) | ((end - first) << 16);
    }
};
using TStemTailFetcher = TRunFetcher<TUtf16String, TStemTailRuns>;

// An ending tree with its nodes on the heap, freed with it (the compiler's own trees live in
// its storage's pool instead; see BuildEndingTree).
class THeapCharTree {
public:
    // Room for n nodes, none used; a previous array is freed.
    void Init(uint32_t n);
    NByk::TCharTree& Tree() noexcept { return Tree_; }

private:
    std::unique_ptr<NByk::TCharTreeNode[]> Nodes_;
    NByk::TCharTree Tree_;
};

// Fills tree (room for at least source.size() nodes, none used) from the source tree: the root
// in slot 0, each node's children side by side in character order. Raises NByk::TCompileError
// for a node with more than 65535 children, or when the tree has too little room.
void BuildFlexTree(NByk::TCharTree& tree, const TSourceTree& source);

// The ending tree of the affixes (in affix id order) in the storage's pool.
NByk::TCharTree* BuildEndingTree(const TAffixKey* affixes, uint32_t count,
                                 TDictionaryStorage& storage);
