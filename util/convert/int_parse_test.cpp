// The integer parsers through their typed entry points: every result type, every base and both
// text units, with the exact messages of every failure.
#include "util/convert/int_parse.h"
#include "util/convert/from_string.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

namespace {

enum EType { UShort, UInt, ULong, ULongLong, Short, Int, Long, LongLong, TypeCount };

const char* const TypeNames[] = {
    "unsigned short", "unsigned int", "unsigned long", "unsigned long long",
    "short",          "int",          "long",          "long long"};

// The value as decimal text, or "!" and the message of the exception.
template <class T, int B, class TChar>
std::string Run(const std::u16string& text) {
    std::basic_string<TChar> units(text.begin(), text.end());
    try {
        return std::to_string(IntFromString<T, B, TChar>(units.data(), units.size()));
    } catch (const TFromStringException& e) {
        return std::string("!") + e.what();
    }
}

template <class T, class TChar>
std::string RunDecimal(const std::u16string& text) {
    std::basic_string<TChar> units(text.begin(), text.end());
    try {
        return std::to_string(FromString<T, TChar>(units.data(), units.size()));
    } catch (const TFromStringException& e) {
        return std::string("!") + e.what();
    }
}

using TRunner = std::string (*)(const std::u16string&);

// Runners indexed by text unit (0: char, 1: wchar16), type and base - 2.
struct TRunners {
    std::array<std::array<std::array<TRunner, 15>, TypeCount>, 2> Table;
    std::array<std::array<TRunner, TypeCount>, 2> Decimal;

    template <class T, class TChar, int... Bs>
    void FillBases(int unit, int type, std::integer_sequence<int, Bs...>) {
        ((Table[unit][type][Bs] = &Run<T, Bs + 2, TChar>), ...);
        Decimal[unit][type] = &RunDecimal<T, TChar>;
    }

    template <class TChar>
    void FillTypes(int unit) {
        const auto bases = std::make_integer_sequence<int, 15>();
        FillBases<unsigned short, TChar>(unit, UShort, bases);
        FillBases<unsigned int, TChar>(unit, UInt, bases);
        FillBases<unsigned long, TChar>(unit, ULong, bases);
        FillBases<unsigned long long, TChar>(unit, ULongLong, bases);
        FillBases<short, TChar>(unit, Short, bases);
        FillBases<int, TChar>(unit, Int, bases);
        FillBases<long, TChar>(unit, Long, bases);
        FillBases<long long, TChar>(unit, LongLong, bases);
    }

    TRunners() {
        FillTypes<char>(0);
        FillTypes<wchar16>(1);
    }
};

const TRunners& Runners() {
    static const TRunners runners;
    return runners;
}

bool FitsInBytes(const std::u16string& text) {
    for (char16_t u : text) {
        if (u > 0xFF) {
            return false;
        }
    }
    return true;
}

struct TCase {
    EType Type;
    int Base;
    std::u16string Text;
    std::string Expected;  // the value, or "!" and the message
};

// Each row runs through the 8-bit entry point (when every unit fits in a byte) and the UTF-16
// one: the two share one algorithm and give the same values and messages.
void RunTable(const std::vector<TCase>& cases) {
    for (const TCase& c : cases) {
        for (int unit = 0; unit < 2; ++unit) {
            if (unit == 0 && !FitsInBytes(c.Text)) {
                continue;
            }
            const std::string got = Runners().Table[unit][c.Type][c.Base - 2](c.Text);
            EXPECT_EQ(got, c.Expected) << TypeNames[c.Type] << ", base " << c.Base
                                       << (unit ? ", UTF-16 text" : ", 8-bit text");
        }
    }
}

const std::u16string ThirtyZerosAndOne = std::u16string(30, u'0') + u"1";

TEST(IntFromString, EmptyTextAndLoneSigns) {
    RunTable({
        {UShort, 10, u"", "!cannot parse empty string as number"},
        {ULongLong, 2, u"", "!cannot parse empty string as number"},
        {Short, 10, u"", "!cannot parse zero length number"},
        {LongLong, 16, u"", "!cannot parse zero length number"},
        {UInt, 10, u"+", "!cannot parse string \"+\" as number"},
        {Int, 10, u"+", "!cannot parse string \"+\" as number"},
        {Int, 10, u"-", "!cannot parse empty string as number"},
        {UInt, 10, u"+0", "0"},
        {Int, 10, u"-0", "0"},
        {Int, 10, u"-+5", "-5"},
        {UInt, 10, u"++1", "!unexpected symbol \"+\" at pos 1 in string \"++1\""},
        {Int, 10, u"+-5", "!unexpected symbol \"-\" at pos 1 in string \"+-5\""},
        {Int, 10, u"--5", "!unexpected symbol \"-\" at pos 0 in string \"-5\""},
        {UInt, 10, u"-5", "!unexpected symbol \"-\" at pos 0 in string \"-5\""},
        {Int, 10, u"\uFF0B5", "!unexpected symbol \"\\uFF0B\" at pos 0 in string \"\\uFF0B5\""},
    });
}

TEST(IntFromString, DigitsOfEachBase) {
    RunTable({
        {UShort, 2, ThirtyZerosAndOne, "1"},
        {ULong, 16, ThirtyZerosAndOne, "1"},
        {Short, 7, ThirtyZerosAndOne, "1"},
        {UInt, 2, u"10", "2"},
        {UInt, 8, u"10", "8"},
        {UInt, 16, u"10", "16"},
        {UInt, 8, u"19", "!unexpected symbol \"9\" at pos 1 in string \"19\""},
        {UInt, 16, u"19", "25"},
        {UInt, 13, u"79", "100"},
        {UInt, 3, u"12", "5"},
        {UInt, 2, u"101", "5"},
        {UInt, 2, u"2", "!unexpected symbol \"2\" at pos 0 in string \"2\""},
        {UInt, 11, u"a", "10"},
        {UInt, 11, u"A", "10"},
        {UInt, 11, u"b", "!unexpected symbol \"b\" at pos 0 in string \"b\""},
        {UInt, 16, u"FF", "255"},
        {UInt, 16, u"ff", "255"},
        {UInt, 16, u"fF", "255"},
        {UInt, 16, u"g", "!unexpected symbol \"g\" at pos 0 in string \"g\""},
        {UInt, 10, u"1a", "!unexpected symbol \"a\" at pos 1 in string \"1a\""},
        {Int, 7, u"-10", "-7"},
        {Long, 9, u"-88", "-80"},
        {UInt, 10, u"007", "7"},
    });
}

TEST(IntFromString, BadCharactersAreEscapedAndQuoted) {
    RunTable({
        {UInt, 10, u" 12", "!unexpected symbol \" \" at pos 0 in string \" 12\""},
        {UInt, 10, u"12 ", "!unexpected symbol \" \" at pos 2 in string \"12 \""},
        {UInt, 16, u"0x1A", "!unexpected symbol \"x\" at pos 1 in string \"0x1A\""},
        {UInt, 2, u"0b1", "!unexpected symbol \"b\" at pos 1 in string \"0b1\""},
        {UInt, 10, u"1.5", "!unexpected symbol \".\" at pos 1 in string \"1.5\""},
        {UInt, 10, u"\u00E9", "!unexpected symbol \"\\xE9\" at pos 0 in string \"\\xE9\""},
        {UInt, 10, std::u16string(u"1\0", 2),
         "!unexpected symbol \"\\0\" at pos 1 in string \"1\\0\""},
        {UInt, 10, u"\"", "!unexpected symbol \"\\\"\" at pos 0 in string \"\\\"\""},
        {UInt, 10, u"\\", "!unexpected symbol \"\\\\\" at pos 0 in string \"\\\\\""},
        {UInt, 10, u"1\t", "!unexpected symbol \"\\t\" at pos 1 in string \"1\\t\""},
        // The symbol is escaped alone; inside the text the next character decides the form.
        {UInt, 10,
         u"\x01"
         u"7",
         "!unexpected symbol \"\\1\" at pos 0 in string \"\\0017\""},
        {UInt, 10,
         u"\x1B"
         u"a",
         "!unexpected symbol \"\\x1B\" at pos 0 in string \"\\033a\""},
        {UInt, 10,
         u"\x1B"
         u"z",
         "!unexpected symbol \"\\x1B\" at pos 0 in string \"\\x1Bz\""},
        {UInt, 10, u"\u0661", "!unexpected symbol \"\\u0661\" at pos 0 in string \"\\u0661\""},
        {UInt, 10, u"12\u0131", "!unexpected symbol \"\\u0131\" at pos 2 in string \"12\\u0131\""},
        {UInt, 10, u"1\U0001F600",
         "!unexpected symbol \"\\uD83D\" at pos 1 in string \"1\\uD83D\\uDE00\""},
        {Int, 10, u"-12a", "!unexpected symbol \"a\" at pos 2 in string \"12a\""},
        {Short, 10, u"-1x", "!unexpected symbol \"x\" at pos 1 in string \"1x\""},
    });
}

TEST(IntFromString, LimitsOfEachWidth) {
    RunTable({
        {UShort, 10, u"65535", "65535"},
        {UShort, 10, u"65536", "!integer overflow in string \"65536\""},
        {UShort, 2, u"1111111111111111", "65535"},
        {UShort, 2, u"11111111111111111", "!integer overflow in string \"11111111111111111\""},
        {UShort, 16, u"ffff", "65535"},
        {UShort, 16, u"10000", "!integer overflow in string \"10000\""},
        {UInt, 16, u"10000", "65536"},
        {UInt, 10, u"4294967295", "4294967295"},
        {UInt, 10, u"4294967296", "!integer overflow in string \"4294967296\""},
        {ULong, 10, u"18446744073709551615", "18446744073709551615"},
        {ULongLong, 10, u"18446744073709551615", "18446744073709551615"},
        {ULong, 10, u"18446744073709551616",
         "!integer overflow in string \"18446744073709551616\""},
        {ULongLong, 10, u"18446744073709551620",
         "!integer overflow in string \"18446744073709551620\""},
        {ULongLong, 10, u"18446744073709551610", "18446744073709551610"},
        {ULongLong, 16, u"FFFFFFFFFFFFFFFF", "18446744073709551615"},
        {ULongLong, 16, u"10000000000000000", "!integer overflow in string \"10000000000000000\""},
        {Short, 10, u"32767", "32767"},
        {Short, 10, u"32768", "!overflow"},
        {Short, 10, u"-32768", "-32768"},
        {Short, 10, u"-32769", "!overflow"},
        {Short, 10, u"-65536", "!integer overflow in string \"65536\""},
        {Short, 10, u"-99999", "!integer overflow in string \"99999\""},
        {Short, 10, u"-40000", "!overflow"},
        {Int, 10, u"2147483647", "2147483647"},
        {Int, 10, u"2147483648", "!overflow"},
        {Int, 10, u"-2147483648", "-2147483648"},
        {Int, 10, u"-2147483649", "!overflow"},
        {Int, 10, u"-4294967296", "!integer overflow in string \"4294967296\""},
        {Int, 16, u"-80000000", "-2147483648"},
        {Int, 16, u"7fffffff", "2147483647"},
        {Int, 16, u"80000000", "!overflow"},
        {Long, 10, u"-9223372036854775808", "-9223372036854775808"},
        {LongLong, 10, u"-9223372036854775808", "-9223372036854775808"},
        {Long, 10, u"9223372036854775808", "!overflow"},
        {LongLong, 10, u"-9223372036854775809", "!overflow"},
        {LongLong, 2, u"-1" + std::u16string(63, u'0'), "-9223372036854775808"},
        // A bad character is found before an overflow on the same character...
        {UShort, 10, u"65535x", "!unexpected symbol \"x\" at pos 5 in string \"65535x\""},
        // ... but an overflow on a digit stops the scan before later characters.
        {UShort, 10, u"655350x", "!integer overflow in string \"655350x\""},
        {UShort, 10, u"70000x", "!integer overflow in string \"70000x\""},
    });
    // The last digit decides at the boundary of the 64-bit accumulator.
    for (char16_t last = u'0'; last <= u'9'; ++last) {
        const std::u16string text = u"1844674407370955161" + std::u16string(1, last);
        const std::string narrow(text.begin(), text.end());
        const std::string expected =
            last <= u'5' ? narrow : "!integer overflow in string \"" + narrow + "\"";
        RunTable({{ULongLong, 10, text, expected}});
    }
}

// The decimal entry point is the base-10 one, the two 64-bit types of each signedness agree,
// and only the given length is read.
TEST(IntFromString, DecimalAndWideEntryPointsAgree) {
    const std::u16string texts[] = {u"",
                                    u"+",
                                    u"-",
                                    u"0",
                                    u"-1",
                                    u"12x",
                                    u"+7",
                                    u"-+7",
                                    u"65536",
                                    u"-2147483649",
                                    u"9223372036854775807",
                                    u"-9223372036854775808",
                                    u"18446744073709551616"};
    for (const std::u16string& text : texts) {
        for (int unit = 0; unit < 2; ++unit) {
            for (int type = 0; type < TypeCount; ++type) {
                EXPECT_EQ(Runners().Decimal[unit][type](text), Runners().Table[unit][type][8](text))
                    << TypeNames[type];
            }
            EXPECT_EQ(Runners().Table[unit][Long][8](text),
                      Runners().Table[unit][LongLong][8](text));
            EXPECT_EQ(Runners().Table[unit][ULong][8](text),
                      Runners().Table[unit][ULongLong][8](text));
        }
    }
    EXPECT_EQ((IntFromString<unsigned int, 16, char>("1fz", 2)), 31u);
    const wchar16 units[] = {u'1', u'2', u'x'};
    EXPECT_EQ((FromString<int, wchar16>(units, 2)), 12);
    EXPECT_THROW((FromString<short, char>(nullptr, 0)), TFromStringException);  // not read
}

// All 240 entry points: "10" reads as the base, "-10" as its negation (an unexpected symbol
// for unsigned types), the highest digit of the base is taken and the next one refused.
TEST(IntFromString, EveryEntryPointReadsItsBase) {
    const std::u16string digits = u"0123456789abcdefg";
    for (int unit = 0; unit < 2; ++unit) {
        for (int type = 0; type < TypeCount; ++type) {
            const bool isSigned = type >= Short;
            for (int base = 2; base <= 16; ++base) {
                const TRunner run = Runners().Table[unit][type][base - 2];
                const std::string where = std::string(TypeNames[type]) + ", base " +
                                          std::to_string(base) + (unit ? ", UTF-16" : ", 8-bit");
                EXPECT_EQ(run(u"10"), std::to_string(base)) << where;
                EXPECT_EQ(run(u"-10"), isSigned
                                           ? "-" + std::to_string(base)
                                           : "!unexpected symbol \"-\" at pos 0 in string \"-10\"")
                    << where;
                EXPECT_EQ(run(digits.substr(base - 1, 1)), std::to_string(base - 1)) << where;
                const std::string next(1, char(digits[base]));
                EXPECT_EQ(run(digits.substr(base, 1)),
                          "!unexpected symbol \"" + next + "\" at pos 0 in string \"" + next + "\"")
                    << where;
            }
        }
    }
}

TEST(IntFromString, KernelsCanBeCalledDirectly) {
    const char text[] = "-7f";
    EXPECT_EQ((ParseSigned<int, 16, char>(text, text + 3)), -127);
    EXPECT_EQ((ParseUnsigned<unsigned short, 16, char>(text + 1, text + 3)), 127);
    const wchar16 units[] = {u'7', u'7'};
    EXPECT_EQ((ParseUnsigned<unsigned long, 8, wchar16>(units, units + 2)), 63u);
}

TEST(IntFromString, FailureIsABadCastAndAKexception) {
    try {
        FromString<int, char>("x", 1);
        ADD_FAILURE() << "no exception";
    } catch (const kexception& e) {
        EXPECT_NE(dynamic_cast<const TBadCastException*>(&e), nullptr);
        EXPECT_STREQ(e.what(), "unexpected symbol \"x\" at pos 0 in string \"x\"");
    }
    TFromStringException e;
    EXPECT_STREQ(AppendMsgOverflow(AppendMsgPlusOnlyNumber(e)).what(),
                 "cannot parse string \"+\" as numberoverflow");
}

}  // namespace
