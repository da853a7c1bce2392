// Decoding input lines to UTF-16 in every kind of input encoding.
#include "analyzer/line_decoder.h"

#include "util/charset/charset_names.h"
#include "util/generic/exception.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::u16string Decode(TLineDecoder& decoder, const std::string& bytes) {
    std::vector<wchar16> units;
    decoder.Decode(bytes.data(), bytes.size(), units);
    return std::u16string(units.begin(), units.end());
}

ECharset Code(const char* name) {
    const ECharset code = CharsetByName(name);
    EXPECT_NE(code, CODES_UNKNOWN) << name;
    return code;
}

TEST(LineDecoderTest, DecodesEveryKindOfEncoding) {
    using namespace std::string_literals;
    const struct {
        const char* Encoding;
        std::string Bytes;
        std::u16string Text;
    } cases[] = {
        {"windows-1251", "\xcc\xe0\xec\xe0 \x98", u"Мама \uFFFD"},  // 0x98 is undefined
        {"koi8-r", "\xed\xc1\xcd\xc1", u"Мама"},
        {"utf-8", "\xd0\x9c\xd0\xb0 \xf0\x9f\x98\x80", u"Ма 😀"},
        {"utf-16le", "\x1c\x04\x30\x04\x0a\x01"s, u"Ма\u010A"},
        {"utf-16be", "\x04\x1c\x04\x30"s, u"Ма"},
        {"gb18030", "\x90\x30\x81\x30", u"\U00010000"},  // four bytes, two units
        {"gb18030", "a\x81", u"a"},                      // a cut character is dropped
        {"iso-2022-jp", "\x1b$B$\"\x1b(Ba", u"\u3042a"},
        {"shift_jis", "\x82\xa0\xff", u"\u3042"},  // an invalid byte is left out
        {"cp949", "\xb0\xa1\xa2\xe8", u"\uAC00"},  // not read on past the line's end
    };
    for (const auto& c : cases) {
        TLineDecoder decoder(Code(c.Encoding));
        EXPECT_EQ(Decode(decoder, c.Bytes), c.Text) << c.Encoding;
        EXPECT_EQ(Decode(decoder, ""), u"") << c.Encoding;
    }
}

// U+10000 is the first code point that takes a surrogate pair; four bytes that spell a code
// point below it, or one above U+10FFFF, are malformed.
TEST(LineDecoderTest, DecodesUtf8AtTheEdgesOfTheBasicPlane) {
    const struct {
        std::string Bytes;
        std::u16string Text;  // empty: malformed
    } cases[] = {
        {"\xef\xbf\xbf", u"\uFFFF"},
        {"\xf0\x90\x80\x80", u"\xD800\xDC00"},
        {"a\xf0\x90\x80\x80"
         "b",
         u"a\xD800\xDC00"
         u"b"},
        {"\xf0\x90\x80\x81", u"\xD800\xDC01"},
        {"\xf4\x8f\xbf\xbf", u"\xDBFF\xDFFF"},
        {"\xf0\x8f\xbf\xbf", u""},
        {"\xf4\x90\x80\x80", u""},
    };
    TLineDecoder decoder(CODES_UTF8);
    for (const auto& c : cases) {
        if (c.Text.empty()) {
            EXPECT_THROW(Decode(decoder, c.Bytes), kexception) << c.Bytes;
        } else {
            EXPECT_EQ(Decode(decoder, c.Bytes), c.Text) << c.Bytes;
        }
    }
}

TEST(LineDecoderTest, StartsEveryLineInTheInitialShiftState) {
    TLineDecoder decoder(Code("iso-2022-jp"));
    // The first line ends shifted into JIS X 0208; the next one is ASCII again.
    EXPECT_EQ(Decode(decoder, "\x1b$B$\""), u"\u3042");
    EXPECT_EQ(Decode(decoder, "$\""), u"$\"");
}

TEST(LineDecoderTest, RaisesOnMalformedUtf8WithTheOffset) {
    TLineDecoder decoder(CODES_UTF8);
    EXPECT_EQ(Decode(decoder, "ok"), u"ok");
    try {
        Decode(decoder, "ab\xd0");
        FAIL() << "no error";
    } catch (const kexception& e) {
        EXPECT_EQ(std::string(e.what()),
                  "failed to decode UTF-8 string at pos 2 in string \"ab\\xD0\"");
    }
}

}  // namespace
