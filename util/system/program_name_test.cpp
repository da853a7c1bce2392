#include "util/system/program_name.h"

#include "util/system/exec_path.h"

#include <gtest/gtest.h>

#include <cstdlib>

// Runs first, in a child, while the name is not built yet: the override is used, cut at its
// last '/', and a later override changes nothing.
TEST(ProgramNameDeathTest, OverrideBeforeFirstUse) {
    EXPECT_EXIT(
        {
            SetProgramName("/opt/tools/lemmix-custom");
            const Stroka& first = GetProgramName();
            SetProgramName("other");
            const bool ok = first == "lemmix-custom" && &GetProgramName() == &first &&
                            GetProgramName() == "lemmix-custom";
            std::exit(ok ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EXIT(
        {
            SetProgramName("no-slash");
            std::exit(GetProgramName() == "no-slash" ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST(ProgramName, IsTheExecutablesBaseName) {
    EXPECT_EQ(GetProgramName(), "util_tests");
    const Stroka& path = GetExecPath();
    EXPECT_TRUE(path.EndsWith("/util_tests"));
}
