// Chained hash map of grammeme names.
#include "lemmer/grammar/grammeme_name_index.h"

#include "util/digest/city_hash.h"

#include <algorithm>
#include <iterator>

namespace {
constexpr size_t HashPrimes[] = {
    7ul,          17ul,         29ul,         53ul,        97ul,        193ul,       389ul,
    769ul,        1543ul,       3079ul,       6151ul,      12289ul,     24593ul,     49157ul,
    98317ul,      196613ul,     393241ul,     786433ul,    1572869ul,   3145739ul,   6291469ul,
    12582917ul,   25165843ul,   50331653ul,   100663319ul, 201326611ul, 402653189ul, 805306457ul,
    1610612741ul, 3221225473ul, 4294967291ul,
};
}  // namespace

size_t NextHashBucketCount(size_t n) noexcept {
    const size_t* p = std::lower_bound(std::begin(HashPrimes), std::end(HashPrimes), n);
    return p == std::end(HashPrimes) ? HashPrimes[std::size(HashPrimes) - 1] : *p;
}

TGrammemeNameIndex::TGrammemeNameIndex() : Buckets_(NextHashBucketCount(7), nullptr) {}

TGrammemeNameIndex::~TGrammemeNameIndex() {
    for (TNode* head : Buckets_) {
        while (head) {
            TNode* next = head->Next;
            delete head;
            head = next;
        }
    }
}

size_t TGrammemeNameIndex::BucketOf(TCharRange name, size_t bucketCount) const noexcept {
    return CityHash64(name.Data, name.Length) % bucketCount;
}

TGrammemeNameIndex::TNode* TGrammemeNameIndex::FindNode(TCharRange name,
                                                        size_t bucket) const noexcept {
    for (TNode* node = Buckets_[bucket]; node; node = node->Next) {
        if (node->Key.AsRange() == name) {
            return node;
        }
    }
    return nullptr;
}

uint32_t TGrammemeNameIndex::Find(TCharRange name) const noexcept {
    const TNode* node = FindNode(name, BucketOf(name, Buckets_.size()));
    return node ? node->Code : 0;
}

void TGrammemeNameIndex::Insert(const Stroka& name, uint32_t code) {
    if (TNode* node = FindNode(name.AsRange(), BucketOf(name.AsRange(), Buckets_.size()))) {
        // The old key may view a string the table is replacing: take the new one.
        node->Key = name;
        node->Code = code;
        return;
    }
    if (Count_ + 1 > Buckets_.size()) {
        Rehash(NextHashBucketCount(Count_ + 1));
    }
    const size_t bucket = BucketOf(name.AsRange(), Buckets_.size());
    Buckets_[bucket] = new TNode{Buckets_[bucket], name, code};
    ++Count_;
}

void TGrammemeNameIndex::Rehash(size_t bucketCount) {
    std::vector<TNode*> buckets(bucketCount, nullptr);
    for (TNode* head : Buckets_) {
        while (head) {
            TNode* next = head->Next;
            const size_t bucket = BucketOf(head->Key.AsRange(), bucketCount);
            head->Next = buckets[bucket];
            buckets[bucket] = head;
            head = next;
        }
    }
    Buckets_.swap(buckets);
}
