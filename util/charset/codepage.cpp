// Builds the code-page records and the per-code byte tables on first use.
#include "util/charset/codepage.h"

#include "util/charset/codepage_data.h"
#include "util/charset/codepage_generated.h"
#include "util/charset/encoder.h"
#include "util/charset/unicode_table.h"
#include "util/generic/exception.h"
#include "util/system/singleton.h"

#include <cstring>

namespace {

using namespace NCodePageData;

const uint32_t* GeneratedUnicode(int code) {
    for (size_t i = 0; i < GeneratedPageCount; ++i) {
        if (GeneratedPages[i].Code == code) {
            return GeneratedPages[i].Unicode;
        }
    }
    return nullptr;
}

const uint32_t* GeneratedUnicodeOrFail(int code) {
    const uint32_t* unicode = GeneratedUnicode(code);
    if (!unicode) {
        throw kexception() << "no byte table for charset code " << code;
    }
    return unicode;
}

// The 113 records and the two that stand outside the table; filled once, then read only.
struct TCodePageRecords {
    CodePage Records[CODES_MAX];
    CodePage Unsupported;
    CodePage Unknown;

    TCodePageRecords() {
        std::memset(static_cast<void*>(this), 0, sizeof(*this));
        Unsupported.Code = CODES_UNSUPPORTED;
        Unsupported.Names[0] = "unsupported";
        Unknown.Code = CODES_UNKNOWN;
        Unknown.Names[0] = "unknown";
        for (size_t i = 0; i < PageNamesCount; ++i) {
            Fill(PageNames[i]);
        }
    }

    void Fill(const TPageNames& names) {
        CodePage& record = Records[names.Code];
        record.Code = names.Code;
        for (size_t i = 0; i < MAX_NAMES && names.Names[i]; ++i) {
            record.Names[i] = names.Names[i];
        }
        if (!names.SingleByte) {
            return;
        }
        record.Replacement = names.Code == CODES_KORVEL ? KorvelReplacement : QuestionReplacement;
        if (const uint32_t* generated = GeneratedUnicode(names.Code)) {
            std::memcpy(record.Unicode, generated, sizeof(record.Unicode));
        } else if (!FillHandKeptPage(names.Code, GeneratedUnicodeOrFail, record.Unicode)) {
            throw kexception() << "no byte table for charset code " << names.Code;
        }
    }
};

}  // namespace

CodePageRegistry::CodePageRegistry() {
    const TCodePageRecords& records = *Singleton<TCodePageRecords>();
    std::memset(Slots_, 0, sizeof(Slots_));
    Slots_[0] = &records.Unsupported;
    Slots_[1] = &records.Unknown;
    for (const CodePage& record : records.Records) {
        Slots_[record.Code + 2] = &record;
    }
}

const CodePageRegistry& CodePageRegistry::Instance() {
    return *Singleton<CodePageRegistry>();
}

const CodePage& CodePageRegistry::operator[](ECharset code) const {
    if (code < CODES_UNSUPPORTED || code >= CODES_MAX) {
        ThrowInvalidCharset(code);
    }
    return *Slots_[code + 2];
}

bool SingleByteCodepage(ECharset code) noexcept {
    return ValidCharset(code) && CodePageRegistry::Instance()[code].SingleByte();
}

void ThrowInvalidCharset(ECharset code) {
    throw kexception() << "Invalid charset code " << code;
}

namespace {

constexpr size_t ROW = 257;

// Characters of code 9 whose capital the page lacks are upper-cased to the plain capital.
struct TKorvelUpper {
    uint8_t Byte;
    char Upper;
};
const TKorvelUpper KORVEL_UPPER_EXCEPTIONS[] = {
    {0x88, 'A'}, {0x89, 'A'}, {0x8A, 'C'}, {0x8B, 'E'}, {0x8C, 'E'}, {0x8D, 'E'},
    {0x98, 'E'}, {0x99, 'I'}, {0x9A, 'I'}, {0x9B, 'O'}, {0x9C, 'U'}, {0x9D, 'U'},
};

uint32_t Lower(uint32_t cp) {
    return UnicodeToLower(cp);
}

uint32_t Upper(uint32_t cp) {
    return UnicodeToUpper(cp);
}

// Rows of 257 bytes per code; a multibyte code's row stays 0.
struct TCaseTables {
    uint8_t LowerCase[CODES_MAX][ROW] = {};
    uint8_t UpperCase[CODES_MAX][ROW] = {};

    TCaseTables() {
        const CodePageRegistry& registry = CodePageRegistry::Instance();
        for (ECharset code = 0; code < CODES_MAX; ++code) {
            const CodePage& page = registry[code];
            if (!page.SingleByte()) {
                continue;
            }
            BuildMappedTable(page, Lower, LowerCase[code]);
            BuildMappedTable(page, Upper, UpperCase[code]);
        }
        for (const TKorvelUpper& e : KORVEL_UPPER_EXCEPTIONS) {
            UpperCase[CODES_KORVEL][e.Byte] = static_cast<uint8_t>(e.Upper);
        }
    }
};

struct TKorvelTables {
    uint8_t ToKorvel[CODES_MAX][ROW] = {};
    uint8_t FromKorvel[CODES_MAX][ROW] = {};

    TKorvelTables() {
        const CodePageRegistry& registry = CodePageRegistry::Instance();
        const CodePage& korvel = registry[CODES_KORVEL];
        for (ECharset code = 0; code < CODES_MAX; ++code) {
            const CodePage& page = registry[code];
            if (!page.SingleByte()) {
                continue;
            }
            BuildTranslationTable(page, korvel, ToKorvel[code]);
            BuildTranslationTable(korvel, page, FromKorvel[code]);
        }
    }
};

void CheckRow(ECharset code) {
    if (!ValidCharset(code)) {
        ThrowInvalidCharset(code);
    }
}

}  // namespace

const uint8_t* CodePageLowerTable(ECharset code) {
    CheckRow(code);
    return Singleton<TCaseTables>()->LowerCase[code];
}

const uint8_t* CodePageUpperTable(ECharset code) {
    CheckRow(code);
    return Singleton<TCaseTables>()->UpperCase[code];
}

const uint8_t* ToKorvelTable(ECharset code) {
    CheckRow(code);
    return Singleton<TKorvelTables>()->ToKorvel[code];
}

const uint8_t* FromKorvelTable(ECharset code) {
    CheckRow(code);
    return Singleton<TKorvelTables>()->FromKorvel[code];
}
