// Bounded copies at and around their limits.
#include "util/string/lcpy.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(TLcpyTest, CopyCutsAndAlwaysTerminates) {
    struct TCase {
        size_t Size;
        const char* Expected;
    };
    const TCase cases[] = {{1, ""}, {2, "a"}, {5, "abcd"}, {6, "abcde"}, {100, "abcde"}};
    for (const auto& c : cases) {
        char buf[100];
        memset(buf, 'x', sizeof(buf));
        EXPECT_EQ(NLemmix::strlcpy(buf, "abcde", c.Size), 5u);
        EXPECT_STREQ(buf, c.Expected);
    }
    char untouched = 'x';
    EXPECT_EQ(NLemmix::strlcpy(&untouched, "abc", 0), 3u);
    EXPECT_EQ(untouched, 'x');
}

TEST(TLcpyTest, ConcatenationReportsWholeLength) {
    char buf[8] = "abc";
    EXPECT_EQ(NLemmix::strlcat(buf, "de", sizeof(buf)), 5u);
    EXPECT_STREQ(buf, "abcde");
    EXPECT_EQ(NLemmix::strlcat(buf, "fghij", sizeof(buf)), 10u);
    EXPECT_STREQ(buf, "abcdefg");
    char full[4] = {'a', 'b', 'c', 'd'};  // no NUL within the size
    EXPECT_EQ(NLemmix::strlcat(full, "xy", sizeof(full)), 6u);
    EXPECT_EQ(full[3], 'd');
}

}  // namespace
