// The keys of the compiler's tables and their orders. Keys are views of text that the tables'
// owner keeps (the global tables' key pool); a key never owns memory.
//
// The orders decide final ids: affixes and stems are numbered in key order once the source is
// read, and the ending tree relies on the affix order, in which a reversed suffix comes BEFORE
// every reversed suffix that is a proper prefix of it.
#pragma once

#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>

// A non-owning view of UTF-16 units; written to a stream it becomes UTF-8.
using TUtf16Range = TWCharRange;

// (prefix, suffix written backwards, form grammar codes without a terminator).
struct TAffixKey {
    TUtf16Range Prefix;
    TUtf16Range ReversedSuffix;
    TCharRange Grammar;
};

// (stem written backwards, rule id).
struct TStemKey {
    TUtf16Range ReversedStem;
    uint64_t RuleId = 0;
};

// Unit by unit (unsigned); a proper prefix first.
int CompareWide(TUtf16Range a, TUtf16Range b) noexcept;
// Byte by byte (unsigned); a proper prefix first.
int CompareBytes(TCharRange a, TCharRange b) noexcept;

struct TWideStringLess {
    bool operator()(TUtf16Range a, TUtf16Range b) const noexcept { return CompareWide(a, b) < 0; }
};

struct TByteStringLess {
    bool operator()(TCharRange a, TCharRange b) const noexcept { return CompareBytes(a, b) < 0; }
};

// Reversed suffix with the longer first on a common beginning, then prefix, then grammar.
struct TAffixKeyLess {
    bool operator()(const TAffixKey& a, const TAffixKey& b) const noexcept;
};

// Reversed stem (a proper prefix first), then rule id.
struct TStemKeyLess {
    bool operator()(const TStemKey& a, const TStemKey& b) const noexcept;
};

// Hashing and equality for the tables' look-up (the orders above are used only to number).
struct TKeyHash {
    size_t operator()(TUtf16Range r) const noexcept;
    size_t operator()(TCharRange r) const noexcept;
    size_t operator()(const TAffixKey& k) const noexcept;
    size_t operator()(const TStemKey& k) const noexcept;
};

struct TKeyEqual {
    bool operator()(TUtf16Range a, TUtf16Range b) const noexcept { return CompareWide(a, b) == 0; }
    bool operator()(TCharRange a, TCharRange b) const noexcept { return a == b; }
    bool operator()(const TAffixKey& a, const TAffixKey& b) const noexcept;
    bool operator()(const TStemKey& a, const TStemKey& b) const noexcept;
};
