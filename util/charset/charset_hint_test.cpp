#include "util/charset/charset_hint.h"

#include <gtest/gtest.h>

namespace {

TEST(GuessCharsetByHint, UnderstandsLooselyWrittenNames) {
    const struct {
        const char* Hint;
        ECharset Code;
    } cases[] = {
        {"charset=CP1251", 0},
        {"Win 1251", 0},
        {"microsoft-1251", 0},
        {"ansi1251", 0},
        {"cp866", 2},
        {"latin-1", 5},
        {"isolatin1", 5},
        {"ISO8859-5", 4},
        {"  \"utf_8\";", 13},
        {"windowscp-1250", 7},
        {"CHARSET=koi8-r", 1},
        {"latin 2", 8},
        {"wincp=1257", 33},
        {"cp1125", 36},
        {"iso 8859 5", 4},
        {"latin10", 28},
        {"gb2312", -2},
        {"iso-8859-12", -2},
        {"shift_jis", 112},
        {"Big5", 90},
        {"latin5", 25},
        {"gb_18030", -2},
        {"", -1},
        {"charset=", -1},
        {"koi8", -1},
        {"--==--", -1},
        {"latin-11", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GuessCharsetByHint(c.Hint), c.Code) << c.Hint;
    }
    EXPECT_EQ(GuessCharsetByHint(nullptr), CODES_UNKNOWN);
}

}  // namespace
