// Names of the 113 code pages, the replacement tables and the hand-kept byte tables.
//
// Some aliases name a near relative of the page rather than the page itself (KOI8-R and its
// csKOI8R are aliases of KOI8-U; US-ASCII and latin1 of windows-1252); users and stored files
// rely on these names, so they stay as they are.
#include "util/charset/codepage_data.h"

namespace NCodePageData {

#define SB true
#define MB false

const TPageNames PageNames[] = {
    {0, SB, {"windows-1251", "cp1251", "1251", "win"}},
    {1, SB, {"KOI8-U", "csKOI8R", "KOI8-RU", "csKOI8RU", "KOI8-R", "csKOI8U", "koi"}},
    {2, SB, {"IBM866", "csIBM866", "cp866", "866", "dos-866", "alt", "windows-866"}},
    {3,
     SB,
     {"MacCyrillic", "MacRussian", "mac", "windows-10007", "MAC_UKRAINE", "MACUKRAINE",
      "windows-10017"}},
    {4,
     SB,
     {"ISO-8859-5", "ISOLatinCyrillic", "csISOLatinCyrillic", "iso-ir-144", "cyrillic",
      "ISO_8859-5", "ISO_8859-5:1988", "iso", "ISO8859_5", "ISO8859-5"}},
    {5,
     SB,
     {"windows-1252",
      "cp1252",
      "1252",
      "US-ASCII",
      "ASCII",
      "csASCII",
      "ANSI_X3.4-1968",
      "ANSI_X3.4-1986",
      "IBM367",
      "cp367",
      "367",
      "iso-ir-100",
      "IBM819",
      "cp819",
      "819",
      "latin1",
      "l1",
      "ISOLatin1",
      "csISOLatin1",
      "ISO-8859-1",
      "ISO_8859-1",
      "ISO_8859-1:1987",
      "iso-ir-6",
      "iso_646.irv:1991",
      "ISO646-US",
      "US"}},
    {6, SB, {"reserved3"}},
    {7, SB, {"windows-1250", "cp1250", "1250", "win-east"}},
    {8,
     SB,
     {"iso-2", "iso_8859-2", "iso-8859-2", "iso-east", "ISO8859_2", "ISO_8859-2:1987", "ISO-IR-101",
      "LATIN2", "L2", "CSISOLATIN2", "ISO8859-2"}},
    {9, SB, {"korvel"}},
    {10, MB, {"UTF-16BE"}},
    {11, MB, {"UTF-16LE", "UTF-16"}},
    {12, SB, {"IBM855", "csIBM855", "cp855", "855", "dos-855", "windows-855"}},
    {13, MB, {"utf-8"}},
    {14, SB, {"unknownplane", "unknown-plane"}},
    {15, SB, {"windows-1251-k", "cp1251k", "1251k", "kazwin"}},
    {16, SB, {"windows-1251-t", "cp1251t", "1251t", "tatwin"}},
    {17, SB, {"armscii"}},
    {18, SB, {"geo-ita"}},
    {19, SB, {"geo-ps"}},
    {20, SB, {"iso-8859-3"}},
    {21, SB, {"iso-8859-4"}},
    {22, SB, {"iso-8859-6"}},
    {23, SB, {"iso-8859-7"}},
    {24, SB, {"iso-8859-8", "iso-8859-8-i"}},
    {25, SB, {"iso-8859-9"}},
    {26, SB, {"iso-8859-13"}},
    {27, SB, {"iso-8859-15"}},
    {28, SB, {"iso-8859-16"}},
    {29, SB, {"windows-1253"}},
    {30, SB, {"windows-1254"}},
    {31, SB, {"windows-1255"}},
    {32, SB, {"windows-1256"}},
    {33, SB, {"windows-1257"}},
    {34, SB, {"CP1046", "windows-1046"}},
    {35, SB, {"CP1124", "windows-1124"}},
    {36, SB, {"CP1125", "windows-1125"}},
    {37, SB, {"CP1129", "windows-1129"}},
    {38, SB, {"CP1131", "windows-1131"}},
    {39, SB, {"CP1133", "IBM-CP1133", "windows-1133"}},
    {40, SB, {"CP1161", "windows-1161"}},
    {41, SB, {"CP1162", "windows-1162"}},
    {42, SB, {"CP1163", "windows-1163"}},
    {43, SB, {"CP1258", "windows-1258"}},
    {44, SB, {"CP437", "windows-437"}},
    {45, SB, {"CP737", "windows-737"}},
    {46, SB, {"CP775", "windows-775"}},
    {47, SB, {"CP850", "IBM850", "850", "CSPC850MULTILINGUAL", "windows-850"}},
    {48, SB, {"CP852", "windows-852"}},
    {49, SB, {"CP853", "windows-853"}},
    {50, SB, {"CP856", "windows-856"}},
    {51, SB, {"CP857", "windows-857"}},
    {52, SB, {"CP858", "windows-858"}},
    {53, SB, {"CP860", "windows-860"}},
    {54, SB, {"CP861", "windows-861"}},
    {55, SB, {"CP862", "IBM862", "862", "CSPC862LATINHEBREW", "windows-862"}},
    {56, SB, {"CP863", "windows-863"}},
    {57, SB, {"CP864", "windows-864"}},
    {58, SB, {"CP865", "windows-865"}},
    {59, SB, {"CP869", "windows-869"}},
    {60, SB, {"CP874", "windows-874"}},
    {61, SB, {"CP922", "windows-922"}},
    {62, SB, {"HP_ROMAN8", "HP-ROMAN8", "ROMAN8", "R8", "CSHPROMAN8"}},
    {63, SB, {"ISO646_CN", "GB_1988-80", "ISO646-CN", "ISO-IR-57", "CN", "CSISO57GB1988"}},
    {64,
     SB,
     {"ISO646_JP", "JIS_C6220-1969-RO", "ISO646-JP", "ISO-IR-14", "JP", "CSISO14JISC6220RO"}},
    {65,
     SB,
     {"ISO8859_10", "ISO-8859-10", "ISO_8859-10", "ISO_8859-10:1992", "ISO-IR-157", "LATIN6", "L6",
      "CSISOLATIN6", "ISO8859-10"}},
    {66, SB, {"ISO8859_11", "ISO-8859-11", "ISO_8859-11", "ISO8859-11"}},
    {67,
     SB,
     {"ISO8859_14", "ISO-8859-14", "ISO_8859-14", "ISO_8859-14:1998", "ISO-IR-199", "LATIN8", "L8",
      "ISO-CELTIC", "ISO8859-14"}},
    {68, SB, {"JISX0201", "JIS_X0201", "JISX0201-1976", "X0201", "CSHALFWIDTHKATAKANA"}},
    {69, SB, {"KOI8_T", "KOI8-T"}},
    {70, SB, {"MAC_ARABIC", "MACARABIC", "windows-10004"}},
    {71, SB, {"MAC_CENTRALEUROPE", "MACCENTRALEUROPE", "windows-10029"}},
    {72, SB, {"MAC_CROATIAN", "MACCROATIAN", "windows-10082"}},
    {73, SB, {"MAC_GREEK", "MACGREEK", "windows-10006"}},
    {74, SB, {"MAC_HEBREW", "MACHEBREW", "windows-10005"}},
    {75, SB, {"MAC_ICELAND", "MACICELAND", "windows-10079"}},
    {76, SB, {"MAC_ROMANIA", "MACROMANIA", "windows-10010"}},
    {77, SB, {"MAC_ROMAN", "MACROMAN", "MACINTOSH", "CSMACINTOSH", "windows-10000"}},
    {78, SB, {"MAC_THAI", "MACTHAI", "windows-10021"}},
    {79, SB, {"MAC_TURKISH", "MACTURKISH", "windows-10081"}},
    {80, SB, {"reserved2"}},
    {81, SB, {"MULELAO", "MULELAO-1"}},
    {82, SB, {"NEXTSTEP"}},
    {83, SB, {"PT154", "PTCP154", "CP154", "CYRILLIC-ASIAN", "CSPTCP154"}},
    {84, SB, {"RISCOS-LATIN1", "RISCOS_LATIN1"}},
    {85, SB, {"RK1048", "STRK1048-2002", "KZ-1048", "CSKZ1048"}},
    {86, SB, {"TCVN", "TCVN-5712", "TCVN5712-1", "TCVN5712-1:1993"}},
    {87, SB, {"TDS565"}},
    {88,
     SB,
     {"TIS620", "TIS-620", "TIS620-0", "TIS620.2529-1", "TIS620.2533-0", "TIS620.2533-1",
      "ISO-IR-166"}},
    {89, SB, {"VISCII", "VISCII1.1-1", "CSVISCII"}},
    {90, MB, {"BIG5"}},
    {91, MB, {"BIG5-HKSCS"}},
    {92, MB, {"BIG5-HKSCS:1999"}},
    {93, MB, {"BIG5-HKSCS:2001"}},
    {94, MB, {"CP932"}},
    {95, MB, {"CP936"}},
    {96, MB, {"CP949"}},
    {97, MB, {"CP950"}},
    {98, MB, {"EUC-CN"}},
    {99, MB, {"EUC-JP"}},
    {100, MB, {"EUC-KR"}},
    {101, MB, {"EUC-TW"}},
    {102, MB, {"GB18030"}},
    {103, MB, {"GBK"}},
    {104, MB, {"HZ"}},
    {105, MB, {"ISO-2022-CN"}},
    {106, MB, {"ISO-2022-CN-EXT"}},
    {107, MB, {"ISO-2022-JP"}},
    {108, MB, {"ISO-2022-JP-1"}},
    {109, MB, {"ISO-2022-JP-2"}},
    {110, MB, {"ISO-2022-KR"}},
    {111, MB, {"JOHAB"}},
    {112, MB, {"SHIFT_JIS"}},
};

#undef SB
#undef MB

const size_t PageNamesCount = sizeof(PageNames) / sizeof(PageNames[0]);

const char QuestionReplacement[CATEGORY_COUNT] = {
    '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?',
    '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?',
    '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?', '?',
};

// By category: unassigned; letters (capitals as a capital-looking byte, small ones as a small
// one); other letters; marks; numbers; separators; controls; surrogates; then punctuation and
// symbols, each as the nearest ASCII sign.
const char KorvelReplacement[CATEGORY_COUNT] = {
    '\x3F', '\xA6', '\xB6', '\xA6', '\x2D', '\xB6', '\x9F', '\x9F', '\x9F', '\x9F', '\x9F', '\x9F',
    '\x9F', '\x80', '\x80', '\x80', '\x39', '\x58', '\x3F', '\x39', '\x20', '\x20', '\x0A', '\x0A',
    '\x1A', '\x1A', '\x1A', '\x1A', '\x1A', '\x1A', '\x1A', '\x3F', '\x3F', '\x2D', '\x2D', '\x28',
    '\x22', '\x29', '\x22', '\x22', '\x22', '\x5F', '\x2A', '\x22', '\x2E', '\x2D', '\x2D', '\x3D',
    '\x2D', '\x24', '\x60', '\xB0', '\x27', '\x27', '\x27', '\x27', '\x27',
};

namespace {

constexpr uint32_t UNDEFINED = 0xFFFD;

struct TByteChange {
    uint8_t Byte;
    uint32_t Unicode;
};

// Upper halves listed by rows of 16 bytes, 0x80 to 0xBF (korvel) or 0xA0 to 0xDF (reserved2).
const uint16_t KORVEL_80_BF[64] = {
    0x0301, 0x00C4, 0x00D6, 0x00DC, 0x0104, 0x0106, 0x0118, 0x0141,  // 0x80
    0x00E0, 0x00E2, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x0490, 0x00AD,  //
    0x00DF, 0x00E4, 0x00F6, 0x00FC, 0x0105, 0x0107, 0x0119, 0x0142,  // 0x90
    0x00EB, 0x00EE, 0x00EF, 0x00F4, 0x00F9, 0x00FB, 0x0491, 0x92CF,  //
    0x00A0, 0x0143, 0x00D3, 0x015A, 0x017B, 0x0179, 0x046C, 0x00A7,  // 0xA0
    0x0401, 0x0462, 0x0472, 0x0474, 0x040E, 0x0406, 0x0404, 0x0407,  //
    0x00B0, 0x0144, 0x00F3, 0x015B, 0x017C, 0x017A, 0x046D, 0x2116,  // 0xB0
    0x0451, 0x0463, 0x0473, 0x0475, 0x045E, 0x0456, 0x0454, 0x0457,  //
};

const uint16_t RESERVED2_A0_DF[64] = {
    0x2020, 0x00B0, 0x0490, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x0406,  // 0xA0
    0x00AE, 0x00A9, 0x2122, 0x0402, 0x0452, 0x2260, 0x0403, 0x0453,  //
    0x221E, 0x00B1, 0x2264, 0x2265, 0x0456, 0x00B5, 0x0491, 0x0408,  // 0xB0
    0x0404, 0x0454, 0x0407, 0x0457, 0x0409, 0x0459, 0x040A, 0x045A,  //
    0x0458, 0x0405, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,  // 0xC0
    0x00BB, 0x2026, 0x00A0, 0x040B, 0x045B, 0x040C, 0x045C, 0x0455,  //
    0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x201E,  // 0xD0
    0x040E, 0x045E, 0x040F, 0x045F, 0x2116, 0x0401, 0x0451, 0x044F,  //
};

// Kazakh and Tatar variants of windows-1251.
const TByteChange WIN1251_K[] = {
    {0x80, 0x04B0}, {0x81, 0x0492}, {0x83, 0x0493}, {0x8A, 0x04E8}, {0x8C, 0x04A2}, {0x8D, 0x049A},
    {0x8E, 0x04BA}, {0x8F, 0x04AE}, {0x90, 0x04B1}, {0x98, 0x0098}, {0x9A, 0x04E9}, {0x9C, 0x04A3},
    {0x9D, 0x049B}, {0x9E, 0x04BB}, {0x9F, 0x04AF}, {0xA3, 0x0496}, {0xA5, 0x04B2}, {0xB4, 0x04B3},
    {0xBC, 0x0497}, {0xBD, 0x04D8}, {0xBE, 0x04D9},
};

const TByteChange WIN1251_T[] = {
    {0x80, 0x04D8}, {0x8A, 0x04E8}, {0x8C, 0x04AE}, {0x8D, 0x0496}, {0x8E, 0x04A2},
    {0x8F, 0x04BA}, {0x90, 0x04D9}, {0x98, 0x0098}, {0x9A, 0x04E9}, {0x9C, 0x04AF},
    {0x9D, 0x0497}, {0x9E, 0x04A3}, {0x9F, 0x04BB},
};

// The Georgian pages keep the C1 controls that windows-1252 leaves undefined.
const TByteChange GEORGIAN_CONTROLS[] = {
    {0x80, 0x0080}, {0x81, 0x0081}, {0x8D, 0x008D}, {0x8E, 0x008E},
    {0x8F, 0x008F}, {0x90, 0x0090}, {0x9D, 0x009D}, {0x9E, 0x009E},
};

// Georgian letters of geo-ps at 0xC0 to 0xE5.
const uint16_t GEO_PS_C0_E5[38] = {
    0x10D0, 0x10D1, 0x10D2, 0x10D3, 0x10D4, 0x10D5, 0x10D6, 0x10F1, 0x10D7, 0x10D8,
    0x10D9, 0x10DA, 0x10DB, 0x10DC, 0x10F2, 0x10DD, 0x10DE, 0x10DF, 0x10E0, 0x10E1,
    0x10E2, 0x10F3, 0x10E3, 0x10E4, 0x10E5, 0x10E6, 0x10E7, 0x10E8, 0x10E9, 0x10EA,
    0x10EB, 0x10EC, 0x10ED, 0x10EE, 0x10F4, 0x10EF, 0x10F0, 0x10F5,
};

// Armenian signs of armscii at 0xA1 to 0xB1; the letters follow in capital-small pairs.
const uint16_t ARMSCII_A1_B1[17] = {
    0x0530, 0x0587, 0x0589, 0x0029, 0x0028, 0x00BB, 0x00AB, 0x2014, 0x002E,
    0x055D, 0x002C, 0x002D, 0x058A, 0x2026, 0x055C, 0x055B, 0x055E,
};

constexpr int WINDOWS_1251 = 0;
constexpr int WINDOWS_1252 = 5;

void FillAscii(uint32_t* unicode) {
    for (uint32_t b = 0; b < 0x80; ++b) {
        unicode[b] = b;
    }
    for (uint32_t b = 0x80; b < 0x100; ++b) {
        unicode[b] = UNDEFINED;
    }
}

void CopyBase(const uint32_t* base, uint32_t* unicode) {
    for (size_t b = 0; b < 256; ++b) {
        unicode[b] = base[b];
    }
}

template <size_t N>
void Apply(const TByteChange (&changes)[N], uint32_t* unicode) {
    for (const TByteChange& change : changes) {
        unicode[change.Byte] = change.Unicode;
    }
}

void FillKorvel(uint32_t* unicode) {
    FillAscii(unicode);
    for (size_t i = 0; i < 64; ++i) {
        unicode[0x80 + i] = KORVEL_80_BF[i];
        unicode[0xC0 + i] = 0x0410 + i;
    }
}

void FillUnknownPlane(uint32_t* unicode) {
    unicode[0] = 0;
    for (uint32_t b = 1; b < 0x100; ++b) {
        unicode[b] = 0xF000 + b;
    }
}

void FillArmscii(uint32_t* unicode) {
    FillAscii(unicode);
    for (size_t i = 0; i < 17; ++i) {
        unicode[0xA1 + i] = ARMSCII_A1_B1[i];
    }
    for (uint32_t letter = 0; letter < 38; ++letter) {
        unicode[0xB2 + 2 * letter] = 0x0531 + letter;
        unicode[0xB3 + 2 * letter] = 0x0561 + letter;
    }
    unicode[0xFE] = 0x055A;
}

void FillGeorgian(const uint32_t* win1252, bool ps, uint32_t* unicode) {
    CopyBase(win1252, unicode);
    Apply(GEORGIAN_CONTROLS, unicode);
    if (ps) {
        for (size_t i = 0; i < 38; ++i) {
            unicode[0xC0 + i] = GEO_PS_C0_E5[i];
        }
    } else {
        for (uint32_t i = 0; i <= 0xE6 - 0xC0; ++i) {
            unicode[0xC0 + i] = 0x10D0 + i;
        }
    }
}

void FillReserved2(uint32_t* unicode) {
    FillAscii(unicode);
    for (uint32_t i = 0; i < 32; ++i) {
        unicode[0x80 + i] = 0x0410 + i;
        unicode[0xE0 + i] = 0x0430 + i;
    }
    for (size_t i = 0; i < 64; ++i) {
        unicode[0xA0 + i] = RESERVED2_A0_DF[i];
    }
    unicode[0xFF] = 0x20AC;
}

}  // namespace

bool FillHandKeptPage(int code, const uint32_t* (*base)(int code), uint32_t* unicode) {
    switch (code) {
        case 6:
            FillAscii(unicode);
            return true;
        case 9:
            FillKorvel(unicode);
            return true;
        case 14:
            FillUnknownPlane(unicode);
            return true;
        case 15:
            CopyBase(base(WINDOWS_1251), unicode);
            Apply(WIN1251_K, unicode);
            return true;
        case 16:
            CopyBase(base(WINDOWS_1251), unicode);
            Apply(WIN1251_T, unicode);
            return true;
        case 17:
            FillArmscii(unicode);
            return true;
        case 18:
            FillGeorgian(base(WINDOWS_1252), false, unicode);
            return true;
        case 19:
            FillGeorgian(base(WINDOWS_1252), true, unicode);
            return true;
        case 80:
            FillReserved2(unicode);
            return true;
        default:
            return false;
    }
}

}  // namespace NCodePageData
