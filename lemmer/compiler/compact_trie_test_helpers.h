// Helpers shared by the compact-trie tests: a stream that keeps what it receives, byte images
// and ASCII keys.
#pragma once

#include "lemmer/compiler/compact_trie_builder.h"
#include "util/stream/compact_trie.h"
#include "util/stream/output.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace NCompactTrieTest {
// Keeps every byte written and counts the write calls.
class TStringSink : public TOutputStream {
public:
    std::string Data;
    size_t Writes = 0;
    size_t Flushes = 0;

protected:
    void DoWrite(const void* data, size_t length) override {
        Data.append(static_cast<const char*>(data), length);
        ++Writes;
    }
    void DoFlush() override { ++Flushes; }
};

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

using TBuilder = TCompactTrieBuilder<wchar16, unsigned long>;
using TEntries = std::vector<std::pair<std::u16string, unsigned long>>;

inline std::string Build(const TEntries& entries, uint32_t flags = 0) {
    TBuilder builder(flags);
    for (const auto& [key, value] : entries) {
        builder.Add(key.data(), key.size(), value);
    }
    TStringSink out;
    const uint64_t size = builder.Save(out);
    EXPECT_EQ(out.Data.size(), size);
    return out.Data;
}

inline std::optional<unsigned long> Find(const TCompactTrie& trie, const std::u16string& key) {
    const char* packed = nullptr;
    if (!trie.Find(key.data(), key.size(), &packed)) {
        return std::nullopt;
    }
    unsigned long value = 0;
    TCompactTriePacker<unsigned long>::UnpackLeaf(packed, value);
    return value;
}

// (prefix length, value) of the longest prefix with a value.
inline std::optional<std::pair<size_t, unsigned long>> Longest(const TCompactTrie& trie,
                                                               const std::u16string& key) {
    size_t len = 0;
    const char* packed = nullptr;
    if (!trie.FindLongestPrefix(key.data(), key.size(), &len, &packed)) {
        return std::nullopt;
    }
    unsigned long value = 0;
    TCompactTriePacker<unsigned long>::UnpackLeaf(packed, value);
    return std::make_pair(len, value);
}
}  // namespace NCompactTrieTest
