#include "tokenizer/char_class.h"

#include <gtest/gtest.h>

#include <array>

namespace {

std::array<size_t, CC_CLASS_COUNT> ClassSizes() {
    std::array<size_t, CC_CLASS_COUNT> sizes{};
    for (uint32_t u = 0; u < 0x10000; ++u) {
        ++sizes[CharClassOf(static_cast<wchar16>(u))];
    }
    return sizes;
}

}  // namespace

TEST(CharClass, ClassSizesFollowUnicode4) {
    const auto sizes = ClassSizes();
    EXPECT_EQ(sizes[CC_OPEN_BRACKET], 56u);
    EXPECT_EQ(sizes[CC_CLOSE_BRACKET], 56u);
    // 189 decimal digits beyond ASCII and 251 other numbers.
    EXPECT_EQ(sizes[CC_OTHER_DIGIT], 440u);
    EXPECT_EQ(sizes[CC_COMBINING], 671u);
    // Every Lu, Lt and Nl of Unicode 4.0's BMP but "A"-"F" (the Cherokee letters were Lo
    // then). Five fewer than the 789 sometimes quoted for this class: no category of 4.0
    // gives those five.
    EXPECT_EQ(sizes[CC_UPPER], 784u);
    EXPECT_EQ(sizes[CC_DASH], 44u);
    EXPECT_EQ(sizes[CC_HEX_UPPER], 6u);
    EXPECT_EQ(sizes[CC_HEX_LOWER], 6u);
    EXPECT_EQ(sizes[CC_ASCII_DIGIT], 10u);
    EXPECT_EQ(sizes[CC_SURROGATE], 2048u);
    EXPECT_EQ(sizes[CC_HANGUL_TAIL], 0xD7A4u - 0xC000u);
    size_t total = 0;
    for (size_t n : sizes) {
        total += n;
    }
    EXPECT_EQ(total, 65536u);
}

TEST(CharClass, PlacesListedAndCategorisedUnits) {
    const std::vector<std::pair<wchar16, ECharClass>> cases = {
        {0x0000, CC_NUL},
        {0x0009, CC_TAB},
        {0x000A, CC_LINE_BREAK},
        {0x2028, CC_LINE_BREAK},
        {0x000C, CC_VERTICAL_SPACE},
        {0x000D, CC_RETURN},
        {0x0020, CC_SPACE},
        {0x200B, CC_SPACE},
        {0x180E, CC_SPACE},
        {u'!', CC_TERMINAL},
        {u':', CC_TERMINAL},
        {0xE000, CC_TERMINAL},  // private use
        {0x0378, CC_TERMINAL},
        {0x0220 + 0x21, CC_TERMINAL},  // unassigned, from 4.1
        {0x2C00, CC_TERMINAL},
        {0x20AC, CC_MISC},  // Glagolitic (4.1); euro
        {u'.', CC_FULL_STOP},
        {0x2026, CC_FULL_STOP},
        {0x3002, CC_FULL_STOP},
        {u'"', CC_QUOTE},
        {0x00AB, CC_QUOTE},
        {0x300C, CC_QUOTE},
        {u'\'', CC_APOSTROPHE},
        {0x2019, CC_APOSTROPHE},
        {u'(', CC_OPEN_BRACKET},
        {0x23B4, CC_OPEN_BRACKET},
        {0x2308, CC_MISC},
        {0xFD3E, CC_OPEN_BRACKET},
        {0xFD3F, CC_CLOSE_BRACKET},  // ornate parentheses, swapped in later versions
        {0x2132, CC_MISC},           // turned capital F, a symbol in 4.0
        {0x05BE, CC_MISC},           // Hebrew maqaf, a dash only later
        {u'}', CC_CLOSE_BRACKET},
        {u'#', CC_NUMBER_SIGN},
        {u'$', CC_DOLLAR},
        {u'%', CC_PERCENT},
        {u'+', CC_PLUS},
        {u'/', CC_SLASH},
        {u'@', CC_AT},
        {u'_', CC_UNDERSCORE},
        {0x203F, CC_UNDERSCORE},
        {u'-', CC_DASH},
        {0x2014, CC_DASH},
        {0x00B7, CC_DASH},
        {0x3005, CC_DASH},
        {0x00AD, CC_SOFT_HYPHEN},
        {u'7', CC_ASCII_DIGIT},
        {0x0665, CC_OTHER_DIGIT},
        {0x00B2, CC_OTHER_DIGIT},
        {0x2153, CC_OTHER_DIGIT},
        {u'C', CC_HEX_UPPER},
        {u'G', CC_UPPER},
        {0x0416, CC_UPPER},
        {0x01C5, CC_UPPER},
        {0x2160, CC_UPPER},  // title case; Roman numeral
        {u'c', CC_HEX_LOWER},
        {u'z', CC_LOWER},
        {0x0436, CC_LOWER},
        {0x02B0, CC_LOWER},  // modifier letter
        {0x05D0, CC_LOWER},
        {0x0627, CC_LOWER},  // Hebrew, Arabic
        {0x00AA, CC_LOWER},
        {0x4E00, CC_IDEOGRAPH},
        {0x0915, CC_IDEOGRAPH},
        {0x13A0, CC_IDEOGRAPH},  // Devanagari; Cherokee
        {0x1885, CC_IDEOGRAPH},
        {0xAC00, CC_IDEOGRAPH},
        {0xC000, CC_HANGUL_TAIL},
        {0xD7A3, CC_HANGUL_TAIL},
        {0x0301, CC_COMBINING},
        {0x06DE, CC_COMBINING},
        {0x0358, CC_TERMINAL},
        {0x17B4, CC_MISC},  // a 4.1 mark; format in 4.0
        {0x0001, CC_MISC},
        {u'&', CC_MISC},
        {0x00D7, CC_MISC},
        {0xFEFF, CC_MISC},
        {0xD800, CC_SURROGATE},
        {0xDFFF, CC_SURROGATE},
    };
    for (const auto& [unit, cls] : cases) {
        EXPECT_EQ(CharClassOf(unit), cls) << std::hex << uint32_t(unit);
    }
}
