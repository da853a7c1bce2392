// The packed bytes of one rule: a paradigm seen from one of its stems. Layout (n variants):
//     0 n | 1 k (the variant this rule's stem is) | 2 minimum depth | 3 cut
//     4       n x u16 ending-list index per variant
//     4+2n    n x u8 letter count per variant (wordform generation)
//     4+3n    n x u16 end offset of texts 0 .. n-1
//     4+5n    u16 offset of the common grammar (= end of text n)
//     6+5n    u8 length of the common grammar
//     7+5n    texts 0 .. n (UTF-16, unterminated): text 0 is the lemma's ending, text i+1 the
//             stem tail of variant i
//     then    the common grammar and a 0 byte, which end the record
// Offsets count bytes from the record's start; u16 fields may be unaligned, so they are read
// through memcpy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace NByk::NRule {

inline uint16_t ReadU16(const unsigned char* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

inline uint32_t Variants(const unsigned char* r) {
    return r[0];
}
inline uint32_t Variant(const unsigned char* r) {
    return r[1];
}
inline uint32_t MinDepth(const unsigned char* r) {
    return r[2];
}
inline uint32_t Cut(const unsigned char* r) {
    return r[3];
}
inline uint16_t EndingListIndex(const unsigned char* r, uint32_t variant) {
    return ReadU16(r + 4 + 2 * variant);
}
inline uint16_t TextEnd(const unsigned char* r, uint32_t text) {
    return ReadU16(r + 4 + 3 * Variants(r) + 2 * text);
}
inline uint32_t TextsBegin(const unsigned char* r) {
    return 7 + 5 * Variants(r);
}
inline uint16_t GrammarOffset(const unsigned char* r) {
    return ReadU16(r + 4 + 5 * Variants(r));
}
inline uint32_t GrammarLength(const unsigned char* r) {
    return r[6 + 5 * Variants(r)];
}

// The smallest record: one variant, no texts, an empty grammar.
inline constexpr uint64_t MinLength = 13;
// The largest a record can describe: grammar offset 65535, a 255-byte grammar and its 0.
inline constexpr uint64_t MaxLength = 65535 + 255 + 1;

// Null when the record is sound, else what is wrong with it. Checks everything a reader relies
// on: the header fits, k < n, texts and grammar lie in order inside the record, the grammar's 0
// ends it, and every ending-list index is below `listCount`.
const char* CheckRecord(const unsigned char* r, uint64_t length, uint32_t listCount);

}  // namespace NByk::NRule
