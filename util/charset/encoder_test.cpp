#include "util/charset/encoder.h"

#include "util/charset/unicode_table.h"
#include "util/generic/exception.h"
#include "util/testing/exception_matchers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace {

const Encoder& EncoderOf(ECharset code) {
    const Encoder* encoder = EncoderByCharset(code);
    EXPECT_NE(encoder, nullptr);
    return *encoder;
}

struct TEncodeCase {
    ECharset Code;
    uint32_t Cp;
    uint8_t Byte;
};

TEST(Encoder, WritesTheByteOrTheReplacementForTheCategory) {
    const TEncodeCase cases[] = {
        {0, 0x0410, 0xC0},  {0, 0x0000, 0x00}, {0, 0x2500, '?'},   {9, 0x2500, 0xB0},
        {0, 0xFFFD, '?'},   {9, 0x0402, 0xA6}, {9, 0x0452, 0xB6},  {9, 0x4E00, 0x9F},
        {9, 0x0300, 0x80},  {9, 0x0660, '9'},  {9, 0x2160, 'X'},   {9, 0x3000, ' '},
        {9, 0x2028, '\n'},  {9, 0x200E, 0x1A}, {9, 0x2013, '-'},   {9, 0x201E, '"'},
        {9, 0x00AB, '"'},   {9, 0x2018, '\''}, {9, 0x2212, '-'},   {9, 0x20AC, '$'},
        {9, 0x1F600, 0xB0}, {0, 0x1F600, '?'}, {9, 0x10FFFF, '?'}, {9, 0x0301, 0x80},
        {70, 0x0020, 0x20}, {5, 0x00E9, 0xE9}, {0, 0x0451, 0xB8},
    };
    for (const TEncodeCase& c : cases) {
        EXPECT_EQ(static_cast<uint8_t>(EncoderOf(c.Code).Code(c.Cp)), c.Byte)
            << "code " << c.Code << " U+" << std::hex << c.Cp;
    }
    EXPECT_EQ(EncoderOf(0).Lookup(0xFFFD), 0);
    EXPECT_EQ(EncoderOf(0).Lookup(0x2500), 0);
}

TEST(Encoder, ExistsOnlyForSingleBytePages) {
    for (ECharset code = 0; code < CODES_MAX; ++code) {
        EXPECT_EQ(EncoderByCharset(code) != nullptr,
                  CodePageRegistry::Instance()[code].SingleByte())
            << code;
    }
    EXPECT_THROW(EncoderByCharset(CODES_MAX), kexception);
    uint8_t table[256];
    const CodePageRegistry& registry = CodePageRegistry::Instance();
    EXPECT_THAT(
        [&] { BuildTranslationTable(registry[0], registry[CODES_UTF8], table); },
        RaisesMessage<kexception>("Encoder structure can only be used for single byte encodings"));
}

// The page of the grammeme names writes a letter or number it lacks as the letter or digit it
// is built on.
TEST(Encoder, KorvelBorrowsBytesFromCompatibilityDecompositions) {
    const TEncodeCase cases[] = {
        {9, 0x00C0, 'A'}, {9, 0x00AA, 'a'}, {9, 0x00B2, '2'},  {9, 0x00BD, '1'},  {9, 0x2474, '1'},
        {9, 0x247D, '1'}, {9, 0x2487, '2'}, {9, 0xFF02, '"'},  {9, 0xFF07, '\''}, {9, 0x00C9, 'E'},
        {9, 0x01C5, 'D'}, {9, 0xFF21, 'A'}, {9, 0x0419, 0xC9},  // held by the page itself
    };
    for (const TEncodeCase& c : cases) {
        EXPECT_EQ(EncoderOf(9).Lookup(c.Cp), c.Byte) << std::hex << c.Cp;
    }
    // Not letters or numbers, or built on something that is not a plain letter or digit.
    for (uint32_t cp : {0x2100u, 0x00A8u, 0xFF01u, 0x0149u, 0x249Cu}) {
        EXPECT_EQ(EncoderOf(9).Lookup(cp), 0) << std::hex << cp;
    }
    // Other pages borrow nothing.
    EXPECT_EQ(EncoderOf(0).Lookup(0x00C0), 0);
}

TEST(Encoder, KorvelExtrasFollowTheirRule) {
    const Encoder& korvel = EncoderOf(9);
    const TDecompositionDescriptor& compat = CompatDecompositionTable();
    const CodePage& page = CodePageRegistry::Instance()[9];
    size_t own = 0, extras = 0;
    for (uint32_t cp = 1; cp <= 0xFFFF; ++cp) {
        const uint8_t byte = korvel.Lookup(cp);
        if (!byte) {
            continue;
        }
        if (page.Unicode[byte] == cp) {
            ++own;
            continue;
        }
        ++extras;
        const uint32_t* decomposition = DecompositionOf(compat, cp);
        ASSERT_NE(decomposition, nullptr) << std::hex << cp;
        bool found = false;
        for (const uint32_t* p = decomposition; *p; ++p) {
            found = found || page.Unicode[byte] == *p;
        }
        EXPECT_TRUE(found) << std::hex << cp;
    }
    EXPECT_EQ(own, 255u);
    // The number depends on the Unicode version of the tables (812 with the data of the
    // original system); it must stay well inside the range of letters and numbers.
    EXPECT_GT(extras, 700u);
    EXPECT_LT(extras, 1000u);
    RecordProperty("KorvelExtras", static_cast<int>(extras));
}

TEST(CodePageEncoder, WarnsAboutASecondUpperHalfByte) {
    const CodePage& page = CodePageRegistry::Instance()[0];
    TCodePageEncoder encoder(page);
    encoder.Set(0x0410, 0xC0);
    EXPECT_EQ(encoder.Get().Lookup(0x0410), 0xC0);
    encoder.Set(0x0041, 0x41);
    testing::internal::CaptureStderr();
    encoder.Set(0x0041, 0x61);  // lower half: kept silently
    encoder.Set(0x0410, 0xC1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "WARNING: Only lower part of ASCII should have duplicate encodings windows-1251 "
              "410 C1 C0\n");
    EXPECT_EQ(encoder.Get().Lookup(0x0410), 0xC0);
    EXPECT_EQ(encoder.Get().Lookup(0x0411), 0);
    EXPECT_EQ(encoder.Get().Pages[0x05], encoder.Get().ZeroPage);
}

// Built from its record at run time, a page with two upper-half bytes for one character
// keeps the lower byte and reports the other; the built-in encoder says nothing.
TEST(CodePageEncoder, ReportsDuplicateBytesOfARecord) {
    const CodePage& page = CodePageRegistry::Instance()[34];  // CP1046
    testing::internal::CaptureStderr();
    TCodePageEncoder encoder(page, false);
    EXPECT_EQ(
        testing::internal::GetCapturedStderr(),
        "WARNING: Only lower part of ASCII should have duplicate encodings CP1046 FE88 A3 80\n"
        "WARNING: Only lower part of ASCII should have duplicate encodings CP1046 FE82 DC A1\n"
        "WARNING: Only lower part of ASCII should have duplicate encodings CP1046 FE84 DD A2\n"
        "WARNING: Only lower part of ASCII should have duplicate encodings CP1046 FE8E DE A5\n");
    EXPECT_EQ(encoder.Get().Lookup(0xFE88), 0x80);
    testing::internal::CaptureStderr();
    EXPECT_EQ(EncoderOf(34).Lookup(0xFE88), 0x80);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(EncodeUtf32, EncodesCountedAndTerminatedText) {
    const uint32_t text[] = {0x0410, 0x41, 0x2500, 0};
    char out[4] = {1, 1, 1, 1};
    EncodeUtf32(EncoderOf(0), text, out, 3);
    EXPECT_EQ(std::string(out, 4), std::string("\xC0"
                                               "A?\x01",
                                               4));
    char terminated[5] = {1, 1, 1, 1, 1};
    EXPECT_EQ(EncodeUtf32(EncoderOf(9), text, terminated), terminated + 4);
    EXPECT_EQ(std::string(terminated, 5), std::string("\xC0"
                                                      "A\xB0\0\x01",
                                                      5));
}

}  // namespace
