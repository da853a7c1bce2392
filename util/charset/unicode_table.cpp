// Builds the Unicode descriptors on first use. (Placeholder tables until the generated data
// lands: every table is empty.)
#include "util/charset/unicode_table.h"

#include <stdexcept>

namespace {
const TUnicodeCharInfo* const EMPTY_PROPS[1] = {nullptr};
const uint32_t* const* const EMPTY_DECOMP[1] = {nullptr};
}  // namespace

const TUnicodeDataDescriptor& UnicodeDataTable() {
    static const TUnicodeDataDescriptor table{EMPTY_PROPS, 0};
    return table;
}

const TDecompositionDescriptor& CompatDecompositionTable() {
    static const TDecompositionDescriptor table{EMPTY_DECOMP, 0};
    return table;
}

const TDecompositionDescriptor& CanonDecompositionTable() {
    return CompatDecompositionTable();
}

const TDecompositionDescriptor& CustomDecompositionTable() {
    return CompatDecompositionTable();
}

const TUnicodeCharInfo& UnicodeCharInfo(uint32_t cp) {
    const TUnicodeDataDescriptor& table = UnicodeDataTable();
    if (cp < table.Size) {
        return table[cp];
    }
    if (table.Size <= UNICODE_FALLBACK_CODE_POINT) {
        throw std::out_of_range("Invalid index");
    }
    return table[UNICODE_FALLBACK_CODE_POINT];
}
