#include "util/stream/string_stream.h"

#include "util/generic/exception.h"

#include <gtest/gtest.h>

#include <string>

TEST(StringStreams, StreamReadsBackExactlyWhatWasWritten) {
    TStringStream ss;
    ss << "  two blanks, a tab\t" << 42 << ' ' << Stroka("\0z", 2) << "\n";
    const std::string expected =
        std::string("  two blanks, a tab\t42 ") + std::string("\0z", 2) + "\n";
    EXPECT_EQ(std::string(ss.Str().data(), ss.Str().size()), expected);
    EXPECT_EQ(ss.ReadAll(), Stroka(expected.data(), expected.size()));

    ss << "next line\nlast";
    EXPECT_EQ(ss.ReadLine(), "next line");
    EXPECT_EQ(ss.ReadLine(), "last");
    Stroka line;
    EXPECT_FALSE(ss.ReadLine(line));
}

TEST(StringStreams, InputFollowsAGrowingString) {
    Stroka s("ab");
    TStringInput in(s);
    char buf[8];
    EXPECT_EQ(in.Read(buf, 8), 2u);
    EXPECT_EQ(in.Read(buf, 8), 0u);
    s.append("cd");
    EXPECT_EQ(in.Read(buf, 1), 1u);
    EXPECT_EQ(buf[0], 'c');
    EXPECT_EQ(in.Skip(10), 1u);

    // A read of nothing before the end copies nothing, even into a null buffer.
    Stroka text("xy");
    TStringInput fresh(text);
    EXPECT_EQ(fresh.Read(nullptr, 0), 0u);
    EXPECT_EQ(fresh.ReadAll(), "xy");
}

TEST(StringStreams, OutputAppendsWithCopyOnWrite) {
    Stroka target("x");
    const Stroka holder = target;
    TStringOutput out(target);
    out << "yz" << 7;
    EXPECT_EQ(target, "xyz7");
    EXPECT_EQ(holder, "x");

    // Writing the target's own bytes into it.
    out.Write(target.data(), target.size());
    EXPECT_EQ(target, "xyz7xyz7");
}
