// The embedded lemma-frequency table: built from its text form, packed and read back; the real
// table holds exactly what the committed text says.
#include "data/lemma_frequency.h"

#include "data/lemma_frequency_fixture.h"
#include "util/charset/utf8.h"
#include "util/stream/compact_trie.h"
#include "util/stream/compact_trie_packer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

std::u16string Utf16(const std::string& text) {
    const TUtf16String units = DecodeUtf8(text.data(), text.size());
    return std::u16string(units.data(), units.size());
}

// The value stored for exactly `key`, or -1.
int64_t StoredValue(const TCompactTrie& trie, const std::u16string& key) {
    const char* packed = nullptr;
    if (!trie.Find(key.data(), key.size(), &packed)) {
        return -1;
    }
    unsigned long value = 0;
    TCompactTriePacker<unsigned long>::UnpackLeaf(packed, value);
    return static_cast<int64_t>(value);
}

TEST(LemmaFrequencyTableTest, IsDecodedOnceAndShared) {
    const TBlob* table = GetLemmaFrequencyTable();
    ASSERT_NE(table, nullptr);
    EXPECT_FALSE(table->Empty());
    EXPECT_EQ(GetLemmaFrequencyTable(), table);
    EXPECT_EQ(GetLemmaFrequencyTable()->Data(), table->Data());
    EXPECT_NE(GetLemmaFrequencyFixtureTable()->Data(), table->Data());
}

TEST(LemmaFrequencyTableTest, FixtureHoldsItsValuesUnderWholeKeys) {
    const TCompactTrie trie(*GetLemmaFrequencyFixtureTable());
    const struct {
        const char16_t* Key;
        int64_t Value;
    } cases[] = {
        {u"мама=S", 12345}, {u"мыло=S", 3530269},                  // needs four bytes packed
        {u"рама=S", 20},    {u"стекло=V", 7},     {u"мама=", -1},  // only a prefix of a stored key
        {u"мама=V", -1},    {u"папа=S", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StoredValue(trie, c.Key), c.Value) << std::u16string(c.Key).size();
    }
}

struct TTableText {
    std::vector<std::pair<std::string, int64_t>> Rows;
    std::map<std::string, size_t> KeysByPart;
    int64_t Smallest = INT64_MAX;
    int64_t Largest = 0;
};

// Reads the committed text, checking its form on the way: "key TAB value" lines, keys
// strictly increasing in byte order, "lemma=PART" with a non-empty lemma.
TTableText ReadTableText() {
    std::ifstream in(LEMMIX_SOURCE_DIR "/data/lemma-frequencies.tsv", std::ios::binary);
    EXPECT_TRUE(in.good()) << LEMMIX_SOURCE_DIR "/data/lemma-frequencies.tsv";
    TTableText text;
    std::string line;
    while (std::getline(in, line)) {
        const size_t tab = line.find('\t');
        const size_t equals = line.rfind('=', tab);
        if (tab == std::string::npos || equals == std::string::npos || equals == 0 ||
            line.find_first_not_of("0123456789", tab + 1) != std::string::npos ||
            tab + 1 == line.size()) {
            ADD_FAILURE() << "malformed line: " << line;
            continue;
        }
        const std::string key = line.substr(0, tab);
        if (!text.Rows.empty()) {
            EXPECT_LT(text.Rows.back().first, key) << "not sorted or repeated";
        }
        const int64_t value = std::stoll(line.substr(tab + 1));
        text.Rows.emplace_back(key, value);
        ++text.KeysByPart[key.substr(equals + 1)];
        text.Smallest = std::min(text.Smallest, value);
        text.Largest = std::max(text.Largest, value);
    }
    return text;
}

const char* const PartsOfSpeech[] = {"S",  "V",      "A",    "ADV",  "COM",  "INTJ", "PART",
                                     "PR", "ADVPRO", "CONJ", "SPRO", "APRO", "NUM",  "ANUM"};

TEST(LemmaFrequencyTableTest, EmbedsExactlyTheCommittedTable) {
    const TTableText text = ReadTableText();
    // A counted corpus of this size gives tens of thousands of lemmas; values are at least 1
    // (a counted key never rounds to nothing) and the most frequent words reach percents.
    EXPECT_GT(text.Rows.size(), 10000u);
    EXPECT_GE(text.Smallest, 1);
    EXPECT_GT(text.Largest, 100000) << "no word above 1000 per million";
    const std::set<std::string> known(std::begin(PartsOfSpeech), std::end(PartsOfSpeech));
    for (const auto& [part, count] : text.KeysByPart) {
        EXPECT_TRUE(known.count(part)) << "not a part of speech: " << part << " x " << count;
    }
    for (const char* part : {"S", "V", "A", "ADV", "PR", "CONJ", "SPRO", "PART"}) {
        EXPECT_GT(text.KeysByPart.count(part), 0u) << part;
    }

    // Every key holds its value; the same lemma under a name the text lacks holds nothing, and
    // neither does "lemma=" alone, so the trie has no keys of its own for these lemmas.
    const TCompactTrie trie(*GetLemmaFrequencyTable());
    std::set<std::string> keys;
    for (const auto& row : text.Rows) {
        keys.insert(row.first);
    }
    size_t checked = 0;
    for (const auto& [key, value] : text.Rows) {
        ASSERT_EQ(StoredValue(trie, Utf16(key)), value) << key;
        const std::string lemma = key.substr(0, key.rfind('=') + 1);
        const std::u16string bare = Utf16(lemma);
        EXPECT_EQ(StoredValue(trie, bare), -1) << lemma;
        for (const char* part : PartsOfSpeech) {
            if (!keys.count(lemma + part)) {
                EXPECT_EQ(StoredValue(trie, bare + Utf16(part)), -1) << lemma << part;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, text.Rows.size());
}

}  // namespace
