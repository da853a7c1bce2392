// Lines of the input: cut at the encoding's own line feed, in blocks of any size.
#include "analyzer/line_reader.h"

#include "util/stream/memory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> ReadLines(const std::string& bytes, ECharset code, size_t block) {
    TMemoryInput input(bytes.data(), bytes.size());
    TLineReader reader(input, TLineFeedForm::ForCharset(code), block);
    std::vector<std::string> lines;
    std::vector<char> line;
    while (reader.Next(line)) {
        lines.emplace_back(line.begin(), line.end());
    }
    return lines;
}

using TLines = std::vector<std::string>;

TEST(LineReaderTest, CutsAtTheLineFeedOfTheEncoding) {
    using namespace std::string_literals;
    const struct {
        std::string Bytes;
        ECharset Code;
        TLines Lines;
    } cases[] = {
        {"", CODES_WIN, {}},
        {"\n", CODES_WIN, {""}},
        {"a\r\nb\rc\n\nlast", CODES_WIN, {"a", "b\rc", "", "last"}},
        {"x\r", CODES_WIN, {"x"}},
        {"\xd1\x8f\n\xd0\x8a\n", CODES_UTF8, {"\xd1\x8f", "\xd0\x8a"}},
        // UTF-16LE: U+010A's byte 0x0A and the high byte of U+000A end no line.
        {"a\0\n\1\n\0b\0"s, CODES_UTF16LE, {"a\0\n\1"s, "b\0"s}},
        {"a\0\r\0\n\0\n\0"s, CODES_UTF16LE, {"a\0"s, ""}},
        {"\0a\1\n\0\n\0\r\0\n"s, CODES_UTF16BE, {"\0a\1\n"s, ""}},
        // The bytes of a line feed across two units (U+0A05 U+0100, U+0100 U+0A05) end none.
        {"\5\n\0\1"s, CODES_UTF16LE, {"\5\n\0\1"s}},
        {"\1\0\n\5"s, CODES_UTF16BE, {"\1\0\n\5"s}},
        {"\n\0\n"s, CODES_UTF16LE, {"", "\n"}},  // an odd byte at the end stays in the line
    };
    for (const auto& c : cases) {
        for (size_t block : {1, 2, 3, 5, 4096}) {
            EXPECT_EQ(ReadLines(c.Bytes, c.Code, block), c.Lines)
                << "code " << c.Code << ", block " << block << ", input of " << c.Bytes.size();
        }
    }
}

TEST(LineReaderTest, KeepsUnitAlignmentAcrossLinesAndBlocks) {
    // Every unit's low byte is 0x0A: only the real line feeds may end lines.
    std::string bytes;
    TLines expected;
    for (int line = 0; line < 50; ++line) {
        std::string text;
        for (int i = 0; i <= line; ++i) {
            text += '\n';
            text += static_cast<char>(1 + i % 200);
        }
        expected.push_back(text);
        bytes += text + std::string("\n\0", 2);
    }
    for (size_t block : {1, 7, 64, 1 << 16}) {
        EXPECT_EQ(ReadLines(bytes, CODES_UTF16LE, block), expected) << block;
    }
}

TEST(LineReaderTest, DeliversALongLineWhole) {
    const std::string text(3 << 20, 'x');
    const TLines lines = ReadLines(text + "\nend", CODES_WIN, 1 << 16);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), text.size());
    EXPECT_EQ(lines[1], "end");
}

}  // namespace
