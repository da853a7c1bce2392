// Any name gives a charset code of the table or CODES_UNKNOWN, and the canonical name of a
// found code leads back to a page with that same canonical name. And the code is the table's:
// a reference map built from the names of the code-page records (each name and "x-" + name,
// each also without separators and with '-' and '_' swapped one way or the other, and the
// decimal code, compared under the case table of code 9) gives the same code for the bytes as
// they come and for an alias of the table that the bytes choose and disguise.
#include "util/charset/charset_names.h"
#include "util/charset/codepage.h"
#include "util/generic/exception.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

std::string Fold(const std::string& s) {
    const uint8_t* lower = CodePageLowerTable(CODES_KORVEL);
    std::string r;
    for (char c : s)
        r += static_cast<char>(lower[static_cast<uint8_t>(c)]);
    return r;
}

std::string Variant(const std::string& name, int how) {
    std::string r;
    for (char c : name) {
        if (how == 1 && (c == '-' || c == '_'))
            continue;
        if (how == 2 && c == '-')
            c = '_';
        else if (how == 3 && c == '_')
            c = '-';
        r += c;
    }
    return r;
}

struct TReference {
    std::map<std::string, std::set<ECharset>> Codes;  // folded key -> codes that claim it
    std::vector<std::pair<ECharset, std::string>> Names;

    TReference() {
        const CodePageRegistry& registry = CodePageRegistry::Instance();
        for (ECharset code = 0; code < CODES_MAX; ++code) {
            Codes[std::to_string(code)].insert(code);
            for (const char* const* name = registry[code].Names; *name; ++name) {
                Names.emplace_back(code, *name);
                for (const std::string& base : {std::string(*name), "x-" + std::string(*name)})
                    for (int how = 0; how < 4; ++how)
                        Codes[Fold(Variant(base, how))].insert(code);
            }
        }
    }

    void Expect(const std::string& name, bool mustFind) const {
        const ECharset code = CharsetByName(name.c_str());
        const auto it = Codes.find(Fold(name));
        if (it == Codes.end() || name.find('\0') != std::string::npos) {
            if (mustFind || code != CODES_UNKNOWN)
                std::abort();
            return;
        }
        if (!it->second.count(code))
            std::abort();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const TReference reference;
    const std::string name(reinterpret_cast<const char*>(data), size);
    const ECharset code = CharsetByName(name.c_str());
    if (code != CODES_UNKNOWN) {
        if (!ValidCharset(code))
            std::abort();
        const ECharset again = CharsetByName(NameByCharset(code));
        if (!ValidCharset(again) || std::strcmp(NameByCharset(again), NameByCharset(code)) != 0)
            std::abort();
    }
    // The bytes as a C string: what comes after a NUL is not part of the name.
    reference.Expect(std::string(name.c_str()), false);

    // An alias of the table, chosen, varied and put in mixed case by the bytes.
    if (size >= 2) {
        const auto& [aliasCode, alias] =
            reference.Names[(data[0] | data[1] << 8) % reference.Names.size()];
        std::string disguised = Variant((data[0] & 0x80 ? "X-" : "") + alias, data[1] & 3);
        for (size_t i = 0; i < disguised.size() && i + 2 < size; ++i)
            if (data[i + 2] & 1)
                disguised[i] = static_cast<char>(
                    disguised[i] >= 'a' && disguised[i] <= 'z'   ? disguised[i] - 32
                    : disguised[i] >= 'A' && disguised[i] <= 'Z' ? disguised[i] + 32
                                                                 : disguised[i]);
        reference.Expect(disguised, true);
        if (disguised == alias && CharsetByName(alias.c_str()) != aliasCode &&
            reference.Codes.at(Fold(alias)).size() == 1)
            std::abort();
    }
    return 0;
}
