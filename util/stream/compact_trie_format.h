// The compact-trie byte format, in one place: the reader (compact_trie.h) and the dictionary
// compiler's builder and minimiser all encode and decode through these functions.
//
// All integers are big-endian, nothing is aligned. Every UTF-16 unit of a key is two key bytes,
// high byte first; the empty key is the single byte 0x00. One arc record per key byte:
//
//     flags | label | left offset | right offset | [packed value] | [next node's region]
//
// flags: 0x80 a packed value follows, 0x40 the region of the next node follows, bits 5-3 and
// 2-0 the widths in bytes of the left and right offsets. An offset is the distance from the
// flags byte to the region of the smaller (left) or greater (right) sibling labels; width 0 or
// value 0 means none. A byte below 0x40 where a record is expected is a jump: bits 2-0 give the
// width of an offset, measured from the jump byte, to the region meant.
#pragma once

#include <cstddef>
#include <cstdint>

namespace NCompactTrie {
constexpr unsigned kHasValue = 0x80;
constexpr unsigned kHasForward = 0x40;
// Flags below this mark a jump record.
constexpr unsigned kFirstArcFlags = 0x40;

// The longest arc header (flags, label, two 8-byte offsets) and jump record.
constexpr size_t kMaxArcHeaderSize = 2 + 8 + 8;
constexpr size_t kMaxJumpSize = 1 + 8;

inline bool IsJump(unsigned char flags) {
    return flags < kFirstArcFlags;
}

// Number of bytes an offset takes: 0 for 0, else the count of its significant bytes (1-8).
size_t PackedIntSize(uint64_t value);

// Writes the low `size` bytes of `value` to `out`, most significant first; returns `size`.
size_t PackIntBigEndian(uint64_t value, size_t size, char* out);

// Reads a `size`-byte big-endian integer (size 0 gives 0).
uint64_t UnpackIntBigEndian(const char* data, size_t size);

// Length (1 to 9) of the packed value whose first byte is `first`: 1 plus the number of its
// leading one bits.
size_t PackedValueSize(unsigned char first);

// The fixed part of an arc record: everything before its value.
struct TArcHeader {
    bool HasValue = false;
    bool HasForward = false;
    unsigned char Label = 0;
    uint64_t Left = 0;   // from the flags byte; 0 = no smaller siblings
    uint64_t Right = 0;  // from the flags byte; 0 = no greater siblings
    size_t Size = 0;     // bytes of flags, label and both offsets
};

// Size of the arc header that starts with `flags` (not a jump).
inline size_t ArcHeaderSize(unsigned char flags) {
    return 2 + ((flags >> 3) & 7) + (flags & 7);
}

// REQUIRES: data[0] is not a jump and data holds ArcHeaderSize(data[0]) bytes.
TArcHeader DecodeArcHeader(const char* data);

// Writes the header with the narrowest offsets (arc.Size is not read) to `out`, which holds
// kMaxArcHeaderSize bytes; returns its size.
size_t EncodeArcHeader(const TArcHeader& arc, char* out);

// Width of the offset of the jump record that starts with `flags`.
inline size_t JumpWidth(unsigned char flags) {
    return flags & 7;
}

// Writes a jump record whose offset, from the jump byte, is `distance` to `out`, which holds
// kMaxJumpSize bytes; returns its size.
size_t EncodeJump(uint64_t distance, char* out);

// An offset's width is part of the distance it measures. Returns the smallest size s of a
// stretch of bytes made of `fixed` bytes and `count` offsets, each measured from the stretch's
// start, whose i-th target lies beyond[i] bytes after the stretch's end (so the offset is
// s + beyond[i]).
uint64_t SolveRecordSize(uint64_t fixed, const uint64_t* beyond, size_t count);

// Size of the jump record whose target lies `beyond` bytes after the record's end.
size_t SolveJumpSize(uint64_t beyond);
}  // namespace NCompactTrie
