// Reading the data sets stored inside the executable as base64 text of compressed data.
//
// A data set is a run of records 16001 bytes apart, each holding one NUL-terminated chunk of
// standard base64 text: 16000 characters (12000 decoded bytes) in every chunk but the last,
// which is shorter and a multiple of 4, then a record with the empty text. The decoded chunks,
// concatenated, form one zlib stream or gzip member (or several back to back). The build
// generates the records and an accessor function for each data set (tools/packer, CMake
// function lemmix_embed_data):
//     const char* GetLemmaFrequencyChunk(uint64_t index);
//     const TBlob* table = GetCompressedStaticData<GetLemmaFrequencyChunk>();
#pragma once

#include "util/stream/blob.h"
#include "util/stream/input.h"
#include "util/stream/zlib.h"
#include "util/system/singleton.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// The layout of a data set: characters of a full chunk (12000 decoded bytes) and the distance
// between the starts of two records.
inline constexpr size_t EmbeddedChunkChars = 16000;
inline constexpr size_t EmbeddedChunkBytes = EmbeddedChunkChars / 4 * 3;
inline constexpr size_t EmbeddedRecordSize = EmbeddedChunkChars + 1;

// Gives the NUL-terminated text of chunk `index`; the empty text or null after the last chunk.
using TChunkAccessor = const char* (*)(uint64_t index);

// The decoded bytes of a data set's chunks, one chunk held at a time in a buffer that grows to
// the longest chunk met and is reused. A read crosses chunk boundaries as needed and returns less
// than asked only at the end of the data set. A chunk whose length is not a multiple of 4 raises
// kexception "incorrect input length for base64 decode" from the read that reaches it. One
// reader at a time; never rewound.
class TStringDataInputStream : public TInputStream {
public:
    // `capacity`: the initial buffer size in bytes (12000 holds any chunk; 0 is allowed).
    explicit TStringDataInputStream(TChunkAccessor accessor, size_t capacity = 0);
    ~TStringDataInputStream() override;

protected:
    size_t DoRead(void* buffer, size_t length) override;

private:
    // Decodes the next chunk into the buffer; false at the end of the data set.
    bool NextChunk();

    TChunkAccessor Accessor_;
    size_t Capacity_;
    std::unique_ptr<char[]> Buffer_;
    uint64_t NextIndex_ = 0;
    size_t Length_ = 0;
    size_t Position_ = 0;
};

namespace TCompressedStaticData {

// The inflated bytes of a data set: a TStringDataInputStream behind a TZLibDecompress with
// automatic zlib/gzip detection and an 8192-byte input buffer. Raises what those raise
// (TZLibDecompressorError for corrupt or cut compressed data).
class TDataInputStream : public TInputStream {
public:
    explicit TDataInputStream(TChunkAccessor accessor, size_t capacity = 0);
    ~TDataInputStream() override;

protected:
    size_t DoRead(void* buffer, size_t length) override;

private:
    TStringDataInputStream Source_;
    TZLibDecompress Decompressor_;
};

}  // namespace TCompressedStaticData

// A new inflating stream over the data set; the caller owns it.
TCompressedStaticData::TDataInputStream* CreateCompressedStaticDataStream(TChunkAccessor accessor);

// The whole inflated data set in one blob.
TBlob ReadCompressedStaticData(TChunkAccessor accessor);

namespace NPrivate {
// The process-wide inflated copy of one data set.
template <TChunkAccessor Accessor>
struct TCompressedStaticDataBlob {
    TBlob Blob = ReadCompressedStaticData(Accessor);
};
}  // namespace NPrivate

// The data set inflated once per process on first use and shared read-only afterwards; the
// at-exit registry releases it. Thread-safe: later callers wait while the first one builds it.
// When building fails the error goes to the caller and a later call tries again.
template <TChunkAccessor Accessor>
const TBlob* GetCompressedStaticData() {
    return &Singleton<NPrivate::TCompressedStaticDataBlob<Accessor>>()->Blob;
}
