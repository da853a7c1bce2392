// Puts the Unicode descriptors together from the generated data on first use.
//
// The property table is expanded from runs of code points into pages of 32 records; pages
// with the same content are stored once (most of the code space is a few kinds of page). The
// decomposition tables point into the generated string pool, except for the Hangul syllables,
// whose decompositions are computed here. The built tables are kept until the process ends.
#include "util/charset/unicode_table.h"

#include "util/charset/unicode_generated.h"
#include "util/generic/exception.h"

#include <array>
#include <map>
#include <vector>

namespace {

using namespace NUnicodeGenerated;

constexpr size_t PAGE = 32;

using TRecordPage = std::array<TUnicodeCharInfo, PAGE>;
using TIndexPage = std::array<uint32_t, PAGE>;

TUnicodeDataDescriptor BuildPropertyTable() {
    constexpr size_t pageCount = UNICODE_CODE_SPACE / PAGE;
    constexpr uint32_t none = static_cast<uint32_t>(-1);
    static std::vector<TRecordPage> pages;
    static std::vector<const TUnicodeCharInfo*> firstLevel(pageCount);

    // Most pages lie inside one run and are one record repeated: one page per record serves
    // them all. The few mixed pages are stored once per distinct content. The pages are
    // numbered first and made at the end, in one piece, so that none is copied as they grow.
    std::vector<uint32_t> uniformPage(PROPERTY_RECORD_COUNT, none);
    std::map<TIndexPage, uint32_t> mixedPage;
    std::vector<uint32_t> pageOf(pageCount);
    uint32_t count = 0;
    size_t run = 0;
    const auto runEnd = [](size_t r) {
        return r + 1 < PROPERTY_RUN_COUNT ? PROPERTY_RUNS[r + 1].First : UNICODE_CODE_SPACE;
    };
    for (size_t p = 0; p < pageCount; ++p) {
        const size_t first = p * PAGE;
        while (runEnd(run) <= first) {
            ++run;
        }
        if (runEnd(run) >= first + PAGE) {
            const uint32_t record = PROPERTY_RUNS[run].Record;
            if (uniformPage[record] == none) {
                uniformPage[record] = count++;
            }
            pageOf[p] = uniformPage[record];
            continue;
        }
        TIndexPage indices;
        for (size_t i = 0, r = run; i < PAGE; ++i) {
            while (runEnd(r) <= first + i) {
                ++r;
            }
            indices[i] = PROPERTY_RUNS[r].Record;
        }
        auto [it, added] = mixedPage.emplace(indices, count);
        if (added) {
            ++count;
        }
        pageOf[p] = it->second;
    }
    pages.resize(count);
    for (uint32_t record = 0; record < PROPERTY_RECORD_COUNT; ++record) {
        if (uniformPage[record] != none) {
            pages[uniformPage[record]].fill(PROPERTY_RECORDS[record]);
        }
    }
    for (const auto& [indices, index] : mixedPage) {
        for (size_t i = 0; i < PAGE; ++i) {
            pages[index][i] = PROPERTY_RECORDS[indices[i]];
        }
    }
    for (size_t p = 0; p < pageCount; ++p) {
        firstLevel[p] = pages[pageOf[p]].data();
    }
    return {firstLevel.data(), UNICODE_TABLE_SIZE};
}

using TDecompositionOverrides = std::map<uint32_t, const uint32_t*>;

// One decomposition table: pages of 32 entries, the empty page shared, and its descriptor.
struct TDecompositionStorage {
    std::vector<std::array<const uint32_t*, PAGE>> Pages;
    std::vector<const uint32_t* const*> FirstLevel;
    TDecompositionDescriptor Descriptor;

    // entries: the generated entries (sorted by code point); overrides: code point -> string
    // or null, applied last.
    TDecompositionStorage(const TDecompositionEntry* entries, size_t count,
                          const TDecompositionOverrides& overrides = {});
};

constexpr uint32_t HANGUL_FIRST = 0xAC00;
constexpr uint32_t HANGUL_COUNT = 11172;

// The decompositions of all Hangul syllables: leading consonant, vowel and, when the syllable
// has one, the trailing consonant.
struct THangulDecompositions {
    std::vector<std::array<uint32_t, 4>> Strings;  // 0-terminated

    THangulDecompositions() : Strings(HANGUL_COUNT) {
        for (uint32_t s = 0; s < HANGUL_COUNT; ++s) {
            const uint32_t trailing = s % 28;
            Strings[s] = {0x1100 + s / (21 * 28), 0x1161 + (s % (21 * 28)) / 28,
                          trailing ? 0x11A7 + trailing : 0, 0};
        }
    }
};

const THangulDecompositions& Hangul() {
    static const THangulDecompositions hangul;
    return hangul;
}

TDecompositionStorage::TDecompositionStorage(const TDecompositionEntry* entries, size_t count,
                                             const TDecompositionOverrides& overrides) {
    // The pages that hold an entry are found first and then filled in place: a flat table of the
    // whole code space would be written in full only to be thrown away.
    constexpr size_t pageCount = (DECOMPOSITION_TABLE_SIZE + PAGE - 1) / PAGE;
    std::vector<uint32_t> pageIndex(pageCount, 0);
    for (size_t i = 0; i < count; ++i) {
        pageIndex[entries[i].CodePoint / PAGE] = 1;
    }
    for (uint32_t cp = HANGUL_FIRST; cp < HANGUL_FIRST + HANGUL_COUNT; cp += PAGE) {
        pageIndex[cp / PAGE] = 1;
    }
    for (const auto& [cp, value] : overrides) {
        if (value != nullptr) {
            pageIndex[cp / PAGE] = 1;
        }
    }
    // Page 0 of the storage is the empty page; every other page is stored once per block that
    // holds an entry.
    size_t used = 1;
    for (uint32_t& index : pageIndex) {
        index = index != 0 ? static_cast<uint32_t>(used++) : 0;
    }
    Pages.assign(used, {});
    const auto slot = [&](uint32_t cp) -> const uint32_t*& {
        return Pages[pageIndex[cp / PAGE]][cp % PAGE];
    };
    for (size_t i = 0; i < count; ++i) {
        slot(entries[i].CodePoint) = DECOMPOSITION_POOL + entries[i].Offset;
    }
    for (uint32_t s = 0; s < HANGUL_COUNT; ++s) {
        slot(HANGUL_FIRST + s) = Hangul().Strings[s].data();
    }
    for (const auto& [cp, value] : overrides) {
        if (pageIndex[cp / PAGE] != 0) {
            slot(cp) = value;
        }
    }
    FirstLevel.resize(pageCount);
    for (size_t p = 0; p < pageCount; ++p) {
        FirstLevel[p] = Pages[pageIndex[p]].data();
    }
    Descriptor = {FirstLevel.data(), DECOMPOSITION_TABLE_SIZE};
}

const uint32_t SHARP_S_DECOMPOSITION[] = {'s', 's', 0};
const uint32_t SHORT_I_CAPITAL[] = {0x0419, 0};
const uint32_t SHORT_I_SMALL[] = {0x0439, 0};

}  // namespace

const TUnicodeDataDescriptor& UnicodeDataTable() {
    static const TUnicodeDataDescriptor table = BuildPropertyTable();
    return table;
}

const TDecompositionDescriptor& CompatDecompositionTable() {
    static const TDecompositionStorage storage(COMPAT_DECOMPOSITIONS, COMPAT_DECOMPOSITION_COUNT);
    return storage.Descriptor;
}

const TDecompositionDescriptor& CanonDecompositionTable() {
    static const TDecompositionStorage storage(CANON_DECOMPOSITIONS, CANON_DECOMPOSITION_COUNT);
    return storage.Descriptor;
}

// Й and й map to themselves: the letter is kept whole instead of becoming И or и and a breve.
const TDecompositionDescriptor& CustomDecompositionTable() {
    static const TDecompositionStorage storage(
        CANON_DECOMPOSITIONS, CANON_DECOMPOSITION_COUNT,
        {{0x00DF, SHARP_S_DECOMPOSITION}, {0x0419, SHORT_I_CAPITAL}, {0x0439, SHORT_I_SMALL}});
    return storage.Descriptor;
}

const TUnicodeCharInfo& UnicodeCharInfo(uint32_t cp) {
    const TUnicodeDataDescriptor& table = UnicodeDataTable();
    if (cp < table.Size) {
        return table[cp];
    }
    if (table.Size <= UNICODE_FALLBACK_CODE_POINT) {
        throw kexception() << "Invalid index";
    }
    return table[UNICODE_FALLBACK_CODE_POINT];
}
