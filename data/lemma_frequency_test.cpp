// The embedded lemma-frequency table: built from its text form, packed and read back.
#include "data/lemma_frequency.h"

#include "util/stream/compact_trie.h"
#include "util/stream/compact_trie_packer.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(LemmaFrequencyTableTest, IsDecodedOnceAndShared) {
    const TBlob* table = GetLemmaFrequencyTable();
    ASSERT_NE(table, nullptr);
    EXPECT_FALSE(table->Empty());
    EXPECT_EQ(GetLemmaFrequencyTable(), table);
    EXPECT_EQ(GetLemmaFrequencyTable()->Data(), table->Data());
}

TEST(LemmaFrequencyTableTest, HoldsTheFixtureValuesUnderWholeKeys) {
    const TCompactTrie trie(*GetLemmaFrequencyTable());
    const struct {
        const char16_t* Key;
        bool Found;
        unsigned long Value;
    } cases[] = {
        {u"мама=S", true, 12345},
        {u"мыло=S", true, 3530269},  // the largest value of the real table
        {u"рама=S", true, 20},
        {u"стекло=V", true, 7},
        {u"мама=", false, 0},  // only a prefix of a stored key
        {u"мама=V", false, 0},
        {u"папа=S", false, 0},
    };
    for (const auto& c : cases) {
        const std::u16string key(c.Key);
        const char* packed = nullptr;
        ASSERT_EQ(trie.Find(key.data(), key.size(), &packed), c.Found) << key.size();
        if (c.Found) {
            unsigned long value = 0;
            TCompactTriePacker<unsigned long>::UnpackLeaf(packed, value);
            EXPECT_EQ(value, c.Value);
        }
    }
}

}  // namespace
