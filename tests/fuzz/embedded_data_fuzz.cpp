// Embedded data readers over chunks made from the input: the decoded stream equals the chunks
// decoded one by one, a bad chunk raises only kexception, corrupt compressed data only
// TZLibDecompressorError, and a data set made from compressed input reads back as that input.
// Byte 0: bit 0 chooses between raw chunks (the rest cut at '\n') and a round trip of the rest;
// bits 1-7 the chunk length unit and the reader's initial capacity.
#include "util/generic/exception.h"
#include "util/stream/embedded_data.h"
#include "util/stream/string_stream.h"
#include "util/stream/zlib.h"
#include "util/string/base64.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

std::vector<Stroka> Chunks;

const char* Chunk(uint64_t index) {
    return index < Chunks.size() ? Chunks[index].c_str() : "";
}

Stroka ReadSome(TInputStream& in, size_t step) {
    Stroka all;
    std::vector<char> buf(step);
    while (const size_t n = in.Read(buf.data(), buf.size())) {
        all += Stroka(buf.data(), n);
    }
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool roundTrip = data[0] & 1;
    const size_t unit = 1 + (data[0] >> 1);
    const Stroka rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    Chunks.clear();

    if (!roundTrip) {
        size_t from = 0;
        while (from <= rest.size()) {
            size_t to = rest.find('\n', from);
            if (to == Stroka::npos) {
                to = rest.size();
            }
            Chunks.push_back(Stroka(rest, from, to - from));
            from = to + 1;
        }
        // What the chunks decode to one by one, up to the first one that is not (NUL ends a text).
        Stroka expected;
        bool bad = false;
        for (const Stroka& c : Chunks) {
            const Stroka text(c.c_str());
            if (text.empty()) {
                break;
            }
            if (text.size() % 4 != 0) {
                bad = true;
                break;
            }
            expected += Base64Decode(text);
        }
        try {
            TStringDataInputStream in(&Chunk, unit);
            const Stroka got = ReadSome(in, unit);
            if (bad || got.size() != expected.size() ||
                memcmp(got.data(), expected.data(), got.size()) != 0) {
                abort();
            }
        } catch (const kexception&) {
            if (!bad) {
                abort();
            }
        }
        try {
            TCompressedStaticData::TDataInputStream in(&Chunk, unit);
            in.ReadAll();
        } catch (const kexception&) {
        }
        return 0;
    }

    Stroka packed;
    {
        TStringOutput sink(packed);
        TZLibCompress out(&sink, (data[0] & 2) ? EZLibStreamType::GZip : EZLibStreamType::ZLib);
        out.Write(rest.data(), rest.size());
        out.Finish();
    }
    const Stroka text = Base64Encode(packed);
    const size_t chunkChars = 4 * unit;
    for (size_t from = 0; from < text.size(); from += chunkChars) {
        Chunks.push_back(Stroka(text, from, chunkChars));
    }
    const TBlob blob = ReadCompressedStaticData(&Chunk);
    if (blob.Size() != rest.size() ||
        (blob.Size() != 0 && memcmp(blob.Data(), rest.data(), rest.size()) != 0)) {
        abort();
    }
    std::unique_ptr<TCompressedStaticData::TDataInputStream> in(
        CreateCompressedStaticDataStream(&Chunk));
    const Stroka got = ReadSome(*in, unit);
    if (got.size() != rest.size() || memcmp(got.data(), rest.data(), rest.size()) != 0) {
        abort();
    }
    return 0;
}
