#include "lemmer/translit/untransliterator.h"

#include "lemmer/translit/untranslit_rules.h"

#include "util/testing/utf.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using NTesting::Wide;

struct TRendering {
    std::u16string Text;
    uint64_t Consumed;
    uint32_t Cost;
    friend bool operator==(const TRendering&, const TRendering&) = default;
};

std::ostream& operator<<(std::ostream& out, const TRendering& r) {
    out << '"';
    for (char16_t c : r.Text) {
        if (c < 0x80) {
            out << char(c);
        } else {
            out << "\\u" << std::hex << uint32_t(c) << std::dec;
        }
    }
    return out << "\" consumed " << r.Consumed << " cost " << r.Cost;
}

// Every answer up to the empty one (at most `limit`).
std::vector<TRendering> AllAnswers(TUntransliter& u, std::u16string_view word, uint32_t bound = 0,
                                   size_t limit = 100000) {
    u.Reset(Wide(word));
    std::vector<TRendering> out;
    for (auto a = u.GetNextAnswer(bound); !a.Empty() && out.size() < limit;
         a = u.GetNextAnswer(bound)) {
        out.push_back({std::u16string(a.Text.data(), a.Text.size()), a.Consumed, a.Cost});
    }
    return out;
}

struct TRule {
    std::u16string_view Key, Text;
    uint32_t Cost;
};

TUntranslitRules MakeRules(const std::vector<TRule>& list) {
    TUntranslitRules rules;
    for (const TRule& r : list) {
        rules.Add(r.Key, r.Text, r.Cost);
    }
    return rules;
}

// A small Latin-to-Cyrillic rule set; "h" may also vanish.
const std::vector<TRule> SAMPLE_RULES = {
    {u"s", u"с", 0},  {u"s", u"з", 2}, {u"h", u"х", 0},    {u"h", u"", 3},
    {u"sh", u"ш", 1}, {u"a", u"а", 0}, {u"shch", u"щ", 0}, {u"ch", u"ч", 0},
};

TUntranslitRules SampleRules() {
    return MakeRules(SAMPLE_RULES);
}

// What each word's renderings are, in order, under a bound (0: none) and a count limit.
TEST(Untransliterator, RendersWordsCheapestFirstWithinTheBound) {
    // After "abc" starts, "A" (one unit) and "B" (two units) both cost 0; "B" goes on first and
    // finishes as "BC" before "A" is looked at.
    const std::vector<TRule> furthest = {
        {u"a", u"A", 0}, {u"ab", u"B", 0}, {u"bc", u"D", 0}, {u"c", u"C", 0}};
    const std::vector<TRule> bounded = {{u"a", u"x", 5},  {u"a", u"y", 6},  {u"a", u"z", 7},
                                        {u"ab", u"p", 5}, {u"ab", u"q", 7}, {u"ab", u"r", 8}};
    const size_t all = 100000;
    const struct {
        const char* Name;
        const std::vector<TRule>& Rules;
        std::u16string Word;
        uint32_t Bound;
        size_t Limit;
        std::vector<TRendering> Expected;
    } cases[] = {
        {"cheapest first",
         SAMPLE_RULES,
         u"sha",
         0,
         all,
         {{u"сха", 3, 0}, {u"ша", 3, 1}, {u"зха", 3, 2}, {u"са", 3, 3}, {u"за", 3, 5}}},
        // The longest key is one rule among others, not a preference.
        {"longest key", SAMPLE_RULES, u"shch", 0, 3, {{u"щ", 4, 0}, {u"схч", 4, 0}, {u"шч", 4, 1}}},
        {"furthest variant first", furthest, u"abc", 0, all, {{u"BC", 3, 0}, {u"AD", 3, 0}}},
        {"no bound", bounded, u"a", 0, all, {{u"x", 1, 5}, {u"y", 1, 6}, {u"z", 1, 7}}},
        {"bound", bounded, u"a", 6, all, {{u"x", 1, 5}, {u"y", 1, 6}}},
        // Over two units cost 7 scores trunc(7 / (ln 2 + 1) + 0.5) = 4 and passes bound 6; the
        // dead end "z" (one unit, cost and score 7) then ends the enumeration before "r".
        {"bound over two units", bounded, u"ab", 6, all, {{u"p", 2, 5}, {u"q", 2, 7}}},
        // Words without a full rendering give nothing.
        {"empty word", SAMPLE_RULES, u"", 0, all, {}},
        {"no rule", SAMPLE_RULES, u"x", 0, all, {}},
        {"no rule at the end", SAMPLE_RULES, u"shx", 0, all, {}},
        {"no rule at the start", SAMPLE_RULES, u"xsh", 0, all, {}},
        // An embedded terminator ends the word.
        {"terminator", SAMPLE_RULES, {u"s\0a", 3}, 0, all, {{u"с", 1, 0}, {u"з", 1, 2}}},
        {"32 units",
         SAMPLE_RULES,
         std::u16string(32, u'a'),
         0,
         all,
         {{std::u16string(32, u'а'), 32, 0}}},
        {"33 units", SAMPLE_RULES, std::u16string(33, u'a'), 0, all, {}},
    };
    for (const auto& c : cases) {
        TUntranslitRules rules = MakeRules(c.Rules);
        TUntransliter u(rules.Nodes(), rules.Lists(), nullptr, 0, nullptr);
        EXPECT_EQ(c.Expected, AllAnswers(u, c.Word, c.Bound, c.Limit)) << c.Name;
    }
}

TEST(Untransliterator, ResetDropsWhatAnEarlierWordLeft) {
    TUntranslitRules rules = SampleRules();
    TUntransliter u(rules.Nodes(), rules.Lists(), nullptr, 0, nullptr);
    u.Reset(Wide(u"sha"));
    u.Reset(Wide(std::u16string(33, u'a')));
    EXPECT_TRUE(u.GetNextAnswer(0).Empty());
}

TEST(Untransliterator, AnswersTakeTheCaseOfTheWord) {
    TUntranslitRules rules = SampleRules();
    TUntransliter u(rules.Nodes(), rules.Lists(), nullptr, 0, nullptr);
    const struct {
        std::u16string_view Word, First;
    } cases[] = {
        {u"SHA", u"СХА"}, {u"Sha", u"Сха"}, {u"sha", u"сха"}, {u"sHa", u"сха"}, {u"ShA", u"сха"},
    };
    for (const auto& c : cases) {
        const std::vector<TRendering> answers = AllAnswers(u, c.Word, 0, 1);
        ASSERT_EQ(1u, answers.size());
        EXPECT_EQ(c.First, answers[0].Text) << std::string(c.Word.begin(), c.Word.end());
    }
}

TEST(Untransliterator, QueueOverLimitEndsTheEnumeration) {
    // "a" has n renderings and "b" one: after "ab" starts the queue holds n variants.
    for (size_t n : {UntranslitMaxQueue, UntranslitMaxQueue + 1}) {
        TUntranslitRules rules;
        for (size_t i = 0; i < n; ++i) {
            rules.Add(u"a", std::u16string(1, char16_t(0x400 + i % 64)), 1 + i % 7);
        }
        rules.Add(u"b", u"б", 0);
        TUntransliter u(rules.Nodes(), rules.Lists(), nullptr, 0, nullptr);
        u.Reset(Wide(u"ab"));
        const TUntransliter::TAnswer first = u.GetNextAnswer(0);
        if (n == UntranslitMaxQueue) {
            EXPECT_EQ(2u, first.Consumed);
            EXPECT_EQ(1u, first.Cost);
        } else {
            EXPECT_TRUE(first.Empty());
            EXPECT_TRUE(first.Text.empty());
            EXPECT_EQ(0u, first.Cost);
            EXPECT_TRUE(u.GetNextAnswer(0).Empty());
        }
    }
    // A breadth-first search: 16 renderings per letter at cost 1 each. Three letters finish
    // with 4096 answers; a fourth letter overflows the queue before any answer is complete.
    TUntranslitRules rules;
    for (char16_t c = u'а'; c < u'а' + 16; ++c) {
        rules.Add(u"a", std::u16string(1, c), 1);
    }
    TUntransliter u(rules.Nodes(), rules.Lists(), nullptr, 0, nullptr);
    const std::vector<TRendering> three = AllAnswers(u, u"aaa");
    EXPECT_EQ(4096u, three.size());
    EXPECT_EQ(3u, three.back().Cost);
    EXPECT_TRUE(AllAnswers(u, u"aaaa").empty());
}

TEST(Untransliterator, ScoreDividesByOnePlusTheLogOfTheLength) {
    const struct {
        uint32_t Cost;
        uint64_t Consumed;
        uint32_t Score;
    } cases[] = {
        {0, 1, 0},
        {7, 1, 7},
        {0xFFFFFFFF, 1, 0xFFFFFFFF},
        {7, 2, 4},      // 4.134
        {10, 2, 6},     // 5.906
        {100, 32, 22},  // 22.39
        {3, 3, 1},      // 1.430
        {0xFFFFFFFF, 32, 961760254},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.Score, UntranslitScore(c.Cost, c.Consumed)) << c.Cost << " " << c.Consumed;
    }
}

TEST(Untransliterator, NgramModelPricesEveryWrittenWindow) {
    TUntranslitRules rules;
    const std::u16string latin = u"abcdex", cyrillic = u"абвгдж";
    for (size_t i = 0; i < latin.size(); ++i) {
        rules.Add(latin.substr(i, 1), cyrillic.substr(i, 1), 0);
    }
    rules.Add(u"abcd", u"абвг", 0);  // four units written at once cost the same
    TNgramModel model(100);
    model.SetCode(u' ', 1);
    for (size_t i = 0; i < 5; ++i) {
        model.SetCode(cyrillic[i], uint8_t(2 + i));  // "ж" stays without code
    }
    model.Add(u" абвг", 1);  // the window of the fourth unit
    model.Add(u"абвгд", 2);  // of the fifth
    model.Add(u"бвгд", 4);   // the four-unit fallback of the closing "бвгд "
    model.Add(u" абв ", 8);  // a short word padded with spaces
    model.Add(u" аб ", 16);  // four-unit fallback of " аб  "
    TUntransliter u(rules.Nodes(), rules.Lists(), model.Entries(), model.Size(), model.CodeMap());
    const struct {
        std::u16string_view Word;
        uint32_t Cost;
    } cases[] = {
        {u"abcde", 1 + 2 + 4},
        {u"abc", 8},
        {u"ab", 16},
        {u"a", 100},                // " а   " is unknown: the default
        {u"abcdx", 1 + 100 + 100},  // windows with "ж" have key 0
        {u"abcd", 1 + 100},
    };
    for (const auto& c : cases) {
        const std::vector<TRendering> answers = AllAnswers(u, c.Word);
        ASSERT_FALSE(answers.empty());
        EXPECT_EQ(c.Cost, answers[0].Cost) << std::string(c.Word.begin(), c.Word.end());
        for (const TRendering& a : answers) {
            EXPECT_EQ(c.Cost, a.Cost) << a;
        }
    }
    EXPECT_EQ(2u, AllAnswers(u, u"abcde").size());
}

// Records the variants the enumeration makes and drops those that write "х".
class TRecordingUntransliter : public TUntransliter {
public:
    using TUntransliter::TUntransliter;
    mutable std::vector<std::pair<std::u16string, size_t>> Seen;

protected:
    bool FilterCandidate(const TVariant& v, size_t added) const override {
        Seen.emplace_back(std::u16string(v.Text.data(), v.Text.size()), added);
        return v.Text.find(u'х') != TUtf16String::npos;
    }
};

TEST(Untransliterator, FilterSeesEachNewVariantAndCanDropIt) {
    TUntranslitRules rules = SampleRules();
    TRecordingUntransliter u(rules.Nodes(), rules.Lists(), nullptr, 0, nullptr);
    const std::vector<TRendering> expected = {{u"ша", 3, 1}, {u"са", 3, 3}, {u"за", 3, 5}};
    EXPECT_EQ(expected, AllAnswers(u, u"sha"));
    const std::vector<std::pair<std::u16string, size_t>> seen = {
        {u"с", 1},  {u"з", 1},  {u"ш", 1}, {u"сх", 1}, {u"с", 0},
        {u"ша", 1}, {u"зх", 1}, {u"з", 0}, {u"са", 1}, {u"за", 1},
    };
    EXPECT_EQ(seen, u.Seen);
}

TEST(Untransliterator, LongestPrefixKeepsTheLastValuedNode) {
    TUntranslitRules rules;
    rules.Add(u"a", u"1", 0);
    rules.Add(u"abc", u"3", 0);
    rules.Add(u"b", u"1", 0);
    const TPackedTrieNode* nodes = rules.Nodes();
    const uint64_t payloads[] = {10, 30, 11};
    const struct {
        std::u16string_view Key;
        uint64_t Length;
        uint32_t Value;
    } cases[] = {
        {u"abcd", 3, 1},
        {u"abx", 1, 0},
        {u"ab", 1, 0},
        {u"b", 1, 2},
        {u"x", 0, PackedTrieNoValue},
        {u"", 0, PackedTrieNoValue},
    };
    for (const auto& c : cases) {
        const std::u16string key(c.Key);
        const auto found = FindLongestPrefix(nodes, key.c_str());
        EXPECT_EQ(c.Length, found.first) << std::string(key.begin(), key.end());
        EXPECT_EQ(c.Value, found.second);
        EXPECT_EQ(c.Value == PackedTrieNoValue ? 0 : payloads[c.Value],
                  FindLongestPrefixPayload(nodes, payloads, key.c_str()));
    }
    EXPECT_EQ(PackedTrieNoValue, FindLongestPrefix(nodes, nullptr).second);
    const TPackedTrieNode bare[] = {{0, 0, 0, PackedTrieNoValue}};
    EXPECT_EQ(0u, FindLongestPrefix(bare, u"a").first);
    EXPECT_EQ(0u, FindLongestPrefixPayload(bare, payloads, u"a"));
}

TEST(Untransliterator, LongestPrefixOverBytesWidensWithSign) {
    // Keys "a" (value 0), "a\xC0" (value 1, a node for byte 0xC0) and "ab" (value 2).
    const TPackedTrieNode8 nodes[] = {
        {0, 1, 1, PackedTrieNoValue},
        {'a', 2, 2, 0},
        {'b', 0, 0, 2},
        {0xC0, 0, 0, 1},
    };
    const uint64_t payloads[] = {7, 8, 9};
    EXPECT_EQ((std::pair<uint64_t, uint32_t>{2, 2}), FindLongestPrefix8(nodes, "abz"));
    // 0xC0 widens to a negative unit and matches no node.
    EXPECT_EQ((std::pair<uint64_t, uint32_t>{1, 0}), FindLongestPrefix8(nodes, "a\xC0"));
    EXPECT_EQ(9u, FindLongestPrefixPayload8(nodes, payloads, "ab"));
    EXPECT_EQ(0u, FindLongestPrefixPayload8(nodes, payloads, "b"));
    EXPECT_EQ(0u, FindLongestPrefixPayload8(nodes, payloads, ""));
}

TEST(Untransliterator, RuleBuilderRejectsWhatItCannotPack) {
    TUntranslitRules rules;
    EXPECT_THROW(rules.Add(u"", u"а", 0), TUntranslitDataError);
    EXPECT_THROW(rules.Add(std::u16string_view(u"a\0", 2), u"а", 0), TUntranslitDataError);
    EXPECT_THROW(rules.Add(u"a", std::u16string_view(u"\0", 1), 0), TUntranslitDataError);
    EXPECT_THROW(rules.Add(u"a", u"\xFFFF", 0), TUntranslitDataError);
    EXPECT_THROW(rules.Add(u"a", u"а", TUntranslitRules::MaxCost + 1), TUntranslitDataError);
    rules.Add(u"a", u"а", TUntranslitRules::MaxCost);
    for (char16_t c = 1; c <= 256; ++c) {
        rules.Add(std::u16string{u'k', c}, u"к", 0);
    }
    try {
        rules.Nodes();
        ADD_FAILURE() << "a node of 256 children was packed";
    } catch (const TUntranslitDataError& e) {
        EXPECT_STREQ("more than 255 keys continue \"k\"", e.what());
    }
    TNgramModel model(1);
    EXPECT_THROW(model.SetCode(u'a', 64), TUntranslitDataError);
    EXPECT_THROW(model.Add(u"abcd", 1), TUntranslitDataError);  // no codes
    model.SetCode(u'a', 1);
    EXPECT_THROW(model.Add(u"aaa", 1), TUntranslitDataError);
    EXPECT_THROW(model.Add(u"aaaaaa", 1), TUntranslitDataError);
}

}  // namespace
