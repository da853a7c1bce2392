// The program name that the usage line shows.
#include "analyzer/usage.h"

#include <gtest/gtest.h>

namespace {

TEST(UsageTest, ShowsTheBaseNameOfTheProgramPath) {
    const struct {
        const char* Path;
        const char* Name;
    } cases[] = {
        {"/usr/local/bin/tool", "tool"},
        {"lemmix", "lemmix"},
        {"C:\\bin\\tool.exe", "tool.exe"},
        {"host:tool", "tool"},
        {"a/b\\c:d", "d"},
        {"dir/", "dir/"},  // nothing after the last separator: the whole path
        {"/", "/"},
        {"", ""},
        {nullptr, ""},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(ProgramBaseName(c.Path), c.Name) << (c.Path ? c.Path : "(null)");
    }
}

}  // namespace
