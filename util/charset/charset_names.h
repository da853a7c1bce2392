// Charset names: the charset code of an encoding name, as a user types it on the command line
// or as it is found in data.
//
// Every name and alias of the code-page table is a key, also with the prefix "x-", and each of
// these also with every '-' and '_' removed, with '-' turned into '_' and with '_' turned into
// '-'; the decimal text of each code is a key too. Keys match without regard to case (under
// the case table of code 9). Nothing is trimmed at lookup time.
#pragma once

#include "util/charset/codepage.h"
#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The case-insensitive hash of a name under a code page's lower-case table: h starts as the
// length, then h = h * 5 + lower(c) for each byte.
uint64_t CodePageHash(const CodePage& page, const char* s, size_t length);

// The process-wide name map. Built on first use; read-only and thread-safe afterwards.
class CharsetNameMap {
public:
    CharsetNameMap();

    static const CharsetNameMap& Instance();

    // The code of `name`, CODES_UNKNOWN when it is not a key.
    ECharset Find(const char* name) const;

    size_t Size() const noexcept { return Count_; }
    size_t BucketCount() const noexcept { return Buckets_.size(); }

private:
    struct TNode {
        Stroka Key;
        ECharset Code;
    };

    void AddWithVariants(const Stroka& key, ECharset code);
    void Insert(const Stroka& key, ECharset code);
    const TNode* Lookup(const char* key, size_t length) const;
    void Reserve(size_t count);

    const uint8_t* Lower_;
    size_t Count_ = 0;
    std::vector<std::vector<TNode>> Buckets_;
};

// The charset code of a name; CODES_UNKNOWN (-1) for a null pointer or a name not in the map.
ECharset CharsetByName(const char* name);
