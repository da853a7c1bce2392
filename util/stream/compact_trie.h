// Reader of compact tries: read-only maps from UTF-16 keys to packed 64-bit values, held as one
// byte string that is searched in place. The lemma-frequency table and the dictionary's trie of
// word beginnings are read through it; the dictionary compiler's builder and minimiser write
// the format, which compact_trie_format.h describes.
#pragma once

#include "util/generic/exception.h"
#include "util/generic/string.h"
#include "util/stream/blob.h"

#include <cstddef>
#include <cstdint>

// A compact trie whose bytes do not match the format (a record or offset beyond the data).
class TCompactTrieError : public kexception {};

// Holds the trie bytes as a blob share, or borrows them from the caller. Look-ups never allocate
// and are safe from several threads at once. Every record, offset and value is checked against the
// data: a corrupt trie raises TCompactTrieError instead of reading beyond it. An offset or jump of
// width 0 or value 0 is the format's "nothing there" and ends a search normally.
class TCompactTrie {
public:
    // The empty trie: nothing is found.
    TCompactTrie() = default;
    // Keeps a share of the blob, so the bytes live as long as the reader. Raises
    // TCompactTrieError when the walk to the empty key's value meets corrupt data.
    explicit TCompactTrie(const TBlob& data);
    // Borrows the bytes: the caller keeps them alive and unchanged for the reader's lifetime.
    TCompactTrie(const char* data, size_t length);

    // Switches to other bytes and looks up the empty key's value again. The new blob is
    // shared before the old one is released, so a trie may be re-initialised from itself.
    // When the new bytes are corrupt it raises TCompactTrieError and keeps its old bytes.
    void Init(const TBlob& data);
    void Init(const char* data, size_t length);

    // True when the key or one of its prefixes, the empty one included, has a value; then
    // `prefixLen` is the length in units of the longest such prefix and `value` points at its
    // packed value inside the data. `prefixLen` is always written (0 when nothing is found),
    // `value` only on success. A null key counts as empty.
    bool FindLongestPrefix(const wchar16* key, size_t keyLen, size_t* prefixLen,
                           const char** value) const;

    // Whole-key look-up: true when exactly this key has a value; `value` is written only then.
    bool Find(const wchar16* key, size_t keyLen, const char** value) const;

    const char* Data() const { return Data_; }
    size_t Length() const { return Length_; }
    // The packed value of the empty key, or null.
    const char* EmptyValue() const { return EmptyValue_; }

private:
    struct TMatch;
    bool SearchByte(size_t pos, unsigned char byte, TMatch* match) const;
    size_t FollowOffset(size_t from, const char* field, size_t width) const;
    size_t FollowOffset(size_t from, uint64_t offset) const;
    void NeedBytes(size_t pos, size_t count, const char* what) const;

    TBlob Blob_;
    const char* Data_ = nullptr;
    size_t Length_ = 0;
    const char* EmptyValue_ = nullptr;
};
