// Builder of compact tries: collects (key, value) pairs in any order in a radix tree and saves
// them in the compact-trie byte format that TCompactTrie (util/stream/compact_trie.h) reads.
// The dictionary compiler builds its trie of word beginnings with it; a saved trie can then be
// shrunk further by the minimiser (compact_trie_minimizer.h).
//
//     TCompactTrieBuilder<wchar16, unsigned long> builder;
//     builder.Add(key, keyLen, 42);
//     TBufferOutput out;
//     builder.Save(out);
#pragma once

#include "util/stream/compact_trie_packer.h"
#include "util/stream/output.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

namespace NCompactTrie {
// Builder flags.
enum EBuilderFlags : uint32_t {
    // Keys arrive grouped by prefix (sorted input is): when a node gets a new arc, the
    // subtree under its previous last arc is serialised and its nodes released, which
    // bounds memory by the open path. A key that would enter such a subtree is refused.
    PrefixGroupedInput = 1,
    // Every Add reports the entry count through ReportTrieProgress.
    ReportProgress = 2,
    // Adding a key that already has a value raises "Duplicate key".
    UniqueKeys = 4,
};

struct TBuilderNode;
class TBuilderNodeAllocator;

// Raises kexception "something wrong" when a saved region's size is not the measured one.
void CheckSavedSize(uint64_t measured, uint64_t written);
}  // namespace NCompactTrie

class TMemoryPool;

// The key-type-independent builder: keys are byte strings, values are packed already.
// Not thread-safe. Raises kexception with "Duplicate key" (UniqueKeys) and "Bad input order -
// expected input strings to be prefix-grouped." (PrefixGroupedInput); the tree stays valid.
class TCompactTrieBuilderImpl {
public:
    explicit TCompactTrieBuilderImpl(uint32_t flags = 0);
    ~TCompactTrieBuilderImpl();
    TCompactTrieBuilderImpl(const TCompactTrieBuilderImpl&) = delete;
    TCompactTrieBuilderImpl& operator=(const TCompactTrieBuilderImpl&) = delete;

    // Returns true when the key had no value before; otherwise the new value replaces the old
    // one. An empty `key` is the one byte 0x00, as the format stores the empty key.
    bool Add(const char* key, size_t keyLen, const char* packedValue, size_t valueLen);

    // Writes the whole trie and returns its size; the tree is left as it is.
    uint64_t Save(TOutputStream& out);

    // Drops every key; the counters go on from their values.
    void Clear();

    uint64_t EntryCount() const { return EntryCount_; }
    uint64_t NodeCount() const { return NodeCount_; }
    uint32_t Flags() const { return Flags_; }

    // Where progress goes with ReportProgress; the standard error stream when null.
    void SetProgressLog(TOutputStream* log) { ProgressLog_ = log; }

private:
    using TNode = NCompactTrie::TBuilderNode;

    TNode* FindOrAddNode(const char* key, size_t keyLen);
    TNode* FollowArc(TNode* node, const char* key, size_t keyLen, size_t* passed);
    void LinkArc(TNode* node, const char* label, size_t labelLen, TNode* child);
    void Freeze(TNode* node);
    TNode* NewNode();
    void DeleteNode(TNode* node);
    void SetValue(TNode* node, const char* packedValue, size_t valueLen);
    void ClearValue(TNode* node);

    std::unique_ptr<TMemoryPool> ValuePool_;
    std::unique_ptr<NCompactTrie::TBuilderNodeAllocator> NodeAllocator_;
    TNode* Root_ = nullptr;
    uint32_t Flags_;
    uint64_t EntryCount_ = 0;
    uint64_t NodeCount_ = 1;
    TOutputStream* ProgressLog_ = nullptr;
};

// Builds a trie of keys of unit type T (each unit stored high byte first) and values of type D
// packed by S. The system's tries use TCompactTrieBuilder<wchar16, unsigned long>. Contract as
// for TCompactTrieBuilderImpl.
template <class T, class D, class S = TCompactTriePacker<D>>
class TCompactTrieBuilder {
public:
    explicit TCompactTrieBuilder(uint32_t flags = 0) : Impl_(flags) {}

    // The empty key (keyLen 0) is allowed.
    bool Add(const T* key, size_t keyLen, const D& value) {
        using TUnit = std::make_unsigned_t<T>;
        KeyBytes_.clear();
        if (keyLen == 0) {
            KeyBytes_.push_back('\0');
        }
        for (size_t i = 0; i < keyLen; ++i) {
            const auto unit = static_cast<TUnit>(key[i]);
            for (size_t b = sizeof(T); b > 0; --b) {
                KeyBytes_.push_back(static_cast<char>(unit >> (8 * (b - 1))));
            }
        }
        const size_t size = S::MeasureLeaf(value);
        ValueBytes_.resize(size);
        S::PackLeaf(ValueBytes_.data(), value, size);
        return Impl_.Add(KeyBytes_.data(), KeyBytes_.size(), ValueBytes_.data(), size);
    }

    uint64_t Save(TOutputStream& out) { return Impl_.Save(out); }
    void Clear() { Impl_.Clear(); }
    uint64_t EntryCount() const { return Impl_.EntryCount(); }
    uint64_t NodeCount() const { return Impl_.NodeCount(); }
    void SetProgressLog(TOutputStream* log) { Impl_.SetProgressLog(log); }

private:
    TCompactTrieBuilderImpl Impl_;
    std::vector<char> KeyBytes_;
    std::vector<char> ValueBytes_;
};
