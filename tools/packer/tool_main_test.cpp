#include "tools/tool_main.h"

#include "util/testing/exception_matchers.h"
#include "util/testing/scratch_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {
std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(WriteFileWhole, ReplacesTheResultOnlyWhenWritingSucceeds) {
    TScratchDir scratch;
    const std::string path = scratch.File("result.cpp");
    const Stroka target(path.c_str());
    WriteFileWhole(target, [](TOutputStream& out) { out << "first"; });
    EXPECT_EQ(ReadAll(path), "first");

    // A failed write leaves the old result and no temporary file beside it.
    EXPECT_THAT(
        [&] {
            WriteFileWhole(target, [](TOutputStream& out) {
                out << "half";
                throw kexception() << "input is not compressed";
            });
        },
        RaisesMessage<kexception>("input is not compressed"));
    EXPECT_EQ(ReadAll(path), "first");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

    // Nor when the rename fails: a directory stands where the result should go.
    const std::string blocked = scratch.File("blocked");
    std::filesystem::create_directory(blocked);
    std::filesystem::create_directory(blocked + "/inside");
    EXPECT_THROW(WriteFileWhole(Stroka(blocked.c_str()), [](TOutputStream& out) { out << "x"; }),
                 TFileError);
    EXPECT_FALSE(std::filesystem::exists(blocked + ".tmp"));
}
}  // namespace
