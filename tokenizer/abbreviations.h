// The two fixed sets of lower-case abbreviations behind the sentence-break rules: after a word
// of Common a full stop never ends a sentence; after a word of BeforeDigit it does not when a
// decimal digit follows.
#pragma once

#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Hash set of UTF-16 words with separate chaining, keyed by CityHash64 of the units' bytes. The
// bucket count grows through a fixed list of primes so that it never falls below the element
// count. Not thread-safe while being filled; read-only afterwards.
class TAbbreviationSet {
public:
    TAbbreviationSet();

    // Copies the word; a word already present is kept once.
    void Add(const wchar16* word, size_t length);
    bool Contains(const wchar16* word, size_t length) const;

    size_t Size() const { return Count_; }
    size_t BucketCount() const { return Buckets_.size(); }

    // The first prime of the growth list not below count (the last prime beyond it).
    static size_t BucketCountFor(size_t count);

private:
    static constexpr uint32_t NO_NODE = UINT32_MAX;
    struct TNode {
        uint32_t Next;
        uint32_t Offset;  // into Units_
        uint32_t Length;
    };

    void Rehash(size_t count);
    size_t BucketOf(const wchar16* word, size_t length, size_t bucketCount) const;

    std::vector<uint32_t> Buckets_;  // head node of each chain
    std::vector<TNode> Nodes_;
    std::vector<wchar16> Units_;
    size_t Count_ = 0;
};

// The process-wide pair of sets, built on first use from the fixed lists and kept until exit.
// Thread-safe to obtain and to read.
class TAbbreviations {
public:
    static const TAbbreviations& Instance();

    TAbbreviations();

    TAbbreviationSet Common;
    TAbbreviationSet BeforeDigit;
};
