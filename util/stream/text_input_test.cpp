#include "util/stream/text_input.h"

#include "util/charset/recode_result.h"
#include "util/convert/cast_exception.h"
#include "util/stream/memory.h"
#include "util/testing/exception_matchers.h"
#include "util/testing/utf.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using NTesting::Std;

TEST(TextInput, ReadsBlankSeparatedNumbersOfEveryType) {
    const std::string text = "  42\n-7\t65535 4294967295\r-9000000000 18446744073709551615 " +
                             std::string(1, '\0') + "-32768 1.5 -2.25e3 3.75 12345678901 7";
    TMemoryInput in(text.data(), text.size());
    int i = 0, i2 = 0;
    unsigned short us = 0;
    unsigned int ui = 0;
    long l = 0;
    unsigned long long ull = 0;
    short s = 0;
    float f = 0;
    double d = 0;
    long double ld = 0;
    long long ll = 0;
    unsigned long ul = 0;
    in >> i >> i2 >> us >> ui >> l >> ull >> s >> f >> d >> ld >> ll >> ul;
    EXPECT_EQ(i, 42);
    EXPECT_EQ(i2, -7);
    EXPECT_EQ(us, 65535);
    EXPECT_EQ(ui, 4294967295u);
    EXPECT_EQ(l, -9000000000L);
    EXPECT_EQ(ull, 18446744073709551615ull);
    EXPECT_EQ(s, -32768);
    EXPECT_EQ(f, 1.5f);
    EXPECT_EQ(d, -2250.0);
    EXPECT_EQ(ld, 3.75L);
    EXPECT_EQ(ll, 12345678901LL);
    EXPECT_EQ(ul, 7u);
}

TEST(TextInput, NumberOperatorConsumesTokenAndDelimiter) {
    const std::string text = "  42\nrest";
    TMemoryInput in(text.data(), text.size());
    int value = 0;
    in >> value;
    EXPECT_EQ(value, 42);
    EXPECT_EQ(std::string(in.Buf(), in.Avail()), "rest");
}

TEST(TextInput, BadNumberTokensRaise) {
    struct TCase {
        std::string Text;
        std::string Left;  // what the stream still holds afterwards
    };
    const std::vector<TCase> cases = {
        {"12ab next", "next"},  // the whole non-blank run is the token
        {"", ""},               // end of input: the empty text
        {"   \n\t", ""},
        {"99999999999 x", "x"},  // out of range for int
        {"- x", "x"},
    };
    for (const auto& c : cases) {
        TMemoryInput in(c.Text.data(), c.Text.size());
        int value = 5;
        EXPECT_THROW(in >> value, TFromStringException) << c.Text;
        EXPECT_EQ(value, 5) << c.Text;
        EXPECT_EQ(std::string(in.Buf(), in.Avail()), c.Left) << c.Text;
    }
}

TEST(TextInput, OverlongNumberTokenRaisesInsteadOfSplitting) {
    // 127 digits still read as one token; 128 or 200 are refused whole.
    const std::string ok = std::string(126, '0') + "7 8";
    TMemoryInput okIn(ok.data(), ok.size());
    int value = 0;
    okIn >> value;
    EXPECT_EQ(value, 7);

    for (const size_t digits : {128, 200}) {
        const std::string text = std::string(digits, '1') + " 9";
        TMemoryInput in(text.data(), text.size());
        unsigned long long big = 0;
        EXPECT_THAT([&] { in >> big; },
                    RaisesMessage<TFromStringException>("number token longer than 127 bytes"))
            << digits;
        // The next read starts after the refused token.
        in >> value;
        EXPECT_EQ(value, 9) << digits;
    }
}

TEST(TextInput, ReadsWordsAndSingleBytes) {
    const std::string text = std::string("  one\ttwo\0three  \r\n", 19) + std::string(5000, 'x');
    TMemoryInput in(text.data(), text.size());
    Stroka a("old"), b, c, d, e;
    in >> a >> b >> c >> d;
    EXPECT_EQ(Std(a), "one");
    EXPECT_EQ(Std(b), "two");
    EXPECT_EQ(Std(c), "three");
    EXPECT_EQ(Std(d), std::string(5000, 'x'));
    e = "kept?";
    in >> e;
    EXPECT_EQ(Std(e), "");

    const std::string bytes = " \xC3z";
    TMemoryInput bin(bytes.data(), bytes.size());
    char ch = 0;
    unsigned char uch = 0;
    signed char sch = 0;
    bin >> ch >> uch >> sch;
    EXPECT_EQ(ch, ' ');
    EXPECT_EQ(uch, 0xC3);
    EXPECT_EQ(sch, 'z');
    bin >> ch;
    EXPECT_EQ(ch, ' ');  // end of input: unchanged
}

TEST(TextInput, DecodesLinesAndWordsFromUtf8) {
    struct TCase {
        std::string Bytes;
        std::u16string Line;
    };
    const std::vector<TCase> cases = {
        {"\xD0\x9F\xD1\x80\n", u"\u041F\u0440"},
        {"\xC3\x28\n", u"\uFFFD("},
        {"\xE2\x82\n", u""},  // the cut sequence is dropped
        {"a\xE2\x82\n", u"a"},
        {"\xF0\x9F\x98\x80\r\n", u"\U0001F600"},
        {"\xF4\x8F\xBF\xBF\n", u"\U0010FFFF"},
        // Overlong forms and encoded surrogates are malformed, as in every UTF-8 decoder.
        {"\xC0\x80\n", u"\uFFFD\uFFFD"},
        {"\xED\xA0\x80\n", u"\uFFFD\uFFFD\uFFFD"},
        {"\x80\xFFz\n", u"\uFFFD\uFFFDz"},
        {"\n", u""},
    };
    for (const auto& c : cases) {
        TMemoryInput in(c.Bytes.data(), c.Bytes.size());
        TUtf16String line(u"old", 3);
        EXPECT_TRUE(ReadLine(in, line)) << c.Bytes;
        EXPECT_EQ(Std(line), c.Line) << c.Bytes;
        EXPECT_FALSE(ReadLine(in, line));
        EXPECT_EQ(Std(line), c.Line) << "unchanged at end";
    }

    const std::string words = " \xD0\x9C\xD0\xB8\xD1\x80 x";
    TMemoryInput in(words.data(), words.size());
    TUtf16String a, b, c(u"old", 3);
    in >> a >> b >> c;
    EXPECT_EQ(Std(a), u"\u041C\u0438\u0440");
    EXPECT_EQ(Std(b), u"x");
    EXPECT_EQ(Std(c), u"");
}

TEST(TextInput, RecodeToUnicodeReportsStatusAndCounts) {
    struct TCase {
        std::string Bytes;
        size_t Room;
        int Status;
        size_t Read;
        std::u16string Units;
    };
    const std::vector<TCase> cases = {
        {"abc", 8, RECODE_OK, 3, u"abc"},
        {"", 8, RECODE_OK, 0, u""},
        {"abc", 2, RECODE_EOOUTPUT, 2, u"ab"},
        {"ab", 2, RECODE_OK, 2, u"ab"},
        {"a\xD0", 8, RECODE_EOINPUT, 1, u"a"},
        {"a\xC3(", 8, RECODE_OK, 3, u"a\uFFFD("},
        {"a\xC3", 8, RECODE_EOINPUT, 1, u"a"},
        {"a\xFF", 8, RECODE_BROKENSYMBOL, 2, u"a\uFFFD"},
        {"\xFF", 1, RECODE_BROKENSYMBOL, 1, u"\uFFFD"},
        {"\xFFz", 1, RECODE_EOOUTPUT, 1, u"\uFFFD"},
        // A surrogate pair that does not fit is left unread.
        {"a\xF0\x9F\x98\x80", 2, RECODE_EOOUTPUT, 1, u"a"},
        {"\xF7\xBF\xBF\xBF", 2, RECODE_OK, 4, u"\uFFFD"},
        // Overlong forms and encoded surrogates are malformed, one U+FFFD a byte.
        {"\xC0\x80", 8, RECODE_BROKENSYMBOL, 2, u"\uFFFD\uFFFD"},
        {"\xC1\xBF", 8, RECODE_BROKENSYMBOL, 2, u"\uFFFD\uFFFD"},
        {"\xE0\x9F\xBF", 8, RECODE_BROKENSYMBOL, 3, u"\uFFFD\uFFFD\uFFFD"},
        {"\xF0\x8F\xBF\xBF", 8, RECODE_BROKENSYMBOL, 4, u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xED\xA0\x80", 8, RECODE_BROKENSYMBOL, 3, u"\uFFFD\uFFFD\uFFFD"},
        {"a\xED\xBF\xBF"
         "b",
         8, RECODE_OK, 5, u"a\uFFFD\uFFFD\uFFFDb"},
        // The neighbours of those ranges are well formed.
        {"\xC2\x80\xE0\xA0\x80", 8, RECODE_OK, 5, u"\u0080\u0800"},
        {"\xED\x9F\xBF\xEE\x80\x80", 8, RECODE_OK, 6, u"\uD7FF\uE000"},
        {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", 8, RECODE_OK, 8, u"\U00010000\U0010FFFF"},
    };
    for (const auto& c : cases) {
        wchar16 out[8] = {};
        size_t read = 99, written = 99;
        EXPECT_EQ(RecodeToUnicode(c.Bytes.data(), out, c.Bytes.size(), c.Room, &read, &written),
                  c.Status)
            << c.Bytes;
        EXPECT_EQ(read, c.Read) << c.Bytes;
        EXPECT_EQ(std::u16string(out, written), c.Units) << c.Bytes;
    }
}

}  // namespace
