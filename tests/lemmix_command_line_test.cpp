// lemmix as a script sees it: arguments, standard input, standard output, standard error, exit
// status and the files it reads and writes, one row per case.
#include "tests/process.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string UsageText(const std::string& name) {
    return "Lemmix morphological analyzer.\n"
           "Copyright (c) 2026 the Lemmix authors.\n"
           "\n"
           "See README.md in the Lemmix sources for more information.\n"
           "\n"
           "Usage: " +
           name +
           " [options] [input file] [output file]\n"
           "Version 2.1.\n"
           "Options:\n"
           "    -h, -?           Print this synopsis and exit\n"
           "    -v               Print current version and exit\n"
           "    -c               Copy entire input to output\n"
           "    -n               Print every word on a new line\n"
           "    -w               Print only dictionary words\n"
           "    -l               Print only lemmas, without words\n"
           "    -f               Print lemma frequency\n"
           "    -s               Print end of sentence mark\n"
           "                     (works only with -c)\n"
           "    -i               Print grammatical information\n"
           "    -g               Glue grammatical information for same lemmas in output\n"
           "                     (works only with -i)\n"
           "    -e <encoding>    Specify input/output encoding\n";
}

const std::string Revision =
    "revision: 993234 from https://lemmix.invalid/repository/trunk at 2012-11-16 17:51:24 "
    "+0300 \n";

// The files every case starts with. None holds a letter, so that copying them (-c) gives the
// same output as the analysis of their text would. link.txt is a symbolic link to in.txt.
const char InText[] = "1, 2.\r\n3;\n4";
const std::pair<const char*, const char*> Fixture[] = {
    {"in.txt", InText}, {"-c", "7\n"}, {"-n", "8\n"}, {"out.txt", "old\n"}, {"empty.txt", ""},
};
const char InCopied[] = "1, 2.\n3;\n4\n";

using TFiles = std::vector<std::pair<std::string, std::optional<std::string>>>;

struct TCase {
    const char* Name = "";
    std::vector<std::string> Args = {};
    std::string Stdin = {};
    std::string Stdout = {};
    std::string Stderr = {};  // the usage text follows when Usage is set
    int Status = 0;
    bool Usage = false;
    TFiles Files = {};  // after the run: each file's content, or nullopt where none may exist
    std::string Argv0 = "lemmix";
    // The standard streams as files (a name in the scratch directory, or an absolute path)
    // instead of pipes; standard output is appended to, as the shell's >> does.
    std::string StdinFile = {};
    std::string StdoutFile = {};
};

const TCase Cases[] = {
    // Standard streams and the run.
    {.Name = "no arguments read standard input", .Stdin = "1, 2.\n"},
    {.Name = "-c copies, a CR before LF goes, the last line gets LF",
     .Args = {"-c"},
     .Stdin = "1, 2.\r\n3\r4\n5",
     .Stdout = "1, 2.\n3\r4\n5\n"},
    {.Name = "empty input", .Args = {"-c"}},

    // Usage, version and revision.
    {.Name = "-h", .Args = {"-h"}, .Usage = true},
    {.Name = "-?", .Args = {"-?"}, .Usage = true},
    {.Name = "-c -h", .Args = {"-c", "-h"}, .Usage = true},
    {.Name = "-h before a bad encoding", .Args = {"-h", "-e", "bogus"}, .Usage = true},
    {.Name = "-h in a cluster", .Args = {"-ch"}, .Stdin = "1\n", .Usage = true},
    {.Name = "-v", .Args = {"-v"}, .Stdout = "Lemmix 2.1\n"},
    {.Name = "-v before a bad encoding", .Args = {"-v", "-e", "bogus"}, .Stdout = "Lemmix 2.1\n"},
    {.Name = "bad encoding before -v",
     .Args = {"-e", "bogus", "-v"},
     .Stderr = "Unrecognized encoding: \"bogus\"\n",
     .Status = 1},
    {.Name = "--svnrevision", .Args = {"--svnrevision"}, .Stdout = Revision},
    {.Name = "+svnrevision", .Args = {"+svnrevision"}, .Stdout = Revision},
    {.Name = "--svnrevision before an unknown option",
     .Args = {"-c", "--svnrevision", "-x"},
     .Stdout = Revision},
    {.Name = "/usr/local/bin/tool is named tool",
     .Args = {"-h"},
     .Usage = true,
     .Argv0 = "/usr/local/bin/tool"},
    {.Name = "a path ending in / is named whole", .Args = {"-?"}, .Usage = true, .Argv0 = "dir/"},
    {.Name = "backslash and colon end a path too",
     .Args = {"-h"},
     .Usage = true,
     .Argv0 = "C:\\bin\\tool.exe"},

    // Option errors: the parser's line, the usage text, status 1.
    {.Name = "unknown option",
     .Args = {"-x"},
     .Stderr = "unknown option 'x' in '-x'\n",
     .Status = 1,
     .Usage = true},
    {.Name = "unknown option in a cluster",
     .Args = {"-cx"},
     .Stdin = "1\n",
     .Stderr = "unknown option 'x' in '-cx'\n",
     .Status = 1,
     .Usage = true},
    {.Name = "unknown option before --svnrevision",
     .Args = {"-x", "--svnrevision"},
     .Stderr = "unknown option 'x' in '-x'\n",
     .Status = 1,
     .Usage = true},
    {.Name = "unknown control character",
     .Args = {"-\t"},
     .Stderr = "unknown option '\\t' in '-\t'\n",
     .Status = 1,
     .Usage = true},
    {.Name = "unknown long option",
     .Args = {"--foo"},
     .Stderr = "unknown option 'foo' in '--foo'\n",
     .Status = 1,
     .Usage = true},
    {.Name = "unknown + option",
     .Args = {"+q"},
     .Stderr = "unknown option 'q' in '+q'\n",
     .Status = 1,
     .Usage = true},
    {.Name = "-e without its argument",
     .Args = {"-c", "-e"},
     .Stderr = "option -e must have arg\n",
     .Status = 1,
     .Usage = true},
    {.Name = "an argument to an option without one",
     .Args = {"--svnrevision=1"},
     .Stderr = "option svnrevision must have no arg\n",
     .Status = 1,
     .Usage = true},
    {.Name = "an option error after the file names does no work",
     .Args = {"-c", "in.txt", "x", "-q"},
     .Stderr = "unknown option 'q' in '-q'\n",
     .Status = 1,
     .Usage = true,
     .Files = {{"x", std::nullopt}}},

    // Encodings.
    {.Name = "-e koi8-r", .Args = {"-e", "koi8-r", "-c"}, .Stdin = "1\n", .Stdout = "1\n"},
    {.Name = "-ekoi8-r", .Args = {"-ekoi8-r", "-c"}, .Stdin = "1\n", .Stdout = "1\n"},
    {.Name = "-ce koi8-r", .Args = {"-ce", "koi8-r"}, .Stdin = "1\n", .Stdout = "1\n"},
    {.Name = "a name variant", .Args = {"-c", "-e", "KOI8_R"}, .Stdin = "1\n", .Stdout = "1\n"},
    {.Name = "blanks around the name",
     .Args = {"-c", "-e", " \tutf-8\r\n"},
     .Stdin = "1\n",
     .Stdout = "1\n"},
    {.Name = "empty name",
     .Args = {"-e", ""},
     .Stderr = "Unrecognized encoding: \"\"\n",
     .Status = 1},
    {.Name = "blank name shown with its blanks",
     .Args = {"-e", " \t "},
     .Stderr = "Unrecognized encoding: \" \t \"\n",
     .Status = 1},
    {.Name = "-e takes the next element even when it begins with -",
     .Args = {"-e", "-c"},
     .Stderr = "Unrecognized encoding: \"-c\"\n",
     .Status = 1},
    {.Name = "a valid -e, then a bad one",
     .Args = {"-e", "utf-8", "-e", "bogus"},
     .Stderr = "Unrecognized encoding: \"bogus\"\n",
     .Status = 1},
    {.Name = "a bad -e, then a valid one",
     .Args = {"-e", "bogus", "-e", "utf-8"},
     .Stderr = "Unrecognized encoding: \"bogus\"\n",
     .Status = 1},
    {.Name = "a bad encoding leaves the output file alone",
     .Args = {"in.txt", "out.txt", "-e", "bogus"},
     .Stderr = "Unrecognized encoding: \"bogus\"\n",
     .Status = 1,
     .Files = {{"out.txt", "old\n"}}},

    // Files.
    {.Name = "input file", .Args = {"-c", "in.txt"}, .Stdout = InCopied},
    {.Name = "options after the file", .Args = {"in.txt", "-c"}, .Stdout = InCopied},
    {.Name = "- is standard output", .Args = {"-c", "in.txt", "-"}, .Stdout = InCopied},
    {.Name = "- is standard input",
     .Args = {"-c", "-", "out.txt"},
     .Stdin = "9\n",
     .Files = {{"out.txt", "9\n"}}},
    {.Name = "an empty name is standard input",
     .Args = {"-c", "", "out.txt"},
     .Stdin = "9\n",
     .Files = {{"out.txt", "9\n"}}},
    {.Name = "an empty name is standard output", .Args = {"-c", "in.txt", ""}, .Stdout = InCopied},
    {.Name = "output file", .Args = {"-c", "in.txt", "out.txt"}, .Files = {{"out.txt", InCopied}}},
    {.Name = "an option between the files",
     .Args = {"in.txt", "-c", "out.txt"},
     .Files = {{"out.txt", InCopied}}},
    {.Name = "an option moves with its argument",
     .Args = {"in.txt", "-e", "koi8-r", "out.txt", "-c"},
     .Files = {{"out.txt", InCopied}}},
    {.Name = "a third file name is ignored",
     .Args = {"-c", "in.txt", "out.txt", "extra"},
     .Files = {{"out.txt", InCopied}, {"extra", std::nullopt}}},
    {.Name = "-- makes -c a file name", .Args = {"-c", "--", "-c"}, .Stdout = "7\n"},
    {.Name = "after -- nothing is an option",
     .Args = {"-c", "--", "-n", "x"},
     .Files = {{"x", "8\n"}}},
    {.Name = "-- behind a file name protects nothing",
     .Args = {"in.txt", "--", "-c"},
     .Files = {{"--", InCopied}}},
    {.Name = "+c is an option", .Args = {"+c"}, .Stdin = "1\n", .Stdout = "1\n"},
    {.Name = "a missing input leaves the output file alone",
     .Args = {"-c", "missing.txt", "out.txt"},
     .Stderr = "(No such file or directory) can't open \"missing.txt\" with mode RdOnly|Seq "
               "(0x28): missing.txt\n",
     .Status = 1,
     .Files = {{"out.txt", "old\n"}}},
    {.Name = "the input as the output",
     .Args = {"-c", "in.txt", "in.txt"},
     .Stderr = "the output file \"in.txt\" is the input file \"in.txt\"; nothing was written\n",
     .Status = 1,
     .Files = {{"in.txt", InText}}},
    {.Name = "the input as the output, spelt otherwise",
     .Args = {"-c", "in.txt", "./in.txt"},
     .Stderr = "the output file \"./in.txt\" is the input file \"in.txt\"; nothing was written\n",
     .Status = 1,
     .Files = {{"in.txt", InText}}},
    {.Name = "the input as the output through a symbolic link",
     .Args = {"-c", "in.txt", "link.txt"},
     .Stderr = "the output file \"link.txt\" is the input file \"in.txt\"; nothing was written\n",
     .Status = 1,
     .Files = {{"in.txt", InText}}},
    {.Name = "a symbolic link as the input and its target as the output",
     .Args = {"-c", "link.txt", "in.txt"},
     .Stderr = "the output file \"in.txt\" is the input file \"link.txt\"; nothing was written\n",
     .Status = 1,
     .Files = {{"in.txt", InText}}},
    {.Name = "a device may be both input and output", .Args = {"-c", "/dev/null", "/dev/null"}},
    // Through a standard stream the input file would be truncated, or read back as it is
    // appended to without end.
    {.Name = "standard output appended to the input file",
     .Args = {"-c", "in.txt"},
     .Stderr = "the output file \"-\" is the input file \"in.txt\"; nothing was written\n",
     .Status = 1,
     .Files = {{"in.txt", InText}},
     .StdoutFile = "in.txt"},
    {.Name = "standard output named - appended to the input file",
     .Args = {"-c", "in.txt", "-"},
     .Stderr = "the output file \"-\" is the input file \"in.txt\"; nothing was written\n",
     .Status = 1,
     .Files = {{"in.txt", InText}},
     .StdoutFile = "link.txt"},
    {.Name = "standard input and standard output on one file",
     .Args = {"-c"},
     .Stderr = "the output file \"-\" is the input file \"-\"; nothing was written\n",
     .Status = 1,
     .Files = {{"in.txt", InText}},
     .StdinFile = "in.txt",
     .StdoutFile = "in.txt"},
    {.Name = "standard input as the output file",
     .Args = {"-c", "-", "in.txt"},
     .Stderr = "the output file \"in.txt\" is the input file \"-\"; nothing was written\n",
     .Status = 1,
     .Files = {{"in.txt", InText}},
     .StdinFile = "in.txt"},
    {.Name = "standard streams on two files",
     .Args = {"-c"},
     .Files = {{"in.txt", InText}, {"out.txt", std::string("old\n") + InCopied}},
     .StdinFile = "in.txt",
     .StdoutFile = "out.txt"},
    {.Name = "a device may be both standard streams",
     .Args = {"-c"},
     .StdinFile = "/dev/null",
     .StdoutFile = "/dev/null"},
    {.Name = "an output that cannot be opened",
     .Args = {"-c", "in.txt", "nodir/out.txt"},
     .Stderr = "(No such file or directory) can't open \"nodir/out.txt\" with mode "
               "CreateAlways|WrOnly|Seq (0x34): nodir/out.txt\n",
     .Status = 1},

    // An input that opens but cannot be read is refused before the output is opened; an empty
    // one is read to its end.
    {.Name = "a directory as the input leaves the output file alone",
     .Args = {"-c", ".", "out.txt"},
     .Stderr = "the input file \".\" cannot be read (Is a directory); nothing was written\n",
     .Status = 1,
     .Files = {{"out.txt", "old\n"}}},
    {.Name = "a directory as standard input creates no output file",
     .Args = {"-c", "-", "new.txt"},
     .Stderr = "the input file \"-\" cannot be read (Is a directory); nothing was written\n",
     .Status = 1,
     .Files = {{"new.txt", std::nullopt}},
     .StdinFile = "."},
    {.Name = "an empty input file empties the output file",
     .Args = {"-c", "empty.txt", "out.txt"},
     .Files = {{"out.txt", ""}}},

    // Failed runs: the error, "Aborted.", status 1.
    // The two lines before the last one, which has no line feed, go out before the run reads
    // on to learn that the input has ended.
    {.Name = "a full output file",
     .Args = {"-c", "in.txt", "/dev/full"},
     .Stderr = "(No space left on device) can't write 9 bytes to \"/dev/full\"\nAborted.\n",
     .Status = 1},
    {.Name = "a full standard output",
     .Args = {"-c"},
     .Stdin = "1\n",
     .Stderr = "(No space left on device) flush failed\nAborted.\n",
     .Status = 1,
     .StdoutFile = "/dev/full"},
    {.Name = "the version to a full standard output",
     .Args = {"-v"},
     .Stderr = "(No space left on device) flush failed\n",
     .Status = 1,
     .StdoutFile = "/dev/full"},
    {.Name = "the revision to a full standard output",
     .Args = {"--svnrevision"},
     .Stderr = "(No space left on device) flush failed\n",
     .Status = 1,
     .StdoutFile = "/dev/full"},
};

// A scratch directory with the fixture files, removed with everything in it.
class TScratchDir {
public:
    TScratchDir() {
        char path[] = "/tmp/lemmix-e2e-XXXXXX";
        if (!mkdtemp(path)) {
            throw std::runtime_error("mkdtemp failed");
        }
        Path_ = path;
        for (const auto& [name, content] : Fixture) {
            std::ofstream(Path_ + "/" + name, std::ios::binary) << content;
        }
        if (symlink("in.txt", (Path_ + "/link.txt").c_str()) != 0) {
            throw std::runtime_error("symlink failed");
        }
    }
    ~TScratchDir() {
        if (DIR* dir = opendir(Path_.c_str())) {
            while (const dirent* entry = readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != "..") {
                    unlink((Path_ + "/" + name).c_str());
                }
            }
            closedir(dir);
        }
        rmdir(Path_.c_str());
    }

    const std::string& Path() const { return Path_; }

    std::optional<std::string> Read(const std::string& name) const {
        std::ifstream file(Path_ + "/" + name, std::ios::binary);
        if (!file) {
            return std::nullopt;
        }
        std::ostringstream content;
        content << file.rdbuf();
        return content.str();
    }

private:
    std::string Path_;
};

// The program name that the usage line shows for argument 0.
std::string BaseName(const std::string& path) {
    const size_t cut = path.find_last_of("/\\:");
    return cut == std::string::npos || cut + 1 == path.size() ? path : path.substr(cut + 1);
}

// One test walks the whole table: a process per row is cost enough under the sanitizers.
TEST(LemmixCommandLineTest, BehavesAsEveryRowSays) {
    for (const TCase& c : Cases) {
        SCOPED_TRACE(c.Name);
        TScratchDir dir;
        // Opened before the child changes to its directory.
        auto path = [&](const std::string& name) {
            return name.empty() || name[0] == '/' ? name : dir.Path() + "/" + name;
        };
        TProcessRequest request{.Path = LEMMIX_EXECUTABLE,
                                .Argv = {c.Argv0},
                                .Stdin = c.Stdin,
                                .WorkDir = dir.Path(),
                                .StdinFile = path(c.StdinFile),
                                .StdoutFile = path(c.StdoutFile)};
        request.Argv.insert(request.Argv.end(), c.Args.begin(), c.Args.end());
        const TProcessResult result = RunProcess(request);

        EXPECT_EQ(result.Stdout, c.Stdout);
        EXPECT_EQ(result.Stderr, c.Stderr + (c.Usage ? UsageText(BaseName(c.Argv0)) : ""));
        EXPECT_EQ(result.Status, c.Status);
        for (const auto& [name, content] : c.Files) {
            EXPECT_EQ(dir.Read(name), content) << name;
        }
    }
}

}  // namespace
