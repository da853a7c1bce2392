// Parsing any argument vector against an option set in any mode: the parser ends or raises a
// usage error, never reads past an element, and only reorders argv.
#include "getopt/exception.h"
#include "getopt/opts.h"
#include "getopt/opts_parser.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const uint8_t mode = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    // The build-information option ends the process by design.
    if (text.find("svnrevision") != std::string::npos) {
        return 0;
    }
    // Elements are separated by NUL bytes.
    std::vector<std::string> elements{"prog"};
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\0') {
            elements.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    std::vector<const char*> argv;
    for (const std::string& element : elements) {
        argv.push_back(element.c_str());
    }
    const std::vector<const char*> original = argv;

    static const char* const OptStrings[] = {"?hvcnwlfsige:o::", "+ab:c::", "-ab:c::"};
    NLastGetopt::TOpts opts{TCharRange(OptStrings[mode % 3])};
    NLastGetopt::TOpt level;
    level.AddLongName("level").SetDefaultValue("1");
    opts.AddOption(level);
    NLastGetopt::TOpt name;
    name.AddLongName("name").HasArg = NLastGetopt::NoArgument;
    opts.AddOption(name);
    opts.LongWithPlus = mode & 4;
    opts.LongWithSingleDash = mode & 8;
    opts.AcceptUnknownChars = mode & 16;
    if (mode & 32) {
        opts.FreeArgsMax = 2;
    }

    auto inArgv = [&](const char* value) {
        for (size_t i = 0; i < elements.size(); ++i) {
            const char* begin = elements[i].c_str();
            if (value >= begin && value <= begin + elements[i].size()) {
                return true;
            }
        }
        return value == opts.GetLongOption("level").DefaultValue.c_str();
    };
    try {
        NLastGetopt::TOptsParser parser(&opts, static_cast<int>(argv.size()), argv.data());
        for (size_t steps = 0; parser.Next(); ++steps) {
            const char* value = parser.CurrentValue();
            if ((value && !inArgv(value)) || steps > text.size() + elements.size() + 2) {
                std::abort();
            }
        }
        if (parser.Pos() > argv.size()) {
            std::abort();
        }
    } catch (const NLastGetopt::TUsageException&) {
    }
    std::vector<const char*> sortedBefore = original;
    std::vector<const char*> sortedAfter = argv;
    std::sort(sortedBefore.begin(), sortedBefore.end());
    std::sort(sortedAfter.begin(), sortedAfter.end());
    if (sortedBefore != sortedAfter || argv[0] != original[0]) {
        std::abort();
    }
    return 0;
}
