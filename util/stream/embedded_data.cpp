// The chunk-by-chunk base64 reader of embedded data sets and the inflating stream over it.
#include "util/stream/embedded_data.h"

#include "util/string/base64.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {
// The input buffer of the decompressor over a data set.
constexpr size_t DecompressBufferLength = 8192;
}  // namespace

TStringDataInputStream::TStringDataInputStream(TChunkAccessor accessor, size_t capacity)
    : Accessor_(accessor), Capacity_(capacity), Buffer_(new char[capacity]) {}

TStringDataInputStream::~TStringDataInputStream() = default;

bool TStringDataInputStream::NextChunk() {
    Position_ = 0;
    Length_ = 0;
    const char* text = Accessor_(NextIndex_);
    if (text == nullptr || *text == '\0') {
        // The index stays on the terminating record, so the stream stays ended.
        return false;
    }
    ++NextIndex_;
    const size_t textLength = std::strlen(text);
    const size_t room = Base64DecodeBufSize(textLength);
    if (room > Capacity_) {
        // The larger block comes first, so that a failed allocation leaves the stream with a
        // valid buffer; the old contents are not needed.
        std::unique_ptr<char[]> larger(new char[room]);
        Buffer_ = std::move(larger);
        Capacity_ = room;
    }
    Length_ = Base64Decode(Buffer_.get(), text, text + textLength);
    return true;
}

size_t TStringDataInputStream::DoRead(void* buffer, size_t length) {
    char* out = static_cast<char*>(buffer);
    size_t delivered = 0;
    while (delivered < length) {
        const size_t n = std::min(length - delivered, Length_ - Position_);
        std::memcpy(out + delivered, Buffer_.get() + Position_, n);
        Position_ += n;
        delivered += n;
        if (delivered == length || !NextChunk()) {
            break;
        }
    }
    return delivered;
}

namespace TCompressedStaticData {

TDataInputStream::TDataInputStream(TChunkAccessor accessor, size_t capacity)
    : Source_(accessor, capacity),
      Decompressor_(&Source_, EZLibStreamType::Auto, DecompressBufferLength) {}

TDataInputStream::~TDataInputStream() = default;

size_t TDataInputStream::DoRead(void* buffer, size_t length) {
    if (length == 0) {
        return 0;
    }
    return Decompressor_.Read(buffer, length);
}

}  // namespace TCompressedStaticData

TCompressedStaticData::TDataInputStream* CreateCompressedStaticDataStream(TChunkAccessor accessor) {
    return new TCompressedStaticData::TDataInputStream(accessor);
}

TBlob ReadCompressedStaticData(TChunkAccessor accessor) {
    TCompressedStaticData::TDataInputStream in(accessor);
    return TBlob::FromStream(in);
}
