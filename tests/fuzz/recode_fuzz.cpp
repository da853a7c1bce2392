// Recoding between any two charset codes never writes past the output buffer, never reads past
// the input, reports counts within the buffer sizes, and fails only with kexception.
#include "util/charset/codepage.h"
#include "util/charset/recode.h"
#include "util/generic/exception.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    const ECharset from = data[0] % CODES_MAX;
    const ECharset to = data[1] % CODES_MAX;
    const size_t dstLen = data[2] % 64;
    const uint8_t srcCut = data[3];
    data += 4;
    size -= 4;
    // Exact-size heap copies so that the sanitizer sees any access beyond them.
    std::unique_ptr<char[]> src(new char[size]);
    if (size)
        std::memcpy(src.get(), data, size);
    const size_t srcLen = srcCut < size ? srcCut : size;
    std::unique_ptr<char[]> dst(new char[dstLen]);

    size_t read = 12345, written = 12345;
    const RECODE_RESULT r = Recode(from, to, src.get(), dst.get(), srcLen, dstLen, read, written);
    if (r < RECODE_OK || r > RECODE_ERROR)
        std::abort();
    if (r != RECODE_ERROR && (read > srcLen || written > dstLen))
        std::abort();
    if (r == RECODE_OK && read != srcLen)
        std::abort();
    return 0;
}
