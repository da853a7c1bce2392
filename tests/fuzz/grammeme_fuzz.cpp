// Grammeme readers over arbitrary bytes: name parsing raises only its own error, a parsed set
// prints back to names that parse to the same set, and the grammar-string operations raise
// only the out-of-range error "bitset" for a byte that is no grammeme code. And their results
// are right: SortUniqueGrammemes leaves exactly the distinct bytes in the grammeme order (the
// byte as a signed number), IntersectGrammars exactly the codes that every string holds, in
// rising code order, each against a std::set of the same bytes.
#include "lemmer/grammar/gram_bitset.h"
#include "lemmer/grammar/gram_codes.h"
#include "lemmer/grammar/grammeme_table.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

void ParseNames(const char* text, size_t len, const char* delimiters) {
    TGramBitSet set;
    try {
        set = TGramBitSet::FromString(TCharRange(text, len), delimiters);
    } catch (const TGramBitSet::TException&) {
        if (!TGramBitSet::FromStringOrEmpty(TCharRange(text, len), delimiters).Empty()) {
            abort();
        }
        return;
    }
    if (set.Empty()) {
        return;
    }
    if (!(TGramBitSet::FromStringOrEmpty(TCharRange(text, len), delimiters) == set)) {
        abort();
    }
    for (bool latin : {true, false}) {
        const Stroka back = set.ToString(",", latin);
        if (!(TGramBitSet::FromString(TCharRange(back.data(), back.size()), ",") == set)) {
            abort();
        }
    }
    const Stroka hex = set.ToHexString();
    if (!(TGramBitSet::FromHexString(hex) == set)) {
        abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const char* text = reinterpret_cast<const char*>(data + 1);
    const size_t len = size - 1;
    const std::string z(text, len);  // NUL-terminated copy (may hold inner NULs)
    const TGrammemeTable& table = TGrammemeTable::Instance();
    switch (data[0] % 6) {
        case 0:
            ParseNames(text, len, ",");
            ParseNames(text, len, ", ;|");
            break;
        case 1: {
            std::vector<wchar16> wide(len / 2);
            if (!wide.empty()) {
                std::memcpy(wide.data(), text, wide.size() * sizeof(wchar16));
            }
            try {
                TGramBitSet::FromWideString(TWCharRange(wide.data(), wide.size()), ",");
            } catch (const TGramBitSet::TException&) {
            }
            try {
                TGramBitSet::FromHexString(Stroka(text, len));
            } catch (const TGramBitSet::TException&) {
            } catch (const std::out_of_range&) {  // well-formed hex of a byte that is no code
            }
            break;
        }
        case 2: {
            const uint32_t code = table.FindCode(text, len);
            if (code != 0) {
                // The name found must be one of the names of that code.
                const std::string name(text, len);
                if (name != table.GetLatinName(code) && name != table.GetCyrillicName(code) &&
                    name != table.GetCyrillicUtf8Name(code)) {
                    abort();
                }
            }
            break;
        }
        case 3: {
            const uint32_t filter = len >= 4 ? uint32_t(data[1]) | uint32_t(data[2]) << 8 |
                                                   uint32_t(data[3]) << 16 | uint32_t(data[4]) << 24
                                             : 0;
            GramCodesToText(z.c_str(), filter, true);
            GramCodesToText(z.c_str(), filter, false);
            break;
        }
        case 4: {
            // Up to 4 grammar strings separated by NUL bytes.
            std::vector<const char*> grammars;
            for (size_t i = 0; i <= len && grammars.size() < 4;
                 i += std::strlen(z.c_str() + i) + 1) {
                grammars.push_back(z.c_str() + i);
            }
            char buffer[124];
            std::memset(buffer, 0x5a, sizeof(buffer));
            int32_t n = -1;
            try {
                n = IntersectGrammars(grammars.data(), int32_t(grammars.size()), buffer);
            } catch (const std::out_of_range&) {
                break;
            }
            if (n < 0 || n > 123 || buffer[n] != 0 || int32_t(std::strlen(buffer)) != n) {
                abort();
            }
            std::set<unsigned char> common;
            for (unsigned code = 127; code <= 249; ++code) {
                common.insert(static_cast<unsigned char>(code));
            }
            for (const char* grammar : grammars) {
                const std::set<unsigned char> held(grammar, grammar + std::strlen(grammar));
                std::set<unsigned char> both;
                for (unsigned char c : common) {
                    if (held.count(c)) {
                        both.insert(c);
                    }
                }
                common = both;
            }
            if (std::string(buffer, n) != std::string(common.begin(), common.end())) {
                abort();
            }
            break;
        }
        default: {
            char buffer[128];
            const int32_t capacity = data[0] >> 1 & 127;
            GramTextToCodes(z.c_str(), buffer, capacity);
            if (len > 0) {
                std::vector<char> bytes(text, text + len);
                const int32_t n = SortUniqueGrammemes(bytes.data(), int32_t(len));
                if (n < 0 || n > int32_t(len)) {
                    abort();
                }
                const std::set<signed char> distinct(text, text + len);
                if (std::string(bytes.data(), n) != std::string(distinct.begin(), distinct.end())) {
                    abort();
                }
            }
            break;
        }
    }
    return 0;
}
