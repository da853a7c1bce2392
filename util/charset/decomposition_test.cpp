#include "util/charset/decomposition.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using U16 = std::u16string;
using V = std::vector<uint32_t>;

V Decomposition(uint32_t cp, bool digraphs, bool custom) {
    V result;
    for (const uint32_t* p = GetDecomposition(cp, digraphs, custom); p && *p; ++p) {
        result.push_back(*p);
    }
    return result;
}

U16 Decompose(const U16& src, size_t capacity, bool digraphs = false, bool custom = false) {
    std::vector<wchar16> dst(capacity + 1, 0x7777);
    const size_t n = DecomposeUtf16(src.data(), src.size(), dst.data(), capacity, digraphs, custom);
    EXPECT_LE(n, capacity);
    EXPECT_EQ(dst[capacity], 0x7777);  // nothing written past the capacity
    return U16(dst.data(), n);
}

TEST(Decomposition, AppliesTheSystemOverrides) {
    struct TCase {
        uint32_t CodePoint;
        bool Digraphs;
        bool Custom;
        V Expected;
    };
    const TCase cases[] = {
        {0x00F6, true, false, {'o', 'e'}},
        {0x00FC, true, true, {'u', 'e'}},
        {0x00E4, true, false, {'a', 'e'}},
        {0x00C4, true, false, {'A', 0x308}},  // only the small letters become digraphs
        {0x00F6, false, false, {'o', 0x308}},
        {0x00DF, false, false, {'s', 's'}},
        {0x00DF, false, true, {'s', 's'}},
        {0x0130, false, false, {'I'}},
        {0x0131, false, false, {'i'}},
        {0x0407, false, false, {}},
        {0x0419, false, false, {}},
        {0x0439, false, false, {}},
        {0x0457, false, false, {}},
        {0x0419, false, true, {0x0419}},  // the custom table maps it to itself
        {0x0439, false, true, {0x0439}},
        {0x0401, false, false, {0x415, 0x308}},
        {0xFB01, false, false, {'f', 'i'}},
        {0xFB01, false, true, {}},  // the custom table has canonical decompositions only
        {0x00C0, false, true, {'A', 0x300}},
        {0x2000, false, true, {0x2002}},
        {0xAC00, false, false, {0x1100, 0x1161}},
        {0xD7A3, false, false, {0x1112, 0x1175, 0x11C2}},  // the last syllable
        {0xD7A4, false, false, {}},
        {'a', false, false, {}},
        {0x2FA1E, false, false, {}},
        {0x2FA1E, false, true, {}},
        {0xFFFFFFFF, false, false, {}},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Decomposition(c.CodePoint, c.Digraphs, c.Custom), c.Expected)
            << std::hex << c.CodePoint << " " << c.Digraphs << c.Custom;
    }
}

TEST(Decomposition, WriterDropsMarksAndLowerCases) {
    struct TCase {
        U16 Source;
        bool Digraphs;
        bool Custom;
        U16 Expected;
    };
    const TCase cases[] = {
        {u"\u0401", false, false, u"\u0435"},
        {u"\u0419", false, false, u"\u0439"},
        {u"\u0419", false, true, u"\u0439"},
        {u"\u0401\u0436", false, true, u"\u0435\u0436"},
        {u"Stra\u00DFe", false, false, u"strasse"},
        {u"Stra\u00DFe", false, true, u"strasse"},
        {u"\u00D6l", true, false, u"ol"},
        {u"\u00F6l", true, false, u"oel"},
        {u"\uFB01X", false, false, u"fix"},
        {u"\u00BD", false, false, u"1\u20442"},
        {u"Cafe\u0301", false, false, u"cafe"},
        {u"\u0130", false, false, u"i"},
        {u"\U00010400", false, false, u"\U00010428"},  // pair in, pair out
        {u"\U0010FFFD", false, false, u"\U0010FFFD"},  // the last code point of the table
        {u"\U0010FFFE\U0010FFFF", false, false, u"\U0010FFFE\U0010FFFF"},  // noncharacters
        {u"a\xD800", false, false, u"a\uFFFD"},  // high surrogate at the end
        {u"\xD800x", false, false, u"\uFFFDx"},  // high surrogate before a non-surrogate
        {u"\xDC00", false, false, u"\xDC00"},    // a lone low surrogate stays
        {u"", false, false, u""},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Decompose(c.Source, 32, c.Digraphs, c.Custom), c.Expected);
        EXPECT_EQ(
            U16(DecomposeUtf16(TUtf16String(c.Source.data(), c.Source.size()), c.Digraphs, c.Custom)
                    .data()),
            c.Expected);
    }
}

TEST(Decomposition, WriterStopsAtTheCapacity) {
    // A pair that does not fit in the one unit left ends the conversion; nothing after it.
    EXPECT_EQ(Decompose(u"a\U00010400b", 2), u"a");
    EXPECT_EQ(Decompose(u"a\U00010400b", 3), u"a\U00010428");
    // A decomposition is cut where the space ends.
    EXPECT_EQ(Decompose(u"\uFB03x", 2), u"ff");
    EXPECT_EQ(Decompose(u"\u00BDx", 4), u"1\u20442x");
    // Dropped marks take no space.
    EXPECT_EQ(Decompose(u"e\u0301\u0301x", 2), u"ex");
}

TEST(Decomposition, ZeroCapacityReadsNothing) {
    wchar16 dst[1] = {0x7777};
    EXPECT_EQ(DecomposeUtf16(nullptr, 5, dst, 0, false, false), 0u);
    EXPECT_EQ(dst[0], 0x7777);
}

TEST(Decomposition, StringFormHasNoLengthLimit) {
    U16 source;
    U16 expected;
    for (int i = 0; i < 300; ++i) {
        source += u"\uFDFA";  // decomposes into 18 letters and spaces
    }
    const TUtf16String result =
        DecomposeUtf16(TUtf16String(source.data(), source.size()), false, false);
    EXPECT_EQ(result.size(), 300u * 18);
    EXPECT_EQ(Decompose(source, 18 * 300), U16(result.data(), result.size()));
}

}  // namespace
