#include "util/charset/codepage_case.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const CodePage& Page(ECharset code) {
    return CodePageRegistry::Instance()[code];
}

TEST(CodePageCase, ChangesTheCaseOfRangesAndTerminatedStrings) {
    const std::string text = "Abc \xC0\xE0 \x8C\x91";
    char out[32] = {};
    EXPECT_EQ(ToLower(Page(0), text.data(), text.data() + text.size(), out), out + text.size());
    EXPECT_EQ(std::string(out, text.size()), "abc \xE0\xE0 \x9C\x91");
    EXPECT_EQ(ToUpper(Page(9), text.c_str(), out), out + text.size());
    EXPECT_EQ(std::string(out, text.size()), "ABC \xC0\xC0 E\x81");
    char kept[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(ToLower(Page(9), "", kept), kept);
    EXPECT_EQ(kept[0], 'x');
}

TEST(CodePageCase, ComparesWithoutRegardToCase) {
    const CodePage& korvel = Page(CODES_KORVEL);
    EXPECT_EQ(CodePageStrICmp(korvel, "UTF-8", "utf-8"), 0);
    EXPECT_EQ(CodePageStrICmp(korvel, "\xC0\xC1", "\xE0\xE1"), 0);
    EXPECT_EQ(CodePageStrICmp(korvel, "abc", "ABD"), 'c' - 'd');
    EXPECT_GT(CodePageStrICmp(korvel, "abc", "AB"), 0);
    EXPECT_LT(CodePageStrICmp(korvel, "", "a"), 0);
    EXPECT_EQ(CodePageStrNICmp(korvel, "abc", "xyz", 0), 0);
    EXPECT_EQ(CodePageStrNICmp(korvel, "abcX", "ABCy", 3), 0);
    EXPECT_NE(CodePageStrNICmp(korvel, "abcX", "ABCy", 4), 0);
    EXPECT_EQ(CodePageStrNICmp(korvel, "ab", "AB", 10), 0);
    EXPECT_EQ(CodePageCompare(korvel, Stroka("Big5"), "BIG5"), 0);
    EXPECT_EQ(CodePageCompare(korvel, Stroka("a"), Stroka("B")), 'a' - 'b');
}

TEST(CodePageCase, ComparesRanges) {
    const CodePage& page = Page(0);
    const TCharRange hello("Hello", 5), he("hE", 2), lo("LO", 2), nul("h\0x", 3);
    EXPECT_TRUE(CodePageStartsWith(page, he, hello));
    EXPECT_FALSE(CodePageStartsWith(page, hello, he));
    EXPECT_TRUE(CodePageEndsWith(page, lo, hello));
    EXPECT_FALSE(CodePageEndsWith(page, hello, lo));  // longer than the text
    EXPECT_FALSE(CodePageEndsWith(page, he, hello));
    EXPECT_EQ(CodePageCompare(page, he, TCharRange("HE", 2)), 0);
    EXPECT_LT(CodePageCompare(page, he, hello), 0);  // a prefix is smaller
    EXPECT_GT(CodePageCompare(page, hello, he), 0);
    EXPECT_GT(CodePageCompare(page, nul, TCharRange("h\0a", 3)), 0);  // bytes after a NUL count
}

TEST(TranslateBytes, MapsThroughAnyTable) {
    uint8_t table[256];
    for (int i = 0; i < 256; ++i) {
        table[i] = static_cast<uint8_t>(255 - i);
    }
    table[0] = 0;
    char out[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    TranslateBytes(table, "\x01\xFE", out, 2);
    EXPECT_EQ(std::string(out, 3), "\xFE\x01\x01");
    EXPECT_EQ(TranslateBytes(table, "\x01\x02", out), out + 3);
    EXPECT_EQ(std::string(out, 4), std::string("\xFE\xFD\0\x01", 4));
    char inPlace[] = "\x01\x02\x03";
    TranslateBytes(table, inPlace, 2);
    EXPECT_EQ(std::string(inPlace), "\xFE\xFD\x03");
    TranslateBytes(table, inPlace);
    EXPECT_EQ(std::string(inPlace), "\x01\x02\xFC");
}

}  // namespace
