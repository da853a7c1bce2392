// Encoding and decoding of compact-trie records and their integers.
#include "util/stream/compact_trie_format.h"

#include <cassert>

namespace NCompactTrie {
namespace {
struct TPackedValueSizes {
    unsigned char Size[256];

    constexpr TPackedValueSizes() : Size() {
        for (unsigned first = 0; first < 256; ++first) {
            unsigned ones = 0;
            while (ones < 8 && (first & (0x80u >> ones))) {
                ++ones;
            }
            Size[first] = static_cast<unsigned char>(ones + 1);
        }
    }
};

constexpr TPackedValueSizes kPackedValueSizes;
}  // namespace

size_t PackedIntSize(uint64_t value) {
    size_t size = 0;
    while (value) {
        ++size;
        value >>= 8;
    }
    return size;
}

size_t PackIntBigEndian(uint64_t value, size_t size, char* out) {
    for (size_t i = size; i > 0; --i) {
        out[i - 1] = static_cast<char>(value & 0xFF);
        value >>= 8;
    }
    return size;
}

uint64_t UnpackIntBigEndian(const char* data, size_t size) {
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i) {
        value = (value << 8) | static_cast<unsigned char>(data[i]);
    }
    return value;
}

size_t PackedValueSize(unsigned char first) {
    return kPackedValueSizes.Size[first];
}

TArcHeader DecodeArcHeader(const char* data) {
    const auto flags = static_cast<unsigned char>(data[0]);
    assert(!IsJump(flags));
    const size_t leftWidth = (flags >> 3) & 7;
    const size_t rightWidth = flags & 7;
    TArcHeader arc;
    arc.HasValue = flags & kHasValue;
    arc.HasForward = flags & kHasForward;
    arc.Label = static_cast<unsigned char>(data[1]);
    arc.Left = UnpackIntBigEndian(data + 2, leftWidth);
    arc.Right = UnpackIntBigEndian(data + 2 + leftWidth, rightWidth);
    arc.Size = 2 + leftWidth + rightWidth;
    return arc;
}

size_t EncodeArcHeader(const TArcHeader& arc, char* out) {
    const size_t leftWidth = PackedIntSize(arc.Left);
    const size_t rightWidth = PackedIntSize(arc.Right);
    // Widths of 8 would not fit their three bits; no trie reaches 2^56 bytes.
    assert(leftWidth < 8 && rightWidth < 8);
    out[0] = static_cast<char>((arc.HasValue ? kHasValue : 0) | (arc.HasForward ? kHasForward : 0) |
                               (leftWidth << 3) | rightWidth);
    out[1] = static_cast<char>(arc.Label);
    size_t size = 2;
    size += PackIntBigEndian(arc.Left, leftWidth, out + size);
    size += PackIntBigEndian(arc.Right, rightWidth, out + size);
    return size;
}

size_t EncodeJump(uint64_t distance, char* out) {
    const size_t width = PackedIntSize(distance);
    assert(width < 8);
    out[0] = static_cast<char>(width);
    return 1 + PackIntBigEndian(distance, width, out + 1);
}

uint64_t SolveRecordSize(uint64_t fixed, const uint64_t* beyond, size_t count) {
    // Widths only grow with the size, so iterating from the smallest size reaches the least
    // size that agrees with its own offsets; there are at most 8 widths per offset to pass.
    uint64_t size = fixed;
    for (;;) {
        uint64_t next = fixed;
        for (size_t i = 0; i < count; ++i) {
            next += PackedIntSize(size + beyond[i]);
        }
        if (next == size) {
            return size;
        }
        size = next;
    }
}

size_t SolveJumpSize(uint64_t beyond) {
    return static_cast<size_t>(SolveRecordSize(1, &beyond, 1));
}
}  // namespace NCompactTrie
