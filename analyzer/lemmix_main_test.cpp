// What no process started by a shell can show: lemmix given an empty argument vector.
#include "analyzer/lemmix_main.h"

#include <gtest/gtest.h>

namespace {

TEST(LemmixMainTest, AnEmptyArgumentVectorIsAnErrorWithStatusOne) {
    char* argv[] = {nullptr};
    ::testing::internal::CaptureStderr();
    const int status = LemmixMain(0, argv);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "argv must have at least one argument\n");
    EXPECT_EQ(status, 1);
}

}  // namespace
