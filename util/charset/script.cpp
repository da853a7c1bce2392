// The 64K script table, built from the generated script ranges and the letter categories.
#include "util/charset/script.h"

#include "util/charset/unicode_generated.h"
#include "util/charset/unicode_table.h"
#include "util/system/singleton.h"

#include <array>

namespace {

// Script of every BMP code point; later ranges overwrite earlier ones.
struct TScriptTable {
    std::array<uint8_t, 0x10000> Scripts{};

    TScriptTable() {
        using namespace NUnicodeGenerated;
        for (size_t i = 0; i < SCRIPT_RANGE_COUNT; ++i) {
            const TScriptRange& r = SCRIPT_RANGES[i];
            for (uint32_t c = r.First; c <= r.Last && c < Scripts.size(); ++c) {
                const uint32_t category = UnicodeCategory(c);
                if (category >= UC_UPPER && category <= UC_JAMO_TRAILING) {
                    Scripts[c] = static_cast<uint8_t>(r.Script);
                }
            }
        }
    }
};

}  // namespace

EScript ScriptByChar(uint32_t c) {
    if (c >= 0x10000) {
        return SCRIPT_UNKNOWN;
    }
    return static_cast<EScript>(Singleton<TScriptTable>()->Scripts[c]);
}
