// Shared pieces of the dictionary compiler's tests: Russian settings, a scratch directory, and
// reading a whole file.
#pragma once

#include "lemmer/alphabet/alphabet_registry.h"
#include "lemmer/compiler/compiler_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace NCompilerTest {

// The settings a source-file load gives Russian: UTF-8, the Russian normaliser, tuples of 2.
inline TCompilerSettings RussianSettings() {
    TCompilerSettings settings;
    settings.CodePage = CODES_UTF8;
    settings.TupleLength = 2;
    settings.Normalizer = NLemmer::GetAlphabetWordNormalizer(1);
    return settings;
}

// A fresh directory, removed with its files at the end of the test.
class TScratchDir {
public:
    TScratchDir() {
        std::random_device rd;
        Path_ = std::filesystem::temp_directory_path() /
                ("lemmix-compiler-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(Path_);
    }
    ~TScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(Path_, ec);
    }
    std::string File(const std::string& name) const { return (Path_ / name).string(); }
    const std::filesystem::path& Path() const { return Path_; }

private:
    std::filesystem::path Path_;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::string TestData(const std::string& name) {
    return std::string(LEMMIX_SOURCE_DIR "/lemmer/compiler/testdata/") + name;
}

}  // namespace NCompilerTest
