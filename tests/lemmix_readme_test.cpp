// The README's examples, run as a reader would run them, so that they cannot drift from what
// lemmix does. In a block marked `console`, a line that begins with "$ " is a command, run by a
// fresh bash in the source root with the built lemmix first on PATH; the lines below it, up to
// the next command or the block's end, are exactly what it prints on standard output and
// standard error together.
#include "tests/process.h"
#include "tests/read_file.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct TConsoleExample {
    size_t Line = 0;  // of the command, counted from 1
    std::string Command;
    std::string Output;
};

// Raises std::runtime_error for a block whose first line is not a command or that is not
// closed: such a block would otherwise be checked only in part.
std::vector<TConsoleExample> ConsoleExamples(const std::string& markdown) {
    std::vector<TConsoleExample> examples;
    std::istringstream lines(markdown);
    bool inBlock = false;
    size_t blockStart = 0;
    size_t number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        if (!inBlock) {
            inBlock = line == "```console";
            blockStart = number;
            continue;
        }
        if (line.starts_with("```")) {
            inBlock = false;
        } else if (line.starts_with("$ ")) {
            examples.push_back({number, line.substr(2), ""});
        } else if (examples.empty() || examples.back().Line < blockStart) {
            throw std::runtime_error("line " + std::to_string(number) +
                                     ": a console block must begin with a command");
        } else {
            examples.back().Output += line + "\n";
        }
    }
    if (inBlock) {
        throw std::runtime_error("the console block of line " + std::to_string(blockStart) +
                                 " is not closed");
    }
    return examples;
}

std::string Folder(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}

TEST(LemmixReadme, EveryConsoleExamplePrintsWhatItShows) {
    const std::string readme = ReadFile(LEMMIX_SOURCE_DIR "/README.md");
    ASSERT_FALSE(readme.empty());
    const std::vector<TConsoleExample> examples = ConsoleExamples(readme);
    ASSERT_GE(examples.size(), 10u);
    const std::string path = "PATH='" + Folder(LEMMIX_EXECUTABLE) + "':\"$PATH\"; exec 2>&1; ";
    for (const TConsoleExample& example : examples) {
        const TProcessResult result = RunProcess({.Path = "/bin/bash",
                                                  .Argv = {"bash", "-c", path + example.Command},
                                                  .WorkDir = LEMMIX_SOURCE_DIR});
        EXPECT_EQ(result.Stdout, example.Output)
            << "README.md line " << example.Line << ": $ " << example.Command;
        EXPECT_EQ(result.Stderr, "");
    }
}

TEST(LemmixReadme, ReadsCommandsAndTheirOutputFromConsoleBlocksOnly) {
    const std::vector<TConsoleExample> examples = ConsoleExamples(
        "```\n$ not a command\n```\n"
        "```console\n$ echo a; echo b\na\nb\n$ true\n```\n"
        "```console\n$ printf x\n\n```\n");
    ASSERT_EQ(examples.size(), 3u);
    EXPECT_EQ(examples[0].Line, 5u);
    EXPECT_EQ(examples[0].Command, "echo a; echo b");
    EXPECT_EQ(examples[0].Output, "a\nb\n");
    EXPECT_EQ(examples[1].Output, "");
    EXPECT_EQ(examples[2].Output, "\n");

    EXPECT_THROW(ConsoleExamples("```console\noutput before a command\n```\n"), std::runtime_error);
    EXPECT_THROW(ConsoleExamples("```console\n$ true\n```\n```console\nstray\n```\n"),
                 std::runtime_error);
    EXPECT_THROW(ConsoleExamples("```console\n$ true\n"), std::runtime_error);
}

}  // namespace
