// Case changes over any range of any UTF-16 or 8-bit text keep the length, change nothing
// outside the range, report a change exactly when the text changed, and agree with the UTF-8
// decoder's view of the text they were built from. And each character is what the Unicode
// table says: UTF-16 code points through its simple mappings (unchanged where the mapping would
// change the length), bytes of a page to the byte of the mapped character when the page has
// one, else unchanged.
#include "util/charset/codepage.h"
#include "util/charset/unicode_table.h"
#include "util/generic/exception.h"
#include "util/generic/string.h"
#include "util/string/case.h"
#include "util/string/string_ops.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

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
        if ((i < start || i >= stop) && after.data()[i] != before.data()[i])
            std::abort();
}

using TMapping = uint32_t (*)(uint32_t);

uint32_t Upper(uint32_t cp) {
    return UnicodeToUpper(cp);
}
uint32_t Lower(uint32_t cp) {
    return UnicodeToLower(cp);
}
uint32_t Title(uint32_t cp) {
    return UnicodeToTitle(cp);
}

size_t Units(uint32_t cp) {
    return cp > 0xFFFF ? 2 : 1;
}

// The range [pos, pos + n) of before with `first` applied to its first code point and `rest`
// to the others. A pair is one code point only when both its units are inside the range; a
// high surrogate at the end of the range reads as U+FFFD and stays.
void CheckUtf16(const TUtf16String& before, const TUtf16String& after, size_t pos, size_t n,
                TMapping first, TMapping rest) {
    std::u16string expected(before.data(), before.size());
    const size_t start = pos < before.size() ? pos : before.size();
    const size_t stop = n < before.size() - start ? start + n : before.size();
    for (size_t i = start; i < stop;) {
        uint32_t cp = expected[i];
        if ((cp & 0xFC00) == 0xD800 && i + 1 < stop && (expected[i + 1] & 0xFC00) == 0xDC00) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (expected[i + 1] - 0xDC00);
        }
        const uint32_t mapped = (i == start ? first : rest)(cp);
        if (Units(mapped) == Units(cp)) {
            if (mapped > 0xFFFF) {
                expected[i] = static_cast<char16_t>(0xD800 + ((mapped - 0x10000) >> 10));
                expected[i + 1] = static_cast<char16_t>(0xDC00 + ((mapped - 0x10000) & 0x3FF));
            } else {
                expected[i] = static_cast<char16_t>(mapped);
            }
        }
        i += Units(cp);
    }
    if (expected != std::u16string(after.data(), after.size()))
        std::abort();
}

// Each byte of the range goes to a byte of the mapped character, or stays when the page has
// none (the Korvel page's upper case of accented Latin letters is its own: plain letters).
void CheckBytes(const Stroka& before, const Stroka& after, size_t pos, size_t n,
                const CodePage& page, TMapping first, TMapping rest) {
    if (!page.SingleByte())
        return;
    const size_t start = pos < before.size() ? pos : before.size();
    const size_t stop = n < before.size() - start ? start + n : before.size();
    for (size_t i = start; i < stop; ++i) {
        const uint8_t b = static_cast<uint8_t>(before[i]);
        const uint8_t a = static_cast<uint8_t>(after[i]);
        const TMapping mapping = i == start ? first : rest;
        if (page.Code == CODES_KORVEL && mapping != Lower && b >= 0x88 && b <= 0x9D)
            continue;
        const uint32_t mapped = mapping(page.Unicode[b]);
        bool held = false;
        for (int c = 0; c < 256; ++c)
            held = held || page.Unicode[c] == mapped;
        if (held ? page.Unicode[a] != mapped : a != b)
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
        const TMapping mapping = (mode & 0x10) ? Upper : Lower;
        bool changed = (mode & 0x10) ? ToUpper(s, pos, n) : ToLower(s, pos, n);
        CheckRange(before, s, changed, pos, n);
        CheckUtf16(before, s, pos, n, mapping, mapping);
        if (!(text == before))
            std::abort();  // the shared original must not change
        s = text;
        changed = ToTitle(s);
        if (s.size() != before.size() || changed != !(s == before))
            std::abort();
        CheckUtf16(before, s, 0, CASE_WHOLE_STRING, Title, Lower);
        return 0;
    }
    const Stroka before(TCharRange(reinterpret_cast<const char*>(data), size));
    Stroka s = before;
    const CodePage& page = *CodePageByCharset(code);
    try {
        const TMapping mapping = (mode % 3 == 1) ? Upper : Lower;
        bool changed = (mode % 3 == 1) ? ToUpper(s, pos, n, page) : ToLower(s, pos, n, page);
        CheckRange(before, s, changed, pos, n);
        CheckBytes(before, s, pos, n, page, mapping, mapping);
        s = before;
        changed = ToTitle(s, page);
        if (s.size() != before.size() || changed != !(s == before))
            std::abort();
        CheckBytes(before, s, 0, CASE_WHOLE_STRING, page, Upper, Lower);
    } catch (const kexception&) {
    }
    return 0;
}
