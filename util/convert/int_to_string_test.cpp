#include "util/convert/int_to_string.h"

#include "util/generic/exception.h"

#include <gtest/gtest.h>

#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>

namespace {

template <class T, unsigned long B>
std::string Format(T value, size_t len = 256) {
    char buf[256];
    std::memset(buf, '#', sizeof(buf));
    const size_t n = IntToString<T, B>(value, buf, len);
    EXPECT_EQ(buf[n], '#') << "no byte after the text is touched";
    return std::string(buf, n);
}

template <class T, unsigned long B>
std::string Oracle(T value) {
    char buf[80];
    // std::to_chars would print char as a character otherwise: go through the widest type.
    const auto wide =
        static_cast<std::conditional_t<std::is_signed_v<T> || std::is_same_v<T, char> ||
                                           std::is_same_v<T, wchar_t>,
                                       long long, unsigned long long>>(value);
    const auto r = std::to_chars(buf, buf + sizeof(buf), wide, static_cast<int>(B));
    std::string s(buf, r.ptr);
    for (char& c : s) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return s;
}

std::string ErrorOf(void (*f)()) {
    try {
        f();
    } catch (const kexception& e) {
        return e.what();
    }
    return "no error";
}

// Every base 2..16 of one type against the standard library, extremes and random values.
template <class T, unsigned long B>
void CheckBase(std::mt19937_64& random) {
    const T samples[] = {0,
                         1,
                         static_cast<T>(B - 1),
                         static_cast<T>(B),
                         std::numeric_limits<T>::min(),
                         std::numeric_limits<T>::max(),
                         static_cast<T>(std::numeric_limits<T>::min() + 1),
                         static_cast<T>(std::numeric_limits<T>::max() - 1)};
    for (T v : samples) {
        EXPECT_EQ((Format<T, B>(v)), (Oracle<T, B>(v))) << B;
    }
    for (int i = 0; i < 200; ++i) {
        const T v = static_cast<T>(random());
        const std::string expected = Oracle<T, B>(v);
        ASSERT_EQ((Format<T, B>(v)), expected) << B;
        // A buffer of exactly the text's length fits; one less does not.
        ASSERT_EQ((Format<T, B>(v, expected.size())), expected);
        if (expected.size() > 1) {
            char buf[80];
            EXPECT_THROW((IntToString<T, B>(v, buf, expected.size() - 1)), kexception);
        }
    }
}

template <class T, unsigned long... Bases>
void CheckAllBases(std::mt19937_64& random, std::integer_sequence<unsigned long, Bases...>) {
    (CheckBase<T, Bases + 2>(random), ...);
}

template <class T>
void CheckType(std::mt19937_64& random) {
    CheckAllBases<T>(random, std::make_integer_sequence<unsigned long, 15>());
    char buf[64];
    EXPECT_EQ(ToString<T>(static_cast<T>(42), buf, sizeof(buf)), 2u);
    EXPECT_EQ(std::string(buf, 2), "42");
}

}  // namespace

TEST(IntToString, EveryTypeInEveryBaseMatchesTheStandardLibrary) {
    std::mt19937_64 random(20261210);
    CheckType<unsigned long long>(random);
    CheckType<unsigned long>(random);
    CheckType<unsigned int>(random);
    CheckType<unsigned short>(random);
    CheckType<unsigned char>(random);
    CheckType<long long>(random);
    CheckType<long>(random);
    CheckType<int>(random);
    CheckType<wchar_t>(random);
    CheckType<short>(random);
    CheckType<signed char>(random);
    CheckType<char>(random);
}

TEST(IntToString, WorkedCases) {
    EXPECT_EQ((Format<unsigned char, 16>(255, 2)), "FF");
    EXPECT_EQ((Format<unsigned long, 2>(~0ul, 64)), std::string(64, '1'));
    EXPECT_EQ((Format<unsigned long, 16>(~0ul, 16)), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ((Format<unsigned long long, 10>(~0ull, 20)), "18446744073709551615");
    EXPECT_EQ((Format<int, 10>(-1, 2)), "-1");
    EXPECT_EQ((Format<char, 10>(-128, 4)), "-128");
    EXPECT_EQ((Format<wchar_t, 10>(std::numeric_limits<wchar_t>::min())), "-2147483648");
    EXPECT_EQ((Format<signed char, 16>(-128)), "-80");
    EXPECT_EQ((Format<short, 16>(-32768)), "-8000");
    EXPECT_EQ((Format<int, 16>(std::numeric_limits<int>::min())), "-80000000");
    EXPECT_EQ((Format<long, 16>(std::numeric_limits<long>::min())), "-8000000000000000");
    EXPECT_EQ((Format<long long, 10>(std::numeric_limits<long long>::min())),
              "-9223372036854775808");
    EXPECT_EQ((Format<int, 13>(100)), "79");
    EXPECT_EQ((Format<int, 16>(100)), "64");
    EXPECT_EQ((Format<int, 2>(5)), "101");
    EXPECT_EQ((Format<int, 3>(5)), "12");
    EXPECT_EQ((Format<unsigned int, 10>(0, 1)), "0");

    char buf[4] = {'#', '#', '#', '#'};
    EXPECT_EQ((IntToStringImpl<unsigned int, 10>(1234u, buf, 4)), 4u);
    EXPECT_EQ(std::string(buf, 4), "1234");

    EXPECT_EQ(ToString<bool>(true, buf, 1), 1u);
    EXPECT_EQ(buf[0], '1');
    EXPECT_EQ(ToString<bool>(false, buf, 4), 1u);
    EXPECT_EQ(buf[0], '0');
    EXPECT_EQ(buf[1], '2');
}

TEST(IntToString, TooSmallBuffersRaise) {
    const struct {
        const char* name;
        void (*call)();
        const char* message;
    } cases[] = {
        {"zero length", [] { IntToString<unsigned int, 10>(0u, nullptr, 0); }, "zero length"},
        {"zero length signed non-negative", [] { IntToString<int, 16>(5, nullptr, 0); },
         "zero length"},
        {"zero length negative", [] { IntToString<int, 10>(-1, nullptr, 0); },
         "not enough room in buffer"},
        {"bool zero length", [] { ToString<bool>(true, nullptr, 0); }, "zero length"},
        {"negative in one byte",
         [] {
             char b[1];
             IntToString<long, 10>(-1, b, 1);
         },
         "not enough room in buffer"},
        {"256 in two hex digits",
         [] {
             char b[2];
             IntToString<unsigned int, 16>(256u, b, 2);
         },
         "not enough room in buffer"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ErrorOf(c.call), c.message) << c.name;
    }

    // A failing signed entry leaves the first byte alone; the rest holds the low digits.
    char buf[2] = {'#', '#'};
    EXPECT_THROW((IntToString<int, 10>(-10, buf, 2)), kexception);
    EXPECT_EQ(buf[0], '#');
    EXPECT_EQ(buf[1], '0');

    char one = '#';
    EXPECT_THROW((IntToString<signed char, 10>(-1, &one, 1)), kexception);
    EXPECT_EQ(one, '#');
}
