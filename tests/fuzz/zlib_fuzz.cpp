// Inflating arbitrary bytes raises only TZLibDecompressorError (or ends cleanly); compressing
// the input with any framing and level and inflating it gives the input back.
// Byte 0: bits 0-1 the framing to decompress with, bits 2-5 the level, bit 6 zero-copy source.
#include "util/generic/exception.h"
#include "util/stream/memory.h"
#include "util/stream/string_stream.h"
#include "util/stream/zlib.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const auto type = static_cast<EZLibStreamType>(data[0] & 3);
    const uint64_t level = (data[0] >> 2) & 15;
    const bool zeroCopy = data[0] & 64;
    ++data;
    --size;

    try {
        TMemoryInput source(data, size);
        if (zeroCopy) {
            TZLibDecompress in(static_cast<IZeroCopyInput*>(&source), type);
            in.ReadAll();
        } else {
            TZLibDecompress in(static_cast<TInputStream*>(&source), type, 1 + size % 300);
            in.ReadAll();
        }
    } catch (const TZLibDecompressorError&) {
    }

    const EZLibStreamType packType = type == EZLibStreamType::Auto ? EZLibStreamType::ZLib : type;
    Stroka packed;
    {
        TStringOutput sink(packed);
        TZLibCompress out(&sink, packType, level, 1 + size % 100);
        out.Write(data, size / 2);
        out.Write(data + size / 2, size - size / 2);
        out.Finish();
    }
    TMemoryInput source(packed.data(), packed.size());
    TZLibDecompress in(&source, type);
    const Stroka back = in.ReadAll();
    if (back.size() != size || (size != 0 && memcmp(back.data(), data, size) != 0)) {
        abort();
    }
    return 0;
}
