// The integer encodings of the compact-trie byte format: offsets as minimal big-endian
// integers and values as self-delimiting packed integers of 1 to 9 bytes. The reader
// (compact_trie.h), the builder and the minimiser all go through these functions, so that
// every writer and reader agrees on the bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace NCompactTrie {
// Number of bytes an offset takes: 0 for 0, else the count of its significant bytes (1-8).
size_t PackedIntSize(uint64_t value);

// Writes the low `size` bytes of `value` to `out`, most significant first; returns `size`.
size_t PackIntBigEndian(uint64_t value, size_t size, char* out);

// Reads a `size`-byte big-endian integer (size 0 gives 0).
uint64_t UnpackIntBigEndian(const char* data, size_t size);

// Length (1 to 9) of the packed value whose first byte is `first`: 1 plus the number of its
// leading one bits.
size_t PackedValueSize(unsigned char first);
}  // namespace NCompactTrie

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
