// Reading words, numbers and UTF-8 lines from any bytes of a memory stream always ends, never
// reads outside the input, fails only with TFromStringException, and the UTF-8 to UTF-16 chunk
// decoder reports counts within its buffers.
#include "util/convert/cast_exception.h"
#include "util/generic/exception.h"
#include "util/generic/string.h"
#include "util/stream/memory.h"
#include "util/stream/text_input.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

// Reads one item of the kind `op` chooses; false when the stream gave nothing.
bool ReadOne(TInputStream& in, uint8_t op) {
    try {
        switch (op % 10) {
            case 0: {
                int v;
                in >> v;
                return true;
            }
            case 1: {
                unsigned long long v;
                in >> v;
                return true;
            }
            case 2: {
                double v;
                in >> v;
                return true;
            }
            case 3: {
                short v;
                in >> v;
                return true;
            }
            case 4: {
                long double v;
                in >> v;
                return true;
            }
            case 5: {
                char c = 0;
                in >> c;
                return true;
            }
            case 6: {
                Stroka w;
                in >> w;
                return !w.empty();
            }
            case 7: {
                TUtf16String w;
                in >> w;
                return !w.empty();
            }
            case 8: {
                TUtf16String line;
                return ReadLine(in, line);
            }
            default: {
                float v;
                in >> v;
                return true;
            }
        }
    } catch (const TFromStringException&) {
        return true;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const uint8_t ops = data[0];
    const size_t dstLen = data[1] % 32;
    data += 2;
    size -= 2;
    std::unique_ptr<char[]> copy(new char[size]);
    for (size_t i = 0; i < size; ++i)
        copy[i] = static_cast<char>(data[i]);

    {
        std::unique_ptr<wchar16[]> dst(new wchar16[dstLen]);
        size_t read = 0, written = 0;
        const int r = RecodeToUnicode(copy.get(), dst.get(), size, dstLen, &read, &written);
        if (r < 0 || r > 3 || read > size || written > dstLen)
            std::abort();
        if (r == 0 && read != size)
            std::abort();
    }

    TMemoryInput in(copy.get(), size);
    // Every read consumes at least one byte or reaches the end, so this bound is never hit by
    // a sound reader; hitting it means a read that made no progress.
    for (size_t step = 0; step <= size + 2; ++step) {
        const uint8_t op = static_cast<uint8_t>(ops + step * 7);
        if (!ReadOne(in, op) && op % 10 >= 6 && op % 10 <= 8) {
            // Nothing left for a word or line reader: the stream must be at its end.
            char c;
            if (in.Read(&c, 1) != 0 && op % 10 == 8)
                std::abort();
            return 0;
        }
    }
    return 0;
}
