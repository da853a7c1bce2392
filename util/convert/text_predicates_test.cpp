#include "util/convert/text_predicates.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TCharRange Range(const std::string& s) {
    return TCharRange(s.data(), s.size());
}

TEST(TextPredicates, SpaceAndNumber) {
    const struct {
        std::string Text;
        bool Space;
        bool Number;
    } cases[] = {
        {"", false, false},
        {"\t", true, false},
        {"\r\n", true, false},
        {"   \v\f", true, false},
        {std::string(" \0", 2), false, false},
        {"\xA0", false, false},  // no byte from 0x80 up is white space
        {"0", false, true},
        {"12345678901234567890", false, true},
        {"+1", false, false},
        {"-1", false, false},
        {"1.5", false, false},
        {"1 ", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsSpace(c.Text.data(), c.Text.size()), c.Space) << '"' << c.Text << '"';
        EXPECT_EQ(IsNumber(Range(c.Text)), c.Number) << '"' << c.Text << '"';
    }
}

// A non-empty prefix of a word counts, in any ASCII case; "o", a prefix of both "on" and "off",
// is neither. A NUL ends the comparison: the bytes before it must spell the whole word.
TEST(TextPredicates, TrueAndFalseWords) {
    const struct {
        std::string Text;
        bool True;
        bool False;
    } cases[] = {
        {"1", true, false},
        {"TRUE", true, false},
        {"On", true, false},
        {"da", true, false},
        {"yEs", true, false},
        {"0", false, true},
        {"NO", false, true},
        {"Off", false, true},
        {"net", false, true},
        {"false", false, true},
        {"", false, false},
        {"o", false, false},
        {"O", false, false},
        {"of", false, true},
        {"t", true, false},
        {"y", true, false},
        {"YE", true, false},
        {"d", true, false},
        {"tRu", true, false},
        {"n", false, true},
        {"Ne", false, true},
        {"fal", false, true},
        {"F", false, true},
        {"2", false, false},
        {"yes!", false, false},
        {"yess", false, false},
        {"truth", false, false},
        {"ok", false, false},
        {"nope", false, false},
        {"none", false, false},
        {"falsey", false, false},
        {"10", false, false},
        {" y", false, false},
        {std::string("yes\0", 4), true, false},
        {std::string("yes\0x", 5), true, false},  // the bytes after the NUL are not compared
        {std::string("OFF\0\xFF", 5), false, true},
        {std::string("ye\0", 3), false, false},  // the word is cut short
        {std::string("o\0", 2), false, false},
        {std::string("\0", 1), false, false},
        {"\xD9\xC5\xD3", false, false},  // 8-bit bytes never fold to ASCII letters
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsTrue(Range(c.Text)), c.True) << '"' << c.Text << '"';
        EXPECT_EQ(IsFalse(Range(c.Text)), c.False) << '"' << c.Text << '"';
    }
}

}  // namespace
