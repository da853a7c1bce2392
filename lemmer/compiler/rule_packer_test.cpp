#include "lemmer/compiler/rule_packer.h"

#include "lemmer/compiler/compiler_errors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TUtf16Range UnitRange(const std::u16string& s) {
    return TUtf16Range(s.data(), s.size());
}

std::vector<uint8_t> Pack(const TRulePacker& packer, size_t k) {
    std::vector<uint8_t> bytes(packer.PackedEntrySize(k) + 8, 0xEE);
    char* out = reinterpret_cast<char*>(bytes.data());
    const char* end = packer.PackEntryToByteString(k, out);
    EXPECT_EQ(static_cast<size_t>(end - out), packer.PackedEntrySize(k));
    bytes.resize(static_cast<size_t>(end - out));
    return bytes;
}

TEST(RulePackerTest, PacksTheTwoStemRecordByteForByte) {
    const std::u16string lemma = u"abcde", stem0 = u"abcd", stem1 = u"abx";
    const char grammar[] = {'\x88', '\xC0'};
    TRulePacker packer(TCharRange(grammar, 2));
    packer.AddEntry(UnitRange(lemma), UnitRange(stem0), 0x0102);
    packer.AddEntry(UnitRange(lemma), UnitRange(stem1), 7);
    EXPECT_NO_THROW(packer.CheckFields());
    const std::vector<uint8_t> expected = {2,  1,   1,  1,   0x02, 0x01, 7,    0,   1, 3,
                                           23, 0,   23, 0,   25,   0,    2,    'c', 0, 'd',
                                           0,  'e', 0,  'x', 0,    0x88, 0xC0, 0};
    EXPECT_EQ(Pack(packer, 1), expected);
    // Stem 0 is the lemma less "e": cut 0, that tail alone, and a root cut of 3 + 0 - 1.
    const std::vector<uint8_t> first = {2,  0, 2,  0, 0x02, 0x01, 7, 0,   1, 3,    19,   0,
                                        19, 0, 21, 0, 2,    'e',  0, 'x', 0, 0x88, 0xC0, 0};
    EXPECT_EQ(Pack(packer, 0), first);
}

TEST(RulePackerTest, PacksAOneStemRecord) {
    const std::u16string lemma = u"abxy", stem = u"ab";
    const char grammar[] = {'\x88'};
    TRulePacker packer(TCharRange(grammar, 1));
    packer.AddEntry(UnitRange(lemma), UnitRange(stem), 300);
    const std::vector<uint8_t> expected = {1,  0, 0, 0,   0x2C, 0x01, 2, 16,   0,
                                           16, 0, 1, 'x', 0,    'y',  0, 0x88, 0};
    EXPECT_EQ(Pack(packer, 0), expected);
}

TEST(RulePackerTest, SplitsAtTheCommonBeginning) {
    struct TCase {
        std::u16string A, B;
        uint64_t Cut;
        std::u16string Tail;
    };
    const TCase cases[] = {
        {u"abc", u"xbc", 3, u"xbc"}, {u"ab", u"ab", 0, u""},         {u"", u"ab", 0, u"ab"},
        {u"ab", u"", 2, u""},        {u"палец", u"пальц", 2, u"ьц"},
    };
    for (const TCase& c : cases) {
        const TStringDiff d = SplitCommonPrefix(UnitRange(c.A), UnitRange(c.B));
        EXPECT_EQ(d.Cut, c.Cut);
        EXPECT_EQ(std::u16string(d.Tail.Data, d.Tail.Length), c.Tail);
    }
    const wchar16 withZero[] = {u'a', u'b', 0, u'c'};
    const TUtf16String zeroThird(withZero, 4);
    EXPECT_EQ(CommonPrefixLength(TUtf16String(u"ab"), TUtf16String(u"abc")), 2u);
    EXPECT_EQ(CommonPrefixLength(TUtf16String(u"abc"), TUtf16String(u"ab")), 2u);
    EXPECT_EQ(CommonPrefixLength(TUtf16String(u"abc"), TUtf16String(u"abd")), 2u);
    EXPECT_EQ(CommonPrefixLength(zeroThird, zeroThird), 2u);
    EXPECT_EQ(CommonPrefixLength(TUtf16String(), TUtf16String(u"a")), 0u);
}

TEST(RulePackerTest, RefusesFieldsPastTheirRange) {
    const char* const message = "Integer overflow occured, while packing data to the byte-string";
    // A lemma of 256 units with a stem that differs from its first unit: the cut needs 9 bits.
    const std::u16string longLemma(256, u'a'), other = u"b";
    TRulePacker packer{TCharRange()};
    packer.AddEntry(UnitRange(longLemma), UnitRange(other), 0);
    try {
        packer.CheckFields();
        ADD_FAILURE() << "no overflow";
    } catch (const NByk::TOverflowError& e) {
        EXPECT_STREQ(e.what(), message);
    }
    std::vector<char> room(packer.PackedEntrySize(0));
    char* out = room.data();
    EXPECT_THROW(packer.PackEntryToByteString(0, out), NByk::TOverflowError);
    // 255 units still fit.
    const std::u16string lemma255(255, u'a');
    TRulePacker fits{TCharRange()};
    fits.AddEntry(UnitRange(lemma255), UnitRange(other), 0);
    EXPECT_NO_THROW(fits.CheckFields());

    char bytes[2];
    char* cursor = bytes;
    EXPECT_THROW(WriteUi16Checked(cursor, 65536), NByk::TOverflowError);
    EXPECT_EQ(cursor, bytes);
    WriteUi16Checked(cursor, 65535);
    EXPECT_EQ(cursor, bytes + 2);
    cursor = bytes;
    EXPECT_THROW(WriteByteChecked(cursor, 256), NByk::TOverflowError);
    WriteByteChecked(cursor, 255);
    EXPECT_EQ(static_cast<uint8_t>(bytes[0]), 255);
}

}  // namespace
