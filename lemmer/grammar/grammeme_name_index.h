// The name index of the grammeme table: a chained hash map from a grammeme name to its code.
//
// Keys are compared byte by byte (case-sensitively) and hashed with CityHash64. A key shares
// the block of the table's own name string (the strings are reference-counted), so no name is
// copied, and the key stays valid when the table later replaces the string it came from.
#pragma once

#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Name -> code. Not thread-safe while being filled; concurrent reads are safe.
class TGrammemeNameIndex {
public:
    // An empty index with 7 buckets.
    TGrammemeNameIndex();
    ~TGrammemeNameIndex();

    TGrammemeNameIndex(const TGrammemeNameIndex&) = delete;
    TGrammemeNameIndex& operator=(const TGrammemeNameIndex&) = delete;

    // Enters `name` with `code`. A name already present keeps its node and takes the new code
    // and the new string; a new name goes to the head of its bucket's chain, after the buckets
    // have grown (to the next prime of the list) when the count would exceed them.
    void Insert(const Stroka& name, uint32_t code);

    // The code of `name`, 0 when absent.
    uint32_t Find(TCharRange name) const noexcept;

    size_t Size() const noexcept { return Count_; }
    size_t BucketCount() const noexcept { return Buckets_.size(); }

private:
    struct TNode {
        TNode* Next;
        Stroka Key;
        uint32_t Code;
    };

    TNode* FindNode(TCharRange name, size_t bucket) const noexcept;
    size_t BucketOf(TCharRange name, size_t bucketCount) const noexcept;
    void Rehash(size_t bucketCount);

    std::vector<TNode*> Buckets_;
    size_t Count_ = 0;
};

// The smallest bucket count of the hash maps' prime list not below n (4294967291 beyond it).
size_t NextHashBucketCount(size_t n) noexcept;
