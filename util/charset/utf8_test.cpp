#include "util/charset/utf8.h"

#include "util/generic/exception.h"

#include <gtest/gtest.h>

#include <iconv.h>
#include <random>

#include <string>
#include <vector>

namespace {

std::vector<uint16_t> Units(const TUtf16String& s) {
    return std::vector<uint16_t>(s.data(), s.data() + s.size());
}

std::string EscapeBytes(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        char buf[8];
        snprintf(buf, sizeof(buf), "\\x%02X", c);
        out += buf;
    }
    return out;
}

struct TDecodeCase {
    std::string Bytes;
    std::vector<uint16_t> Units;
};

TEST(DecodeUtf8, DecodesWellFormedText) {
    const TDecodeCase cases[] = {
        {"", {}},
        {"abc", {0x61, 0x62, 0x63}},
        {std::string("\0", 1), {0}},
        {"\xD0\x90", {0x0410}},
        {"\xE2\x82\xAC", {0x20AC}},
        {"\xF0\x9F\x98\x80", {0xD83D, 0xDE00}},
        {"\xF4\x8F\xBF\xBD", {0xDBFF, 0xDFFD}},
        // The last two code points are noncharacters but valid text: they survive as pairs.
        {"\xF4\x8F\xBF\xBF", {0xDBFF, 0xDFFF}},
        {"\xF4\x8F\xBF\xBE", {0xDBFF, 0xDFFE}},
        {"\xEF\xBF\xBF", {0xFFFF}},
        {"\xC2\x80", {0x80}},
        {"a\xE0\xA0\x80z", {0x61, 0x800, 0x7A}},
    };
    for (const TDecodeCase& c : cases) {
        EXPECT_EQ(Units(DecodeUtf8(c.Bytes.data(), c.Bytes.size())), c.Units) << c.Bytes;
    }
}

std::string FailureOf(const std::string& bytes) {
    try {
        DecodeUtf8(bytes.data(), bytes.size());
    } catch (const kexception& e) {
        return e.what();
    }
    return "no failure";
}

TEST(DecodeUtf8, ReportsTheByteOffsetOfAMalformedSequence) {
    const struct {
        std::string Bytes;
        std::string Message;
    } cases[] = {
        {"a\x80"
         "b",
         "failed to decode UTF-8 string at pos 1 in string \"a\\200b\""},
        {"a\xE2\x82", "failed to decode UTF-8 string at pos 1 in string \"a\\xE2\\x82\""},
        {"\xD0\x90\xD0", "failed to decode UTF-8 string at pos 2 in string \"\\xD0\\x90\\xD0\""},
        {"ab\xC3(", "failed to decode UTF-8 string at pos 2 in string \"ab\\xC3(\""},
        {"\xF8\x88\x80\x80\x80",
         "failed to decode UTF-8 string at pos 0 in string "
         "\"\\xF8\\x88\\x80\\x80\\x80\""},
        {"\x01"
         "5\xFF",
         "failed to decode UTF-8 string at pos 2 in string \"\\0015\\xFF\""},
        {"\"\\\xFF"
         "F",
         "failed to decode UTF-8 string at pos 2 in string \"\\\"\\\\\\377F\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FailureOf(c.Bytes), c.Message);
    }
}

TEST(DecodeUtf8, LeavesLongInputsOutOfTheMessage) {
    const std::string fifty(49, 'a');
    EXPECT_EQ(FailureOf(fifty + "\xFF"),
              "failed to decode UTF-8 string at pos 49 in string \"" + fifty + "\\xFF\"");
    EXPECT_EQ(FailureOf(fifty + "a\xFF"), "failed to decode UTF-8 string at pos 50");
}

// Overlong forms, encoded surrogates and values above U+10FFFF are not UTF-8: accepting them
// would let one character hide behind several spellings.
TEST(DecodeUtf8, RejectsOverlongFormsSurrogatesAndValuesBeyondUnicode) {
    const struct {
        std::string Bytes;
        std::string Position;
    } cases[] = {
        {"\xC0\x80", "0"},     {"x\xC1\xBF", "1"},          {"\xE0\x80\x80", "0"},
        {"\xE0\x9F\xBF", "0"}, {"ab\xF0\x8F\xBF\xBF", "2"}, {"\xED\xA0\x80", "0"},
        {"\xED\xBF\xBF", "0"}, {"\xF4\x90\x80\x80", "0"},   {"\xF7\xBF\xBF\xBF", "0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FailureOf(c.Bytes).rfind(
                      "failed to decode UTF-8 string at pos " + c.Position + " in string ", 0),
                  0u)
            << FailureOf(c.Bytes);
    }
}

// glibc's iconv is strict about UTF-8; the decoder must accept exactly what it accepts and
// give the same units.
TEST(DecodeUtf8, AgreesWithGlibcOnRandomInput) {
    iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::mt19937 random(20261210);
    // Bytes that matter to UTF-8: ASCII, continuations, every kind of lead and the edges.
    const uint8_t interesting[] = {0x41, 0x00, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC1,
                                   0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xF8, 0xFF};
    const uint32_t boundaries[] = {0x41,   0x7F,   0x80,   0x7FF,   0x800,    0xD7FF,
                                   0xE000, 0xFFFD, 0xFFFF, 0x10000, 0x10FFFD, 0x10FFFF};
    size_t accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        // Pieces that are either a well-formed character at a boundary or a stray byte.
        std::string bytes;
        for (size_t piece = 1 + random() % 4; piece > 0; --piece) {
            if (random() % 2) {
                uint8_t buf[4];
                const uint32_t cp = boundaries[random() % std::size(boundaries)];
                bytes.append(reinterpret_cast<char*>(buf), WriteUtf8Char(cp, buf));
            } else {
                bytes.push_back(static_cast<char>(interesting[random() % sizeof(interesting)]));
            }
        }
        char out[64];
        char* in = bytes.data();
        size_t inLeft = bytes.size();
        char* dst = out;
        size_t dstLeft = sizeof(out);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const bool glibcAccepts =
            iconv(cd, &in, &inLeft, &dst, &dstLeft) != static_cast<size_t>(-1) && inLeft == 0;
        std::u16string expected;
        for (const char* p = out; p < dst; p += 2) {
            expected.push_back(static_cast<char16_t>(static_cast<uint8_t>(p[0]) |
                                                     static_cast<uint8_t>(p[1]) << 8));
        }
        try {
            const TUtf16String decoded = DecodeUtf8(bytes.data(), bytes.size());
            EXPECT_TRUE(glibcAccepts) << EscapeBytes(bytes);
            EXPECT_EQ(std::u16string(decoded.data(), decoded.size()), expected)
                << EscapeBytes(bytes);
            ++accepted;
        } catch (const kexception&) {
            EXPECT_FALSE(glibcAccepts) << EscapeBytes(bytes);
        }
    }
    iconv_close(cd);
    EXPECT_GT(accepted, 1000u) << accepted;  // the inputs exercise both sides
}

TEST(Utf8Char, WritesEveryLengthAndReadsItBack) {
    for (uint32_t cp :
         {0x0u, 0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xD7FFu, 0xE000u, 0xFFFFu, 0x10000u, 0x10FFFFu}) {
        uint8_t buf[4];
        const size_t n = WriteUtf8Char(cp, buf);
        EXPECT_EQ(n, Utf8Length(cp));
        uint32_t back = 0;
        size_t length = 0;
        EXPECT_EQ(ReadUtf8Char(buf, buf + n, back, length), RECODE_OK);
        EXPECT_EQ(back, cp);
        EXPECT_EQ(length, n);
        if (n > 1) {
            EXPECT_EQ(ReadUtf8Char(buf, buf + n - 1, back, length), RECODE_EOINPUT);
        }
    }
}

}  // namespace
