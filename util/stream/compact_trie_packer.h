// The packers of compact-trie values: self-delimiting packed integers of 1 to 9 bytes, whose
// length the format reads from the first byte (compact_trie_format.h).
#pragma once

#include "util/stream/compact_trie_format.h"

#include <cstddef>
#include <cstdint>

template <class T>
class TCompactTriePacker;

// Packs unsigned 64-bit values: n bytes for a value below 2^(7n) (n up to 8), 9 bytes from 2^56.
// The first byte starts with n-1 one bits; the rest of the bits, high first, are the value.
// Stateless and thread-safe.
template <>
class TCompactTriePacker<unsigned long> {
public:
    static size_t MeasureLeaf(unsigned long value);
    // Writes the `size` bytes of the packed value; `size` must be MeasureLeaf(value).
    static void PackLeaf(char* buffer, unsigned long value, size_t size);
    static size_t SkipLeaf(const char* packed);
    static void UnpackLeaf(const char* packed, unsigned long& value);
};
