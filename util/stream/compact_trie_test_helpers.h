// Helpers shared by the tests of compact tries (the reader here, the builder and minimiser of
// the dictionary compiler): byte images written by hand, ASCII keys as UTF-16, and whole-key
// look-ups with the value unpacked.
#pragma once

#include "util/stream/compact_trie.h"
#include "util/stream/compact_trie_packer.h"

#include <initializer_list>
#include <optional>
#include <string>

namespace NCompactTrieTest {
inline std::string Bytes(std::initializer_list<unsigned> bytes) {
    std::string s;
    for (unsigned b : bytes) {
        s.push_back(static_cast<char>(b));
    }
    return s;
}

inline std::u16string Key(const char* ascii) {
    std::u16string key;
    for (const char* p = ascii; *p; ++p) {
        key.push_back(static_cast<char16_t>(static_cast<unsigned char>(*p)));
    }
    return key;
}

inline unsigned long Unpack(const char* packed) {
    unsigned long value = 0;
    TCompactTriePacker<unsigned long>::UnpackLeaf(packed, value);
    return value;
}

inline std::optional<unsigned long> Find(const TCompactTrie& trie, const std::u16string& key) {
    const char* packed = nullptr;
    if (!trie.Find(key.data(), key.size(), &packed)) {
        return std::nullopt;
    }
    return Unpack(packed);
}
}  // namespace NCompactTrieTest
