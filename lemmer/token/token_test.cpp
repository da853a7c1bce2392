#include "lemmer/token/token.h"

#include <gtest/gtest.h>

TEST(Token, NamesBreakTypesIgnoringBitsTwoAndThree) {
    const std::vector<std::pair<uint32_t, const char*>> cases = {
        {0, "ST_NOBRK"},    {1, "ST_SENTBRK"},          {2, ""},  {3, "ST_PARABRK"},
        {4, "ST_NOBRK"},    {13, "ST_SENTBRK"},         {14, ""}, {15, "ST_PARABRK"},
        {17, "ST_SENTBRK"}, {0xFFFFFFFF, "ST_PARABRK"},
    };
    for (const auto& [code, name] : cases) {
        EXPECT_STREQ(BreakTypeName(code), name) << code;
    }
}
