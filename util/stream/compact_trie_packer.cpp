// The packer of unsigned 64-bit compact-trie values.
#include "util/stream/compact_trie_packer.h"

size_t TCompactTriePacker<unsigned long>::MeasureLeaf(unsigned long value) {
    for (size_t n = 1; n <= 8; ++n) {
        if (value >> (7 * n) == 0) {
            return n;
        }
    }
    return 9;
}

void TCompactTriePacker<unsigned long>::PackLeaf(char* buffer, unsigned long value, size_t size) {
    // Fill from the last byte backwards; each byte written adds one leading one bit to the
    // prefix that is ORed into the first byte.
    unsigned prefix = 0;
    for (size_t i = size - 1; i > 0; --i) {
        buffer[i] = static_cast<char>(value & 0xFF);
        value >>= 8;
        prefix = (prefix >> 1) | 0x80;
    }
    buffer[0] = static_cast<char>(prefix | value);
}

size_t TCompactTriePacker<unsigned long>::SkipLeaf(const char* packed) {
    return NCompactTrie::PackedValueSize(static_cast<unsigned char>(packed[0]));
}

void TCompactTriePacker<unsigned long>::UnpackLeaf(const char* packed, unsigned long& value) {
    const size_t size = SkipLeaf(packed);
    const unsigned first = static_cast<unsigned char>(packed[0]);
    // For 9 bytes the first byte is all prefix; otherwise strip the size-1 ones and the zero.
    unsigned long result = size == 9 ? 0 : (first & (0x7Fu >> (size - 1)));
    for (size_t i = 1; i < size; ++i) {
        result = (result << 8) | static_cast<unsigned char>(packed[i]);
    }
    value = result;
}
