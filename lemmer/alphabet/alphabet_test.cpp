#include "lemmer/alphabet/alphabet.h"
#include "lemmer/alphabet/alphabets_data.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace NAlphabetTest {
using namespace NLemmer;
using namespace NLemmer::NDetail;

namespace {

struct TComposed {
    std::u16string Text;
    TAlphabetComposeResult R;
};

TComposed ComposeWithAlphabet(const TAlphabet& a, const std::u16string& src, size_t room = 32) {
    std::u16string out(room, u'\0');
    TComposed c;
    c.R = ComposeWordByAlphabet(a, src.data(), src.size(), out.data(), room);
    c.Text = out.substr(0, c.R.Written);
    return c;
}

}  // namespace

TEST(AlphabetBuilder, FlagsLettersVariantsMarksAndSigns) {
    TAlphabet a;
    // 'a' is listed as consonant and vowel: it ends up a vowel. Ё decomposes into Е + U+0308.
    BuildAlphabet(a, u"aЁ", u"bаa", u"Ї", u"\u0301", u"-");
    EXPECT_EQ(a[u'a'], ALPHA_VOWEL | ALPHA_LETTER);
    EXPECT_EQ(a[u'b'], ALPHA_LETTER);
    EXPECT_EQ(a[u'Ё'], ALPHA_VOWEL | ALPHA_LETTER);
    EXPECT_EQ(a[u'Е'], ALPHA_LETTER_VARIANT);
    // U+0308 is a part of Ё and of the extra letter Ї.
    EXPECT_EQ(a[0x0308],
              ALPHA_LETTER_VARIANT | ALPHA_EXTRA_VARIANT | ALPHA_IGNORABLE | ALPHA_FORM_MARK);
    // Ї decomposes into І + U+0308; the extra letter's parts get the extra variant bit.
    EXPECT_EQ(a[u'Ї'], ALPHA_EXTRA);
    EXPECT_EQ(a[u'І'], ALPHA_EXTRA_VARIANT);
    EXPECT_EQ(a[0x0301], ALPHA_IGNORABLE);
    EXPECT_EQ(a[u'-'], ALPHA_WORD_SIGN);
    EXPECT_EQ(a[u'c'], 0);
    EXPECT_EQ(a.Forms().Size(), 2u);
    EXPECT_EQ(a.Forms().LongestForm(), 2u);
    const std::u16string form = u"\u0308\u0415";
    EXPECT_EQ(a.Forms().Find(form.data(), form.size()), u'Ё');
}

TEST(AlphabetBuilder, ALetterKeepsItsBitWhenItIsAlsoAVariant) {
    TAlphabet a;
    // Й comes first and makes И a variant; listing И as a vowel then drops the variant bit.
    BuildAlphabet(a, u"И", u"Й", nullptr, nullptr, nullptr);
    EXPECT_EQ(a[u'И'], ALPHA_VOWEL | ALPHA_LETTER);
    a.SetFlags(u'И', ALPHA_WORD_SIGN, ALPHA_WORD_SIGN | ALPHA_VOWEL);
    EXPECT_EQ(a[u'И'], ALPHA_LETTER | ALPHA_WORD_SIGN);
    a.AddFlagsIfNone(u'И', ALPHA_EXTRA, ALPHA_LETTER);
    EXPECT_EQ(a[u'И'], ALPHA_LETTER | ALPHA_WORD_SIGN);
    a.AddFlagsIfNone(u'x', ALPHA_EXTRA, ALPHA_LETTER);
    EXPECT_EQ(a[u'x'], ALPHA_EXTRA);
}

TEST(AlphabetComposition, RussianClusters) {
    const TAlphabet& russian = *TAlphaRussian::Alphabet();
    struct TCase {
        std::u16string In;
        std::u16string Out;
        size_t Consumed;
        bool Complete;
        bool Changed;
    } cases[] = {
        {u"е\u0308", u"ё", 2, true, true},
        {u"Е\u0308ж", u"Ёж", 3, true, true},
        {u"и\u0306", u"й", 2, true, true},
        // The stress mark is ignorable and part of no letter: dropped.
        {u"о\u0301", u"о", 2, true, false},
        {u"мо\u0301ре", u"море", 5, true, false},
        // A mark of some letter's form that makes no letter here: composed canonically.
        {u"а\u0308", u"\u04D3", 2, false, true},
        // A mark the alphabet does not know forms a cluster of its own.
        {u"а\u0300", u"а\u0300", 2, true, false},
        {u"", u"", 0, true, false},
        {u"слово", u"слово", 5, true, false},
    };
    for (const TCase& c : cases) {
        const TComposed r = ComposeWithAlphabet(russian, c.In);
        SCOPED_TRACE(std::string(c.In.begin(), c.In.end()));
        EXPECT_EQ(r.Text, c.Out);
        EXPECT_EQ(r.R.Consumed, c.Consumed);
        EXPECT_EQ(r.R.Complete, c.Complete);
        EXPECT_EQ(r.R.Changed, c.Changed);
    }
}

TEST(AlphabetComposition, FirstClusterOnly) {
    const TAlphabet& russian = *TAlphaRussian::Alphabet();
    const std::u16string s = u"е\u0308\u0301ж";
    wchar16 out[4];
    const TAlphabetComposeResult r = ComposeByAlphabet(russian, s.data(), s.size(), out, 4);
    EXPECT_EQ(r.Written, 1u);
    EXPECT_EQ(r.Consumed, 3u);  // the dropped stress mark counts as consumed
    EXPECT_EQ(out[0], u'ё');
}

TEST(AlphabetComposition, OutputThatRunsOutIsReportedIncomplete) {
    const TAlphabet& russian = *TAlphaRussian::Alphabet();
    const TComposed r = ComposeWithAlphabet(russian, u"слово", 3);
    EXPECT_EQ(r.Text, u"сло");
    EXPECT_EQ(r.R.Consumed, 3u);
    EXPECT_FALSE(r.R.Complete);
}

TEST(AlphabetComposition, NoRoomWritesNothing) {
    const TAlphabet& russian = *TAlphaRussian::Alphabet();
    // The buffer ends where the output begins: any unit written lands outside it.
    const auto buffer = std::make_unique<wchar16[]>(1);
    for (const std::u16string& s : {std::u16string(u"ж"), std::u16string(u"е\u0308")}) {
        const TAlphabetComposeResult r =
            ComposeByAlphabet(russian, s.data(), s.size(), buffer.get() + 1, 0);
        EXPECT_EQ(r.Written, 0u);
        EXPECT_EQ(r.Consumed, 0u);
        EXPECT_FALSE(r.Complete);
    }
}

}  // namespace NAlphabetTest
