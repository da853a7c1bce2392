// Writing a compressed data set as the embedded data container: base64 chunks in records
// 16001 bytes apart, ended by an empty record, as a C++ source file that defines the data set's
// chunk accessor (read back by TStringDataInputStream, util/stream/embedded_data.h).
#pragma once

#include "util/generic/string.h"
#include "util/stream/output.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The base64 chunks of the bytes: 16000 characters each, the last one shorter (a multiple of 4,
// padded when the length is not a multiple of 3). No chunk for an empty input.
std::vector<Stroka> SplitIntoChunks(const char* data, size_t length);

// True when the bytes start like a zlib stream or a gzip member.
bool LooksCompressed(const char* data, size_t length) noexcept;

// True for a C++ identifier (letters, digits and '_', not starting with a digit).
bool IsIdentifier(const Stroka& name) noexcept;

// What the compressed bytes inflate to: the size, the MD5 (32 lower-case hexadecimal digits) and
// zlib's CRC-32 of the inflated data. Raises on corrupt or cut data.
struct TInflatedDigest {
    uint64_t Size = 0;
    Stroka Md5;
    uint32_t Crc32 = 0;
};
TInflatedDigest DigestInflated(const char* data, size_t length);

// Writes the source that defines `const char* <symbol>(uint64_t index)`: the text of chunk
// `index`, the empty text for the record after the last chunk, null past it; and
// `uint64_t <symbol>InflatedSize()`, `const char* <symbol>InflatedMd5()` and
// `uint32_t <symbol>InflatedCrc32()`, the digest, so that a reader need not hash bytes that never
// change (the CRC-32 is what zlib computes anyway as it inflates gzip members, so comparing it
// costs no pass over the bytes). `about` lines go into the opening comment.
void WriteEmbeddedSource(TOutputStream& out, const Stroka& symbol, const std::vector<Stroka>& about,
                         const std::vector<Stroka>& chunks, const TInflatedDigest& digest);
