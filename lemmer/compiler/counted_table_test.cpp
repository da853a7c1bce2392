#include "lemmer/compiler/counted_table.h"
#include "lemmer/compiler/paradigm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

TUtf16Range Range(const std::u16string& s) {
    return TUtf16Range(s.data(), s.size());
}

TEST(TableKeysTest, AffixOrderPutsLongerReversedSuffixesFirst) {
    // Each row sorts strictly before the next.
    const std::u16string texts[][2] = {
        {u"", u"ab"}, {u"", u"a"}, {u"", u"b"}, {u"x", u"b"}, {u"xy", u"b"}, {u"", u""},
    };
    const char grammar[] = {'\x88', '\x89'};
    std::vector<TAffixKey> keys;
    for (const auto& row : texts) {
        keys.push_back(TAffixKey{Range(row[0]), Range(row[1]), TCharRange(grammar, 1)});
    }
    keys.push_back(TAffixKey{Range(texts[5][0]), Range(texts[5][1]), TCharRange(grammar, 2)});
    const TAffixKeyLess less;
    for (size_t i = 0; i + 1 < keys.size(); ++i) {
        EXPECT_TRUE(less(keys[i], keys[i + 1])) << i;
        EXPECT_FALSE(less(keys[i + 1], keys[i])) << i;
    }
    EXPECT_FALSE(less(keys[0], keys[0]));
}

TEST(TableKeysTest, StemOrderIsTextThenRule) {
    const std::u16string a = u"a", ab = u"ab", b = u"b";
    const TStemKey keys[] = {{Range(a), 5}, {Range(a), 6}, {Range(ab), 0}, {Range(b), 0}};
    const TStemKeyLess less;
    for (size_t i = 0; i + 1 < 4; ++i) {
        EXPECT_TRUE(less(keys[i], keys[i + 1])) << i;
        EXPECT_FALSE(less(keys[i + 1], keys[i])) << i;
    }
    EXPECT_TRUE(TByteStringLess()(TCharRange("a", 1), TCharRange("a\0", 2)));
    EXPECT_TRUE(TByteStringLess()(TCharRange("\x7F", 1), TCharRange("\x80", 1)));
}

using TByteTable = TCountedTable<TCharRange, TByteStringLess>;

TEST(CountedTableTest, CountsKeysAndRefusesPastItsLimit) {
    TByteTable table(3, "full");
    EXPECT_EQ(table.Add(TCharRange("b", 1)), 0u);
    EXPECT_EQ(table.Add(TCharRange("a", 1)), 1u);
    EXPECT_EQ(table.Add(TCharRange("b", 1)), 0u);
    EXPECT_EQ(table.Add(TCharRange("c", 1)), 2u);
    EXPECT_EQ(table.Count(0), 2u);
    // Full: a known key is refused as well, and nothing changes.
    for (const char* key : {"a", "d"}) {
        try {
            table.Add(TCharRange(key, 1));
            ADD_FAILURE() << key;
        } catch (const NByk::TOverflowError& e) {
            EXPECT_STREQ(e.what(), "full");
        }
    }
    EXPECT_EQ(table.Size(), 3u);
    EXPECT_EQ(table.Count(1), 1u);
}

TEST(CountedTableTest, RenumbersByFallingCountStably) {
    TByteTable table(100, "full");
    const std::string keys = "abcdef";
    const int adds[] = {1, 3, 1, 2, 3, 1};
    for (size_t i = 0; i < keys.size(); ++i) {
        for (int n = 0; n < adds[i]; ++n) {
            table.Add(TCharRange(keys.data() + i, 1));
        }
    }
    std::vector<uint64_t> newIdOf;
    table.RenumberByCount(newIdOf);
    EXPECT_EQ(newIdOf, (std::vector<uint64_t>{3, 0, 4, 2, 1, 5}));
    std::string order;
    for (uint64_t id = 0; id < table.Size(); ++id) {
        order += table.Key(id).Data[0];
        EXPECT_TRUE(id == 0 || table.Count(id) <= table.Count(id - 1));
    }
    EXPECT_EQ(order,
              "beda"
              "cf");

    TByteTable equal(100, "full");
    for (char c : keys) {
        equal.Add(TCharRange(keys.data() + keys.find(c), 1));
    }
    equal.RenumberByCount(newIdOf);
    EXPECT_EQ(newIdOf, (std::vector<uint64_t>{0, 1, 2, 3, 4, 5}));
}

TEST(CountedTableTest, RenumbersInKeyOrderAgainstASortedOracle) {
    std::mt19937 random(12);
    std::vector<std::u16string> texts;
    for (int i = 0; i < 300; ++i) {
        std::u16string s;
        for (size_t n = random() % 4; n > 0; --n) {
            s += static_cast<char16_t>(u'a' + random() % 3);
        }
        texts.push_back(s);
    }
    TCountedTable<TUtf16Range, TWideStringLess> table(
        TCountedTable<TUtf16Range, TWideStringLess>::NoLimit, nullptr);
    for (const auto& s : texts) {
        table.Add(Range(s));
    }
    std::vector<std::u16string> oracle = texts;
    std::sort(oracle.begin(), oracle.end());
    oracle.erase(std::unique(oracle.begin(), oracle.end()), oracle.end());
    std::vector<uint64_t> newIdOf;
    table.RenumberByKeyOrder(newIdOf);
    ASSERT_EQ(table.Size(), oracle.size());
    for (uint64_t id = 0; id < table.Size(); ++id) {
        EXPECT_EQ(std::u16string(table.Key(id).Data, table.Key(id).Length), oracle[id]);
        EXPECT_EQ(table.Count(id),
                  static_cast<uint64_t>(std::count(texts.begin(), texts.end(), oracle[id])));
    }
}

TEST(ParadigmTest, EncodesIdsAsThreeCharactersEach) {
    TParadigm paradigm;
    for (uint16_t id : {4096, 1, 4096}) {
        paradigm.Add(id);
    }
    paradigm.Normalize();
    char text[16];
    EXPECT_EQ(paradigm.Encode(text) - text, 7);
    EXPECT_EQ(std::string(text, 7), std::string("001100\0", 7));
    EXPECT_EQ(paradigm.EncodedSize(), 7u);
    char max[4] = {};
    char* cursor = max;
    EncodeNumber3(cursor, 65535);
    EXPECT_STREQ(max, "Ezz");

    TParadigm decoded;
    EXPECT_EQ(decoded.Decode("001100"), 2u);
    EXPECT_EQ(decoded.Ids()[1], 4096);
    const char* in = "1";
    uint16_t number = 9;
    EXPECT_EQ(DecodeNumber3(in, number), 1u);
    EXPECT_EQ(number, 1);
    EXPECT_EQ(*in, 0);
    EXPECT_EQ(DecodeNumber3(in, number), 0u);

    TParadigm full;
    for (size_t i = 0; i < TParadigm::Capacity; ++i) {
        full.Add(static_cast<uint16_t>(i));
    }
    try {
        full.Add(0);
        ADD_FAILURE();
    } catch (const NByk::TOverflowError& e) {
        EXPECT_STREQ(e.what(), "Too much endings in paradigm");
    }
}

}  // namespace
