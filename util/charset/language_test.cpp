#include "util/charset/language.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

ELanguage ByName(const char* name) {
    return LanguageByName(TCharRange(name));
}

TEST(LanguageTable, FindsEveryKindOfNameWithoutRegardToCase) {
    struct TCase {
        const char* Name;
        ELanguage Id;
    };
    const TCase cases[] = {
        {"Russian", LANG_RUS},
        {"RUSSIAN", LANG_RUS},
        {"rus", LANG_RUS},
        {"ru", LANG_RUS},
        {"ru-RU", LANG_RUS},
        {"RU-ru", LANG_RUS},
        {"Belorussian", LANG_BLR},
        {"fra", LANG_FRE},
        {"fr-CA", LANG_FRE},
        {"en-AU", LANG_ENG},
        {"en-GB", LANG_ENG},
        {"Basic Russian", LANG_BASIC_RUS},
        {"bas-en", LANG_BASIC_ENG},
        {"basic-eng", LANG_BASIC_ENG},
        {"u17", LANG_UNUSED_17},
        {"unkcyr", LANG_UNK_CYR},
        {"Church Slavonic", LANG_CHU},
        {"kat", LANG_GEO},
        {"mis", LANG_UNK},
        {"Unknown", LANG_UNK},
        // Not names: partial, padded, a separator alone.
        {"Russia", LANG_UNK},
        {"rus ", LANG_UNK},
        {",", LANG_UNK},
        {"", LANG_UNK},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(ByName(c.Name), c.Id) << c.Name;
    }
    // A range is not read past its length.
    EXPECT_EQ(LanguageByName(TCharRange("rusXXX", 3)), LANG_RUS);
}

TEST(LanguageTable, UnknownNamesGiveTheMaximumInTheOrMaxForm) {
    EXPECT_EQ(LanguageByNameOrMax(TCharRange("")), LANG_MAX);
    EXPECT_EQ(LanguageByNameOrMax(TCharRange("klingon")), LANG_MAX);
    EXPECT_EQ(LanguageByNameOrMax(TCharRange("eng")), LANG_ENG);
    EXPECT_EQ(LanguageByNameOrMax(TCharRange("unk")), LANG_UNK);
}

TEST(LanguageTable, NamesById) {
    EXPECT_STREQ(FullNameByLanguage(LANG_RUS), "Russian");
    EXPECT_STREQ(CodeByLanguage(LANG_RUS), "rus");
    EXPECT_STREQ(NameByLanguage(LANG_RUS), "ru");
    EXPECT_STREQ(FullNameByLanguage(17), "");
    EXPECT_STREQ(CodeByLanguage(17), "u17");
    EXPECT_STREQ(NameByLanguage(LANG_EMPTY), "");
    EXPECT_STREQ(CodeByLanguage(LANG_CHU), "chu");
    for (int id : {-1, int(LANG_MAX), 1000}) {
        EXPECT_EQ(FullNameByLanguage(id), nullptr);
        EXPECT_EQ(CodeByLanguage(id), nullptr);
        EXPECT_EQ(NameByLanguage(id), nullptr);
    }
    EXPECT_EQ(ScriptByLanguage(LANG_RUS), SCRIPT_CYRILLIC);
    EXPECT_EQ(ScriptByLanguage(LANG_KOR), SCRIPT_HANGUL);
    EXPECT_EQ(ScriptByLanguage(LANG_UNK), SCRIPT_OTHER);
}

// Every code and full name leads back to its own row.
TEST(LanguageTable, EveryNameFindsItsRow) {
    for (int id = 0; id < LANG_MAX; ++id) {
        for (const char* name : {FullNameByLanguage(id), CodeByLanguage(id), NameByLanguage(id)}) {
            if (*name) {
                EXPECT_EQ(ByName(name), id) << name;
            }
        }
    }
}

}  // namespace
