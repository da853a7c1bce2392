// Case changes over any range of any UTF-16 or 8-bit text keep the length, change nothing
// outside the range, report a change exactly when the text changed, and agree with the UTF-8
// decoder's view of the text they were built from.
#include "util/charset/codepage.h"
#include "util/generic/exception.h"
#include "util/generic/string.h"
#include "util/string/case.h"
#include "util/string/string_ops.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

template <class TStr>
void CheckRange(const TStr& before, const TStr& after, bool changed, size_t pos, size_t n) {
    if (after.size() != before.size())
        std::abort();
    if (changed != !(after == before))
        std::abort();
    const size_t start = pos < before.size() ? pos : before.size();
    const size_t stop = n < before.size() - start ? start + n : before.size();
    for (size_t i = 0; i < before.size(); ++i)
        if ((i < start || i >= stop) && after.data()[i] != before.data()[i]) {
            // A surrogate pair straddling the range end is changed as one code point.
            if (!(i == stop && i > 0 && (before.data()[i - 1] & 0xFC00) == 0xD800 &&
                  sizeof(before.data()[0]) == 2))
                std::abort();
        }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    const uint8_t mode = data[0];
    const size_t pos = data[1] == 255 ? CASE_WHOLE_STRING : data[1];
    const size_t n = data[2] == 255 ? CASE_WHOLE_STRING : data[2];
    const ECharset code = data[3] % CODES_MAX;
    data += 4;
    size -= 4;

    if (mode % 3 == 0) {
        // UTF-16 text, from the UTF-8 appender when the bytes are well formed, else raw units.
        TUtf16String text;
        try {
            Utf8ToUtf16(TCharRange(reinterpret_cast<const char*>(data), size), text);
        } catch (const kexception&) {
            text = TUtf16String();
            for (size_t i = 0; i + 1 < size; i += 2)
                text.push_back(static_cast<wchar16>(data[i] | (data[i + 1] << 8)));
        }
        const TUtf16String before = text;
        TUtf16String s = text;
        bool changed = (mode & 0x10) ? ToUpper(s, pos, n) : ToLower(s, pos, n);
        CheckRange(before, s, changed, pos, n);
        if (!(text == before))
            std::abort();  // the shared original must not change
        s = text;
        changed = ToTitle(s);
        if (s.size() != before.size() || changed != !(s == before))
            std::abort();
        return 0;
    }
    const Stroka before(TCharRange(reinterpret_cast<const char*>(data), size));
    Stroka s = before;
    const CodePage& page = *CodePageByCharset(code);
    try {
        bool changed = (mode % 3 == 1) ? ToUpper(s, pos, n, page) : ToLower(s, pos, n, page);
        CheckRange(before, s, changed, pos, n);
        s = before;
        changed = ToTitle(s, page);
        if (s.size() != before.size() || changed != !(s == before))
            std::abort();
    } catch (const kexception&) {
    }
    return 0;
}
