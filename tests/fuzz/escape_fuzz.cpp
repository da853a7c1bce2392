// Unescaping any 8-bit or 16-bit text never fails, and escaping then unescaping gives back the
// text exactly.
#include "util/generic/string.h"
#include "util/string/escape.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const bool wide = data[0] & 1;
    ++data;
    --size;
    if (!wide) {
        std::unique_ptr<char[]> copy(new char[size]);
        for (size_t i = 0; i < size; ++i)
            copy[i] = static_cast<char>(data[i]);
        Stroka out;
        UnescapeC(copy.get(), size, out);
        const Stroka text(TCharRange(copy.get(), size));
        if (!(UnescapeC(EscapeC(text)) == text))
            std::abort();
        return 0;
    }
    const size_t count = size / 2;
    std::unique_ptr<wchar16[]> units(new wchar16[count]);
    for (size_t i = 0; i < count; ++i)
        units[i] = static_cast<wchar16>(data[2 * i] | (data[2 * i + 1] << 8));
    TUtf16String out;
    UnescapeC(units.get(), count, out);
    const TUtf16String text(TWCharRange(units.get(), count));
    if (!(UnescapeC(EscapeC(text)) == text))
        std::abort();
    return 0;
}
