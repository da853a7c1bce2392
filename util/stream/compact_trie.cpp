// Look-ups in compact tries, with every access checked against the data.
#include "util/stream/compact_trie.h"

#include "util/stream/compact_trie_format.h"

#include <utility>

struct TCompactTrie::TMatch {
    bool HasValue = false;
    bool HasNext = false;
    size_t Value = 0;  // position of the packed value
    size_t Next = 0;   // position of the next node's region
};

TCompactTrie::TCompactTrie(const TBlob& data) {
    Init(data);
}

TCompactTrie::TCompactTrie(const char* data, size_t length) {
    Init(data, length);
}

void TCompactTrie::Init(const TBlob& data) {
    // Built aside and taken over only once the walk succeeded: a corrupt trie raises and
    // leaves this reader on its old bytes, which it still holds.
    TCompactTrie fresh(static_cast<const char*>(data.Data()), data.Length());
    fresh.Blob_ = data;
    *this = std::move(fresh);
}

void TCompactTrie::Init(const char* data, size_t length) {
    TCompactTrie fresh;
    fresh.Data_ = length ? data : nullptr;
    fresh.Length_ = data ? length : 0;
    TMatch match;
    // 0x00 is the smallest byte, so this walk only ever takes left offsets and jumps.
    if (fresh.Length_ && fresh.SearchByte(0, 0x00, &match) && match.HasValue) {
        fresh.EmptyValue_ = fresh.Data_ + match.Value;
    }
    *this = std::move(fresh);
}

void TCompactTrie::NeedBytes(size_t pos, size_t count, const char* what) const {
    if (pos > Length_ || count > Length_ - pos) {
        throw TCompactTrieError() << "corrupt compact trie: " << what << " at " << pos
                                  << " runs past the end of the data (" << Length_ << " bytes)";
    }
}

// Returns the target of an offset field read from `field`, 0 for the format's "no target".
size_t TCompactTrie::FollowOffset(size_t from, const char* field, size_t width) const {
    return FollowOffset(from, NCompactTrie::UnpackIntBigEndian(field, width));
}

size_t TCompactTrie::FollowOffset(size_t from, uint64_t offset) const {
    if (offset == 0) {
        return 0;
    }
    if (offset >= Length_ - from) {
        throw TCompactTrieError() << "corrupt compact trie: offset " << offset << " at " << from
                                  << " points past the end of the data (" << Length_ << " bytes)";
    }
    return from + offset;
}

bool TCompactTrie::SearchByte(size_t pos, unsigned char byte, TMatch* match) const {
    using namespace NCompactTrie;
    for (;;) {
        NeedBytes(pos, 1, "record");
        const auto flags = static_cast<unsigned char>(Data_[pos]);
        if (IsJump(flags)) {
            const size_t width = JumpWidth(flags);
            NeedBytes(pos + 1, width, "jump offset");
            const size_t target = FollowOffset(pos, Data_ + pos + 1, width);
            if (!target) {
                return false;
            }
            pos = target;
            continue;
        }
        NeedBytes(pos, ArcHeaderSize(flags), "arc record");
        const TArcHeader arc = DecodeArcHeader(Data_ + pos);
        if (byte != arc.Label) {
            const size_t target = FollowOffset(pos, byte < arc.Label ? arc.Left : arc.Right);
            if (!target) {
                return false;
            }
            pos = target;
            continue;
        }
        size_t next = pos + arc.Size;
        match->HasValue = arc.HasValue;
        match->HasNext = arc.HasForward;
        if (match->HasValue) {
            NeedBytes(next, 1, "value");
            const size_t size = PackedValueSize(static_cast<unsigned char>(Data_[next]));
            NeedBytes(next, size, "value");
            match->Value = next;
            next += size;
        }
        // A following region is never empty; the next search checks that it starts inside.
        match->Next = next;
        return true;
    }
}

bool TCompactTrie::FindLongestPrefix(const wchar16* key, size_t keyLen, size_t* prefixLen,
                                     const char** value) const {
    *prefixLen = 0;
    bool found = false;
    if (EmptyValue_) {
        *value = EmptyValue_;
        found = true;
    }
    if (!key || !keyLen || !Length_) {
        return found;
    }
    size_t pos = 0;
    for (size_t i = 0; i < keyLen; ++i) {
        const unsigned unit = key[i];
        const unsigned char bytes[2] = {static_cast<unsigned char>(unit >> 8),
                                        static_cast<unsigned char>(unit & 0xFF)};
        for (size_t half = 0; half < 2; ++half) {
            TMatch match;
            if (!SearchByte(pos, bytes[half], &match)) {
                return found;
            }
            // A key ends after a whole unit; the only value on a high byte is the empty key's,
            // which stands for the prefix of length 0 and was taken above.
            if (match.HasValue && half == 1) {
                *prefixLen = i + 1;
                *value = Data_ + match.Value;
                found = true;
                if (i + 1 == keyLen) {
                    return true;
                }
            }
            if (!match.HasNext) {
                return found;
            }
            pos = match.Next;
        }
    }
    return found;
}

bool TCompactTrie::Find(const wchar16* key, size_t keyLen, const char** value) const {
    size_t prefixLen = 0;
    const char* found = nullptr;
    if (!FindLongestPrefix(key, keyLen, &prefixLen, &found) || prefixLen != (key ? keyLen : 0)) {
        return false;
    }
    *value = found;
    return true;
}
