#include "util/string/string_ops.h"

#include "util/generic/exception.h"
#include "util/testing/exception_matchers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using U16 = std::u16string;

TEST(ByteSetSearch, FindsTheFirstByteInOrOutsideTheSet) {
    const std::string text = "a;b,c";
    EXPECT_EQ(FindFirstOf(text.data(), text.size(), ",;", 2), text.data() + 1);
    EXPECT_EQ(FindFirstOf(text.data(), text.size(), ",", 1), text.data() + 3);
    EXPECT_EQ(FindFirstOf(text.data(), text.size(), "", 0), text.data() + text.size());
    EXPECT_EQ(FindFirstOf(text.data(), text.size(), "xyz", 3), text.data() + text.size());
    EXPECT_EQ(FindFirstOf(text.data(), 1, ";", 1), text.data() + 1);  // not past the length

    const std::string spaced = "  x";
    EXPECT_EQ(FindFirstNotOf(spaced.data(), spaced.size(), " ", 1), spaced.data() + 2);
    EXPECT_EQ(FindFirstNotOf(spaced.data(), spaced.size(), "", 0), spaced.data());
    EXPECT_EQ(FindFirstNotOf(spaced.data(), 2, " ", 1), spaced.data() + 2);

    const std::string high = "ab\xC0\xFF";
    EXPECT_EQ(FindFirstOf(high.data(), high.size(), "\xFF\xC0", 2), high.data() + 2);
    EXPECT_EQ(FindFirstNotOf(high.data(), high.size(), "ab\xC0", 3), high.data() + 3);
}

// Against the standard library, on random bytes and sets of every size.
TEST(ByteSetSearch, AgreesWithTheStandardLibrary) {
    std::mt19937 random(20261210);
    for (int round = 0; round < 2000; ++round) {
        std::string text(random() % 20, '\0');
        std::string set(random() % 5, '\0');
        for (char& c : text) {
            c = static_cast<char>(random() % 8 + (random() % 2 ? 0x80 : 0x30));
        }
        for (char& c : set) {
            c = static_cast<char>(random() % 8 + (random() % 2 ? 0x80 : 0x30));
        }
        const size_t of = text.find_first_of(set);
        const size_t notOf = text.find_first_not_of(set);
        EXPECT_EQ(FindFirstOf(text.data(), text.size(), set.data(), set.size()) - text.data(),
                  static_cast<std::ptrdiff_t>(of == std::string::npos ? text.size() : of));
        EXPECT_EQ(FindFirstNotOf(text.data(), text.size(), set.data(), set.size()) - text.data(),
                  static_cast<std::ptrdiff_t>(notOf == std::string::npos ? text.size() : notOf));
    }
}

TEST(ReverseUtf16, KeepsSurrogatePairsInOrder) {
    struct TCase {
        U16 Source;
        U16 Expected;
    };
    const TCase cases[] = {
        {u"a\U0001F600b", u"b\U0001F600a"}, {u"abc", u"cba"}, {u"", u""},
        {u"\xDE00\xD83D", u"\xD83D\xDE00"},  // low before high is no pair: units swap
        {u"x\xD83D", u"\xD83Dx"},
    };
    for (const TCase& c : cases) {
        TUtf16String s(c.Source.data(), c.Source.size());
        const TUtf16String shared = s;
        ReverseUtf16(s);
        EXPECT_EQ(U16(s.data(), s.size()), c.Expected);
        EXPECT_EQ(U16(shared.data(), shared.size()), c.Source);
    }
}

TEST(Utf8ToUtf16, AppendsDecodedText) {
    struct TCase {
        std::string Source;
        U16 Expected;
    };
    const TCase cases[] = {
        {"abc", u"abc"},
        {"\xD0\x9F\xD1\x80\xD0\xB8", u"\u041F\u0440\u0438"},
        {"\xE2\x82\xAC", u"\u20AC"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"\xF4\x8F\xBF\xBD", u"\U0010FFFD"},
        {"\xF4\x8F\xBF\xBE", u"\U0010FFFE"},  // noncharacters, but valid text
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"\xF4\x90\x80\x80", u"\uFFFD"},  // beyond Unicode
        {"\xF7\xBF\xBF\xBF", u"\uFFFD"},
        {"", u""},
    };
    for (const TCase& c : cases) {
        TUtf16String target(u"x", 1);
        Utf8ToUtf16(TCharRange(c.Source.data(), c.Source.size()), target);
        EXPECT_EQ(U16(target.data(), target.size()), u"x" + c.Expected) << c.Source;
    }
}

TEST(Utf8ToUtf16, RejectsMalformedInputAndKeepsTheTarget) {
    const std::string malformed[] = {
        "\x80",         "a\xBF",
        "\xC3",         "\xE2\x82",
        "\xE2\x28\xAC", "\xF8\x88\x80\x80",
        "\xFF",         "\xC0\x80",          // overlong NUL
        "\xE0\x80\xAF", "\xF0\x80\x80\x80",  // overlong
        "\xED\xA0\x80", "\xED\xBF\xBF",      // encoded surrogates
    };
    for (const std::string& bad : malformed) {
        TUtf16String target(u"keep", 4);
        EXPECT_THAT([&] { Utf8ToUtf16(TCharRange(bad.data(), bad.size()), target); },
                    RaisesMessage<kexception>("Invalid UTF8: \"" + bad + "\""))
            << "accepted " << bad;
        EXPECT_EQ(U16(target.data(), target.size()), u"keep");
    }
}

TEST(Utf8ToUtf16, MessageShowsAtMostFiftyBytes) {
    std::string input(60, 'b');
    input[0] = '\x80';
    try {
        TUtf16String target;
        Utf8ToUtf16(TCharRange(input.data(), input.size()), target);
        FAIL();
    } catch (const kexception& e) {
        EXPECT_EQ(std::string(e.what()), "Invalid UTF8: \"" + input.substr(0, 50) + "...\"");
    }
    input.resize(50);
    try {
        TUtf16String target;
        Utf8ToUtf16(TCharRange(input.data(), input.size()), target);
        FAIL();
    } catch (const kexception& e) {
        EXPECT_EQ(std::string(e.what()), "Invalid UTF8: \"" + input + "\"");
    }
}

}  // namespace
