#include "util/string/base64.h"

#include "util/generic/exception.h"
#include "util/testing/exception_matchers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::string Encode(const std::string& raw, bool url) {
    std::vector<char> out(Base64EncodeBufSize(raw.size()) + 1, '\x7F');
    const auto* in = reinterpret_cast<const unsigned char*>(raw.data());
    char* end = url ? Base64EncodeUrl(out.data(), in, raw.size())
                    : Base64Encode(out.data(), in, raw.size());
    EXPECT_EQ(*end, '\0');
    EXPECT_EQ(static_cast<size_t>(end - out.data()), Base64EncodeBufSize(raw.size()));
    return std::string(out.data(), end);
}

std::string Decode(const std::string& text) {
    std::vector<char> out(Base64DecodeBufSize(text.size()) + 1);
    const size_t n = Base64Decode(out.data(), text.data(), text.data() + text.size());
    return std::string(out.data(), n);
}

TEST(Base64, EncodesBothAlphabetsWithTheirPadding) {
    struct TCase {
        std::string Raw, Standard, Url;
    };
    const std::vector<TCase> cases = {
        {"", "", ""},
        {"f", "Zg==", "Zg,,"},
        {"fo", "Zm8=", "Zm8,"},
        {"foo", "Zm9v", "Zm9v"},
        {"foob", "Zm9vYg==", "Zm9vYg,,"},
        {"fooba", "Zm9vYmE=", "Zm9vYmE,"},
        {"foobar", "Zm9vYmFy", "Zm9vYmFy"},
        {"\xFB", "+w==", "-w,,"},
        {"\xFB\xFF\xBF", "+/+/", "-_-_"},
        {std::string("\0\0\0", 3), "AAAA", "AAAA"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Encode(c.Raw, false), c.Standard) << c.Standard;
        EXPECT_EQ(Encode(c.Raw, true), c.Url) << c.Url;
        EXPECT_EQ(Decode(c.Standard), c.Raw) << c.Standard;
        EXPECT_EQ(Decode(c.Url), c.Raw) << c.Url;
    }
}

TEST(Base64, DecodesMixedAlphabetsAndAnyPadding) {
    struct TCase {
        std::string Text, Raw;
    };
    const std::vector<TCase> cases = {
        {"+w==", "\xFB"},
        {"-w,,", "\xFB"},
        {"+w=,", "\xFB"},
        {"-w,=", "\xFB"},
        {"+/-_", "\xFB\xFF\xBF"},
        {"-_+/", "\xFB\xFF\xBF"},
        // Padding inside the text counts as zero bits and takes nothing off.
        {"Zg=A", std::string("f\0\0", 3)},
        {"Zg==Zg==", std::string("f\0\0f", 4)},
        // Bytes outside both alphabets are zero bits, never an error.
        {"Z*8=", std::string("d\x0F", 2)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Decode(c.Text), c.Raw) << c.Text;
    }
}

TEST(Base64, RejectsLengthNotMultipleOfFourBeforeWriting) {
    for (const std::string text : {"Z", "Zg", "Zm9", "Zm9vY"}) {
        char out[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
        EXPECT_THAT([&] { Base64Decode(out, text.data(), text.data() + text.size()); },
                    RaisesMessage<kexception>("incorrect input length for base64 decode"))
            << "no error for " << text;
        EXPECT_EQ(std::string(out, 8), "xxxxxxxx") << text;
    }
    EXPECT_THROW(Base64Decode(Stroka("abc")), kexception);
}

TEST(Base64, EmptyAndReversedRangesDecodeToNothing) {
    const char text[] = "Zm9v";
    char out[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(Base64Decode(out, text, text), 0u);
    EXPECT_EQ(Base64Decode(out, text + 4, text), 0u);
    EXPECT_EQ(out[0], 'x');
}

TEST(Base64, FullChunkWithoutPaddingDecodesToTwelveThousandBytes) {
    std::string text(16000, 'Q');
    std::vector<char> out(12000);
    EXPECT_EQ(Base64Decode(out.data(), text.data(), text.data() + text.size()), 12000u);
}

TEST(Base64, RoundTripsRandomBytesThroughStrings) {
    std::mt19937 rng(20261210);
    for (size_t length = 0; length < 200; ++length) {
        std::string raw(length, '\0');
        for (auto& c : raw) {
            c = static_cast<char>(rng());
        }
        const Stroka data(raw.data(), raw.size());
        const Stroka standard = Base64Encode(data);
        const Stroka url = Base64EncodeUrl(data);
        EXPECT_EQ(standard.size(), Base64EncodeBufSize(length));
        EXPECT_EQ(Base64Decode(standard), data) << length;
        EXPECT_EQ(Base64Decode(url), data) << length;
    }
}

}  // namespace
