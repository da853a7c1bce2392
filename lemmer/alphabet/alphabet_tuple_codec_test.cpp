#include "lemmer/alphabet/alphabet_tuple_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A codec of the letters "ако" (indices 1 to 3) with tuple length 2.
TAlphabetTupleCodec SmallCodec() {
    TAlphabetTupleCodec c(2);
    const std::u16string letters = u"ако";
    for (size_t i = 0; i < letters.size(); ++i) {
        c.Code[letters[i]] = static_cast<uint8_t>(i + 1);
        c.Letters[i + 1] = letters[i];
    }
    c.LetterCount = 4;
    return c;
}

uint64_t Suffix(const TAlphabetTupleCodec& c, const std::u16string& s) {
    return c.EncodeSuffix(s.data(), s.size());
}

}  // namespace

TEST(AlphabetTupleCodec, StartsWithTheEmptyLetterOnly) {
    const TAlphabetTupleCodec c(2);
    EXPECT_EQ(c.TupleLength, 2u);
    EXPECT_EQ(c.LetterCount, 1u);
    EXPECT_EQ(c.Code[0], 0);
    EXPECT_EQ(c.Code[u'а'], TAlphabetTupleCodec::NoLetter);
    EXPECT_EQ(c.Letters[0], 0);
    EXPECT_EQ(c.Letters[1], TAlphabetTupleCodec::NoUnit);
    EXPECT_EQ(c.Letters[255], TAlphabetTupleCodec::NoUnit);
    EXPECT_EQ(c.Flags[0], 0);
}

TEST(AlphabetTupleCodec, EncodesTheLastLettersOfAWord) {
    const TAlphabetTupleCodec c = SmallCodec();
    struct TCase {
        std::u16string Word;
        uint64_t Number;
    } cases[] = {
        {u"", 0},
        {u"к", 2},
        {u"ок", 3 * 4 + 2},
        {u"кок", 3 * 4 + 2},  // only the last two letters count
        {u"zок", 3 * 4 + 2},  // a non-letter before them does not matter
        {u"оz", TAlphabetTupleCodec::BadTuple},
        {u"zo", TAlphabetTupleCodec::BadTuple},
    };
    for (const TCase& t : cases) {
        EXPECT_EQ(Suffix(c, t.Word), t.Number) << std::string(t.Word.begin(), t.Word.end());
    }
    TAlphabetTupleCodec none = SmallCodec();
    none.TupleLength = 0;
    EXPECT_EQ(Suffix(none, u"ок"), 0u);
}
