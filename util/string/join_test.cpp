#include "util/string/join.h"
#include "util/testing/utf.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using NTesting::Std;
}  // namespace

TEST(JoinStrings, JoinsTheRequestedRange) {
    const std::vector<TUtf16String> v = {TUtf16String(u"a"), TUtf16String(u"bb"),
                                         TUtf16String(u"\u0416")};
    struct TCase {
        size_t First;
        size_t Count;
        std::u16string Expected;
    };
    const std::vector<TCase> cases = {
        {0, 3, u"a, bb, \u0416"}, {1, 5, u"bb, \u0416"},  // cut to the end
        {2, 1, u"\u0416"},        {0, 0, u""},           {3, 1, u""}, {7, 2, u""},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Std(JoinStrings(v, c.First, c.Count, u", ")), c.Expected)
            << c.First << " " << c.Count;
    }
    EXPECT_EQ(Std(JoinStrings(v, u"|")), u"a|bb|\u0416");
    // An explicit delimiter length, NULs included.
    const wchar16 delimiter[] = {u'<', 0, u'>'};
    EXPECT_EQ(Std(JoinStrings(v, 0, 2, delimiter, 3)), std::u16string(u"a<\0>bb", 6));
    EXPECT_EQ(Std(JoinStrings(v, 0, 2, delimiter)), u"a<bb");
    EXPECT_EQ(Std(JoinStrings({}, u",")), u"");
}

// Elements that share one block join as copies: the shared text is read, not changed.
TEST(JoinStrings, SharedElementsStayUnchanged) {
    const TUtf16String word(u"xy");
    const std::vector<TUtf16String> v = {word, word, word};
    EXPECT_EQ(Std(JoinStrings(v, u"-")), u"xy-xy-xy");
    EXPECT_EQ(Std(word), u"xy");
}
