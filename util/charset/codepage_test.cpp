#include "util/charset/codepage.h"

#include "util/charset/codepage_generated.h"
#include "util/charset/encoder.h"
#include "util/charset/recode.h"
#include "util/generic/exception.h"
#include "util/testing/exception_matchers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace {

const CodePage& RegisteredPage(ECharset code) {
    return CodePageRegistry::Instance()[code];
}

size_t NameCount(const CodePage& page) {
    size_t n = 0;
    while (n < CODEPAGE_NAME_SLOTS && page.Names[n]) {
        ++n;
    }
    return n;
}

TEST(CodePageRegistry, HoldsEveryCodeWithItsOwnRecord) {
    size_t singleByte = 0;
    size_t maxNames = 0;
    for (ECharset code = 0; code < CODES_MAX; ++code) {
        const CodePage& page = RegisteredPage(code);
        EXPECT_EQ(page.Code, code);
        ASSERT_NE(page.Name(), nullptr) << code;
        singleByte += page.SingleByte();
        maxNames = std::max(maxNames, NameCount(page));
    }
    EXPECT_EQ(singleByte, 87u);
    EXPECT_EQ(maxNames, 26u);
    EXPECT_EQ(NameCount(RegisteredPage(5)), 26u);
}

TEST(CodePageRegistry, KeepsTheTwoRecordsOutsideTheTable) {
    EXPECT_STREQ(RegisteredPage(CODES_UNSUPPORTED).Name(), "unsupported");
    EXPECT_STREQ(RegisteredPage(CODES_UNKNOWN).Name(), "unknown");
    EXPECT_FALSE(RegisteredPage(CODES_UNSUPPORTED).SingleByte());
    EXPECT_FALSE(RegisteredPage(CODES_UNKNOWN).SingleByte());
    EXPECT_EQ(RegisteredPage(CODES_UNKNOWN).Names[1], nullptr);
}

TEST(CodePageRegistry, RejectsCodesOutsideTheTable) {
    for (ECharset code : {-3, 113, 1000, -1000}) {
        EXPECT_THAT([&] { CodePageRegistry::Instance()[code]; },
                    RaisesMessage<kexception>("Invalid charset code " + std::to_string(code)))
            << code;
    }
    EXPECT_THROW(CodePageLowerTable(113), kexception);
    EXPECT_THROW(ToKorvelTable(-1), kexception);
    EXPECT_FALSE(SingleByteCodepage(113));
    EXPECT_FALSE(SingleByteCodepage(-1));
}

TEST(CodePageRegistry, MultibyteRecordsHaveNoByteTable) {
    const CodePage& utf16 = RegisteredPage(CODES_UTF16LE);
    EXPECT_STREQ(utf16.Names[0], "UTF-16LE");
    EXPECT_STREQ(utf16.Names[1], "UTF-16");
    EXPECT_EQ(utf16.Names[2], nullptr);
    EXPECT_EQ(utf16.Replacement, nullptr);
    for (ECharset code : {10, 11, 13, 90, 101, 112}) {
        const CodePage& page = RegisteredPage(code);
        EXPECT_FALSE(page.SingleByte()) << code;
        for (uint32_t u : page.Unicode) {
            ASSERT_EQ(u, 0u) << code;
        }
    }
}

struct TByteCase {
    ECharset Code;
    uint8_t Byte;
    uint32_t Unicode;
};

// Mac Icelandic (75) and Mac Roman (77) are Apple's published tables, not glibc's MAC-IS and
// MACINTOSH (a dagger at A0 of Icelandic, a private-use character of glibc's own at F0).
TEST(CodePageRecords, MapBytesToTheirCharacters) {
    const TByteCase cases[] = {
        {0, 0x98, 0xFFFD},  {0, 0xC0, 0x0410},  {0, 0x88, 0x20AC},  {9, 0xC0, 0x0410},
        {9, 0x9F, 0x92CF},  {9, 0x80, 0x0301},  {9, 0xB7, 0x2116},  {9, 0xFF, 0x044F},
        {9, 0x41, 0x0041},  {5, 0x81, 0xFFFD},  {88, 0x80, 0xFFFD}, {88, 0x9F, 0xFFFD},
        {6, 0x7F, 0x007F},  {6, 0x80, 0xFFFD},  {6, 0xFF, 0xFFFD},  {14, 0x00, 0x0000},
        {14, 0x41, 0xF041}, {14, 0xFF, 0xF0FF}, {15, 0x80, 0x04B0}, {15, 0x98, 0x0098},
        {15, 0xBE, 0x04D9}, {15, 0xC0, 0x0410}, {16, 0x80, 0x04D8}, {16, 0x9F, 0x04BB},
        {16, 0x81, 0x0403}, {17, 0xA0, 0xFFFD}, {17, 0xA1, 0x0530}, {17, 0xB1, 0x055E},
        {17, 0xB2, 0x0531}, {17, 0xB3, 0x0561}, {17, 0xFC, 0x0556}, {17, 0xFD, 0x0586},
        {17, 0xFE, 0x055A}, {17, 0xFF, 0xFFFD}, {18, 0x81, 0x0081}, {18, 0xC0, 0x10D0},
        {18, 0xE6, 0x10F6}, {18, 0xE7, 0x00E7}, {18, 0x80, 0x0080}, {19, 0xC7, 0x10F1},
        {19, 0xE5, 0x10F5}, {19, 0xE6, 0x00E6}, {19, 0x9E, 0x009E}, {80, 0x80, 0x0410},
        {80, 0x9F, 0x042F}, {80, 0xA0, 0x2020}, {80, 0xDF, 0x044F}, {80, 0xE0, 0x0430},
        {80, 0xFE, 0x044E}, {80, 0xFF, 0x20AC}, {70, 0x20, 0x0020}, {70, 0xA0, 0x0020},
        {74, 0x7B, 0x007B}, {57, 0x25, 0x066A}, {64, 0x5C, 0x00A5}, {87, 0x80, 0xFFFD},
        {81, 0xA0, 0x00A0}, {84, 0xFF, 0x00FF}, {49, 0x80, 0x00C7}, {38, 0x1A, 0x001A},
        {1, 0xC1, 0x0430},  {2, 0x80, 0x0410},  {4, 0xB0, 0x0410},  {3, 0x80, 0x0410},
        {75, 0xA0, 0x00DD}, {75, 0xC6, 0x2206}, {75, 0xD0, 0x2013}, {75, 0xD1, 0x2014},
        {75, 0xD7, 0x25CA}, {75, 0xDB, 0x20AC}, {75, 0xDC, 0x00D0}, {75, 0xDD, 0x00F0},
        {75, 0xE0, 0x00FD}, {75, 0xF0, 0xF8FF}, {75, 0xF6, 0x02C6}, {75, 0xF7, 0x02DC},
        {75, 0xDE, 0x00DE}, {75, 0xDF, 0x00FE}, {77, 0xA0, 0x2020}, {77, 0xC6, 0x2206},
        {77, 0xF0, 0xF8FF}, {77, 0xDB, 0x20AC},
    };
    for (const TByteCase& c : cases) {
        EXPECT_EQ(RegisteredPage(c.Code).Unicode[c.Byte], c.Unicode)
            << "code " << c.Code << " byte " << int(c.Byte);
    }
}

TEST(CodePageRecords, KeepByteZeroAndTheAsciiHalf) {
    for (ECharset code = 0; code < CODES_MAX; ++code) {
        const CodePage& page = RegisteredPage(code);
        if (!page.SingleByte()) {
            continue;
        }
        EXPECT_EQ(page.Unicode[0], 0u) << code;
        const bool ownLowerHalf = code == 14 || code == 57 || code == 63 || code == 64 ||
                                  code == 68 || code == 86 || code == 87 || code == 89;
        for (uint32_t b = 1; b < 0x80 && !ownLowerHalf; ++b) {
            ASSERT_EQ(page.Unicode[b], b) << "code " << code << " byte " << b;
        }
    }
}

// Every byte that has a character comes back as itself, or as the lowest byte of its page
// with the same character, through UTF-16 and the page's encoder.
TEST(CodePageRecords, RoundTripEveryByteThroughUtf16) {
    for (ECharset code = 0; code < CODES_MAX; ++code) {
        const CodePage& page = RegisteredPage(code);
        if (!page.SingleByte()) {
            continue;
        }
        std::map<uint32_t, uint8_t> lowest;
        for (int b = 255; b >= 1; --b) {
            lowest[page.Unicode[b]] = static_cast<uint8_t>(b);
        }
        for (int b = 1; b < 256; ++b) {
            if (page.Unicode[b] == 0xFFFD) {
                continue;
            }
            const char byte = static_cast<char>(b);
            const TUtf16String wide = RecodeToUtf16(code, &byte, 1);
            ASSERT_EQ(wide.size(), 1u);
            ASSERT_EQ(static_cast<uint32_t>(wide[0]), page.Unicode[b]);
            const Stroka back = RecodeFromUtf16(code, wide.data(), wide.size());
            ASSERT_EQ(back.size(), 1u);
            EXPECT_EQ(static_cast<uint8_t>(back[0]), lowest[page.Unicode[b]])
                << "code " << code << " byte " << b;
        }
    }
}

TEST(CodePageRecords, CopyTheGeneratedTables) {
    EXPECT_EQ(NCodePageData::GeneratedPageCount, 78u);
    for (size_t i = 0; i < NCodePageData::GeneratedPageCount; ++i) {
        const NCodePageData::TGeneratedPage& generated = NCodePageData::GeneratedPages[i];
        EXPECT_EQ(std::memcmp(RegisteredPage(generated.Code).Unicode, generated.Unicode, 1024), 0)
            << generated.Code;
    }
}

struct TTableCase {
    const uint8_t* (*Table)(ECharset);
    ECharset Code;
    uint8_t Byte;
    uint8_t Expected;
};

TEST(CodePageTables, ChangeCaseAndTranslateThroughKorvel) {
    const TTableCase cases[] = {
        {CodePageUpperTable, 9, 0x8C, 0x45},  // é: the page has no É
        {CodePageUpperTable, 9, 0x88, 0x41}, {CodePageUpperTable, 9, 0x8A, 0x43},
        {CodePageUpperTable, 9, 0x98, 0x45}, {CodePageUpperTable, 9, 0x9D, 0x55},
        {CodePageUpperTable, 9, 0x91, 0x81},  // ä -> Ä
        {CodePageUpperTable, 9, 0xE0, 0xC0}, {CodePageUpperTable, 9, 0x61, 0x41},
        {CodePageUpperTable, 9, 0x90, 0x90},  // ß has no capital of its own
        {CodePageUpperTable, 5, 0xB5, 0xB5},  // µ: ISO-8859-1 lacks its capital, Greek Μ
        {CodePageLowerTable, 0, 0xC0, 0xE0}, {CodePageLowerTable, 0, 0xA8, 0xB8},
        {CodePageLowerTable, 0, 0x41, 0x61}, {CodePageLowerTable, 0, 0x31, 0x31},
        {CodePageLowerTable, 9, 0xC0, 0xE0}, {CodePageLowerTable, 9, 0x8E, 0x9E},
        {CodePageLowerTable, 1, 0xE1, 0xC1}, {CodePageUpperTable, 2, 0xA0, 0x80},
        {CodePageLowerTable, 0, 0x00, 0x00}, {CodePageLowerTable, 13, 0x41, 0x00},
        {ToKorvelTable, 0, 0x80, 0xA6},  // Ђ, absent from code 9: an upper-case letter
        {ToKorvelTable, 0, 0xC0, 0xC0},      {ToKorvelTable, 0, 0xB9, 0xB7},
        {ToKorvelTable, 1, 0xE1, 0xC0},      {ToKorvelTable, 0, 0x98, 0xB0},
        {FromKorvelTable, 1, 0xC0, 0xE1},    {FromKorvelTable, 0, 0x9F, 0x3F},
        {FromKorvelTable, 0, 0xB7, 0xB9},    {FromKorvelTable, 13, 0xC0, 0x00},
    };
    for (const TTableCase& c : cases) {
        EXPECT_EQ(c.Table(c.Code)[c.Byte], c.Expected)
            << "code " << c.Code << " byte " << int(c.Byte);
    }
    for (ECharset code = 0; code < CODES_MAX; ++code) {
        ASSERT_EQ(CodePageLowerTable(code)[256], 0);
        ASSERT_EQ(FromKorvelTable(code)[256], 0);
    }
}

}  // namespace
