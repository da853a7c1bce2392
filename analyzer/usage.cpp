#include "analyzer/usage.h"

#include <cstring>

const char* ProgramBaseName(const char* programPath) noexcept {
    if (!programPath) {
        return "";
    }
    const char* base = programPath;
    for (const char* p = programPath; *p; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':') {
            base = p + 1;
        }
    }
    return *base ? base : programPath;
}

void PrintUsage(const char* programPath, TOutputStream& out) {
    out << "Lemmix morphological analyzer." << Endl;
    out << "Copyright (c) 2026 the Lemmix authors.\n" << Endl;
    out << "See README.md in the Lemmix sources for more information." << Endl;
    out << Endl;
    out << "Usage: " << ProgramBaseName(programPath) << " [options] [input file] [output file]"
        << Endl;
    out << "Version " << LemmixVersion << "." << Endl;
    static const char* const OptionLines[] = {
        "Options:",
        "    -h, -?           Print this synopsis and exit",
        "    -v               Print current version and exit",
        "    -c               Copy entire input to output",
        "    -n               Print every word on a new line",
        "    -w               Print only dictionary words",
        "    -l               Print only lemmas, without words",
        "    -f               Print lemma frequency",
        "    -s               Print end of sentence mark",
        "                     (works only with -c)",
        "    -i               Print grammatical information",
        "    -g               Glue grammatical information for same lemmas in output",
        "                     (works only with -i)",
        "    -e <encoding>    Specify input/output encoding",
    };
    for (const char* line : OptionLines) {
        out << line << Endl;
    }
}
