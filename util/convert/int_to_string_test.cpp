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
#include <type_traits>
#include <utility>
#include <vector>

namespace {

// One entry of the family, called through a plain function pointer so that the checks below are
// compiled once rather than once for every type and base. `raw` is cut to the entry's type.
struct TEntry {
    const char* Type;
    unsigned Bits;
    bool Signed;  // char and wchar_t are formatted as signed numbers
    unsigned Base;
    bool Kernel;  // IntToStringImpl rather than IntToString
    size_t (*Call)(uint64_t raw, char* buf, size_t len);
};

template <class T, unsigned long B>
size_t CallIntToString(uint64_t raw, char* buf, size_t len) {
    return IntToString<T, B>(static_cast<T>(raw), buf, len);
}

template <class T, unsigned long B>
size_t CallKernel(uint64_t raw, char* buf, size_t len) {
    return IntToStringImpl<T, B>(static_cast<T>(raw), buf, len);
}

template <class T, unsigned long... Bases>
void AddEntries(std::vector<TEntry>& entries, const char* type,
                std::integer_sequence<unsigned long, Bases...>) {
    constexpr unsigned bits = sizeof(T) * 8;
    constexpr bool isSigned =
        std::is_signed_v<T> || std::is_same_v<T, char> || std::is_same_v<T, wchar_t>;
    (entries.push_back({type, bits, isSigned, Bases + 2, false, &CallIntToString<T, Bases + 2>}),
     ...);
    if constexpr (!isSigned) {
        (entries.push_back({type, bits, false, Bases + 2, true, &CallKernel<T, Bases + 2>}), ...);
    }
}

// Every type in every base 2 to 16, and the kernel of every unsigned type in every base.
std::vector<TEntry> AllEntries() {
    std::vector<TEntry> entries;
    const auto bases = std::make_integer_sequence<unsigned long, 15>();
    AddEntries<unsigned long long>(entries, "unsigned long long", bases);
    AddEntries<unsigned long>(entries, "unsigned long", bases);
    AddEntries<unsigned int>(entries, "unsigned int", bases);
    AddEntries<unsigned short>(entries, "unsigned short", bases);
    AddEntries<unsigned char>(entries, "unsigned char", bases);
    AddEntries<long long>(entries, "long long", bases);
    AddEntries<long>(entries, "long", bases);
    AddEntries<int>(entries, "int", bases);
    AddEntries<wchar_t>(entries, "wchar_t", bases);
    AddEntries<short>(entries, "short", bases);
    AddEntries<signed char>(entries, "signed char", bases);
    AddEntries<char>(entries, "char", bases);
    return entries;
}

uint64_t MaskOf(const TEntry& e) {
    return e.Bits == 64 ? ~0ull : (1ull << e.Bits) - 1;
}

// The standard library's text of the value that `raw` stands for in the entry's type.
std::string Oracle(const TEntry& e, uint64_t raw) {
    const uint64_t mask = MaskOf(e);
    const uint64_t u = raw & mask;
    char buf[80];
    std::to_chars_result r;
    if (e.Signed && (u >> (e.Bits - 1)) != 0) {
        r = std::to_chars(buf, buf + sizeof(buf), static_cast<long long>(u | ~mask),
                          static_cast<int>(e.Base));
    } else {
        r = std::to_chars(buf, buf + sizeof(buf), u, static_cast<int>(e.Base));
    }
    std::string s(buf, r.ptr);
    for (char& c : s) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return s;
}

std::string Describe(const TEntry& e, uint64_t raw) {
    return std::string(e.Kernel ? "IntToStringImpl<" : "IntToString<") + e.Type + ", " +
           std::to_string(e.Base) + "> of raw " + std::to_string(raw);
}

// The text of one call with len bytes offered in a 256-byte buffer; no byte after the text may
// be touched.
std::string Format(const TEntry& e, uint64_t raw, size_t len = 256) {
    char buf[256];
    std::memset(buf, '#', sizeof(buf));
    const size_t n = e.Call(raw, buf, len);
    EXPECT_EQ(buf[n], '#') << "no byte after the text is touched: " << Describe(e, raw);
    return std::string(buf, n);
}

std::string ErrorOf(const TEntry& e, uint64_t raw, size_t len) {
    char buf[256];
    try {
        e.Call(raw, buf, len);
    } catch (const kexception& error) {
        return error.what();
    }
    return "no error";
}

template <class T, unsigned long B>
std::string Format(T value, size_t len = 256) {
    char buf[256];
    std::memset(buf, '#', sizeof(buf));
    const size_t n = IntToString<T, B>(value, buf, len);
    EXPECT_EQ(buf[n], '#') << "no byte after the text is touched";
    return std::string(buf, n);
}

std::string ErrorOf(void (*f)()) {
    try {
        f();
    } catch (const kexception& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST(IntToString, EveryTypeInEveryBaseMatchesTheStandardLibrary) {
    std::mt19937_64 random(20261210);
    const std::vector<TEntry> entries = AllEntries();
    ASSERT_EQ(entries.size(), 12u * 15 + 5 * 15);
    for (const TEntry& e : entries) {
        // Extremes of the type, then random values.
        const uint64_t mask = MaskOf(e);
        const uint64_t min = e.Signed ? 1ull << (e.Bits - 1) : 0;
        const uint64_t max = e.Signed ? mask >> 1 : mask;
        const uint64_t samples[] = {0, 1, e.Base - 1, e.Base, min, max, min + 1, max - 1};
        for (uint64_t raw : samples) {
            EXPECT_EQ(Format(e, raw), Oracle(e, raw)) << Describe(e, raw);
        }
        for (int i = 0; i < 200; ++i) {
            const uint64_t raw = random();
            const std::string expected = Oracle(e, raw);
            ASSERT_EQ(Format(e, raw), expected) << Describe(e, raw);
            // A buffer of exactly the text's length fits; one less does not.
            ASSERT_EQ(Format(e, raw, expected.size()), expected) << Describe(e, raw);
            if (expected.size() > 1) {
                EXPECT_EQ(ErrorOf(e, raw, expected.size() - 1), "not enough room in buffer")
                    << Describe(e, raw);
            }
        }
    }
}

TEST(IntToString, DecimalEntryOfEveryType) {
    using TCall = size_t (*)(char*, size_t);
    const struct {
        const char* type;
        TCall call;
        const char* expected;
    } cases[] = {
        {"unsigned long long",
         [](char* b, size_t n) { return ToString<unsigned long long>(42, b, n); }, "42"},
        {"unsigned long", [](char* b, size_t n) { return ToString<unsigned long>(42, b, n); },
         "42"},
        {"unsigned int", [](char* b, size_t n) { return ToString<unsigned int>(42, b, n); }, "42"},
        {"unsigned short", [](char* b, size_t n) { return ToString<unsigned short>(42, b, n); },
         "42"},
        {"unsigned char", [](char* b, size_t n) { return ToString<unsigned char>(42, b, n); },
         "42"},
        {"long long", [](char* b, size_t n) { return ToString<long long>(-42, b, n); }, "-42"},
        {"long", [](char* b, size_t n) { return ToString<long>(-42, b, n); }, "-42"},
        {"int", [](char* b, size_t n) { return ToString<int>(-42, b, n); }, "-42"},
        {"wchar_t", [](char* b, size_t n) { return ToString<wchar_t>(-42, b, n); }, "-42"},
        {"short", [](char* b, size_t n) { return ToString<short>(-42, b, n); }, "-42"},
        {"signed char", [](char* b, size_t n) { return ToString<signed char>(-42, b, n); }, "-42"},
        {"char", [](char* b, size_t n) { return ToString<char>(-42, b, n); }, "-42"},
        {"bool", [](char* b, size_t n) { return ToString<bool>(true, b, n); }, "1"},
    };
    for (const auto& c : cases) {
        char buf[64];
        const size_t n = c.call(buf, sizeof(buf));
        EXPECT_EQ(std::string(buf, n), c.expected) << c.type;
    }
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
