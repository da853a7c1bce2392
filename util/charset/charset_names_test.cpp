#include "util/charset/charset_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

struct TNameCase {
    const char* Name;
    ECharset Code;
};

TEST(CharsetByName, AnswersNamesAliasesAndTheirVariants) {
    const TNameCase cases[] = {
        {"WINDOWS-1251", 0},
        {"Windows-1251", 0},
        {"windows_1251", 0},
        {"windows1251", 0},
        {"x-windows-1251", 0},
        {"X_WINDOWS_1251", 0},
        {"xwindows1251", 0},
        {"0", 0},
        {"utf8", 13},
        {"UTF_8", 13},
        {"x-utf-8", 13},
        {"13", 13},
        {"UTF-16", 11},
        {"korvel", 9},
        {"112", 112},
        {"ISO_8859-5", 4},
        {"ISO88595", 4},
        {"ISO_8859_5", 4},
        {"ISO-8859-5", 4},
        {"win", 0},
        {"win-east", 7},
        {"KOI8-R", 1},
        {"csKOI8R", 1},
        {"latin1", 5},
        {"us-ascii", 5},
        {"iso_646.irv:1991", 5},
        {"BIG5-HKSCS:2001", 93},
        {"shift-jis", 112},
        {"SHIFTJIS", 112},
        {"unknown_plane", 14},
        {"x-mac", 3},
        {"TIS620.2533-1", 88},
        {"tis620_2529_1", -1},
    };
    for (const TNameCase& c : cases) {
        EXPECT_EQ(CharsetByName(c.Name), c.Code) << c.Name;
    }
}

TEST(CharsetByName, GivesUnknownForEverythingElse) {
    const char* names[] = {"113",           "-1",        "007",  "+1",        " windows-1251",
                           "windows-1251 ", "",          "koi8", "x-",        "win_1251",
                           "utf-8x",        "x-x-utf-8", "UTF7", "cp1251\xC0"};
    for (const char* name : names) {
        EXPECT_EQ(CharsetByName(name), CODES_UNKNOWN) << name;
    }
    EXPECT_EQ(CharsetByName(nullptr), CODES_UNKNOWN);
}

// Every name of every record, with its variants, leads back to its own code, and the map
// holds exactly the keys those variants make.
TEST(CharsetByName, FindsEveryNameOfEveryRecord) {
    const CodePageRegistry& registry = CodePageRegistry::Instance();
    for (ECharset code = 0; code < CODES_MAX; ++code) {
        const CodePage& page = registry[code];
        EXPECT_EQ(CharsetByName(std::to_string(code).c_str()), code);
        for (size_t i = 0; i < CODEPAGE_NAME_SLOTS && page.Names[i]; ++i) {
            std::string name = page.Names[i];
            std::string upper = name;
            std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
            std::string swapped = name;
            std::replace(swapped.begin(), swapped.end(), '-', '_');
            std::string upperSwapped = upper;
            std::replace(upperSwapped.begin(), upperSwapped.end(), '-', '_');
            std::string bare = name;
            bare.erase(std::remove_if(bare.begin(), bare.end(),
                                      [](char c) { return c == '-' || c == '_'; }),
                       bare.end());
            for (const std::string& key :
                 {name, upper, swapped, bare, "x-" + name, "X_" + upperSwapped}) {
                EXPECT_EQ(CharsetByName(key.c_str()), code) << key;
            }
        }
    }
    EXPECT_EQ(CharsetNameMap::Instance().Size(), 1617u);
    EXPECT_EQ(CharsetNameMap::Instance().BucketCount(), 3079u);
}

TEST(CodePageHash, FoldsCaseUnderThePage) {
    const CodePage& korvel = CodePageRegistry::Instance()[CODES_KORVEL];
    EXPECT_EQ(CodePageHash(korvel, "", 0), 0u);
    EXPECT_EQ(CodePageHash(korvel, "a", 1), 1u * 5 + 'a');
    EXPECT_EQ(CodePageHash(korvel, "Ab", 2), (2u * 5 + 'a') * 5 + 'b');
    EXPECT_EQ(CodePageHash(korvel, "UTF-8", 5), CodePageHash(korvel, "utf-8", 5));
}

}  // namespace
