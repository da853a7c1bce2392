// The charset-name map.
#include "util/charset/charset_names.h"

#include "util/system/singleton.h"

#include <cstdio>
#include <cstring>

namespace {

// Bucket counts; the map grows to the first prime not below its key count.
const uint64_t PRIMES[] = {
    7,         17,        29,        53,        97,         193,        389,        769,
    1543,      3079,      6151,      12289,     24593,      49157,      98317,      196613,
    393241,    786433,    1572869,   3145739,   6291469,    12582917,   25165843,   50331653,
    100663319, 201326611, 402653189, 805306457, 1610612741, 3221225473, 4294967291,
};

uint64_t BucketCountFor(uint64_t n) {
    for (uint64_t prime : PRIMES) {
        if (prime >= n) {
            return prime;
        }
    }
    return PRIMES[sizeof(PRIMES) / sizeof(PRIMES[0]) - 1];
}

uint64_t HashUnder(const uint8_t* lower, const char* s, size_t length) {
    uint64_t h = length;
    for (size_t i = 0; i < length; ++i) {
        h = h * 5 + lower[static_cast<uint8_t>(s[i])];
    }
    return h;
}

bool EqualUnder(const uint8_t* lower, const char* a, size_t aLength, const char* b,
                size_t bLength) {
    if (aLength != bLength) {
        return false;
    }
    for (size_t i = 0; i < aLength; ++i) {
        if (lower[static_cast<uint8_t>(a[i])] != lower[static_cast<uint8_t>(b[i])]) {
            return false;
        }
    }
    return true;
}

Stroka Replaced(const Stroka& key, char from, char to) {
    Stroka result;
    for (char c : key) {
        if (c != from) {
            result.append(&c, 1);
        } else if (to) {
            result.append(&to, 1);
        }
    }
    return result;
}

Stroka WithoutSeparators(const Stroka& key) {
    return Replaced(Replaced(key, '-', 0), '_', 0);
}

}  // namespace

uint64_t CodePageHash(const CodePage& page, const char* s, size_t length) {
    return HashUnder(CodePageLowerTable(page.Code), s, length);
}

CharsetNameMap::CharsetNameMap() : Lower_(CodePageLowerTable(CODES_KORVEL)), Buckets_(7) {
    const CodePageRegistry& registry = CodePageRegistry::Instance();
    for (ECharset code = 0; code < CODES_MAX; ++code) {
        char decimal[16];
        std::snprintf(decimal, sizeof(decimal), "%d", code);
        AddWithVariants(Stroka(decimal), code);
        const CodePage& page = registry[code];
        for (size_t i = 0; i < CODEPAGE_NAME_SLOTS && page.Names[i] && *page.Names[i]; ++i) {
            const Stroka name(page.Names[i]);
            AddWithVariants(name, code);
            Stroka prefixed("x-");
            prefixed.append(name.data(), name.size());
            AddWithVariants(prefixed, code);
        }
    }
}

const CharsetNameMap& CharsetNameMap::Instance() {
    return *Singleton<CharsetNameMap>();
}

void CharsetNameMap::AddWithVariants(const Stroka& key, ECharset code) {
    Insert(key, code);
    Insert(WithoutSeparators(key), code);
    Insert(Replaced(key, '-', '_'), code);
    Insert(Replaced(key, '_', '-'), code);
}

// The first insertion of a key wins.
void CharsetNameMap::Insert(const Stroka& key, ECharset code) {
    if (Lookup(key.data(), key.size())) {
        return;
    }
    Reserve(Count_ + 1);
    Buckets_[HashUnder(Lower_, key.data(), key.size()) % Buckets_.size()].push_back({key, code});
    ++Count_;
}

void CharsetNameMap::Reserve(size_t count) {
    if (count <= Buckets_.size()) {
        return;
    }
    const uint64_t newCount = BucketCountFor(count);
    if (newCount <= Buckets_.size()) {
        return;
    }
    std::vector<std::vector<TNode>> buckets(newCount);
    for (std::vector<TNode>& bucket : Buckets_) {
        for (TNode& node : bucket) {
            const uint64_t h = HashUnder(Lower_, node.Key.data(), node.Key.size());
            buckets[h % newCount].push_back(std::move(node));
        }
    }
    Buckets_.swap(buckets);
}

const CharsetNameMap::TNode* CharsetNameMap::Lookup(const char* key, size_t length) const {
    const std::vector<TNode>& bucket = Buckets_[HashUnder(Lower_, key, length) % Buckets_.size()];
    for (const TNode& node : bucket) {
        if (EqualUnder(Lower_, node.Key.data(), node.Key.size(), key, length)) {
            return &node;
        }
    }
    return nullptr;
}

ECharset CharsetNameMap::Find(const char* name) const {
    if (!name) {
        return CODES_UNKNOWN;
    }
    const TNode* node = Lookup(name, std::strlen(name));
    return node ? node->Code : CODES_UNKNOWN;
}

ECharset CharsetByName(const char* name) {
    return CharsetNameMap::Instance().Find(name);
}
