#include "lemmer/compiler/alphabet_builder.h"

#include "lemmer/alphabet/alphabet_registry.h"

#include "util/charset/language.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::unique_ptr<TAlphabetTupleCodec> RussianCodec() {
    TCompilerSettings settings;
    settings.TupleLength = 2;
    settings.Normalizer = NLemmer::GetAlphabetWordNormalizer(LANG_RUS);
    auto codec = std::make_unique<TAlphabetTupleCodec>();
    BuildDictionaryAlphabet(*codec, settings);
    return codec;
}

std::unique_ptr<TAlphabetTupleCodec> Built(const std::vector<std::pair<wchar16, uint8_t>>& classes,
                                           uint32_t tupleLength = 2) {
    std::vector<uint8_t> table(65536, 0);
    for (const auto& [unit, cls] : classes) {
        table[unit] = cls;
    }
    auto codec = std::make_unique<TAlphabetTupleCodec>();
    codec->Build(table.data(), tupleLength);
    return codec;
}

uint64_t Prefix(const TAlphabetTupleCodec& c, const std::u16string& s) {
    return c.EncodePrefix(s.data(), s.size());
}

}  // namespace

TEST(DictionaryAlphabet, RussianAlphabetHasFortyOneLetters) {
    const auto codec = RussianCodec();
    ASSERT_EQ(codec->LetterCount, 41u);
    EXPECT_EQ(codec->TupleLength, 2u);
    std::vector<uint16_t> expected = {0, 0x27, 0x2D};
    for (uint16_t u = 0x430; u <= 0x44F; ++u) {
        expected.push_back(u);
    }
    for (uint16_t u : {0x451, 0x456, 0x463, 0x473, 0x475, 0x2019}) {
        expected.push_back(u);
    }
    const std::u16string vowels = u"аеиоуыэюяё";
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(codec->Letters[i], expected[i]) << i;
        EXPECT_EQ(codec->Code[expected[i]], i);
        const bool vowel = vowels.find(static_cast<char16_t>(expected[i])) != std::u16string::npos;
        EXPECT_EQ(codec->Flags[i] != 0, vowel) << i;
    }
    EXPECT_EQ(codec->Letters[41], TAlphabetTupleCodec::NoUnit);
    // Capitals and the Latin extra letters are no letters of the dictionary.
    EXPECT_EQ(codec->Code[u'Ж'], TAlphabetTupleCodec::NoLetter);
    EXPECT_EQ(codec->Code[u'i'], TAlphabetTupleCodec::NoLetter);
    EXPECT_EQ(codec->Code[0x0301], TAlphabetTupleCodec::NoLetter);
    // The tuple index has 41 squared slots.
    uint64_t slots = 1;
    for (uint32_t i = 0; i < codec->TupleLength; ++i) {
        slots *= codec->LetterCount;
    }
    EXPECT_EQ(slots, 1681u);
}

TEST(DictionaryAlphabet, SuffixAndPrefixNumbersAgree) {
    const auto codec = RussianCodec();
    const uint64_t o = codec->Code[u'о'];
    const uint64_t k = codec->Code[u'к'];
    const uint64_t ya = codec->Code[u'я'];
    const std::u16string ok = u"ок";
    EXPECT_EQ(codec->EncodeSuffix(ok.data(), ok.size()), o * 41 + k);
    EXPECT_EQ(codec->EncodeSuffix(u"я", 1), ya);
    EXPECT_EQ(codec->EncodeSuffix(u"", 0), 0u);
    const std::u16string latin = u"кoт";  // a Latin o inside the last two units
    EXPECT_EQ(codec->EncodeSuffix(latin.data(), latin.size()), TAlphabetTupleCodec::BadTuple);
    // A reversed stem encodes to the same slot from the front.
    EXPECT_EQ(Prefix(*codec, u"ко"), o * 41 + k);
    EXPECT_EQ(Prefix(*codec, u"я"), ya);
    EXPECT_EQ(Prefix(*codec, u"кoz"), TAlphabetTupleCodec::BadTuple);
    EXPECT_EQ(Prefix(*codec, u"коz"), o * 41 + k);  // beyond the tuple it does not matter
    for (const std::u16string stem : {u"молоко", u"дом", u"ёж", u"я", u"мiр"}) {
        const std::u16string reversed(stem.rbegin(), stem.rend());
        EXPECT_EQ(codec->EncodeSuffix(stem.data(), stem.size()), Prefix(*codec, reversed));
    }
}

TEST(DictionaryAlphabet, BuildFoldsCaseAndKeepsTheLowestUnitsVowelBit) {
    // Only the capital has the letter bit: its lower-case form becomes the letter.
    auto codec = Built({{u'Б', 0x02}});
    EXPECT_EQ(codec->LetterCount, 2u);
    EXPECT_EQ(codec->Letters[1], u'б');
    EXPECT_EQ(codec->Code[u'Б'], TAlphabetTupleCodec::NoLetter);
    // Capital (lower unit value) says vowel, small letter says consonant: the capital wins.
    codec = Built({{u'А', 0x03}, {u'а', 0x02}, {u'-', 0x80}, {u'x', 0x08}});
    EXPECT_EQ(codec->LetterCount, 3u);
    EXPECT_EQ(codec->Letters[1], u'-');
    EXPECT_EQ(codec->Letters[2], u'а');
    EXPECT_EQ(codec->Flags[2], 1);
    EXPECT_EQ(codec->Flags[1], 0);
    // Tuple length 0: every word is slot 0.
    codec = Built({{u'a', 0x02}}, 0);
    EXPECT_EQ(Prefix(*codec, u"zzz"), 0u);
}

TEST(DictionaryAlphabet, AtMost254Letters) {
    std::vector<std::pair<wchar16, uint8_t>> classes;
    for (wchar16 u = 0x4E00; u < 0x4E00 + 300; ++u) {
        classes.push_back({u, 0x02});
    }
    const auto codec = Built(classes);
    EXPECT_EQ(codec->LetterCount, 255u);
    EXPECT_EQ(codec->Letters[254], 0x4E00 + 253);
    EXPECT_EQ(codec->Code[0x4E00 + 254], TAlphabetTupleCodec::NoLetter);
    EXPECT_EQ(codec->Letters[255], TAlphabetTupleCodec::NoUnit);

    auto full = std::make_unique<TAlphabetTupleCodec>(*codec);
    EXPECT_FALSE(full->AddLetter(u'z', false));
    EXPECT_TRUE(full->AddLetter(0x4E00, true));  // already a letter: true, flag unchanged
    EXPECT_EQ(full->Flags[1], 0);
}

TEST(DictionaryAlphabet, LetterAdditionsAndTranslation) {
    auto codec = std::make_unique<TAlphabetTupleCodec>(2);
    EXPECT_TRUE(codec->AddLetters(TUtf16String(u"ab"), false));
    EXPECT_TRUE(codec->AddLetter(u'e', true));
    EXPECT_TRUE(codec->AddLetter(u'a', true));  // existing letter keeps its flag
    EXPECT_EQ(codec->Flags[codec->Code[u'a']], 0);
    EXPECT_EQ(codec->Flags[codec->Code[u'e']], 1);
    EXPECT_TRUE(codec->AddLetters(TUtf16String(), true));
    EXPECT_EQ(codec->LetterCount, 4u);

    const std::u16string word = u"bead";
    EXPECT_TRUE(codec->Encode(word.data(), 3) == Stroka("\x02\x03\x01"));
    EXPECT_TRUE(codec->Encode(word.data(), word.size()).empty());  // d is no letter
    EXPECT_TRUE(codec->Encode(word.data(), 0).empty());
    EXPECT_EQ(codec->Decode("\x02\x03\x01", 3), TUtf16String(u"bea"));
    EXPECT_TRUE(codec->Decode("\x02\x09", 2).empty());
    EXPECT_TRUE(codec->Decode("", 0).empty());

    // Adding stops at the first unit that no longer fits; the earlier ones stay.
    std::vector<std::pair<wchar16, uint8_t>> classes;
    for (wchar16 u = 0x4E00; u < 0x4E00 + 253; ++u) {
        classes.push_back({u, 0x02});
    }
    auto almost = Built(classes);
    ASSERT_EQ(almost->LetterCount, 254u);
    EXPECT_FALSE(almost->AddLetters(TUtf16String(u"xyz"), false));
    EXPECT_EQ(almost->LetterCount, 255u);
    EXPECT_EQ(almost->Code[u'x'], 254);
    EXPECT_EQ(almost->Code[u'y'], TAlphabetTupleCodec::NoLetter);
}

TEST(DictionaryAlphabet, SettingsWithoutAnAlphabetGiveTheEmptyLetterAlone) {
    TCompilerSettings settings;
    settings.TupleLength = 2;
    settings.Normalizer = NLemmer::GetAlphabetWordNormalizer(LANG_UNK);
    TAlphabetTupleCodec codec;
    BuildDictionaryAlphabet(codec, settings);
    EXPECT_EQ(codec.LetterCount, 1u);
    EXPECT_EQ(codec.TupleLength, 2u);
}
