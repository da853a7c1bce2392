// Streams over zlib: TZLibDecompress inflates what it reads from a slave stream, TZLibCompress
// deflates what is written to it into a slave stream.
//
// Both embedded data sets of the analyser are inflated through TZLibDecompress with automatic
// detection, which reads zlib streams and gzip members, and any run of them back to back, as
// one data set:
//     TZLibDecompress in(&source);            // EZLibStreamType::Auto, 8192-byte buffer
//     in.ReadAll();
// The compressor writes one zlib, gzip or raw deflate stream:
//     TZLibCompress out(&sink, EZLibStreamType::GZip, 9);
//     out.Write(data, length);
//     out.Finish();                          // completes the stream; later writes raise
#pragma once

#include "util/generic/exception.h"
#include "util/stream/input.h"
#include "util/stream/output.h"

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <optional>

// The framing of the compressed data.
enum class EZLibStreamType : int32_t {
    Auto = 0,  // zlib or gzip, detected per member (decompression; compression takes ZLib)
    ZLib = 1,  // zlib header and Adler-32 trailer
    GZip = 2,  // gzip header and CRC-32 trailer
    Raw = 3,   // raw deflate data, no header
};

class TZLibError : public kexception {};
class TZLibCompressorError : public TZLibError {};
class TZLibDecompressorError : public TZLibError {};

// Inflates a slave stream (not owned) or a zero-copy source (not owned). Each read returns as
// soon as some bytes were inflated; 0 means the compressed data ended after a complete member.
// Raises TZLibDecompressorError on corrupt data, also when the source ends inside a member,
// and passes the source's exceptions on. One reader at a time.
class TZLibDecompress : public TInputStream {
public:
    class TImpl;

    // Reads the slave through an input buffer of bufferLength bytes (0: reads as empty).
    explicit TZLibDecompress(TInputStream* slave, EZLibStreamType type = EZLibStreamType::Auto,
                             size_t bufferLength = 8192);
    // Takes its input chunks straight from the source.
    explicit TZLibDecompress(IZeroCopyInput* source, EZLibStreamType type = EZLibStreamType::Auto);
    // A source that is both kinds is read as an ordinary stream, through the buffer.
    template <class T>
    requires std::derived_from<T, TInputStream> && std::derived_from<T, IZeroCopyInput>
    explicit TZLibDecompress(T* slave, EZLibStreamType type = EZLibStreamType::Auto,
                             size_t bufferLength = 8192)
        : TZLibDecompress(static_cast<TInputStream*>(slave), type, bufferLength) {}
    ~TZLibDecompress() override;

    // The CRC-32 of the bytes of the members inflated to their end so far, which zlib computes
    // as it inflates and compares with each gzip member's trailer: a reader that noted the
    // CRC-32 of the data can tell it came out unchanged without a pass of its own over it.
    // Empty once a member was not gzip (a zlib stream carries an Adler-32, raw data nothing).
    std::optional<uint32_t> FinishedMembersCrc32() const noexcept;

protected:
    size_t DoRead(void* buffer, size_t length) override;

private:
    TImpl* Impl_;
};

// What the compressor is built from. Levels above 9 are taken as 9.
struct TZLibCompressParams {
    TOutputStream* Out = nullptr;
    EZLibStreamType Type = EZLibStreamType::ZLib;
    uint64_t CompressionLevel = 6;
    uint64_t BufLen = 8192;
    const void* Dict = nullptr;
    uint64_t DictLen = 0;  // 0: no preset dictionary

    TZLibCompressParams(TOutputStream* out, EZLibStreamType type = EZLibStreamType::ZLib,
                        uint64_t level = 6, uint64_t bufLen = 8192) noexcept
        : Out(out), Type(type), CompressionLevel(level), BufLen(bufLen) {}
};

// Deflates into a slave stream (not owned), which receives bytes whenever the output buffer
// fills and at the finish; Flush does not force output, and the slave itself is neither flushed
// nor finished. Finish completes the compressed stream; a write after it raises
// TZLibCompressorError "can not write to finished zlib stream". The destructor finishes the
// stream and swallows any error of doing so. Not thread-safe.
class TZLibCompress : public TOutputStream {
public:
    class TImpl;

    explicit TZLibCompress(const TZLibCompressParams& params);
    explicit TZLibCompress(TOutputStream* out, EZLibStreamType type = EZLibStreamType::ZLib,
                           uint64_t level = 6, uint64_t bufLen = 8192);
    ~TZLibCompress() override;

protected:
    void DoWrite(const void* data, size_t length) override;
    void DoFlush() override;
    void DoFinish() override;

private:
    TImpl* Impl_;
};
