// Slicing a blob at ranges taken from the input raises kexception for a range outside it and
// otherwise gives exactly those bytes; loading plain values, arrays and 32-bit sizes from the
// input reads exactly its bytes or raises TLoadEOF on a short read; a short 32-bit size leaves its
// value as it was.
#include "util/generic/exception.h"
#include "util/stream/blob.h"
#include "util/stream/load.h"
#include "util/stream/memory.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

size_t TakeSize(const uint8_t*& data, size_t& size) {
    size_t v = 0;
    for (int i = 0; i < 2 && size > 0; ++i, ++data, --size) {
        v = (v << 8) | *data;
    }
    if (v >= 0xFFF0) {
        v = SIZE_MAX - (v - 0xFFF0);  // some huge values too
    }
    return v;
}

void CheckSlices(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    const TBlob blob = TBlob::Copy(bytes.data(), bytes.size());
    const uint8_t* p = data;
    size_t left = size;
    TBlob current = blob;
    const char* origin = blob.AsCharPtr();
    size_t offset = 0;  // where `current` starts inside `blob`
    for (int round = 0; round < 4 && left > 0; ++round) {
        const size_t begin = TakeSize(p, left);
        const size_t end = TakeSize(p, left);
        const bool fits = begin <= end && end <= current.Size();
        try {
            TBlob sub = current.SubBlob(begin, end);
            if (!fits || sub.Size() != end - begin || sub.AsCharPtr() != origin + offset + begin) {
                abort();
            }
            if (sub.Size() != 0 &&
                memcmp(sub.Data(), bytes.data() + offset + begin, sub.Size()) != 0) {
                abort();
            }
            offset += begin;
            current = sub;
        } catch (const kexception&) {
            if (fits) {
                abort();
            }
        }
    }
}

template <class T>
void CheckPod(const uint8_t* data, size_t size) {
    TMemoryInput in(data, size);
    T value;
    memset(&value, 0xA5, sizeof(value));
    try {
        LoadPodType(in, value);
        if (size < sizeof(T) || memcmp(&value, data, sizeof(T)) != 0) {
            abort();
        }
    } catch (const TLoadEOF&) {
        if (size >= sizeof(T)) {
            abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckSlices(data, size);
    CheckPod<uint8_t>(data, size);
    CheckPod<uint32_t>(data, size);
    CheckPod<uint64_t>(data, size);

    if (size > 0) {
        const size_t count = data[0];
        std::vector<uint16_t> values(count);
        TMemoryInput in(data + 1, size - 1);
        try {
            LoadPodArray(in, values.data(), count);
            if (size - 1 < count * 2 ||
                (count != 0 && memcmp(values.data(), data + 1, count * 2) != 0)) {
                abort();
            }
        } catch (const TLoadEOF&) {
            if (size - 1 >= count * 2) {
                abort();
            }
        }
    }

    TMemoryInput in(data, size);
    size_t value = 12345;
    try {
        LoadSize32(in, value);
        uint32_t raw;
        memcpy(&raw, data, 4);
        if (size < 4 || value != raw) {
            abort();
        }
    } catch (const TLoadEOF&) {
        if (size >= 4 || value != 12345) {
            abort();
        }
    }
    return 0;
}
