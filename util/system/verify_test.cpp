#include "util/system/verify.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace NVerifyTest {
// Out of line and exported, so that the back trace can name it (an optimised build may move
// the failing branch into a local cold part, which prints as "??").
__attribute__((noinline)) void FailingCheck(int value) {
    VERIFY(value == 0, "value is %d (%s)", value, "unexpected");
}
}  // namespace NVerifyTest

// The report's three lines, then a back trace naming the caller (demangled) and the abort.
TEST(VerifyDeathTest, ReportsRequirementLocationAndBackTrace) {
    EXPECT_DEATH(NVerifyTest::FailingCheck(7),
                 "^VERIFY failed: value is 7 \\(unexpected\\)\n"
                 "  util/system/verify_test\\.cpp:[0-9]+\n"
                 "  FailingCheck\\(\\): requirement value == 0 failed\n"
                 "(.*\n)*"
                 "Panic\\(.*\\)\\+[0-9]+\n"
                 "(NVerifyTest::FailingCheck\\(int\\)|\\?\\?)\\+[0-9]+\n"
                 "(.*\n)*"
                 ".*main\\+[0-9]+\n");
}

TEST(VerifyDeathTest, NullTextsPrintAsNull) {
    EXPECT_DEATH(Panic(nullptr, 12, nullptr, nullptr, "plain"),
                 "^VERIFY failed: plain\n"
                 "  \\(null\\):12\n"
                 "  \\(null\\)\\(\\): requirement \\(null\\) failed\n");
}

// A message longer than a scratch buffer is printed whole.
TEST(VerifyDeathTest, LongMessageIsPrintedWhole) {
    const std::string text(70000, 'm');
    EXPECT_DEATH(VERIFY(text.empty(), "%s|", text.c_str()),
                 testing::HasSubstr("VERIFY failed: " + text + "|\n  "));
}

TEST(Verify, PassingCheckDoesNothing) {
    int evaluations = 0;
    VERIFY(++evaluations == 1, "evaluated %d times", evaluations);
    EXPECT_EQ(evaluations, 1);
}

TEST(Verify, SourceNameDropsTheRepositoryRoot) {
    EXPECT_STREQ(NPrivate::SourceName(__FILE__), "util/system/verify_test.cpp");
    EXPECT_STREQ(NPrivate::SourceName("/elsewhere/x.cpp"), "/elsewhere/x.cpp");
}
