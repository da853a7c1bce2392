// Option sets: building from a getopt string, the name checks, the lookups and their errors.
#include "getopt/opts.h"

#include "getopt/exception.h"
#include "getopt/svn_revision.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace NOptsTest {
using namespace NLastGetopt;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

namespace {

// "a b: c:: svnrevision" with the free-argument order: one word per option, its first name
// and one colon per argument mode.
std::string DumpOpts(const TOpts& opts) {
    static const char* const Orders[] = {"stop", "permute", "in-order"};
    std::string dump = Orders[opts.FreeArgOrder];
    for (const auto& option : opts.Opts()) {
        dump += ' ';
        dump += option->Chars().empty() ? std::string(option->LongNames().front().c_str())
                                        : std::string(1, option->Chars().front());
        dump += std::string(static_cast<size_t>(option->HasArg == NoArgument ? 0 : option->HasArg),
                            ':');
    }
    return dump;
}

TEST(TOptsTest, BuildsOptionsFromGetoptStrings) {
    const struct {
        const char* String;
        const char* Expected;
    } cases[] = {
        {"ab:c::", "permute a b: c:: svnrevision"},
        {"+ab", "stop a b svnrevision"},
        {"-ab", "in-order a b svnrevision"},
        {"?hv", "permute ? h v svnrevision"},
        // A colon with nothing before it, and a third colon, are option characters.
        {":a", "permute : a svnrevision"},
        {"a:::", "permute a:: : svnrevision"},
        {"", "permute svnrevision"},
    };
    for (const auto& c : cases) {
        TOpts opts{TCharRange(c.String)};
        EXPECT_EQ(DumpOpts(opts), c.Expected) << c.String;
    }
}

TEST(TOptsTest, EverySetAnswersSvnRevisionWithoutArgument) {
    TOpts opts;
    const TOpt& option = opts.GetLongOption("svnrevision");
    EXPECT_EQ(option.HasArg, NoArgument);
    EXPECT_EQ(option.Help, "print svn version");
    EXPECT_EQ(option.Handlers().size(), 1u);
    EXPECT_STREQ(SvnRevisionLine(),
                 "revision: 993234 from https://lemmix.invalid/repository/trunk at 2012-11-16 "
                 "17:51:24 +0300 \n");
}

TEST(TOptsTest, RefusesCharactersThatCannotNameAnOptionAndKeepsTheOnesBefore) {
    const struct {
        const char* String;
        const char* Message;
        const char* Kept;
    } cases[] = {
        {"a=b", "option char '=' is not allowed", "permute svnrevision a"},
        {"ab c", "option char ' ' is not allowed", "permute svnrevision a b"},
        {"a-", "option char '-' is not allowed", "permute svnrevision a"},
        {"\x7f", "option char '\x7f' is not allowed", "permute svnrevision"},
        {"a\xe9", "option char '\xe9' is not allowed", "permute svnrevision a"},
    };
    for (const auto& c : cases) {
        EXPECT_THAT([&] { TOpts opts{TCharRange(c.String)}; },
                    ThrowsMessage<TUsageException>(StrEq(c.Message)))
            << c.String;
        TOpts opts;
        EXPECT_THROW(opts.AddCharOptions(TCharRange(c.String)), TUsageException);
        EXPECT_EQ(DumpOpts(opts), c.Kept) << c.String;
    }
}

TEST(TOptsTest, LongNamesTakePrintableCharactersOtherThanEquals) {
    const struct {
        const char* Name;
        const char* Message;  // null: accepted
    } cases[] = {
        {"level", nullptr},
        {"", nullptr},
        {"a-b_c?", nullptr},
        {"with blank", "option char ' ' in long 'with blank' is not allowed"},
        {"a=b", "option char '=' in long 'a=b' is not allowed"},
        {"tab\there", "option char '\t' in long 'tab\there' is not allowed"},
        {"\xd0\xb0", "option char '\xd0' in long '\xd0\xb0' is not allowed"},
    };
    for (const auto& c : cases) {
        TOpt option;
        if (c.Message) {
            EXPECT_THAT([&] { option.AddLongName(c.Name); },
                        ThrowsMessage<TUsageException>(StrEq(c.Message)));
            EXPECT_TRUE(option.LongNames().empty()) << c.Name;
        } else {
            option.AddLongName(c.Name);
            EXPECT_TRUE(option.HasLongName(c.Name)) << c.Name;
        }
    }
}

TEST(TOptsTest, NamesAnOptionByItsFirstLongNameElseItsFirstCharacter) {
    TOpt both;
    both.AddShortName('o').AddShortName('O').AddLongName("output").AddLongName("out");
    TOpt shortOnly;
    shortOnly.AddShortName('v');
    TOpt longOnly;
    longOnly.AddLongName("level");
    const TOpt none;

    EXPECT_EQ(both.ToShortString(), "--output");
    EXPECT_EQ(shortOnly.ToShortString(), "-v");
    EXPECT_EQ(none.ToShortString(), "?");
    EXPECT_EQ(both.GetName(), "output");
    EXPECT_EQ(both.GetChar(), 'o');
    EXPECT_EQ(longOnly.GetCharOr0(), 0);
    EXPECT_THAT([&] { shortOnly.GetName(); },
                ThrowsMessage<TConfException>(StrEq("no name for option -v")));
    EXPECT_THAT([&] { longOnly.GetChar(); },
                ThrowsMessage<TConfException>(StrEq("no char for option --level")));
}

TEST(TOptsTest, LookupsFindTheStoredOptionOrRaise) {
    TOpts opts{TCharRange("ab:")};
    TOpt level;
    level.AddLongName("level");
    TOpt& stored = opts.AddOption(level);
    stored.ArgTitle = "N";

    EXPECT_EQ(opts.FindLongOption("level"), &stored);
    EXPECT_EQ(opts.GetLongOption("level").ArgTitle, "N");
    EXPECT_EQ(opts.FindCharOption('b'), &opts.GetCharOption('b'));
    EXPECT_EQ(opts.FindCharOption('z'), nullptr);
    EXPECT_EQ(opts.IndexOf(&stored), 3u);  // a, b, svnrevision, level
    EXPECT_TRUE(opts.HasAnyShortOption());
    EXPECT_TRUE(opts.HasAnyLongOption());

    EXPECT_THAT([&] { opts.GetCharOption('z'); },
                ThrowsMessage<TException>(StrEq("unknown char option 'z'")));
    EXPECT_THAT([&] { opts.GetLongOption("nope"); },
                ThrowsMessage<TException>(StrEq("unknown option nope")));
    EXPECT_THAT([&] { opts.IndexOf(&level); }, ThrowsMessage<TException>(StrEq("unknown option")));
    EXPECT_THAT([&] { opts.AddOption(TOpt()); },
                ThrowsMessage<TConfException>(StrEq("bad option: no chars, no long names")));
    EXPECT_EQ(opts.Opts().size(), 4u);
}

TEST(TOptsTest, UndescribedFreeArgumentsHaveStandInTexts) {
    TOpts opts;
    opts.SetFreeArgTitle(1, "OUTPUT", "where the result goes");
    EXPECT_EQ(opts.FreeArgDescriptionCount(), 2u);
    EXPECT_EQ(opts.GetFreeArgTitle(0), "ARG");
    EXPECT_EQ(opts.GetFreeArgHelp(0), "No help, sorry");
    EXPECT_EQ(opts.GetFreeArgTitle(1), "OUTPUT");
    EXPECT_EQ(opts.GetFreeArgHelp(1), "where the result goes");
    EXPECT_EQ(opts.GetFreeArgTitle(7), "ARG");
}

}  // namespace

}  // namespace NOptsTest
