// Text of any page decodes to UTF-16 and UTF-16 encodes to any page without a sanitizer report;
// failures are kexception only. Single-byte pages round-trip through UTF-16 exactly for every
// character the page defines, and the unknown-plane decoder never grows the text.
#include "util/charset/codepage.h"
#include "util/charset/recode.h"
#include "util/generic/exception.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const ECharset code = data[0] % CODES_MAX;
    const uint8_t mode = data[1];
    data += 2;
    size -= 2;
    const char* bytes = reinterpret_cast<const char*>(data);

    if (mode % 3 == 0) {
        try {
            const TUtf16String text = RecodeToUtf16(code, bytes, size);
            if (SingleByteCodepage(code)) {
                if (text.size() != size)
                    std::abort();
                const CodePage& page = *CodePageByCharset(code);
                bool defined = true;
                for (size_t i = 0; i < size; ++i)
                    defined = defined && page.Unicode[data[i]] != 0xFFFD;
                const Stroka back = RecodeFromUtf16(code, text.data(), text.size());
                // Some pages give two bytes one character, so compare the characters.
                if (defined && !(RecodeToUtf16(code, back.data(), back.size()) == text))
                    std::abort();
            }
        } catch (const kexception&) {
        }
        return 0;
    }

    std::unique_ptr<wchar16[]> units(new wchar16[size / 2 + 1]);
    const size_t count = size / 2;
    for (size_t i = 0; i < count; ++i)
        units[i] = static_cast<wchar16>(data[2 * i] | (data[2 * i + 1] << 8));
    if (mode % 3 == 1) {
        try {
            RecodeFromUtf16(code, units.get(), count);
        } catch (const kexception&) {
        }
        return 0;
    }
    // Unknown plane: push most units into U+F000..U+F0FF so runs of carried bytes occur.
    for (size_t i = 0; i < count; ++i)
        if (units[i] & 0x8000)
            units[i] = static_cast<wchar16>(0xF000 | (units[i] & 0xFF));
    const ECharset target = (mode & 0x80) ? CODES_UNKNOWN : code;
    wchar16* end = units.get() + count;
    try {
        DecodeUnknownPlane(units.get(), end, target);
    } catch (const kexception&) {
        return 0;
    }
    if (end < units.get() || end > units.get() + count)
        std::abort();
    return 0;
}
