// Keys and values decoded from the input, built into a compact trie, must be found by the reader
// exactly as added (last value wins), also after minimisation, and the minimiser must accept
// every trie the builder saves.
// Input: byte 0 picks the builder flags; then records of one length byte n, n key bytes
// (UTF-16 units, high byte first), and one to eight value bytes (count from the next byte).
#include "lemmer/compiler/compact_trie_builder.h"
#include "lemmer/compiler/compact_trie_minimizer.h"
#include "util/generic/exception.h"
#include "util/stream/buffer_stream.h"
#include "util/stream/compact_trie.h"
#include "util/stream/compact_trie_packer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <vector>

namespace {

using TKey = std::vector<wchar16>;

void CheckAll(const std::vector<char>& bytes, const std::map<TKey, unsigned long>& expected) {
    TCompactTrie trie(bytes.data(), bytes.size());
    for (const auto& [key, value] : expected) {
        const char* packed = nullptr;
        if (!trie.Find(key.data(), key.size(), &packed)) {
            abort();
        }
        unsigned long got = 0;
        TCompactTriePacker<unsigned long>::UnpackLeaf(packed, got);
        if (got != value) {
            abort();
        }
        size_t prefixLen = 0;
        if (!trie.FindLongestPrefix(key.data(), key.size(), &prefixLen, &packed) ||
            prefixLen != key.size()) {
            abort();
        }
        // A key one unit longer than every stored one ends at this key or a longer stored key.
        TKey longer = key;
        longer.push_back(0xFFFF);
        if (!trie.FindLongestPrefix(longer.data(), longer.size(), &prefixLen, &packed) ||
            prefixLen < key.size()) {
            abort();
        }
        if (expected.count(longer) == 0 && trie.Find(longer.data(), longer.size(), &packed)) {
            abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool unique = data[0] & 1;
    std::map<TKey, unsigned long> expected;
    std::vector<std::pair<TKey, unsigned long>> adds;
    size_t pos = 1;
    while (pos < size) {
        const size_t n = data[pos++] % 16;
        TKey key;
        for (size_t i = 0; i < n && pos + 1 < size; ++i, pos += 2) {
            key.push_back(static_cast<wchar16>((data[pos] << 8) | data[pos + 1]));
        }
        unsigned long value = 0;
        if (pos < size) {
            const size_t width = data[pos++] % 9;
            for (size_t i = 0; i < width && pos < size; ++i) {
                value = (value << 8) | data[pos++];
            }
        }
        adds.emplace_back(std::move(key), value);
    }

    TCompactTrieBuilder<wchar16, unsigned long> builder(unique ? uint32_t(NCompactTrie::UniqueKeys)
                                                               : 0u);
    for (const auto& [key, value] : adds) {
        try {
            const bool fresh = builder.Add(key.data(), key.size(), value);
            if (fresh != (expected.count(key) == 0)) {
                abort();
            }
            expected[key] = value;
        } catch (const kexception&) {
            if (!unique || expected.count(key) == 0) {
                abort();  // only a repeated key may be refused, and only with UniqueKeys
            }
        }
    }
    TBufferOutput out;
    const uint64_t saved = builder.Save(out);
    if (saved != out.Buffer().Size()) {
        abort();
    }
    const std::vector<char> bytes(out.Buffer().Data(), out.Buffer().Data() + saved);
    CheckAll(bytes, expected);

    TBufferOutput minOut;
    const size_t written = TCompactTrieMinimizer::WriteMinimizedTree(
        minOut, bytes.data(), bytes.size(), false, TPackedValueSkipper());
    // Not necessarily smaller: a shared subtree is replaced even by a longer jump.
    if (written != minOut.Buffer().Size()) {
        abort();
    }
    const std::vector<char> small(minOut.Buffer().Data(), minOut.Buffer().Data() + written);
    CheckAll(small, expected);
    return 0;
}
