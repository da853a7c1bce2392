// A whole parse kept for queries: values by option, character and long name, defaults, free
// arguments, and the two ways an option error ends.
#include "getopt/opts_parse_result.h"

#include "getopt/exception.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace NOptsParseResultTest {
using namespace NLastGetopt;
using ::testing::ElementsAre;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

namespace {

// a without argument, c with a required one, o with an optional one (given alone it records
// "auto"), and --level with the default 3.
class TParseResultTest : public ::testing::Test {
protected:
    TParseResultTest() : Opts(TCharRange("ac:o::")) {
        Opts.GetCharOption('o').SetOptionalValue("auto");
        TOpt level;
        level.AddLongName("level").SetDefaultValue("3");
        Opts.AddOption(level);
    }

    // Keeps the argument vector alive as long as the fixture: the values point into it.
    std::vector<const char*>& Argv(std::vector<const char*> args) {
        Args = std::move(args);
        Args.insert(Args.begin(), "prog");
        return Args;
    }

    TOpts Opts;
    std::vector<const char*> Args;
};

TEST_F(TParseResultTest, KeepsEveryValueInArgvOrder) {
    auto& argv = Argv({"in", "-c1", "-a", "-c", "2", "-o", "-oX", "out"});
    TOptsParseResultException result(&Opts, static_cast<int>(argv.size()), argv.data());

    EXPECT_STREQ(result.Get('c'), "2");
    EXPECT_THAT(result.FindResult('c')->Values, ElementsAre(StrEq("1"), StrEq("2")));
    EXPECT_THAT(result.FindResult('o')->Values, ElementsAre(StrEq("auto"), StrEq("X")));
    EXPECT_TRUE(result.Has('a'));
    EXPECT_TRUE(result.FindResult('a')->Values.empty());
    EXPECT_EQ(result.GetFreeArgsPos(), 7u);
    EXPECT_THAT(result.GetFreeArgs(), ElementsAre("in", "out"));
    EXPECT_EQ(result.GetProgramName(), "prog");
    // Given options in the order of their first occurrence.
    ASSERT_EQ(result.GivenResults().size(), 3u);
    EXPECT_EQ(result.GivenResults()[0].Opt, &Opts.GetCharOption('c'));
    EXPECT_EQ(result.GivenResults()[1].Opt, &Opts.GetCharOption('a'));
}

TEST_F(TParseResultTest, ConsultsDefaultsOnlyForOptionsNotGiven) {
    auto& none = Argv({});
    TOptsParseResultException defaulted(&Opts, static_cast<int>(none.size()), none.data());
    EXPECT_FALSE(defaulted.Has("level"));
    EXPECT_TRUE(defaulted.Has("level", true));
    EXPECT_STREQ(defaulted.Get("level"), "3");
    EXPECT_THAT([&] { defaulted.Get("level", false); },
                ThrowsMessage<TUsageException>(StrEq("option --level is unspecified")));
    EXPECT_STREQ(defaulted.GetOrElse("level", "9"), "9");
    EXPECT_STREQ(defaulted.GetOrElse('c', "none"), "none");
    EXPECT_THAT([&] { defaulted.Get('a'); },
                ThrowsMessage<TUsageException>(StrEq("option -a is unspecified")));
    EXPECT_THAT([&] { defaulted.Has('z'); },
                ThrowsMessage<TException>(StrEq("unknown char option 'z'")));
    EXPECT_EQ(defaulted.DefaultResults().size(), 1u);

    auto& given = Argv({"--level", "5"});
    TOptsParseResultException explicitLevel(&Opts, static_cast<int>(given.size()), given.data());
    EXPECT_STREQ(explicitLevel.Get("level"), "5");
    EXPECT_STREQ(explicitLevel.GetOrElse("level", "9"), "5");
    EXPECT_TRUE(explicitLevel.DefaultResults().empty());
}

TEST_F(TParseResultTest, KeepsOptionsOfAcceptedUnknownCharactersPastTheirStep) {
    Opts.AcceptUnknownChars = true;
    auto& argv = Argv({"-q", "v1", "-a", "-q", "v2"});
    TOptsParseResultException result(&Opts, static_cast<int>(argv.size()), argv.data());
    EXPECT_THAT(result.FindResult('q')->Values, ElementsAre(StrEq("v1"), StrEq("v2")));
    EXPECT_EQ(result.GivenResults()[0].Opt->GetChar(), 'q');
}

TEST_F(TParseResultTest, AnOptionErrorRaisesOrEndsTheProcess) {
    auto& argv = Argv({"-x"});
    EXPECT_THAT(
        [&] { TOptsParseResultException(&Opts, static_cast<int>(argv.size()), argv.data()); },
        ThrowsMessage<TUsageException>(StrEq("unknown option 'x' in '-x'")));
    EXPECT_EXIT(TOptsParseResult(&Opts, static_cast<int>(argv.size()), argv.data()),
                ::testing::ExitedWithCode(1),
                "^unknown option 'x' in '-x'\nUsage: prog \\[OPTIONS\\] \\[ARG\\]\\.\\.\\.\n");
}

TEST_F(TParseResultTest, HelpHandlerPrintsTheUsageAndEndsWithStatusZero) {
    TOpt help;
    help.AddShortName('h').HasArg = NoArgument;
    help.AddHandler(&PrintUsageAndExit);
    Opts.AddOption(help);
    auto& argv = Argv({"-h", "-x"});
    EXPECT_EXIT(TOptsParseResult(&Opts, static_cast<int>(argv.size()), argv.data()),
                ::testing::ExitedWithCode(0), "^Usage: prog \\[OPTIONS\\]");
}

}  // namespace

}  // namespace NOptsParseResultTest
