// Arbitrary bytes read as a compact trie: look-ups raise TCompactTrieError or answer without
// reading outside the data, the two look-ups agree, and the minimiser either refuses the bytes
// with TCompactTrieError or writes a trie that answers every probe as the input does.
// Input: byte 0 = length L of the probe key bytes that follow (UTF-16, high byte first), the rest
// is the trie.
#include "lemmer/compiler/compact_trie_minimizer.h"
#include "util/generic/exception.h"
#include "util/stream/buffer_stream.h"
#include "util/stream/compact_trie.h"
#include "util/stream/compact_trie_packer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct TAnswer {
    bool Found = false;
    size_t PrefixLen = 0;
    std::vector<char> Value;
    bool Failed = false;
};

std::vector<char> ValueBytes(const TCompactTrie& trie, const char* value) {
    const size_t size = NCompactTrie::PackedValueSize(static_cast<unsigned char>(*value));
    if (value < trie.Data() || value + size > trie.Data() + trie.Length()) {
        abort();  // a value pointer must lie inside the data with its whole length
    }
    return std::vector<char>(value, value + size);
}

// The longest-prefix answer for every prefix of the key, checked against whole-key look-ups.
std::vector<TAnswer> Probe(const TCompactTrie& trie, const std::vector<wchar16>& key) {
    std::vector<TAnswer> answers;
    for (size_t len = 0; len <= key.size(); ++len) {
        TAnswer a;
        try {
            const char* value = nullptr;
            a.Found = trie.FindLongestPrefix(key.data(), len, &a.PrefixLen, &value);
            if (a.Found) {
                if (a.PrefixLen > len) {
                    abort();
                }
                a.Value = ValueBytes(trie, value);
                const char* exact = nullptr;
                if (!trie.Find(key.data(), a.PrefixLen, &exact) || exact != value) {
                    abort();  // the longest prefix found must be found as a whole key
                }
            } else if (a.PrefixLen != 0) {
                abort();
            }
            const char* whole = nullptr;
            if (trie.Find(key.data(), len, &whole) && (!a.Found || a.PrefixLen != len)) {
                abort();  // a whole key that has a value is its own longest prefix
            }
        } catch (const TCompactTrieError&) {
            a = TAnswer();
            a.Failed = true;
        }
        answers.push_back(std::move(a));
    }
    return answers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    size_t keyBytes = data[0];
    if (keyBytes > size - 1) {
        keyBytes = size - 1;
    }
    std::vector<wchar16> key;
    for (size_t i = 0; i + 1 < keyBytes; i += 2) {
        key.push_back(static_cast<wchar16>((data[1 + i] << 8) | data[2 + i]));
    }
    // A private copy of exactly the trie bytes, so ASan sees any read past them.
    const size_t trieLen = size - 1 - keyBytes;
    std::vector<char> bytes(data + 1 + keyBytes, data + size);

    std::vector<TAnswer> before;
    try {
        TCompactTrie trie(bytes.data(), trieLen);
        before = Probe(trie, key);
    } catch (const TCompactTrieError&) {
        return 0;
    }

    TBufferOutput out;
    size_t written = 0;
    try {
        written = TCompactTrieMinimizer::WriteMinimizedTree(out, bytes.data(), trieLen, false,
                                                            TPackedValueSkipper());
    } catch (const TCompactTrieError&) {
        if (out.Buffer().Size() != 0) {
            abort();  // a refused trie writes nothing
        }
        return 0;
    }
    if (written != out.Buffer().Size()) {
        abort();
    }
    std::vector<char> minimised(out.Buffer().Data(), out.Buffer().Data() + written);
    TCompactTrie small(minimised.data(), minimised.size());
    const std::vector<TAnswer> after = Probe(small, key);
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i].Failed || after[i].Failed || before[i].Found != after[i].Found ||
            before[i].PrefixLen != after[i].PrefixLen || before[i].Value != after[i].Value) {
            abort();  // an accepted trie must be well formed and keep its answers
        }
    }
    return 0;
}
