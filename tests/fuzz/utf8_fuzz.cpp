// Malformed UTF-8 must raise, never read outside the input; well-formed UTF-8 must come back
// byte for byte through the UTF-8 encoder, and the appending decoder must agree with it.
#include "util/charset/codepage.h"
#include "util/charset/recode.h"
#include "util/charset/utf8.h"
#include "util/generic/exception.h"
#include "util/string/string_ops.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    TUtf16String decoded;
    try {
        decoded = DecodeUtf8(bytes, size);
    } catch (const kexception&) {
        return 0;
    }
    const Stroka encoded = RecodeFromUtf16(CODES_UTF8, decoded.data(), decoded.size());
    if (encoded.size() != size || (size != 0 && std::memcmp(encoded.data(), bytes, size) != 0))
        std::abort();

    TUtf16String appended;
    Utf8ToUtf16(TCharRange(bytes, size), appended);
    if (!(appended == decoded))
        std::abort();
    return 0;
}
