// The getopt front end: results, Arg and Ind, long-option records, option errors on standard
// error, and the number option taken out of argv.
#include "getopt/get_opt.h"

#include "getopt/exception.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace NGetOptTest {
using namespace NLastGetopt;

namespace {

// A mutable argv for the front end, with "p" as argv[0].
class TMutableArgv {
public:
    explicit TMutableArgv(std::vector<std::string> args) {
        args.insert(args.begin(), "p");
        for (const std::string& arg : args) {
            Storage_.emplace_back(arg.begin(), arg.end());
            Storage_.back().push_back('\0');
        }
        for (auto& arg : Storage_) {
            Pointers_.push_back(arg.data());
        }
        Pointers_.push_back(nullptr);
    }
    int Argc() const { return static_cast<int>(Pointers_.size() - 1); }
    char** Argv() { return Pointers_.data(); }
    std::string Joined() const {
        std::string joined;
        for (size_t i = 0; i + 1 < Pointers_.size(); ++i) {
            joined += (i ? " " : "") + std::string(Pointers_[i]);
        }
        return joined;
    }

private:
    std::vector<std::vector<char>> Storage_;
    std::vector<char*> Pointers_;
};

// Every result as a character ("a", "?"), a number (1, 1000) or "-1", with "=Arg" after it
// when Arg is set, then "ind=N".
std::string Steps(TGetOpt& opt, int* longIndex = nullptr) {
    std::string dump;
    for (int step = 0; step < 20; ++step) {
        const int c = opt.Get(longIndex);
        dump += c > 32 && c < 127 ? std::string(1, static_cast<char>(c)) : std::to_string(c);
        if (opt.Arg) {
            dump += "=" + std::string(opt.Arg);
        }
        dump += ' ';
        if (c == -1) {
            break;
        }
    }
    return dump + "ind=" + std::to_string(opt.Ind);
}

TEST(TGetOptTest, ReturnsOptionsThenLeavesFreeArgumentsBehindThem) {
    const struct {
        const char* OptString;
        std::vector<std::string> Args;
        const char* Expected;
        const char* ArgvAfter;
    } cases[] = {
        {"ab:", {"x", "-a", "y", "-bV", "z"}, "a b=V -1 ind=3", "p -a -bV x y z"},
        {"ab:", {"-b", "-a"}, "b=-a -1 ind=3", "p -b -a"},
        {"ab:", {"-ab", ""}, "a b= -1 ind=3", "p -ab "},
        {"a", {"+a", "-", "+"}, "a -1 ind=2", "p +a - +"},
        {"?h", {"-?"}, "? -1 ind=2", "p -?"},
        {"+a", {"x", "-a"}, "-1 ind=1", "p x -a"},
        {"-a", {"x", "-a", "--", "-a"}, "1=x a 1=-a -1 ind=5", "p x -a -- -a"},
    };
    for (const auto& c : cases) {
        TMutableArgv argv(c.Args);
        TGetOpt opt(argv.Argc(), argv.Argv(), c.OptString);
        EXPECT_EQ(Steps(opt), c.Expected) << c.OptString << " " << argv.Joined();
        EXPECT_EQ(argv.Joined(), c.ArgvAfter);
        EXPECT_FALSE(opt.Finished());
    }
}

TEST(TGetOptTest, LongRecordsNameShortOptionsOrReturnTheirValue) {
    static const TLongOption records[] = {
        {"verbose", NoArgument, nullptr, 'V'},
        {"level", RequiredArgument, nullptr, 1000},
        {"output", OptionalArgument, nullptr, 'a'},  // replaces the mode the string gave a
        {nullptr, 0, nullptr, 0},
    };
    const struct {
        std::vector<std::string> Args;
        const char* Expected;
        int LongIndex;
    } cases[] = {
        {{"--verbose", "-V"}, "V V -1 ind=3", 0}, {{"--level=3"}, "1000=3 -1 ind=2", 1},
        {{"--level", "3"}, "1000=3 -1 ind=3", 1}, {{"+level", "3"}, "1000=3 -1 ind=3", 1},
        {{"-a", "x"}, "a=x -1 ind=3", 2},         {{"--output", "-V"}, "a V -1 ind=3", 0},
    };
    for (const auto& c : cases) {
        TMutableArgv argv(c.Args);
        TGetOpt opt(argv.Argc(), argv.Argv(), "a:", records);
        int longIndex = -1;
        EXPECT_EQ(Steps(opt, &longIndex), c.Expected) << argv.Joined();
        EXPECT_EQ(longIndex, c.LongIndex) << argv.Joined();
    }

    TMutableArgv single({"-verbose"});
    TGetOpt longOnly(single.Argc(), single.Argv(), "a:", records, true);
    EXPECT_EQ(Steps(longOnly), "V -1 ind=2");
}

TEST(TGetOptTest, ReportsAnOptionErrorOnceThenEnds) {
    const struct {
        std::vector<std::string> Args;
        bool Err;
        const char* Expected;
        const char* Stderr;
    } cases[] = {
        {{"-a", "-b"}, true, "a ? -1 ind=2", "option -b must have arg\n"},
        {{"-x", "-a"}, true, "? -1 ind=1", "unknown option 'x' in '-x'\n"},
        {{"--svnrevision=1"}, true, "? -1 ind=1", "option svnrevision must have no arg\n"},
        {{"-a", "-x"}, false, "a ? -1 ind=2", ""},
    };
    for (const auto& c : cases) {
        TMutableArgv argv(c.Args);
        TGetOpt opt(argv.Argc(), argv.Argv(), "ab:");
        opt.Err = c.Err;
        ::testing::internal::CaptureStderr();
        const std::string dump = Steps(opt);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.Stderr);
        EXPECT_EQ(dump, c.Expected);
        EXPECT_TRUE(opt.Finished());
    }
}

TEST(TGetOptTest, RefusesAnEmptyArgumentVector) {
    char* none[] = {nullptr};
    EXPECT_THAT([&] { TGetOpt opt(0, none, "a"); },
                ::testing::ThrowsMessage<TUsageException>(
                    ::testing::StrEq("argv must have at least one argument")));
}

TEST(TGetOptTest, NumberOptionIsTakenOutOfArgv) {
    const struct {
        std::vector<std::string> Args;
        int Number;
        const char* ArgvAfter;
    } cases[] = {
        {{"-x", "-25", "in"}, 25, "p -x in"},
        {{"-7q"}, 7, "p -q"},
        {{"a", "-b"}, -1, "p a -b"},
        {{"-1", "-2"}, 1, "p -2"},
        {{}, -1, "p"},
    };
    for (const auto& c : cases) {
        TMutableArgv argv(c.Args);
        int argc = argv.Argc();
        EXPECT_EQ(GetNumberOption(&argc, argv.Argv()), c.Number) << argv.Joined();
        std::string after;
        for (int i = 0; i < argc; ++i) {
            after += (i ? " " : "") + std::string(argv.Argv()[i]);
        }
        EXPECT_EQ(after, c.ArgvAfter);
    }
}

}  // namespace

}  // namespace NGetOptTest
