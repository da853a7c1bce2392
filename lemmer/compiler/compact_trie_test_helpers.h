// Helpers shared by the compact-trie tests of the compiler: a stream that keeps what it
// receives, building a trie from entries and longest-prefix look-ups; byte images, keys and
// whole-key look-ups come from util/stream/compact_trie_test_helpers.h.
#pragma once

#include "lemmer/compiler/compact_trie_builder.h"
#include "util/stream/compact_trie.h"
#include "util/stream/compact_trie_test_helpers.h"
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

using NCompactTrieTest::Bytes;
using NCompactTrieTest::Find;
using NCompactTrieTest::Key;

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

// (prefix length, value) of the longest prefix with a value.
inline std::optional<std::pair<size_t, unsigned long>> Longest(const TCompactTrie& trie,
                                                               const std::u16string& key) {
    size_t len = 0;
    const char* packed = nullptr;
    if (!trie.FindLongestPrefix(key.data(), key.size(), &len, &packed)) {
        return std::nullopt;
    }
    return std::make_pair(len, NCompactTrieTest::Unpack(packed));
}
}  // namespace NCompactTrieTest
