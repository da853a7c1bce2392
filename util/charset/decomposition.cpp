// The decomposing writer: read a code point, replace it by its decomposition, drop marks and
// lower-case the rest, writing UTF-16.
#include "util/charset/decomposition.h"

#include "util/charset/unicode_table.h"
#include "util/charset/unicode_utf16.h"

namespace {

const uint32_t OE[] = {'o', 'e', 0};
const uint32_t UE[] = {'u', 'e', 0};
const uint32_t AE[] = {'a', 'e', 0};
const uint32_t SS[] = {'s', 's', 0};
const uint32_t CAPITAL_I[] = {'I', 0};
const uint32_t SMALL_I[] = {'i', 0};

bool IsMark(uint32_t category) {
    return category >= UC_MARK_NONSPACING && category <= UC_MARK_SPACING;
}

// Encodes the lower-case form of cp unless it is a mark: 0, 1 or 2 units.
size_t EncodeLowered(uint32_t cp, wchar16 units[2]) {
    const TUnicodeCharInfo& info = UnicodeCharInfo(cp);
    if (IsMark(info.Category())) {
        return 0;
    }
    return WriteUtf16CodePoint(cp + static_cast<uint32_t>(info.LowerDelta), units);
}

// Runs the writer over src; Sink(units, n) returns false when the units do not fit, which ends
// the conversion.
template <class TSink>
void Decompose(const wchar16* src, size_t length, bool digraphs, bool custom, TSink&& sink) {
    size_t pos = 0;
    while (pos < length) {
        size_t units;
        const uint32_t cp = ReadUtf16CodePoint(src, length, pos, &units);
        pos += units;
        const uint32_t* d = GetDecomposition(cp, digraphs, custom);
        const uint32_t single[2] = {cp, 0};
        if (d == nullptr) {
            d = single;
        }
        for (; *d; ++d) {
            wchar16 units[2];
            const size_t n = EncodeLowered(*d, units);
            if (n != 0 && !sink(units, n)) {
                return;
            }
        }
    }
}

}  // namespace

const uint32_t* GetDecomposition(uint32_t cp, bool digraphs, bool custom) {
    if (digraphs) {
        switch (cp) {
            case 0x00F6:
                return OE;
            case 0x00FC:
                return UE;
            case 0x00E4:
                return AE;
        }
    }
    if (custom) {
        return DecompositionOf(CustomDecompositionTable(), cp);
    }
    switch (cp) {
        case 0x0407:
        case 0x0419:
        case 0x0439:
        case 0x0457:
            return nullptr;
        case 0x00DF:
            return SS;
        case 0x0130:
            return CAPITAL_I;
        case 0x0131:
            return SMALL_I;
    }
    return DecompositionOf(CompatDecompositionTable(), cp);
}

size_t DecomposeUtf16(const wchar16* src, size_t srcLength, wchar16* dst, size_t dstCapacity,
                      bool digraphs, bool custom) {
    size_t written = 0;
    if (dstCapacity == 0) {
        return 0;
    }
    Decompose(src, srcLength, digraphs, custom, [&](const wchar16* units, size_t n) {
        if (dstCapacity - written < n) {
            return false;
        }
        for (size_t i = 0; i < n; ++i) {
            dst[written++] = units[i];
        }
        return written < dstCapacity;
    });
    return written;
}

TUtf16String DecomposeUtf16(const TUtf16String& src, bool digraphs, bool custom) {
    TUtf16String result;
    result.reserve(src.size());
    Decompose(src.data(), src.size(), digraphs, custom, [&](const wchar16* units, size_t n) {
        result.append(units, n);
        return true;
    });
    return result;
}
