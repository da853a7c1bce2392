// The grammeme table and its process-wide instance.
#include "lemmer/grammar/grammeme_table.h"

#include "util/charset/codepage.h"
#include "util/charset/recode.h"
#include "util/charset/utf8.h"

namespace {
constexpr size_t InitialCodeSlots = 256;
}  // namespace

TGrammemeTable::TGrammemeTable()
    : CyrillicNames(InitialCodeSlots),
      CyrillicUtf8Names(InitialCodeSlots),
      LatinNames(InitialCodeSlots),
      CategoryMasks(InitialCodeSlots, 0) {}

TGrammemeTable::TGrammemeTable(const TGrammemeRow* rows, size_t count) : TGrammemeTable() {
    for (size_t i = 0; i < count; ++i) {
        AddGrammem(rows[i].Code, rows[i].CyrillicName, rows[i].LatinName, rows[i].CategoryMask);
    }
}

const TGrammemeTable& TGrammemeTable::Instance() {
    // Built on first use so that users in other static initialisers find it complete; the
    // initialiser below makes that first use happen before main.
    static const TGrammemeTable table(BuiltInGrammemes, BuiltInGrammemeCount);
    return table;
}

namespace {
[[maybe_unused]] const TGrammemeTable& BuiltBeforeMain = TGrammemeTable::Instance();
}  // namespace

void TGrammemeTable::AddGrammem(uint32_t code, const char* cyrillicName, const char* latinName,
                                uint32_t categoryMask) {
    if (code >= CategoryMasks.size()) {
        const size_t size = size_t(code) + 1;
        CyrillicNames.resize(size);
        CyrillicUtf8Names.resize(size);
        LatinNames.resize(size);
        CategoryMasks.resize(size, 0);
    }
    const TCharRange utf8(cyrillicName);
    const TUtf16String wide = DecodeUtf8(utf8.Data, utf8.Length);
    LatinNames[code] = Stroka(latinName);
    CyrillicUtf8Names[code] = Stroka(utf8);
    CyrillicNames[code] = RecodeFromUtf16(CODES_KORVEL, wide.data(), wide.size());
    CategoryMasks[code] = categoryMask;

    Index_.Insert(CyrillicUtf8Names[code], code);
    Index_.Insert(CyrillicNames[code], code);
    Index_.Insert(LatinNames[code], code);
}

const char* TGrammemeTable::GetCyrillicName(uint32_t code) const noexcept {
    return NameOf(CyrillicNames, code);
}

const char* TGrammemeTable::GetCyrillicUtf8Name(uint32_t code) const noexcept {
    return NameOf(CyrillicUtf8Names, code);
}

const char* TGrammemeTable::GetLatinName(uint32_t code) const noexcept {
    return NameOf(LatinNames, code);
}
