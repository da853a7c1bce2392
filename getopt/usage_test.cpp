// The usage text of an option set and the consistency check that every parser runs first.
#include "getopt/opts.h"

#include "getopt/exception.h"
#include "util/stream/string_stream.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace NUsageTest {
using namespace NLastGetopt;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

namespace {

std::string Usage(const TOpts& opts) {
    TStringStream out;
    opts.PrintUsage(TCharRange("prog"), out);
    return std::string(out.c_str(), out.size());
}

TEST(TUsageTest, AlignsHelpTextsAndListsRequiredOptionsFirst) {
    TOpts opts{TCharRange("v")};
    opts.GetCharOption('v').Help = "be verbose";
    TOpt output;
    output.AddShortName('o').AddLongName("output");
    output.ArgTitle = "FILE";
    output.Help = "where to write";
    output.Required = true;
    opts.AddOption(output);
    TOpt level;
    level.AddLongName("level").SetOptionalValue("3");
    level.HasArg = OptionalArgument;
    level.SetDefaultValue("10");
    opts.AddOption(level);
    TOpt name;
    name.AddLongName("name").SetDefaultValue("");
    opts.AddOption(name);
    TOpt mode;
    mode.AddLongName("mode").SetDefaultValue("a \"b\"");
    mode.Help = "how";
    opts.AddOption(mode);
    TOpt secret;
    secret.AddShortName('x');
    secret.Hidden = true;
    opts.AddOption(secret);
    TOpt wide;
    wide.AddLongName("a-very-long-option-name");
    wide.HasArg = NoArgument;
    wide.Help = "wraps";
    opts.AddOption(wide);

    EXPECT_EQ(Usage(opts),
              "Usage: prog [OPTIONS] [ARG]...\n"
              "\n"
              "Required parameters:\n"
              "  {-o|--output} FILE    where to write\n"
              "\n"
              "Optional parameters:\n"
              "  -v                    be verbose\n"
              "  --svnrevision         print svn version\n"
              "  --level [VAL:3]       (default: 10)\n"
              "  --name VAL            (default: \"\")\n"
              "  --mode VAL            how (default: \"a \\\"b\\\"\")\n"
              "  --a-very-long-option-name\n"
              "                        wraps\n"  // column 24, as the others
              "\n"
              "Free args: min 0, max 4294967295 (listed described args only)\n");
}

TEST(TUsageTest, ShowsTheFreeArgumentLimitsAndDescriptions) {
    const struct {
        uint32_t Min;
        uint32_t Max;
        bool Describe;
        const char* UsageLine;
        const char* FreeArgs;  // the text after the options
    } cases[] = {
        {1, 2, false, "Usage: prog [OPTIONS] ARG [ARG]",
         "\nFree args: min 1, max 2 (listed described args only)\n"},
        {0, UINT32_MAX, false, "Usage: prog [OPTIONS] [ARG]...",
         "\nFree args: min 0, max 4294967295 (listed described args only)\n"},
        {0, 0, false, "Usage: prog [OPTIONS]", ""},
        {2, 2, true, "Usage: prog [OPTIONS] INPUT ARG",
         "\nFree args: min 2, max 2 (listed described args only)\n"
         "  INPUT  what to read\n"
         "  ARG    No help, sorry\n"},
    };
    for (const auto& c : cases) {
        TOpts opts;
        opts.FreeArgsMin = c.Min;
        opts.FreeArgsMax = c.Max;
        if (c.Describe) {
            opts.SetFreeArgTitle(0, "INPUT", "what to read");
            opts.SetFreeArgTitle(1, "", "");
        }
        const std::string expected = std::string(c.UsageLine) +
                                     "\n\nOptions:\n  --svnrevision  print svn version\n" +
                                     c.FreeArgs;
        EXPECT_EQ(Usage(opts), expected) << c.UsageLine;
    }
}

TEST(TUsageTest, HeadingStaysWhenEveryVisibleOptionIsRequired) {
    TOpts opts{TCharRange()};
    opts.GetLongOption("svnrevision").Hidden = true;
    TOpt input;
    input.AddShortName('i');
    input.Required = true;
    opts.AddOption(input);
    opts.FreeArgsMax = 0;
    EXPECT_EQ(Usage(opts),
              "Usage: prog [OPTIONS]\n\nRequired parameters:\n  -i VAL \n\nOptional parameters:\n");
}

TEST(TUsageTest, ValidateRefusesContradictions) {
    const struct {
        const char* Name;
        void (*Break)(TOpts&);
        const char* Message;
    } cases[] = {
        {"char twice, once hidden",
         [](TOpts& opts) {
             TOpt twin;
             twin.AddShortName('x');
             twin.Hidden = true;
             opts.AddOption(twin);
         },
         "option -x is defined more than once"},
        {"long name twice",
         [](TOpts& opts) {
             TOpt twin;
             twin.AddLongName("svnrevision");
             opts.AddOption(twin);
         },
         "option --svnrevision is defined more than once"},
        {"max below min",
         [](TOpts& opts) {
             opts.FreeArgsMin = 2;
             opts.FreeArgsMax = 1;
         },
         "FreeArgsMax must be >= FreeArgsMin"},
        {"unreachable description",
         [](TOpts& opts) {
             opts.FreeArgsMax = 1;
             opts.SetFreeArgTitle(1, "EXTRA");
         },
         "Described args count is greater than FreeArgsMax. Either increase FreeArgsMax or "
         "remove unreachable descriptions"},
    };
    for (const auto& c : cases) {
        TOpts opts{TCharRange("xy")};
        EXPECT_NO_THROW(opts.Validate()) << c.Name;
        c.Break(opts);
        EXPECT_THAT([&] { opts.Validate(); }, ThrowsMessage<TConfException>(StrEq(c.Message)))
            << c.Name;
    }
}

}  // namespace

}  // namespace NUsageTest
