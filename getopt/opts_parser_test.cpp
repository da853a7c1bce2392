// The parser over argv: clusters, arguments, long and "+" options, the three free-argument
// orders, "--", unknown characters, free-argument limits, required options and defaults.
#include "getopt/opts_parser.h"

#include "getopt/exception.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace NOptsParserTest {
using namespace NLastGetopt;

namespace {

// An argument vector that the parser may reorder; "prog" is argv[0].
class TArgv {
public:
    explicit TArgv(std::vector<std::string> args) : Storage_(std::move(args)) {
        Storage_.insert(Storage_.begin(), "prog");
        for (const std::string& arg : Storage_) {
            Pointers_.push_back(arg.c_str());
        }
    }
    int Argc() const { return static_cast<int>(Pointers_.size()); }
    const char** Argv() { return Pointers_.data(); }
    std::string Joined() const {
        std::string joined;
        for (const char* arg : Pointers_) {
            joined += (joined.empty() ? "" : " ") + std::string(*arg ? arg : "''");
        }
        return joined;
    }

private:
    std::vector<std::string> Storage_;
    std::vector<const char*> Pointers_;
};

enum EFlags { None = 0, Plus = 1, SingleDash = 2, Unknown = 4 };

// The set of most cases: a and b without argument, c with a required one, o with an optional
// one, and the long options name (none), level (required) and opt (optional).
void BuildSet(TOpts& opts, const char* optString, int flags) {
    opts.AddCharOptions(TCharRange(optString));
    const struct {
        const char* Name;
        EHasArg HasArg;
    } longs[] = {{"name", NoArgument}, {"level", RequiredArgument}, {"opt", OptionalArgument}};
    for (const auto& l : longs) {
        TOpt option;
        option.AddLongName(l.Name);
        option.HasArg = l.HasArg;
        opts.AddOption(option);
    }
    opts.LongWithPlus = flags & Plus;
    opts.LongWithSingleDash = flags & SingleDash;
    opts.AcceptUnknownChars = flags & Unknown;
}

// Every step as the option's short form (or "free") with "=value" when it carried one, then
// "| pos=N argv=..." at the end or "error: message pos=N" at the first error.
std::string DumpParse(TOptsParser& parser, TArgv& argv) {
    std::string dump;
    try {
        while (parser.Next()) {
            const TOpt* option = parser.CurrentOpt();
            dump += option ? std::string(option->ToShortString().c_str()) : "free";
            if (parser.CurrentValue()) {
                dump += "=" + std::string(parser.CurrentValue());
            }
            dump += ' ';
        }
    } catch (const TUsageException& e) {
        return dump + "error: " + e.what() + " pos=" + std::to_string(parser.Pos());
    }
    return dump + "| pos=" + std::to_string(parser.Pos()) + " argv=" + argv.Joined();
}

std::string Parse(const char* optString, int flags, std::vector<std::string> args) {
    TOpts opts{TCharRange()};
    BuildSet(opts, optString, flags);
    TArgv argv(std::move(args));
    TOptsParser parser(&opts, argv.Argc(), argv.Argv());
    return DumpParse(parser, argv);
}

TEST(TOptsParserTest, DeliversEveryOptionOfArgv) {
    const struct {
        const char* OptString;
        int Flags;
        std::vector<std::string> Args;
        const char* Expected;
    } cases[] = {
        // Clusters and arguments.
        {"abc:o::", None, {"-abc", "file"}, "-a -b -c=file | pos=3 argv=prog -abc file"},
        {"abc:o::", None, {"-cfile"}, "-c=file | pos=2 argv=prog -cfile"},
        {"abc:o::", None, {"-acX", "-b"}, "-a -c=X -b | pos=3 argv=prog -acX -b"},
        {"abc:o::", None, {"-a", "-c"}, "-a error: option -c must have arg pos=2"},
        // A required argument takes the next element whatever it holds.
        {"abc:o::", None, {"-c", "-a"}, "-c=-a | pos=3 argv=prog -c -a"},
        {"abc:o::", None, {"-c", ""}, "-c= | pos=3 argv=prog -c ''"},
        {"abc:o::", None, {"-c", "--"}, "-c=-- | pos=3 argv=prog -c --"},
        {"abc:o::", None, {"--level", "-a"}, "--level=-a | pos=3 argv=prog --level -a"},
        // An optional argument takes the next element only when it does not begin with '-'.
        {"abc:o::", None, {"-o", "-a"}, "-o -a | pos=3 argv=prog -o -a"},
        {"abc:o::", None, {"-ovalue"}, "-o=value | pos=2 argv=prog -ovalue"},
        {"abc:o::", None, {"-o", "x"}, "-o=x | pos=3 argv=prog -o x"},
        {"abc:o::", None, {"-o"}, "-o | pos=2 argv=prog -o"},
        {"abc:o::", None, {"--opt="}, "--opt= | pos=2 argv=prog --opt="},
        {"abc:o::", None, {"--opt", "x"}, "--opt=x | pos=3 argv=prog --opt x"},
        // Long options.
        {"abc:o::",
         None,
         {"--level=3", "--name"},
         "--level=3 --name | pos=3 argv=prog --level=3 --name"},
        {"abc:o::", None, {"--level", "3"}, "--level=3 | pos=3 argv=prog --level 3"},
        {"abc:o::", None, {"--name=value"}, "error: option name must have no arg pos=1"},
        {"abc:o::", None, {"--level"}, "error: option --level must have arg pos=1"},
        {"abc:o::",
         None,
         {"-a", "--unknown"},
         "-a error: unknown option 'unknown' in '--unknown' pos=2"},
        {"abc:o::", None, {"--x=1"}, "error: unknown option 'x' in '--x=1' pos=1"},
        // Unknown short characters: refused, escaped in the message, or delivered when accepted.
        {"abc:o::", None, {"-q"}, "error: unknown option 'q' in '-q' pos=1"},
        {"abc:o::", None, {"-aq"}, "-a error: unknown option 'q' in '-aq' pos=1"},
        {"abc:o::", None, {"-\x01"}, "error: unknown option '\\1' in '-\x01' pos=1"},
        {"abc:o::", None, {"-\xff"}, "error: unknown option '\\xFF' in '-\xff' pos=1"},
        {"abc:o::", Unknown, {"-q", "v"}, "-q=v | pos=3 argv=prog -q v"},
        {"abc:o::", Unknown, {"-qa"}, "-q -a | pos=2 argv=prog -qa"},
        {"abc:o::", Unknown, {"-q", "-a"}, "-q -a | pos=3 argv=prog -q -a"},
        {"abc:o::", Unknown, {"-q"}, "-q | pos=2 argv=prog -q"},
        {"abc:o::", Unknown, {"f", "-q"}, "-q | pos=2 argv=prog -q f"},
        {"abc:o::", Unknown, {"f", "-aq", "-b"}, "-a -q -b | pos=3 argv=prog -aq -b f"},
        // "+" options: a long name first, else a cluster of short characters.
        {"abc:o::",
         Plus,
         {"+name", "+ab", "+level=3"},
         "--name -a -b --level=3 | pos=4 argv=prog +name +ab +level=3"},
        {"abc:o::", Plus, {"+q"}, "error: unknown option 'q' in '+q' pos=1"},
        {"abc:o::", Plus, {"+"}, "| pos=1 argv=prog +"},
        {"abc:o::", None, {"+a"}, "| pos=1 argv=prog +a"},
        // Long options with one dash.
        {"abc:o::",
         SingleDash,
         {"-name", "-ab", "-level=2"},
         "--name -a -b --level=2 | pos=4 argv=prog -name -ab -level=2"},
        {"", None, {"-name"}, "--name | pos=2 argv=prog -name"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Parse(c.OptString, c.Flags, c.Args), c.Expected)
            << ::testing::PrintToString(c.Args);
    }
}

TEST(TOptsParserTest, PlacesFreeArgumentsByTheSetsOrder) {
    const struct {
        const char* OptString;
        std::vector<std::string> Args;
        const char* Expected;
    } cases[] = {
        // Permuted: options behind free arguments move in front of them, in order.
        {"abc:o::", {"f1", "-a", "f2"}, "-a | pos=2 argv=prog -a f1 f2"},
        {"abc:o::",
         {"f1", "-ab", "f2", "-c", "v", "f3"},
         "-a -b -c=v | pos=4 argv=prog -ab -c v f1 f2 f3"},
        {"abc:o::", {"f1", "-c"}, "error: option -c must have arg pos=1"},
        // What did not follow the option before the move does not become its argument after.
        {"abc:o::", {"f1", "-o"}, "-o | pos=2 argv=prog -o f1"},
        {"abc:o::", {"f1", "-o", "-a"}, "-o -a | pos=3 argv=prog -o -a f1"},
        {"abc:o::", {"f1", "-ao", "-b", "f2"}, "-a -o -b | pos=3 argv=prog -ao -b f1 f2"},
        {"abc:o::", {"f1", "--opt"}, "--opt | pos=2 argv=prog --opt f1"},
        {"abc:o::", {"f1", "-o", "v"}, "-o=v | pos=3 argv=prog -o v f1"},
        {"abc:o::", {"f1", "-q"}, "error: unknown option 'q' in '-q' pos=1"},
        // "--" ends the options and is no free argument, unless a free argument stands before it.
        {"abc:o::", {"-a", "--", "-b"}, "-a | pos=3 argv=prog -a -- -b"},
        {"abc:o::", {"--", "--"}, "| pos=2 argv=prog -- --"},
        {"abc:o::", {"f1", "--", "-a"}, "-a | pos=2 argv=prog -a f1 --"},
        {"abc:o::", {"-", "", "-a"}, "-a | pos=2 argv=prog -a - ''"},
        // Stopped at the first free argument.
        {"+abc:o::", {"-a", "f1", "-b"}, "-a | pos=2 argv=prog -a f1 -b"},
        {"+abc:o::", {"--", "-a"}, "| pos=2 argv=prog -- -a"},
        // In order: free arguments come out of Next, and everything after "--" is free.
        {"-abc:o::", {"f1", "-a", "f2"}, "free=f1 -a free=f2 | pos=4 argv=prog f1 -a f2"},
        {"-abc:o::",
         {"-a", "--", "-b", "--", "f"},
         "-a free=-b free=-- free=f | pos=6 argv=prog -a -- -b -- f"},
        {"-abc:o::", {"-a", "--"}, "-a | pos=3 argv=prog -a --"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Parse(c.OptString, None, c.Args), c.Expected) << ::testing::PrintToString(c.Args);
    }
}

TEST(TOptsParserTest, ChecksTheNumberOfFreeArguments) {
    const struct {
        uint32_t Min;
        uint32_t Max;
        std::vector<std::string> Args;
        const char* Expected;
    } cases[] = {
        {1, 1, {"x", "y"}, "error: required exactly 1 free args pos=1"},
        {1, 1, {"-a"}, "-a error: required exactly 1 free args pos=2"},
        {2, 3, {"x"}, "error: required at least 2 free args pos=1"},
        {0, 1, {"x", "-a", "y"}, "-a error: required at most 1 free args pos=2"},
        {0, 1, {"-a", "--", "x"}, "-a | pos=3 argv=prog -a -- x"},
    };
    for (const auto& c : cases) {
        TOpts opts{TCharRange("a")};
        opts.FreeArgsMin = c.Min;
        opts.FreeArgsMax = c.Max;
        TArgv argv(c.Args);
        TOptsParser parser(&opts, argv.Argc(), argv.Argv());
        EXPECT_EQ(DumpParse(parser, argv), c.Expected) << ::testing::PrintToString(c.Args);
    }
}

TEST(TOptsParserTest, ReportsMissingRequiredOptionsThenDeliversDefaults) {
    TOpts opts{TCharRange("ab")};
    opts.GetCharOption('b').Required = true;
    TOpt name;
    name.AddLongName("name").Required = true;
    name.HasArg = NoArgument;
    name.SetDefaultValue("unused");  // a required option's default is never used
    opts.AddOption(name);
    TOpt level;
    level.AddLongName("level").SetDefaultValue("3");
    opts.AddOption(level);

    TArgv argv({"-a"});
    TOptsParser parser(&opts, argv.Argc(), argv.Argv());
    EXPECT_EQ(DumpParse(parser, argv),
              "-a error: The following options are required: --name -b pos=2");
    // The error came after the options ended: the defaults of the options not given follow.
    EXPECT_EQ(DumpParse(parser, argv), "--level=3 | pos=2 argv=prog -a");

    TArgv given({"-b", "--name"});
    TOptsParser complete(&opts, given.Argc(), given.Argv());
    EXPECT_EQ(DumpParse(complete, given), "-b --name --level=3 | pos=3 argv=prog -b --name");

    TArgv one({"--name"});
    TOptsParser missingOne(&opts, one.Argc(), one.Argv());
    EXPECT_EQ(DumpParse(missingOne, one),
              "--name error: The following option is required: -b pos=2");
}

TEST(TOptsParserTest, AFailedStepLeavesTheParserAsItWas) {
    TOpts opts{TCharRange("ab")};
    TArgv argv({"f", "-aq", "g"});
    TOptsParser parser(&opts, argv.Argc(), argv.Argv());
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_THROW(parser.Next(), TUsageException);
        EXPECT_EQ(parser.Pos(), 1u);
        EXPECT_EQ(parser.CurrentOpt(), nullptr);
        EXPECT_EQ(argv.Joined(), "prog f -aq g");  // not permuted by the failed step
    }

    TArgv done({"-a"});
    TOptsParser finished(&opts, done.Argc(), done.Argv());
    EXPECT_TRUE(finished.Next());
    EXPECT_FALSE(finished.Next());
    EXPECT_FALSE(finished.Next());
    EXPECT_EQ(finished.Pos(), 2u);
}

TEST(TOptsParserTest, RunsHandlersAfterEveryDelivery) {
    static std::vector<std::string> seen;
    seen.clear();
    TOpts opts{TCharRange("a")};
    opts.GetCharOption('a').AddHandler([](const TOptsParser* parser) {
        seen.push_back(std::string("a@") + std::to_string(parser->Pos()));
    });
    TOpt level;
    level.AddLongName("level").SetDefaultValue("3");
    level.AddHandler([](const TOptsParser* parser) {
        seen.push_back(std::string("level=") + parser->CurrentValue());
    });
    opts.AddOption(level);

    TArgv argv({"-aa", "x", "-a"});
    TOptsParser parser(&opts, argv.Argc(), argv.Argv());
    while (parser.Next()) {
    }
    EXPECT_THAT(seen, ::testing::ElementsAre("a@1", "a@2", "a@3", "level=3"));
}

TEST(TOptsParserTest, InitRefusesAnEmptyArgvAndABrokenSet) {
    TOpts opts{TCharRange("a")};
    const char* none[] = {nullptr};
    EXPECT_THAT([&] { TOptsParser parser(&opts, 0, none); },
                ::testing::ThrowsMessage<TUsageException>(
                    ::testing::StrEq("argv must have at least one argument")));
    TOpt twin;
    twin.AddShortName('a');
    opts.AddOption(twin);
    TArgv argv({});
    EXPECT_THROW(TOptsParser(&opts, argv.Argc(), argv.Argv()), TConfException);
}

}  // namespace

}  // namespace NOptsParserTest
