#include "util/string/split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
struct TSplitCase {
    const char* Text;  // null: a null text
    const char* Delimiters;
    size_t Max;
    uint32_t Flags;
    std::vector<std::string> Expected;
};

std::u16string Wide(const std::string& s) {
    return std::u16string(s.begin(), s.end());
}

std::vector<std::string> Narrow(const std::vector<Stroka>& v) {
    std::vector<std::string> r;
    for (const Stroka& s : v) {
        r.emplace_back(s.data(), s.size());
    }
    return r;
}

std::vector<std::string> Narrow(const std::vector<TUtf16String>& v) {
    std::vector<std::string> r;
    for (const TUtf16String& s : v) {
        r.emplace_back(s.data(), s.data() + s.size());
    }
    return r;
}

const uint32_t E = KEEP_EMPTY_TOKENS;
const uint32_t D = KEEP_DELIMITERS;

// Each case runs through the 8-bit and the 16-bit splitter.
template <class TSplit8, class TSplit16>
void Check(const std::vector<TSplitCase>& cases, TSplit8 split8, TSplit16 split16) {
    for (const TSplitCase& c : cases) {
        const std::string where = std::string("text '") + (c.Text ? c.Text : "(null)") + "' max " +
                                  std::to_string(c.Max) + " flags " + std::to_string(c.Flags);
        std::vector<Stroka> out8 = {Stroka("stale")};
        split8(out8, c.Text, c.Delimiters, c.Max, c.Flags);
        EXPECT_EQ(Narrow(out8), c.Expected) << where;

        const std::u16string text16 = Wide(c.Text ? c.Text : "");
        const std::u16string delims16 = Wide(c.Delimiters);
        std::vector<TUtf16String> out16 = {TUtf16String(u"stale")};
        split16(out16, c.Text ? text16.c_str() : nullptr, delims16.c_str(), c.Max, c.Flags);
        EXPECT_EQ(Narrow(out16), c.Expected) << where << " (16-bit)";
    }
}
}  // namespace

TEST(Split, OnAnyDelimiterCharacter) {
    const std::vector<TSplitCase> cases = {
        {"a,,b,", ",", 0, 0, {"a", "b"}},
        {"a,,b,", ",", 0, E, {"a", "", "b", ""}},
        {",a", ",", 0, E, {"", "a"}},
        {"a,b,c", ",", 2, 0, {"a", "b,c"}},
        {"a,b,c", ",", 1, 0, {"a,b,c"}},
        {"a,b", ",", 0, D, {"a", ",", "b"}},
        {"a,,b", ",", 0, D, {"a", ",", "b"}},  // the delimiter of a dropped field goes too
        {"a,,b", ",", 0, E | D, {"a", ",", "", ",", "b"}},
        {"a,b,c", ",", 2, D, {"a", ",b,c"}},  // the rest may begin with a delimiter
        {"a,b,c", ",", 3, D, {"a", ",", "b,c"}},
        {"a,,,b,c", ",", 2, 0, {"a", "b,c"}},  // skipped empty fields do not count
        {"a,,", ",", 2, 0, {"a"}},
        {"a,b", ",", 5, 0, {"a", "b"}},
        {"one two\tthree", " \t", 0, 0, {"one", "two", "three"}},
        {"x;y z", "; ", 0, D, {"x", ";", "y", " ", "z"}},
        {"abc", "", 0, 0, {"abc"}},
        {"", ",", 0, E, {""}},
        {"", ",", 0, 0, {}},
        {nullptr, ",", 0, E, {}},
    };
    Check(cases, SplitString, SplitWideString);
}

TEST(Split, DelimiterBytesAboveAscii) {
    std::vector<Stroka> out;
    SplitString(out,
                "a\xC0"
                "b\xFF"
                "c",
                "\xFF\xC0");
    EXPECT_EQ(Narrow(out), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(Split, OnWholeDelimiterString) {
    const std::vector<TSplitCase> cases = {
        {"x::y", "::", 0, 0, {"x", "y"}},
        {"x:y::z", "::", 0, 0, {"x:y", "z"}},
        {":::x", "::", 0, E, {"", ":x"}},
        {"::x::", "::", 0, E | D, {"", "::", "x", "::", ""}},
        {"a--b--c", "--", 2, 0, {"a", "b--c"}},
        {"a-b", "-", 0, D, {"a", "-", "b"}},
        {"x:", "::", 0, 0, {"x:"}},
        {"", "::", 0, E, {""}},
        {nullptr, "::", 0, 0, {}},
    };
    Check(cases, SplitByString, SplitWideByString);
}

TEST(Split, EmptyDelimiterStringLeavesOutputAlone) {
    std::vector<Stroka> out = {Stroka("kept")};
    SplitByString(out, "a,b", "");
    EXPECT_EQ(Narrow(out), std::vector<std::string>{"kept"});
    std::vector<TUtf16String> wide = {TUtf16String(u"kept")};
    SplitWideByString(wide, u"a,b", u"");
    EXPECT_EQ(Narrow(wide), std::vector<std::string>{"kept"});
}

TEST(SplitInPlace, CutsFieldsUpToTheMaximum) {
    char text[] = "k=v=w";
    char* fields[4] = {};
    EXPECT_EQ(SplitInPlace(text, '=', fields, 2), 2u);
    EXPECT_STREQ(fields[0], "k");
    EXPECT_STREQ(fields[1], "v");  // "w" is cut off
    EXPECT_EQ(fields[2], nullptr);

    char all[] = "a b  c";
    EXPECT_EQ(SplitInPlace(all, ' ', fields, 4), 4u);
    EXPECT_STREQ(fields[0], "a");
    EXPECT_STREQ(fields[1], "b");
    EXPECT_STREQ(fields[2], "");
    EXPECT_STREQ(fields[3], "c");

    char none[] = "plain";
    EXPECT_EQ(SplitInPlace(none, ',', fields, 4), 1u);
    EXPECT_EQ(fields[0], none);
    EXPECT_EQ(SplitInPlace(none, ',', fields, 0), 0u);
    EXPECT_EQ(SplitInPlace(nullptr, ',', fields, 4), 0u);
}

// A NUL delimiter would match the terminator and cut past the end of the text.
TEST(SplitInPlace, NulDelimiterNeverRunsPastTheText) {
    char text[] = "ab\0cd";
    char* fields[4] = {};
    EXPECT_EQ(SplitInPlace(text, '\0', fields, 4), 1u);
    EXPECT_STREQ(fields[0], "ab");
    EXPECT_EQ(fields[1], nullptr);
}
