// HZ and ISO-2022-JP-1 through the recoders: both ways, the shift sequences, what is left out
// and the initial state at the end of every piece.
#include "util/charset/iconv_layers.h"

#include "util/charset/recode.h"

#include "util/charset/recode_test_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const ECharset HZ = 104;
const ECharset JP1 = 108;
const ECharset UTF8 = 13;

using NRecodeTesting::RunRecode;
using NRecodeTesting::TResult;

std::string ToUtf8(ECharset code, const std::string& bytes) {
    const TUtf16String wide = RecodeToUtf16(code, bytes.data(), bytes.size());
    const Stroka utf8 = RecodeFromUtf16(UTF8, wide.data(), wide.size());
    return std::string(utf8.data(), utf8.size());
}

// Each text both ways: from UTF-8 straight through the layer, from UTF-16 through the growing
// output, and back.
TEST(IconvLayers, WriteAndReadChineseAndJapaneseText) {
    const struct {
        ECharset Code;
        std::string Text;
        std::string Bytes;
    } cases[] = {
        {HZ, "abc", "abc"},
        {HZ, "中文", "~{VPND~}"},
        {HZ, "a~b", "a~~b"},
        {HZ, "中a文", "~{VP~}a~{ND~}"},
        {HZ, "~中~", "~~~{VP~}~~"},
        {HZ, "中文\n中", "~{VPND~}\n~{VP~}"},
        {HZ, "、。，", "~{!\"!##,~}"},  // punctuation, rows 1 and 3
        {JP1, "abc", "abc"},
        {JP1, "日本語", "\x1B$BF|K\\8l\x1B(B"},
        {JP1, "丂", "\x1B$(D\x30\x21\x1B(B"},  // JIS X 0212
        {JP1, "日丂a", "\x1B$BF|\x1B$(D\x30\x21\x1B(Ba"},
        {JP1, "a¥b‾", "a\x1B(J\\\x1B(Bb\x1B(J~\x1B(B"},  // JIS X 0201 Roman
        {JP1, "\\~", "\\~"},
        {JP1, "あ\nい", "\x1B$B$\"\x1B(B\n\x1B$B$$\x1B(B"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunRecode(UTF8, c.Code, c.Text, 64), (TResult{RECODE_OK, c.Text.size(), c.Bytes}))
            << c.Code << " " << c.Text;
        EXPECT_EQ(RunRecode(c.Code, UTF8, c.Bytes, 64),
                  (TResult{RECODE_OK, c.Bytes.size(), c.Text}))
            << c.Code << " " << c.Text;
        const TUtf16String wide = RecodeToUtf16(UTF8, c.Text.data(), c.Text.size());
        const Stroka bytes = RecodeFromUtf16(c.Code, wide.data(), wide.size());
        EXPECT_EQ(std::string(bytes.data(), bytes.size()), c.Bytes) << c.Code << " " << c.Text;
        EXPECT_EQ(ToUtf8(c.Code, c.Bytes), c.Text) << c.Code << " " << c.Text;
    }
    // The two layers straight into each other, and a single-byte page through UTF-16.
    EXPECT_EQ(RunRecode(HZ, JP1, "~{VP~}a", 64), (TResult{RECODE_OK, 7, "\x1B$BCf\x1B(Ba"}));
    EXPECT_EQ(RunRecode(JP1, HZ, "\x1B$BCf\x1B(Ba", 64), (TResult{RECODE_OK, 9, "~{VP~}a"}));
    EXPECT_EQ(RunRecode(0, HZ, "\xC6~", 64), (TResult{RECODE_OK, 2, "~{'(~}~~"}));
    EXPECT_EQ(RunRecode(0, JP1, "\xC6", 64), (TResult{RECODE_OK, 1, "\x1B$B'(\x1B(B"}));
}

// What the sets of the target lack is left out, as iconv's discard mode does; HZ reading
// leaves out what is no HZ and reads the escapes a writer may add.
TEST(IconvLayers, LeaveOutWhatTheyCannotHoldOrRead) {
    const struct {
        ECharset From;
        ECharset To;
        std::string Src;
        std::string Out;
    } cases[] = {
        {UTF8, HZ, "한a日", "a~{HU~}"},  // no Hangul in GB2312
        {UTF8, HZ, "\xF0\x9F\x98\x80z", "z"},
        {UTF8, JP1, "한a", "a"},
        {UTF8, JP1, "ｱa", "a"},               // half-width katakana are not among its sets
        {UTF8, JP1, "a\x1B(Jb\x0E", "a(Jb"},  // a raw shift in the text would read as one
        {HZ, UTF8, "a~\nb", "ab"},            // a line joined to the next
        {HZ, UTF8, "~{VP~\nND~}", "中文"},
        {HZ, UTF8, "~{VP~{ND", "中文"},  // a repeated shift, no closing one
        {HZ, UTF8, "\xD6\xD0z", "z"},    // 8-bit bytes are no HZ
        {HZ, UTF8, "~xz", "xz"},         // a tilde that starts no escape
        {HZ, UTF8, "~{V\n~}z", "\nz"},   // a broken pair
        {JP1, UTF8, "\x1B$(D\x30\x21\x1B$B\x30\x21\x1B(B", "丂亜"},
    };
    for (const auto& c : cases) {
        const TResult r = RunRecode(c.From, c.To, c.Src, 64);
        EXPECT_EQ(r, (TResult{RECODE_OK, c.Src.size(), c.Out})) << c.From << " -> " << c.To;
    }
}

// Each piece ends in the initial state: a full output costs characters, never the closing
// shift, and a text cut inside an escape or a pair leaves that tail unread.
TEST(IconvLayers, EndEveryPieceInTheInitialState) {
    const struct {
        ECharset From;
        ECharset To;
        std::string Src;
        size_t DstLen;
        TResult Expected;
    } cases[] = {
        {UTF8, HZ, "中文", 8, {RECODE_OK, 6, "~{VPND~}"}},
        {UTF8, HZ, "中文", 7, {RECODE_EOOUTPUT, 3, "~{VP~}"}},
        {UTF8, HZ, "中文", 5, {RECODE_EOOUTPUT, 0, ""}},
        {UTF8, HZ, "a~", 2, {RECODE_EOOUTPUT, 1, "a"}},
        {UTF8, JP1, "日本", 9, {RECODE_EOOUTPUT, 3, "\x1B$BF|\x1B(B"}},
        {UTF8, JP1, "日本", 10, {RECODE_OK, 6, "\x1B$BF|K\\\x1B(B"}},
        {HZ, UTF8, "~{VPND~}", 3, {RECODE_EOOUTPUT, 4, "中"}},
        {HZ, UTF8, "~{VPND~}", 2, {RECODE_EOOUTPUT, 2, ""}},
        {HZ, UTF8, "a~", 64, {RECODE_EOINPUT, 1, "a"}},
        {HZ, UTF8, "~{VPN", 64, {RECODE_EOINPUT, 4, "中"}},
        {UTF8, HZ, "a\xE4\xB8", 64, {RECODE_EOINPUT, 1, "a"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunRecode(c.From, c.To, c.Src, c.DstLen), c.Expected)
            << c.From << " -> " << c.To << " " << c.Src << " in " << c.DstLen;
    }
    // Pieces written one by one read back as one text.
    for (ECharset code : {HZ, JP1}) {
        std::string joined;
        for (const char* piece : {"中", "a", "日本", "~"}) {
            joined += RunRecode(UTF8, code, piece, 64).Out;
        }
        EXPECT_EQ(ToUtf8(code, joined), "中a日本~") << code;
    }
}

TEST(IconvLayers, OpenOnlyForTheirOwnNames) {
    EXPECT_NE(OpenIconvLayer("HZ", "UTF-8"), nullptr);
    EXPECT_NE(OpenIconvLayer("hz", "ISO-2022-JP-1"), nullptr);
    EXPECT_NE(OpenIconvLayer("UTF-16LE", "HZ"), nullptr);
    EXPECT_NE(OpenIconvLayer("iso-2022-jp-1", "UTF-8"), nullptr);
    EXPECT_EQ(OpenIconvLayer("UTF-8", "ISO-2022-JP-1"), nullptr);  // glibc reads it as JP-2
    EXPECT_EQ(OpenIconvLayer("UTF-8", "EUC-CN"), nullptr);
    EXPECT_EQ(OpenIconvLayer("HZ", "NO-SUCH-CODE"), nullptr);
    EXPECT_EQ(OpenIconvLayer("NO-SUCH-CODE", "HZ"), nullptr);
    EXPECT_STREQ(IconvDecoderName("ISO-2022-JP-1"), "ISO-2022-JP-2");
    EXPECT_STREQ(IconvDecoderName("ISO-2022-JP"), "ISO-2022-JP");
}

}  // namespace
