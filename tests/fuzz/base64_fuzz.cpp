// Base64: decoding any text raises only the documented length error and writes no more than the
// buffer size it promises; decode(encode(x)) == x for both alphabets.
#include "util/generic/exception.h"
#include "util/string/base64.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    // Exactly the promised room, so ASan sees an overrun.
    std::vector<char> out(size / 4 * 3);
    try {
        const size_t n = Base64Decode(out.data(), text, text + size);
        if (size % 4 != 0 || n > out.size() || n + 2 < out.size()) {
            abort();
        }
        const Stroka whole = Base64Decode(Stroka(text, size));
        if (whole.size() != n || (n != 0 && memcmp(whole.data(), out.data(), n) != 0)) {
            abort();
        }
    } catch (const kexception&) {
        if (size % 4 == 0) {
            abort();
        }
    }

    for (bool url : {false, true}) {
        std::vector<char> enc(Base64EncodeBufSize(size) + 1);
        char* end =
            url ? Base64EncodeUrl(enc.data(), data, size) : Base64Encode(enc.data(), data, size);
        if (static_cast<size_t>(end - enc.data()) != Base64EncodeBufSize(size) || *end != '\0') {
            abort();
        }
        const Stroka back = Base64Decode(Stroka(enc.data(), end - enc.data()));
        if (back.size() != size || (size != 0 && memcmp(back.data(), data, size) != 0)) {
            abort();
        }
        const Stroka viaString =
            url ? Base64EncodeUrl(Stroka(text, size)) : Base64Encode(Stroka(text, size));
        if (viaString.size() != Base64EncodeBufSize(size) ||
            memcmp(viaString.data(), enc.data(), viaString.size()) != 0) {
            abort();
        }
    }
    return 0;
}
