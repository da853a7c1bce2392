#include "lemmer/dictionary/rule_matcher.h"
#include "lemmer/dictionary/dictionary_test_helpers.h"
#include "lemmer/dictionary/rule_matcher_oracle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace NRuleMatcherTest {
using namespace NByk;
using namespace NByk::NTest;

namespace {

class RuleMatcher : public ::testing::Test {
protected:
    void SetUp() override {
        FillSample(F_);
        D_ = &F_.Build();
    }

    // The verdict and "lemma/rule" of each result, in result order.
    std::u16string Run(const std::u16string& word, uint32_t mode, const char* filter = nullptr) {
        S_->Word = word.data();
        S_->Length = static_cast<int32_t>(word.size());
        MatchRules(*D_, *S_);
        const uint32_t verdict = EvaluateCandidates(*D_, *S_, mode, filter);
        std::u16string out = std::u16string(1, u'0' + verdict) + u":";
        for (uint64_t i = 0; i < S_->ResultCount; ++i) {
            out += u" " + Lemma(word, S_->Results[i]) + u"/" + Number(S_->Results[i].RuleId);
        }
        return out;
    }

    std::u16string Lemma(const std::u16string& word, const TMatchResult& r) const {
        const TMatchCandidate& c = S_->Candidates[r.CandidateIndex];
        std::u16string lemma = word.substr(c.StemStart, c.Depth + c.Unmatched - r.Cut);
        std::u16string ending(r.LemmaEndingLength(), u'\0');
        CopyLemmaEnding(r, ending.data());
        return lemma + ending;
    }

    static std::u16string Number(uint32_t n) {
        std::u16string s;
        for (char c : std::to_string(n)) {
            s.push_back(static_cast<char16_t>(c));
        }
        return s;
    }

    TFixture F_;
    const TDictionary* D_ = nullptr;
    std::unique_ptr<TMatchState> S_ = std::make_unique<TMatchState>();
};

TEST_F(RuleMatcher, DictionaryWordsGiveTheirLemmas) {
    struct TCase {
        std::u16string Word, Expected;
    } cases[] = {
        {u"стол", u"3: стол/0"},
        {u"столу", u"3: стол/0"},
        {u"столов", u"3: стол/0"},
        {u"пальцу", u"3: палец/3"},  // cut 2 and the lemma ending "ец"
        {u"красная", u"3: красный/1"},
        {u"покраснее", u"3: красный/1"},  // the prefix "по" of the ending
        {u"делать", u"3: делать/2"},
        {u"читает", u"3: читать/2"},
        {u"вузу", u"3: вуз/4"},    // a barred grammeme bars hypotheses only
        {u"тишью", u"3: тишь/5"},  // and so does a barred form grammar
        {u"столая", u"0:"},        // a stem and an ending that no rule joins
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Run(c.Word, MM_DICTIONARY), c.Expected);
    }
}

TEST_F(RuleMatcher, PrefixOfAnEndingMovesTheStemStart) {
    const std::u16string word = u"покраснее";
    ASSERT_EQ(Run(word, MM_DICTIONARY), u"3: красный/1");
    const TMatchCandidate& c = S_->Candidates[S_->Results[0].CandidateIndex];
    EXPECT_EQ(c.StemStart, 2u);
    EXPECT_EQ(c.StemEnd, 7u);
    uint32_t count = 0;
    const uint16_t* ids = ResultEndingIds(*D_, S_->Results[0], &count);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(std::string(D_->Endings[ids[0]].FormGrammar), Gram("comp"));
}

TEST_F(RuleMatcher, EmptyWordHasNoCandidates) {
    S_->Word = u"";
    S_->Length = 0;
    EXPECT_EQ(MatchRules(*D_, *S_), 0u);
    EXPECT_EQ(EvaluateCandidates(*D_, *S_, 7, nullptr), MV_NONE);
    S_->Word = nullptr;
    S_->Length = -1;
    EXPECT_EQ(MatchRules(*D_, *S_), 0u);
}

TEST_F(RuleMatcher, StemKeepsOneLetterWhenTheWholeWordIsAnEnding) {
    for (const std::u16string word : {u"у", u"ов", u"ый", u"ть"}) {
        S_->Word = word.data();
        S_->Length = static_cast<int32_t>(word.size());
        MatchRules(*D_, *S_);
        ASSERT_GT(S_->SplitCount, 0u);
        for (uint32_t i = 0; i < S_->SplitCount; ++i) {
            EXPECT_GE(S_->Splits[i].StemLength, 1u);
            EXPECT_EQ(S_->Splits[i].PrefixLength + S_->Splits[i].StemLength <= word.size(), true);
        }
        EXPECT_EQ(S_->Splits[0].StemLength, word.size());  // the empty ending
    }
}

TEST_F(RuleMatcher, ModeBitsChooseBetweenDictionaryAndHypotheses) {
    // Mode 1 keeps a dictionary word's results and tries nothing more.
    EXPECT_EQ(Run(u"столу", MM_DICTIONARY | MM_STEM_HYPOTHESES), u"3: стол/0");
    // Without it they are dropped and the word is hypothesised like an unknown one.
    EXPECT_EQ(Run(u"столу", MM_STEM_HYPOTHESES), u"1: стол/0");
    EXPECT_EQ(Run(u"столу", 0), u"0:");
    EXPECT_EQ(Run(u"отлу", MM_DICTIONARY), u"0:");
    EXPECT_EQ(Run(u"отлу", MM_STEM_HYPOTHESES), u"1: отл/0");
    EXPECT_EQ(Run(u"отлу", MM_PREFIX_HYPOTHESES), u"0:");
}

TEST_F(RuleMatcher, ShortWordsAndStemsWithoutVowelsGetNoHypotheses) {
    S_->Word = u"ол";
    S_->Length = 2;
    ASSERT_GT(MatchRules(*D_, *S_), 0u);
    EXPECT_EQ(EvaluateCandidates(*D_, *S_, 6, nullptr), MV_NONE);
    // The stem стл has candidates in the block of котл but no vowel.
    S_->Word = u"стлу";
    S_->Length = 4;
    ASSERT_GT(MatchRules(*D_, *S_), 0u);
    EXPECT_EQ(EvaluateCandidates(*D_, *S_, 6, nullptr), MV_NONE);
}

TEST_F(RuleMatcher, PartOfSpeechOfHypothesesDependsOnWordLength) {
    // The stem бел carries rules of S, A, V, ADV and PR over the same endings.
    EXPECT_EQ(Run(u"белу", MM_DICTIONARY), u"3: бел/0 бел/6 бел/7 бел/8 бел/9");
    EXPECT_EQ(Run(u"мелу", MM_STEM_HYPOTHESES), u"1: мел/0");
    EXPECT_EQ(Run(u"смелу", MM_STEM_HYPOTHESES), u"1: смел/0 смел/6 смел/7 смел/8");
}

TEST_F(RuleMatcher, HypothesisNeedsMoreConfirmedLettersThanTheRuleAsks) {
    // окно's rule wants more than 5 confirmed letters.
    EXPECT_EQ(Run(u"сокно", MM_STEM_HYPOTHESES), u"0:");
    EXPECT_EQ(Run(u"окно", MM_DICTIONARY), u"3: окно/10");
}

TEST_F(RuleMatcher, RareRulesServePrefixHypothesesOnly) {
    // мост has only a rare rule: a similar stem never borrows it, a known beginning does.
    EXPECT_EQ(Run(u"гмосту", MM_STEM_HYPOTHESES), u"1: гмост/0");
    EXPECT_EQ(Run(u"перемосту", MM_PREFIX_HYPOTHESES), u"2: перемост/11");
    EXPECT_EQ(Run(u"перестолу", MM_PREFIX_HYPOTHESES | MM_STEM_HYPOTHESES), u"2: перестол/0");
    // A head that ends with a hyphen stands on the beginning before it.
    EXPECT_EQ(Run(u"супер-столу", MM_PREFIX_HYPOTHESES), u"2: супер-стол/0");
    EXPECT_EQ(Run(u"супер-мосту", MM_PREFIX_HYPOTHESES), u"2: супер-мост/11");
    EXPECT_EQ(Run(u"недостолу", MM_PREFIX_HYPOTHESES), u"0:");
}

TEST_F(RuleMatcher, BarredGrammemesKeepRulesAndEndingsOutOfHypotheses) {
    EXPECT_EQ(Run(u"арбузу", MM_STEM_HYPOTHESES), u"0:");  // only вуз's "abbr" rule is near
    EXPECT_EQ(Run(u"клишью", MM_STEM_HYPOTHESES), u"0:");  // тишь's "rare" form
    EXPECT_EQ(Run(u"клиш", MM_STEM_HYPOTHESES), u"1: клишь/5");
    EXPECT_TRUE(HasBarredGrammeme(Gram("S m abbr").c_str()));
    EXPECT_FALSE(HasBarredGrammeme(Gram("S m obsol").c_str()));
    EXPECT_FALSE(HasBarredGrammeme(nullptr));
}

TEST_F(RuleMatcher, GrammarFilterNeedsEveryGrammemeInCommonOrFormGrammar) {
    struct TCase {
        const char* Filter;
        const char16_t* Expected;
    } cases[] = {
        {"", u"3: стол/0"},
        {"gen", u"3: стол/0"},
        {"m inan", u"3: стол/0"},
        {"gen m", u"3: стол/0"},
        {"dat", u"0:"},
        {"gen pl", u"0:"},
        {"A", u"0:"},
    };
    for (const TCase& c : cases) {
        const std::string filter = Gram(c.Filter);
        EXPECT_EQ(Run(u"стола", MM_DICTIONARY, filter.c_str()), c.Expected) << c.Filter;
    }
}

TEST_F(RuleMatcher, ShortestWordAndStemForHypotheses) {
    // Three letters are enough for the word and for the stem (with a vowel); two are not.
    EXPECT_EQ(Run(u"мел", MM_STEM_HYPOTHESES), u"1: мел/0");
    EXPECT_EQ(Run(u"елу", MM_STEM_HYPOTHESES), u"0:");  // the stem ел under бел
    EXPECT_EQ(Run(u"ел", MM_STEM_HYPOTHESES), u"0:");
}

// The matcher's answer for a word over a dictionary of its own, as RuleMatcher.Run gives it.
std::u16string Verdict(const TDictionary& d, const std::u16string& word, uint32_t mode) {
    auto s = std::make_unique<TMatchState>();
    s->Word = word.data();
    s->Length = static_cast<int32_t>(word.size());
    MatchRules(d, *s);
    std::u16string out = std::u16string(1, u'0' + EvaluateCandidates(d, *s, mode, nullptr)) + u":";
    for (uint64_t i = 0; i < s->ResultCount; ++i) {
        const TMatchResult& r = s->Results[i];
        const TMatchCandidate& c = s->Candidates[r.CandidateIndex];
        out += u" " + word.substr(c.StemStart, c.Depth + c.Unmatched - r.Cut) + u"/" +
               std::u16string(1, u'0' + r.RuleId);
    }
    return out;
}

// The endings nom "" and dat "у" with the known beginning пере; returns the list of both.
uint16_t FillNounEndings(TFixture& f, uint32_t tuple = 2) {
    f.Alphabet(u"абвгдеклмнопрстуы", u"аеоуы", tuple);
    const uint16_t nom = f.Ending(u"", u"", "nom sg");
    const uint16_t dat = f.Ending(u"", u"у", "dat sg");
    f.Prefix(u"пере");
    return f.List({nom, dat});
}

TEST(RuleMatcherBarred, EachBarredGrammemeKeepsARuleOrAnEndingFromHypotheses) {
    // Rule 0 has the grammeme in its common grammar (стол), rule 1 in the form grammar of its
    // dative (слон); dictionary words keep both.
    for (const char* grammeme : {"reserved", "abbr", "irreg", "rare", "awkw", "inform", "obsol"}) {
        const bool barred = std::string(grammeme) != "inform" && std::string(grammeme) != "obsol";
        TFixture f;
        f.Alphabet(u"абвгдеклмнорсту", u"аеоу");
        const uint16_t nom = f.Ending(u"", u"", "nom sg");
        const uint16_t dat = f.Ending(u"", u"у", "dat sg");
        const uint16_t datMarked = f.Ending(u"", u"у", std::string("dat sg ") + grammeme);
        f.Rule(f.List({nom, dat}), 0, u"", std::string("S m ") + grammeme);
        f.Rule(f.List({nom, datMarked}), 0, u"", "S m");
        f.Stem(u"стол", {0});
        f.Stem(u"слон", {1});
        const TDictionary& d = f.Build();
        EXPECT_EQ(Verdict(d, u"утолу", MM_STEM_HYPOTHESES), barred ? u"0:" : u"1: утол/0")
            << grammeme;
        EXPECT_EQ(Verdict(d, u"клону", MM_STEM_HYPOTHESES), barred ? u"0:" : u"1: клон/1")
            << grammeme;
        EXPECT_EQ(Verdict(d, u"столу", MM_DICTIONARY), u"3: стол/0") << grammeme;
        EXPECT_EQ(Verdict(d, u"слону", MM_DICTIONARY), u"3: слон/1") << grammeme;
        EXPECT_EQ(HasBarredGrammeme(Gram(grammeme).c_str()), barred) << grammeme;
    }
}

TEST(RuleMatcherDepth, HypothesisNeedsOneConfirmedLetterMoreThanTheRulesMinimum) {
    // In утолу the block of стол confirms ол and then т: three letters.
    struct TCase {
        uint32_t MinDepth;
        const char16_t* Word;
        uint32_t Mode;
        const char16_t* Expected;
    } cases[] = {
        {2, u"утолу", MM_STEM_HYPOTHESES, u"1: утол/0"},
        {3, u"утолу", MM_STEM_HYPOTHESES, u"0:"},
        // On a known beginning the whole stem is confirmed: four letters.
        {3, u"перестолу", MM_PREFIX_HYPOTHESES, u"2: перестол/0"},
        {4, u"перестолу", MM_PREFIX_HYPOTHESES, u"0:"},
        {4, u"столу", MM_DICTIONARY, u"3: стол/0"},
    };
    for (const TCase& c : cases) {
        TFixture f;
        f.Rule(FillNounEndings(f), 0, u"", "S m", c.MinDepth);
        f.Stem(u"стол", {0});
        EXPECT_EQ(Verdict(f.Build(), c.Word, c.Mode), c.Expected)
            << "minimum " << c.MinDepth << ", mode " << c.Mode;
    }
}

TEST(RuleMatcherTails, ALongerTailThatFindsNothingKeepsWhatAShorterOneFound) {
    // бгаду: the stem бгад reaches гад (tail 4: three stem letters and the ending), then the
    // whole word reaches вбгаду (tail 5), whose only rule is barred: the results of tail 4
    // stay, and the other candidate of tail 4 (г, above кгаду) adds its own.
    TFixture f;
    const uint16_t list = FillNounEndings(f);
    f.Rule(list, 0, u"", "S m");
    f.Rule(list, 0, u"", "S m abbr");
    f.Stem(u"гад", {0});
    f.Stem(u"вбгаду", {1});
    f.Stem(u"кгаду", {0});
    EXPECT_EQ(Verdict(f.Build(), u"бгаду", MM_STEM_HYPOTHESES), u"1: бгад/0 бгаду/0");
}

TEST(RuleMatcherRules, HypothesesNeedAPartOfSpeechAndTwoTupleLetters) {
    // A rule whose common grammar is empty serves dictionary words only; a dictionary of
    // one-letter tuples gives no stem-similarity hypotheses.
    struct TCase {
        const char* Grammar;
        uint32_t Tuple;
        const char16_t* Word;
        uint32_t Mode;
        const char16_t* Expected;
    } cases[] = {
        {"S m", 2, u"утолу", MM_STEM_HYPOTHESES, u"1: утол/0"},
        {"", 2, u"утолу", MM_STEM_HYPOTHESES, u"0:"},
        {"", 2, u"перестолу", MM_PREFIX_HYPOTHESES, u"0:"},
        {"", 2, u"столу", MM_DICTIONARY, u"3: стол/0"},
        {"S m", 1, u"утолу", MM_STEM_HYPOTHESES, u"0:"},
        {"S m", 1, u"перестолу", MM_PREFIX_HYPOTHESES, u"2: перестол/0"},
    };
    for (const TCase& c : cases) {
        TFixture f;
        f.Rule(FillNounEndings(f, c.Tuple), 0, u"", c.Grammar);
        f.Stem(u"стол", {0});
        EXPECT_EQ(Verdict(f.Build(), c.Word, c.Mode), c.Expected)
            << "grammar \"" << c.Grammar << "\", tuple " << c.Tuple << ", mode " << c.Mode;
    }
}

TEST(RuleMatcherRules, EveryEarlierCandidateOnAKnownBeginningAddsItsRules) {
    // перестолу: стол stands on пере and тол on перес; the second keeps what the first found.
    TFixture f;
    const uint16_t list = FillNounEndings(f);
    f.Rule(list, 0, u"", "S m");
    f.Rule(list, 0, u"", "S f");
    f.Stem(u"стол", {0});
    f.Stem(u"тол", {1});
    f.Prefix(u"перес");
    EXPECT_EQ(Verdict(f.Build(), u"перестолу", MM_PREFIX_HYPOTHESES), u"2: перестол/0 перестол/1");
}

// Stems in one block whose flags steer the hypothesis walk: ука (S) with children мука (V)
// and рука (A).
class HypothesisFlags : public ::testing::TestWithParam<uint64_t> {};

TEST_P(HypothesisFlags, SkipOrNarrowTheWalk) {
    TFixture f;
    f.Alphabet(u"абзкмру", u"ау");
    const uint16_t dat = f.Ending(u"", u"у", "dat sg");
    const uint16_t list = f.List({dat});
    f.Rule(list, 0, u"", "S");
    f.Rule(list, 0, u"", "V");
    f.Rule(list, 0, u"", "A");
    f.Stem(u"ука", {0});
    f.Stem(u"мука", {1});
    f.Stem(u"рука", {2});
    f.StemFlags(u"ука", GetParam());
    const TDictionary& d = f.Build();
    TMatchState state;
    state.Word = u"бзукау";
    state.Length = 6;
    MatchRules(d, state);
    const uint32_t verdict = EvaluateCandidates(d, state, MM_STEM_HYPOTHESES, nullptr);
    std::set<uint32_t> rules;
    for (uint64_t i = 0; i < state.ResultCount; ++i) {
        rules.insert(state.Results[i].RuleId);
    }
    if (GetParam() == NStemNode::NoHypotheses) {
        EXPECT_EQ(verdict, MV_NONE);
        EXPECT_TRUE(rules.empty());
    } else if (GetParam() == NStemNode::FirstChildOnly) {
        EXPECT_EQ(rules, (std::set<uint32_t>{0, 1}));
    } else {
        EXPECT_EQ(rules, (std::set<uint32_t>{0, 1, 2}));
    }
}

INSTANTIATE_TEST_SUITE_P(Flags, HypothesisFlags,
                         ::testing::Values(0, NStemNode::NoHypotheses, NStemNode::FirstChildOnly));

TEST(RuleMatcherLimits, SplitsCandidatesAndResultsStopAtTheirLimits) {
    TFixture f;
    f.Alphabet(u"аб", u"а");
    std::vector<uint16_t> endings;
    for (int n = 0; n <= 40; ++n) {
        endings.push_back(f.Ending(u"", std::u16string(n, u'а'), "nom"));
    }
    const uint16_t list = f.List(endings);
    std::vector<uint16_t> many;
    for (int i = 0; i < 200; ++i) {
        many.push_back(f.Rule(list, 0, u"", "S"));
    }
    for (int n = 2; n <= 45; ++n) {
        f.Stem(std::u16string(n, u'а'), {0});
    }
    f.Stem(u"баа", many);
    const TDictionary& d = f.Build();
    auto state = std::make_unique<TMatchState>();

    const std::u16string long_(50, u'а');
    state->Word = long_.data();
    state->Length = 50;
    EXPECT_EQ(MatchRules(d, *state), MaxMatchCandidates);
    EXPECT_EQ(state->SplitCount, MaxMatchSplits);
    for (uint32_t i = 0; i < MaxMatchSplits; ++i) {
        EXPECT_EQ(state->Splits[i].StemLength, 50u - i);  // shortest ending first
    }

    // 200 rules on one stem: the 129th result is never written.
    const std::u16string word = u"баа";
    state->Word = word.data();
    state->Length = 3;
    ASSERT_GT(MatchRules(d, *state), 0u);
    for (uint64_t& bits : state->RuleBits) {
        bits = 0x5A5A5A5A5A5A5A5AULL;  // the dictionary stage leaves the rule bits alone
    }
    EXPECT_EQ(EvaluateCandidates(d, *state, MM_DICTIONARY, nullptr), MV_DICTIONARY);
    EXPECT_EQ(state->ResultCount, MaxMatchResults);
    for (uint64_t bits : state->RuleBits) {
        ASSERT_EQ(bits, 0x5A5A5A5A5A5A5A5AULL);
    }
}

TEST(RuleMatcherLimits, RuleBitsCoverEveryRuleOfTheDictionary) {
    // More rules than a fixed table for one particular dictionary would hold.
    TFixture f;
    f.Alphabet(u"абвгу", u"ау");
    const uint16_t dat = f.Ending(u"", u"у", "dat sg");
    const uint16_t list = f.List({dat});
    for (int i = 0; i < 30000; ++i) {
        f.Rule(list, 0, u"", "S");
    }
    f.Stem(u"вгаб", {29998, 29999});
    f.Stem(u"габ", {29999, 12000});
    const TDictionary& d = f.Build();
    auto state = std::make_unique<TMatchState>();
    state->Word = u"бгабу";
    state->Length = 5;
    MatchRules(d, *state);
    EXPECT_EQ(EvaluateCandidates(d, *state, MM_STEM_HYPOTHESES, nullptr), MV_STEM_HYPOTHESES);
    std::multiset<uint32_t> rules;
    for (uint64_t i = 0; i < state->ResultCount; ++i) {
        rules.insert(state->Results[i].RuleId);
    }
    // Each rule once per candidate, though 29999 ends two stems below it.
    EXPECT_EQ(rules, (std::multiset<uint32_t>{12000, 29998, 29999}));
}

// Hypotheses from a subtree walked before come from the dictionary's memo: the same results,
// in the same order, as a walk over a dictionary that keeps none, for every mode, with no grammar
// filter and with two different ones, the first time and later.
TEST(RuleMatcherMemo, RepeatedHypothesesGiveWhatTheWalkGave) {
    const std::u16string letters = u"бвгдклмнпрст", vowels = u"аеиоу";
    auto fill = [&](TFixture& f) {
        FillSample(f);
        std::mt19937 random(7);
        for (int i = 0; i < 4000; ++i) {
            std::u16string stem;
            for (size_t k = 0, n = 3 + random() % 5; k < n; ++k) {
                stem.push_back(k % 2 ? vowels[random() % vowels.size()]
                                     : letters[random() % letters.size()]);
            }
            const uint16_t a = uint16_t(random() % SR_COUNT);
            const uint16_t b = uint16_t((a + 1 + random() % (SR_COUNT - 1)) % SR_COUNT);
            f.Stem(stem + u"ок", {a, b});
        }
    };
    TFixture memo, plain;
    fill(memo);
    fill(plain);
    const TDictionary& withMemo = memo.Build();
    plain.Build();
    plain.MutableDictionary().HypothesisMemo.reset();

    std::mt19937 random(11);
    std::vector<std::u16string> words;
    for (int i = 0; i < 300; ++i) {
        std::u16string w;
        for (size_t k = 0, n = 1 + random() % 4; k < n; ++k) {
            w.push_back(k % 2 ? vowels[random() % vowels.size()]
                              : letters[random() % letters.size()]);
        }
        static const char16_t* const ENDINGS[] = {u"а", u"у", u"ы", u"ов", u"е", u"ая", u"", u"ам"};
        words.push_back(w + u"ок" + ENDINGS[random() % 8]);
    }
    auto dump = [](const TDictionary& d, TMatchState& s, const std::u16string& word, uint32_t mode,
                   const char* filter) {
        s.Word = word.data();
        s.Length = static_cast<int32_t>(word.size());
        MatchRules(d, s);
        std::string out = std::to_string(EvaluateCandidates(d, s, mode, filter)) + ":";
        for (uint64_t i = 0; i < s.ResultCount; ++i) {
            const TMatchResult& r = s.Results[i];
            out += " " + std::to_string(r.RuleId) + "/" + std::to_string(r.CandidateIndex) + "/" +
                   std::to_string(r.RunStart) + "+" + std::to_string(r.RunCount) + "/" +
                   std::to_string(r.Cut) + "/" + std::to_string(r.EndingListIndex) + "/" +
                   std::to_string(r.LemmaEndingLength());
        }
        return out;
    };
    // What a walk found under one filter must not serve the other.
    const std::string nom = Gram("nom"), gen = Gram("gen");
    auto state = std::make_unique<TMatchState>();
    for (int round = 0; round < 3; ++round) {
        for (const std::u16string& w : words) {
            for (uint32_t mode :
                 {uint32_t(MM_STEM_HYPOTHESES),
                  uint32_t(MM_DICTIONARY | MM_PREFIX_HYPOTHESES | MM_STEM_HYPOTHESES)}) {
                for (const char* f : {(const char*)nullptr, nom.c_str(), gen.c_str()}) {
                    const std::string expected = dump(plain.Dictionary(), *state, w, mode, f);
                    ASSERT_EQ(dump(withMemo, *state, w, mode, f), expected)
                        << "round " << round << ", mode " << mode << ", filter "
                        << (f == nullptr       ? "none"
                            : f == nom.c_str() ? "nom"
                                               : "gen");
                }
            }
        }
    }
    EXPECT_GT(HypothesisMemoEntries(withMemo), 0u);
    EXPECT_EQ(HypothesisMemoEntries(plain.Dictionary()), 0u);
}

// Every word up to five letters over a small dictionary's letters, and the sample's words with
// each ending: splits, candidates and dictionary results agree with plain scans in every mode
// and with and without a filter, and hypotheses only use rules allowed for them.
TEST(RuleMatcherOracle, AgreesWithPlainScansOnEveryShortWord) {
    TFixture small;
    FillSmall(small);
    TFixture sample;
    FillSample(sample);
    struct TCase {
        const TDictionary* Dictionary;
        std::vector<std::u16string> Words;
    } cases[] = {{&small.Build(), {u""}}, {&sample.Build(), {}}};
    for (size_t n = 0; n < 5; ++n) {
        const size_t from =
            n == 0 ? 0 : cases[0].Words.size() - static_cast<size_t>(std::pow(3, n));
        const size_t to = cases[0].Words.size();
        for (size_t i = from; i < to; ++i) {
            for (char16_t letter : std::u16string(u"абв")) {
                cases[0].Words.push_back(cases[0].Words[i] + letter);
            }
        }
    }
    for (const std::u16string stem :
         {u"стол", u"пальц", u"красн", u"чита", u"бел", u"мост", u"тиш", u"вуз", u"окно", u"смел",
          u"перемост", u"супер-стол", u"покрасн", u"гмост", u"отл", u"клиш", u"ст", u"о"}) {
        for (const std::u16string ending :
             {u"", u"а", u"у", u"ы", u"ов", u"ый", u"ая", u"ее", u"ть", u"ет", u"ью", u"е"}) {
            cases[1].Words.push_back(stem + ending);
        }
    }
    // A unit 0 is no letter, though it is the character of the end-of-stem node below бел.
    cases[1].Words.push_back(std::u16string(u"\0белу", 5));
    cases[1].Words.push_back(std::u16string(u"\0бел", 4));
    const std::string filters[] = {"", Gram("gen"), Gram("m dat")};
    auto state = std::make_unique<TMatchState>();
    for (const TCase& c : cases) {
        for (const std::u16string& word : c.Words) {
            for (uint32_t mode = 0; mode < 8; ++mode) {
                for (const std::string& filter : filters) {
                    state->Word = word.data();
                    state->Length = static_cast<int32_t>(word.size());
                    MatchRules(*c.Dictionary, *state);
                    const uint32_t verdict =
                        EvaluateCandidates(*c.Dictionary, *state, mode, filter.c_str());
                    const std::string why =
                        NOracle::Disagreement(*c.Dictionary, *state, mode, filter.c_str(), verdict);
                    ASSERT_EQ(why, "") << "word of " << word.size() << " letters, mode " << mode
                                       << ", filter " << filter.size();
                }
            }
        }
    }
}

// The comparison itself must see a wrong answer: each damage to a right one is reported.
TEST(RuleMatcherOracle, ReportsEveryKindOfWrongAnswer) {
    TFixture f;
    FillSample(f);
    const TDictionary& d = f.Build();
    struct TCase {
        const char16_t* Word;
        uint32_t Mode;
        const char* Name;
        std::function<void(TMatchState&, uint32_t&)> Damage;
    } cases[] = {
        {u"пальцу", MM_DICTIONARY, "split range",
         [](TMatchState& s, uint32_t&) { s.Splits[0].EndingRange += 1; }},
        {u"пальцу", MM_DICTIONARY, "split dropped",
         [](TMatchState& s, uint32_t&) { --s.SplitCount; }},
        {u"пальцу", MM_DICTIONARY, "candidate depth",
         [](TMatchState& s, uint32_t&) { ++s.Candidates[0].Depth; }},
        {u"пальцу", MM_DICTIONARY, "candidate dropped",
         [](TMatchState& s, uint32_t&) { --s.CandidateCount; }},
        {u"пальцу", MM_DICTIONARY, "result rule",
         [](TMatchState& s, uint32_t&) { s.Results[0].RuleId = SR_NOUN; }},
        {u"пальцу", MM_DICTIONARY, "result run",
         [](TMatchState& s, uint32_t&) { ++s.Results[0].RunCount; }},
        {u"пальцу", MM_DICTIONARY, "lemma ending",
         [](TMatchState& s, uint32_t&) { s.Results[0].LemmaEndingEnd -= 2; }},
        {u"пальцу", MM_DICTIONARY, "result dropped",
         [](TMatchState& s, uint32_t&) { s.ResultCount = 0; }},
        {u"пальцу", MM_DICTIONARY, "verdict",
         [](TMatchState&, uint32_t& v) { v = MV_STEM_HYPOTHESES; }},
        {u"белу", MM_DICTIONARY, "result order",
         [](TMatchState& s, uint32_t&) { std::swap(s.Results[0], s.Results[1]); }},
        {u"гмосту", MM_STEM_HYPOTHESES, "rare rule",
         [](TMatchState& s, uint32_t&) { s.Results[0].RuleId = SR_RARE; }},
        {u"смелу", MM_STEM_HYPOTHESES, "barred rule",
         [](TMatchState& s, uint32_t&) {
             static const std::string barred = Gram("S m abbr");
             s.Results[0].CommonGrammar = barred.c_str();
         }},
        {u"перемосту", MM_PREFIX_HYPOTHESES, "rule off its stem",
         [](TMatchState& s, uint32_t&) { s.Results[0].RuleId = SR_NOUN; }},
    };
    auto state = std::make_unique<TMatchState>();
    for (const TCase& c : cases) {
        const std::u16string word = c.Word;
        state->Word = word.data();
        state->Length = static_cast<int32_t>(word.size());
        MatchRules(d, *state);
        uint32_t verdict = EvaluateCandidates(d, *state, c.Mode, nullptr);
        ASSERT_EQ(NOracle::Disagreement(d, *state, c.Mode, nullptr, verdict), "") << c.Name;
        ASSERT_GT(state->ResultCount, 0u) << c.Name;
        c.Damage(*state, verdict);
        EXPECT_NE(NOracle::Disagreement(d, *state, c.Mode, nullptr, verdict), "") << c.Name;
    }
}

}  // namespace

}  // namespace NRuleMatcherTest
