// Malformed UTF-8 must raise, never read outside the input.
#include "util/charset/utf8.h"
#include "util/generic/exception.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        DecodeUtf8(reinterpret_cast<const char*>(data), size);
    } catch (const kexception&) {
    }
    return 0;
}
