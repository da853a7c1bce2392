// Integer, bool and text-predicate readers: any text either reads or raises the conversion
// error; an 8-bit text and its UTF-16 widening agree, and an accepted value prints back to a
// text that reads as the same value; the boolean words are what strncasecmp over the text's
// length makes of them, a prefix of both a true and a false word being neither.
#include "util/convert/from_string.h"
#include "util/convert/text_predicates.h"
#include "util/generic/exception.h"

#include <strings.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace {

template <class T, int B, class TChar>
std::optional<T> TryRead(const TChar* data, size_t len) {
    try {
        return IntFromString<T, B, TChar>(data, len);
    } catch (const kexception&) {
        return std::nullopt;
    }
}

// The digits of v in base B, with a '-' for negative values.
template <class T, int B>
std::string Print(T v) {
    const bool negative = v < 0;
    unsigned long long u = negative ? 0ULL - (unsigned long long)v : (unsigned long long)v;
    std::string s;
    do {
        s.insert(s.begin(), "0123456789abcdef"[u % B]);
        u /= B;
    } while (u != 0);
    if (negative) {
        s.insert(s.begin(), '-');
    }
    return s;
}

template <class T, int B>
void Check(const char* data, size_t len, const std::vector<uint16_t>& wide) {
    const std::optional<T> narrow = TryRead<T, B, char>(data, len);
    const std::optional<T> w =
        TryRead<T, B, wchar16>(reinterpret_cast<const wchar16*>(wide.data()), wide.size());
    if (narrow.has_value() != w.has_value() || (narrow && *narrow != *w)) {
        abort();
    }
    if (narrow) {
        const std::string back = Print<T, B>(*narrow);
        const std::optional<T> again = TryRead<T, B, char>(back.data(), back.size());
        if (!again || *again != *narrow) {
            abort();
        }
    }
}

template <class T>
void CheckBases(const char* data, size_t len, const std::vector<uint16_t>& wide, int base) {
    switch (base) {
        case 2:
            Check<T, 2>(data, len, wide);
            break;
        case 8:
            Check<T, 8>(data, len, wide);
            break;
        case 10:
            Check<T, 10>(data, len, wide);
            break;
        case 16:
            Check<T, 16>(data, len, wide);
            break;
        default:
            Check<T, 7>(data, len, wide);
            Check<T, 13>(data, len, wide);
            break;
    }
    try {
        FromString<T, char>(data, len);
    } catch (const kexception&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const uint8_t sel = data[0];
    const char* text = reinterpret_cast<const char*>(data + 1);
    const size_t len = size - 1;
    std::vector<uint16_t> wide(text, text + len);
    for (auto& u : wide) {
        u = static_cast<uint8_t>(u);
    }
    static const int bases[] = {2, 8, 10, 16, 0};
    const int base = bases[(sel >> 4) % 5];
    switch (sel & 15) {
        case 0:
            CheckBases<short>(text, len, wide, base);
            break;
        case 1:
            CheckBases<unsigned short>(text, len, wide, base);
            break;
        case 2:
            CheckBases<int>(text, len, wide, base);
            break;
        case 3:
            CheckBases<unsigned int>(text, len, wide, base);
            break;
        case 4:
            CheckBases<long>(text, len, wide, base);
            break;
        case 5:
            CheckBases<unsigned long>(text, len, wide, base);
            break;
        case 6:
            CheckBases<long long>(text, len, wide, base);
            break;
        case 7:
            CheckBases<unsigned long long>(text, len, wide, base);
            break;
        case 8: {
            // UTF-16 text of arbitrary units, read in every width.
            const size_t n = len / 2;
            std::vector<wchar16> units(n + 1);
            std::memcpy(units.data(), text, n * sizeof(wchar16));
            const wchar16* w = units.data();
            TryRead<int, 10, wchar16>(w, n);
            TryRead<unsigned long long, 16, wchar16>(w, n);
            TryRead<short, 8, wchar16>(w, n);
            TryRead<long long, 2, wchar16>(w, n);
            break;
        }
        default: {
            bool value = false;
            bool ok = true;
            try {
                value = FromString<bool, char>(text, len);
            } catch (const kexception&) {
                ok = false;
            }
            const TCharRange r(text, len);
            const bool t = IsTrue(r);
            const bool f = IsFalse(r);
            if (t && f) {
                abort();
            }
            // The word tests against strncasecmp over the text's length, as they are defined.
            auto matches = [&](std::initializer_list<const char*> words) {
                for (const char* word : words) {
                    if (len && strncasecmp(text, word, len) == 0) {
                        return true;
                    }
                }
                return false;
            };
            const bool anyTrue = matches({"da", "yes", "on", "1", "true"});
            const bool anyFalse = matches({"net", "no", "off", "0", "false"});
            if (t != (anyTrue && !anyFalse) || f != (anyFalse && !anyTrue)) {
                abort();
            }
            if (ok != (t || f) || (ok && value != t)) {
                abort();
            }
            IsSpace(text, len);
            IsNumber(r);
            break;
        }
    }
    return 0;
}
