// The inflating and deflating streams over zlib's stream record.
#include "util/stream/zlib.h"

#include "util/stream/additional_storage.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// zlib counts in 32 bits; larger ranges go to it in pieces.
constexpr size_t MaxZLibPiece = 0xFFFFFFFFu;

// The window-bits argument of each stream type.
constexpr int WindowBits[] = {47, 15, 31, -15};

int WindowBitsOf(EZLibStreamType type) noexcept {
    const int index = static_cast<int>(type);
    return index >= 0 && index < 4 ? WindowBits[index] : 0;
}

const char* ZLibMessage(const z_stream& z) noexcept {
    return z.msg ? z.msg : "unknown error";
}

// Hands out the input buffer behind the object, refilled from the slave on each request.
class TSlaveChunks : public IZeroCopyInput {
public:
    TSlaveChunks(TInputStream* slave, char* buffer, size_t length) noexcept
        : Slave_(slave), Buffer_(buffer), Length_(length) {}

protected:
    bool DoNext(const void** data, size_t* length) override {
        *data = Buffer_;
        *length = Length_ ? Slave_->Read(Buffer_, Length_) : 0;
        return *length != 0;
    }

private:
    TInputStream* Slave_;
    char* Buffer_;
    size_t Length_;
};

}  // namespace

// The inflation engine over a zero-copy source that it does not own.
class TZLibDecompress::TImpl {
public:
    TImpl(IZeroCopyInput* source, EZLibStreamType type) : Source_(source) {
        std::memset(&Z_, 0, sizeof(Z_));
        const int bits = WindowBitsOf(type);
        if (bits == 0 || inflateInit2(&Z_, bits) != Z_OK) {
            throw TZLibDecompressorError() << "can not init inflate engine";
        }
        WatchHeader();
    }
    TImpl(const TImpl&) = delete;
    TImpl& operator=(const TImpl&) = delete;
    virtual ~TImpl() { inflateEnd(&Z_); }

    size_t Read(void* buffer, size_t length);

    std::optional<uint32_t> FinishedMembersCrc32() const noexcept {
        return CrcKnown_ ? std::optional<uint32_t>(Crc_) : std::nullopt;
    }

protected:
    void SetSource(IZeroCopyInput* source) noexcept { Source_ = source; }

private:
    // Gives zlib the next piece of input; false when the source has none left.
    bool Feed();
    // zlib took bytes of a member whose end it has not reached.
    bool InsideMember() const noexcept { return Z_.total_in != 0; }
    // Has zlib say whether the next member is gzip (it forgets at each reset); only the gzip
    // types accept this, so under the others no member counts as gzip.
    void WatchHeader() noexcept { inflateGetHeader(&Z_, &Header_); }
    // At the end of a member, before the reset: a gzip member leaves its CRC-32 in adler.
    void FoldMemberCrc() noexcept;

    z_stream Z_;
    IZeroCopyInput* Source_;
    const char* Chunk_ = nullptr;
    size_t ChunkLeft_ = 0;
    // Where zlib notes the member's header; names, comments and extra fields are not kept.
    gz_header Header_{};
    uint32_t Crc_ = 0;  // CRC-32 of the finished members' bytes
    bool CrcKnown_ = true;
};

namespace {

// The decompressor over an ordinary input stream: the object is its own zero-copy source and
// its input buffer lies behind it in the same allocation.
class TDecompressStream : public TZLibDecompress::TImpl,
                          public TAdditionalStorage<TDecompressStream> {
public:
    TDecompressStream(TInputStream* slave, EZLibStreamType type)
        : TImpl(nullptr, type),
          Chunks_(slave, static_cast<char*>(AdditionalData()), AdditionalDataLength()) {
        SetSource(&Chunks_);
    }

    using TAdditionalStorage<TDecompressStream>::operator new;
    using TAdditionalStorage<TDecompressStream>::operator delete;

private:
    TSlaveChunks Chunks_;
};

}  // namespace

bool TZLibDecompress::TImpl::Feed() {
    // An empty chunk carries no input and is no end of it; zlib given nothing would report
    // an error.
    while (ChunkLeft_ == 0) {
        const void* chunk = nullptr;
        if (!Source_->Next(&chunk, &ChunkLeft_)) {
            ChunkLeft_ = 0;
            return false;
        }
        Chunk_ = static_cast<const char*>(chunk);
    }
    const size_t piece = std::min(ChunkLeft_, MaxZLibPiece);
    Z_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Chunk_));
    Z_.avail_in = static_cast<uInt>(piece);
    Chunk_ += piece;
    ChunkLeft_ -= piece;
    return true;
}

void TZLibDecompress::TImpl::FoldMemberCrc() noexcept {
    if (Header_.done == 1) {
        Crc_ = static_cast<uint32_t>(
            crc32_combine(Crc_, Z_.adler, static_cast<z_off_t>(Z_.total_out)));
    } else {
        CrcKnown_ = false;
    }
}

size_t TZLibDecompress::TImpl::Read(void* buffer, size_t length) {
    if (length == 0) {
        return 0;
    }
    const size_t room = std::min(length, MaxZLibPiece);
    Z_.next_out = static_cast<Bytef*>(buffer);
    Z_.avail_out = static_cast<uInt>(room);
    for (;;) {
        const bool sourceEnded = Z_.avail_in == 0 && !Feed();
        if (sourceEnded && !InsideMember()) {
            return 0;
        }
        // With the source ended, inflate may still owe output of the member it is in.
        const int result = inflate(&Z_, Z_SYNC_FLUSH);
        const size_t produced = room - Z_.avail_out;
        if (result == Z_STREAM_END) {
            FoldMemberCrc();
            // Whatever follows is read as a further member of the same data.
            if (inflateReset(&Z_) != Z_OK) {
                throw TZLibDecompressorError() << "inflate reset error(" << ZLibMessage(Z_) << ")";
            }
            WatchHeader();
        } else if (sourceEnded && produced == 0 && (result == Z_OK || result == Z_BUF_ERROR)) {
            throw TZLibDecompressorError() << "inflate error(compressed data ends inside a member)";
        } else if (result != Z_OK) {
            throw TZLibDecompressorError() << "inflate error(" << ZLibMessage(Z_) << ")";
        }
        if (produced != 0) {
            return produced;
        }
    }
}

TZLibDecompress::TZLibDecompress(TInputStream* slave, EZLibStreamType type, size_t bufferLength)
    : Impl_(new (bufferLength) TDecompressStream(slave, type)) {}

TZLibDecompress::TZLibDecompress(IZeroCopyInput* source, EZLibStreamType type)
    : Impl_(new TImpl(source, type)) {}

TZLibDecompress::~TZLibDecompress() {
    delete Impl_;
}

size_t TZLibDecompress::DoRead(void* buffer, size_t length) {
    return Impl_->Read(buffer, length);
}

std::optional<uint32_t> TZLibDecompress::FinishedMembersCrc32() const noexcept {
    return Impl_->FinishedMembersCrc32();
}

// The deflation engine with its output buffer behind it in the same allocation.
class TZLibCompress::TImpl : public TAdditionalStorage<TZLibCompress::TImpl> {
public:
    explicit TImpl(const TZLibCompressParams& params) : Out_(params.Out) {
        std::memset(&Z_, 0, sizeof(Z_));
        const EZLibStreamType type =
            params.Type == EZLibStreamType::Auto ? EZLibStreamType::ZLib : params.Type;
        const int level = static_cast<int>(std::min<uint64_t>(params.CompressionLevel, 9));
        const int bits = WindowBitsOf(type);
        if (bits == 0 ||
            deflateInit2(&Z_, level, Z_DEFLATED, bits, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
            throw TZLibCompressorError() << "can not init deflate engine";
        }
        if (params.DictLen != 0 &&
            deflateSetDictionary(&Z_, static_cast<const Bytef*>(params.Dict),
                                 static_cast<uInt>(params.DictLen)) != Z_OK) {
            deflateEnd(&Z_);
            throw TZLibCompressorError() << "can not set deflate dictionary";
        }
        ResetOutput();
    }
    TImpl(const TImpl&) = delete;
    TImpl& operator=(const TImpl&) = delete;
    ~TImpl() { deflateEnd(&Z_); }

    void Write(const void* data, size_t length) {
        const char* p = static_cast<const char*>(data);
        while (length > 0) {
            const size_t piece = std::min(length, MaxZLibPiece);
            Z_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(p));
            Z_.avail_in = static_cast<uInt>(piece);
            while (Z_.avail_in != 0) {
                const int result = deflate(&Z_, Z_NO_FLUSH);
                if (result == Z_BUF_ERROR) {
                    WriteOutput();
                } else if (result != Z_OK) {
                    throw TZLibCompressorError() << "deflate error(" << ZLibMessage(Z_) << ")";
                }
            }
            p += piece;
            length -= piece;
        }
    }

    void Finish() {
        int result = deflate(&Z_, Z_FINISH);
        while (result == Z_OK || result == Z_BUF_ERROR) {
            WriteOutput();
            result = deflate(&Z_, Z_FINISH);
        }
        if (result != Z_STREAM_END) {
            throw TZLibCompressorError() << "deflate error(" << ZLibMessage(Z_) << ")";
        }
        WriteOutput();
    }

private:
    void ResetOutput() noexcept {
        Z_.next_out = static_cast<Bytef*>(AdditionalData());
        Z_.avail_out = static_cast<uInt>(std::min(AdditionalDataLength(), MaxZLibPiece));
    }

    // Sends the filled part of the output buffer to the slave and offers zlib the whole buffer.
    void WriteOutput() {
        const size_t filled =
            static_cast<size_t>(Z_.next_out - static_cast<Bytef*>(AdditionalData()));
        if (filled != 0) {
            Out_->Write(AdditionalData(), filled);
        }
        ResetOutput();
    }

    z_stream Z_;
    TOutputStream* Out_;
};

// A buffer of no bytes would leave deflate without room to make progress.
TZLibCompress::TZLibCompress(const TZLibCompressParams& params)
    : Impl_(new (std::max<uint64_t>(params.BufLen, 1)) TImpl(params)) {}

TZLibCompress::TZLibCompress(TOutputStream* out, EZLibStreamType type, uint64_t level,
                             uint64_t bufLen)
    : TZLibCompress(TZLibCompressParams(out, type, level, bufLen)) {}

TZLibCompress::~TZLibCompress() {
    try {
        DoFinish();
    } catch (...) {
    }
    delete Impl_;
}

void TZLibCompress::DoWrite(const void* data, size_t length) {
    if (!Impl_) {
        throw TZLibCompressorError() << "can not write to finished zlib stream";
    }
    Impl_->Write(data, length);
}

void TZLibCompress::DoFlush() {}

void TZLibCompress::DoFinish() {
    // The stream counts as finished from here on, whatever happens below.
    std::unique_ptr<TImpl> impl(Impl_);
    Impl_ = nullptr;
    if (impl) {
        impl->Finish();
    }
}
