#include "lemmer/grammar/grammeme_table.h"

#include "lemmer/grammar/grammeme_constants.h"

#include "util/charset/codepage.h"
#include "util/charset/utf8.h"
#include "util/generic/exception.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>

namespace {

// The code-page-9 bytes of UTF-8 text, found through the page's byte table (not its encoder);
// a character the page lacks gives an empty result, so a test comparing with it fails.
std::string KorvelByPage(const char* utf8) {
    const CodePage& page = *CodePageByCharset(CODES_KORVEL);
    const TUtf16String wide = DecodeUtf8(utf8, std::strlen(utf8));
    std::string out;
    for (wchar16 unit : wide) {
        int found = -1;
        for (int b = 1; b < 256 && found < 0; ++b) {
            if (page.Unicode[b] == unit) {
                found = b;
            }
        }
        if (found < 0) {
            return {};
        }
        out += char(found);
    }
    return out;
}

uint32_t Find(const TGrammemeTable& table, const std::string& name) {
    return table.FindCode(TCharRange(name.data(), name.size()));
}

bool Unassigned(uint32_t code) {
    return code < MinGrammemeCode || code > MaxGrammemeCode || (code >= 209 && code <= 213);
}

const TGrammemeTable& Table() {
    return TGrammemeTable::Instance();
}

TEST(GrammemeTable, RegistersEveryBuiltInCodeWithAtMostOneCategory) {
    int registered = 0, withoutCategory = 0, partsOfSpeech = 0;
    for (uint32_t code = 0; code < 256; ++code) {
        SCOPED_TRACE(code);
        const uint32_t mask = Table().GetCategoryMask(code);
        if (Unassigned(code)) {
            EXPECT_STREQ("", Table().GetLatinName(code));
            EXPECT_STREQ("", Table().GetCyrillicName(code));
            EXPECT_STREQ("", Table().GetCyrillicUtf8Name(code));
            EXPECT_EQ(0u, mask);
            continue;
        }
        ++registered;
        EXPECT_STRNE("", Table().GetLatinName(code));
        EXPECT_LE(std::popcount(mask), 1);
        EXPECT_EQ(0u, mask & 0x7FF00000u);
        withoutCategory += mask == 0;
        partsOfSpeech += mask == GC_PART_OF_SPEECH;
    }
    EXPECT_EQ(118, registered);
    EXPECT_EQ(21, withoutCategory);
    EXPECT_EQ(17, partsOfSpeech);
    EXPECT_EQ(256u, Table().Size());
}

TEST(GrammemeTable, FindsEveryCodeUnderItsThreeNames) {
    for (uint32_t code = MinGrammemeCode; code <= MaxGrammemeCode; ++code) {
        if (Unassigned(code)) {
            continue;
        }
        SCOPED_TRACE(code);
        const char* utf8 = Table().GetCyrillicUtf8Name(code);
        // Every letter of the Cyrillic names exists in code page 9: no replacement bytes.
        EXPECT_EQ(KorvelByPage(utf8), Table().GetCyrillicName(code));
        EXPECT_EQ(code, Find(Table(), Table().GetLatinName(code)));
        EXPECT_EQ(code, Find(Table(), utf8));
        EXPECT_EQ(code, Find(Table(), Table().GetCyrillicName(code)));
    }
}

TEST(GrammemeTable, NamedCodesAreTheTablesCodesOfTheirNames) {
    using namespace NGrammeme;
    const std::pair<const char*, unsigned char> named[] = {
        {"A", A},           {"ADV", ADV},     {"S", S},       {"V", V},       {"obsol", OBSOL},
        {"nom", NOM},       {"sg", SG},       {"pl", PL},     {"ger", GER},   {"inf", INF},
        {"partcp", PARTCP}, {"imper", IMPER}, {"brev", BREV}, {"supr", SUPR}, {"comp", COMP},
    };
    const TGrammemeTable& table = TGrammemeTable::Instance();
    for (const auto& [name, code] : named) {
        EXPECT_EQ(table.FindCode(TCharRange(name)), code) << name;
    }
}

TEST(GrammemeTable, LooksNamesUpExactly) {
    struct TCase {
        std::string Name;
        uint32_t Code;
    };
    const TCase cases[] = {
        {"nom", 165},
        {"\xD0\xB8\xD0\xBC", 165},  // "им" in UTF-8
        {KorvelByPage("им"), 165},
        {"Nom", 0},
        {"nom ", 0},
        {"no", 0},
        {"PART", 134},
        {"part", 171},
        {"S", 136},
        {"idiom", 143},
        {"идиом", 143},
        {"poss-3p-pl", 223},
        {"притяж-3л-мн", 223},
        {"deriv-A", 231},
        {"сказ-притяж", 246},
        {"счетн", 244},
        {"человек", 236},
        {"", 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Code, Find(Table(), c.Name));
    }
    EXPECT_EQ(165u, Table().FindCode("nominative", 3));
}

TEST(GrammemeTable, GivesNamesAndMasksByCode) {
    struct TCase {
        uint32_t Code;
        const char* Latin;
        const char* Cyrillic;  // UTF-8
        uint32_t Mask;
    };
    const TCase cases[] = {
        {127, "POSTP", "POSTP", GC_PART_OF_SPEECH},
        {136, "S", "S", GC_PART_OF_SPEECH},
        {143, "idiom", "идиом", GC_PART_OF_SPEECH},
        {144, "reserved", "reserved", 0},
        {166, "gen", "род", GC_CASE},
        {176, "ger", "деепр", GC_MOOD},
        {177, "inf", "инф", 0},
        {178, "partcp", "прич", 0},
        {194, "mf", "мж", GC_GENDER},
        {214, "dual", "дв", GC_NUMBER},
        {231, "deriv-A", "deriv-A", GC_DERIVATION},
        {236, "hum", "человек", GC_ANIMACY},
        {239, "converb", "конверб", 0},
        {244, "count", "счетн", GC_CASE},
        {246, "predic-poss", "сказ-притяж", GC_PREDICATIVE_PERSON},
        {249, "equat", "экв", 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Code);
        EXPECT_STREQ(c.Latin, Table().GetLatinName(c.Code));
        EXPECT_STREQ(c.Cyrillic, Table().GetCyrillicUtf8Name(c.Code));
        EXPECT_EQ(KorvelByPage(c.Cyrillic), Table().GetCyrillicName(c.Code));
        EXPECT_EQ(c.Mask, Table().GetCategoryMask(c.Code));
    }
    // Codes beyond the table answer like unregistered ones.
    EXPECT_STREQ("", Table().GetLatinName(256));
    EXPECT_STREQ("", Table().GetCyrillicName(100000));
    EXPECT_EQ(0u, Table().GetCategoryMask(0xFFFFFFFFu));
}

TEST(GrammemeTable, PartOfSpeechMasksHoldTheirCodes) {
    auto mask = [](std::initializer_list<uint32_t> codes) {
        uint32_t m = 0;
        for (uint32_t c : codes) {
            EXPECT_EQ(GC_PART_OF_SPEECH, Table().GetCategoryMask(c));
            m |= 1u << (c - MinGrammemeCode);
        }
        return m;
    };
    EXPECT_EQ(mask({128, 129, 136, 137, 138}), POS_MASK_HYPOTHESIS_LONG);
    EXPECT_EQ(mask({128, 136}), POS_MASK_HYPOTHESIS_PREFIX);
    EXPECT_EQ(mask({136}), POS_MASK_HYPOTHESIS_SHORT);
}

TEST(GrammemeTable, LaterRegistrationTakesTheName) {
    TGrammemeTable table;
    table.AddGrammem(150, "стар", "old", 0x4);
    table.AddGrammem(151, "нов", "old", 0x8);
    EXPECT_EQ(151u, Find(table, "old"));
    EXPECT_EQ(150u, Find(table, "стар"));
    EXPECT_EQ(150u, Find(table, KorvelByPage("стар")));
    EXPECT_STREQ("old", table.GetLatinName(150));  // the old code keeps its own names
    EXPECT_EQ(0x4u, table.GetCategoryMask(150));
}

// Registering a code again replaces its strings; the index keys made from the old strings
// must stay readable (AddressSanitizer reports a read of a freed string here).
TEST(GrammemeTable, KeysOutliveReplacedNames) {
    TGrammemeTable table;
    table.AddGrammem(200, "первый", "first", GC_CASE);
    table.AddGrammem(200, "второй", "second", GC_NUMBER);
    EXPECT_STREQ("second", table.GetLatinName(200));
    EXPECT_EQ(KorvelByPage("второй"), table.GetCyrillicName(200));
    EXPECT_EQ(GC_NUMBER, table.GetCategoryMask(200));
    for (const char* name : {"first", "первый", "second", "второй"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(200u, Find(table, name));
    }
    EXPECT_EQ(200u, Find(table, KorvelByPage("первый")));
    // The same names again: the keys now view the newest strings.
    table.AddGrammem(200, "первый", "first", GC_CASE);
    table.AddGrammem(201, "x", "y", 0);
    EXPECT_EQ(200u, Find(table, "first"));
    EXPECT_EQ(201u, Find(table, "y"));
}

TEST(GrammemeTable, GrowsForLargeCodesAndManyNames) {
    TGrammemeTable table;
    table.AddGrammem(300, nullptr, "big", 0x2);
    EXPECT_EQ(301u, table.Size());
    EXPECT_STREQ("big", table.GetLatinName(300));
    EXPECT_STREQ("", table.GetCyrillicName(300));  // a null name counts as empty
    EXPECT_STREQ("", table.GetLatinName(299));
    EXPECT_EQ(0x2u, table.GetCategoryMask(300));
    for (uint32_t code = 400; code < 1400; ++code) {
        const std::string latin = "g" + std::to_string(code);
        const std::string cyr = "г" + std::to_string(code);
        table.AddGrammem(code, cyr.c_str(), latin.c_str(), 0);
    }
    for (uint32_t code = 400; code < 1400; ++code) {
        ASSERT_EQ(code, Find(table, "g" + std::to_string(code)));
        ASSERT_EQ(code, Find(table, "г" + std::to_string(code)));
        ASSERT_EQ(code, Find(table, KorvelByPage(("г" + std::to_string(code)).c_str())));
    }
    EXPECT_EQ(300u, Find(table, "big"));
}

TEST(GrammemeTable, RejectsMalformedUtf8) {
    TGrammemeTable table;
    EXPECT_THROW(table.AddGrammem(150, "\xD0", "bad", 0), kexception);
    EXPECT_EQ(0u, Find(table, "bad"));
}

TEST(GrammemeNameIndex, GrowsThroughThePrimeList) {
    EXPECT_EQ(7u, NextHashBucketCount(0));
    EXPECT_EQ(7u, NextHashBucketCount(7));
    EXPECT_EQ(17u, NextHashBucketCount(8));
    EXPECT_EQ(3221225473u, NextHashBucketCount(3221225473u));
    EXPECT_EQ(4294967291u, NextHashBucketCount(5000000000u));
    TGrammemeNameIndex index;
    EXPECT_EQ(7u, index.BucketCount());
    std::vector<Stroka> keys;
    for (int i = 0; i < 8; ++i) {
        keys.emplace_back(std::to_string(i).c_str());
        index.Insert(keys.back(), 10 + i);
    }
    EXPECT_EQ(8u, index.Size());
    EXPECT_EQ(17u, index.BucketCount());
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(uint32_t(10 + i), index.Find(keys[i].AsRange()));
    }
}

}  // namespace
