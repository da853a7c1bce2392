// Reading a dictionary from its binary form. The stream has eight parts, all numbers
// little-endian, no header and no checksum:
//     1 endings      u16 E; E x (prefix UTF-16 + 0 unit, ending backwards UTF-16 + 0 unit,
//                    form grammar bytes + 0)
//     2 rules        u16 R; u16 rare-rule threshold; R x (u32 L, L bytes)
//     3 ending tree  u32 node count; 12-byte nodes
//     4 alphabet     the 66312 bytes of TAlphabetTupleCodec
//     5 stem blocks  N^T marker bytes ('1' a block follows, anything else an empty slot); per
//                    block u32 K, K u64 nodes, u32 M, M u16 rule ids
//     6 ending lists u16 count; per list u32 Q, Q u16 ending ids
//     7 format byte  1
//     8 prefix trie  u32 B; B bytes of a compact trie
// dictionary_writer.h writes the same form.
#pragma once

#include "lemmer/dictionary/dictionary.h"
#include "util/generic/memory_pool.h"
#include "util/stream/input.h"

namespace NByk {

// Reads parts 1 to 8 and checks each part against those before it (dictionary_check.h), so
// that a dictionary that loads can never make the matcher read outside its tables. Every table
// is taken from `pool`; the dictionary keeps pointers into it and must not outlive it. Bytes
// after part 8 are not read.
//
// On success the dictionary (which must be empty) receives the tables; on failure it stays
// empty and what was taken from the pool stays there until the pool goes. Raises TLoadEOF "can
// not load pod type(size, got bytes)" or "can not load pod array(expected, got bytes)" for a
// stream that ends inside a value or an array (the prefix trie included), NByk::TLoadError with
// an empty message for a stream that ends inside a text of part 1 or for a format byte other
// than 1 (a missing byte counts as 0), and NByk::TLoadError with what is wrong for tables that
// do not fit together; the pool's std::bad_alloc passes through.
//
// ELoadChecks::None leaves out the checks but the alphabet's (which sizes part 5): for bytes
// known to be sound, such as the embedded dictionary's, which the build checked before it packed
// them (tools/dictionary_check).
enum class ELoadChecks { EachPart, None };
void LoadDictionary(TDictionary& dictionary, TInputStream& in, TMemoryPool& pool,
                    ELoadChecks checks = ELoadChecks::EachPart);

}  // namespace NByk
