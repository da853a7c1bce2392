#include "tokenizer/sentence_break.h"

#include "tokenizer/abbreviations.h"
#include "tokenizer/tokenizer_test_helpers.h"

#include <gtest/gtest.h>

namespace NSentenceBreakTest {
using namespace NTokenizerTest;

namespace {

// A remembered word as the tokeniser would leave it: its parts ("|" before a part joined by a
// full stop, "-" by a hyphen, nothing between touching letters and digits) and its type.
struct TWord {
    const char* Parts;
    int32_t Type;
};

// Feeds the word and asks about the punctuation and the character after it.
int32_t Check(TSentenceBreakChecker& checker, const TWord& word, const char* punctuation) {
    if (word.Parts != nullptr) {
        std::u16string text;
        std::vector<TTokenPart> parts;
        for (const char* p = word.Parts; *p != 0;) {
            if (*p == '|' || *p == '-') {
                parts.back().Delim = *p == '|' ? DELIM_FULL_STOP : DELIM_HYPHEN;
                text += *p == '|' ? u'.' : u'-';
                ++p;
                continue;
            }
            const char* end = p;
            while (*end != 0 && *end != '|' && *end != '-') {
                ++end;
            }
            const std::u16string part = U16(std::string(p, end));
            const bool digits = part[0] >= u'0' && part[0] <= u'9';
            parts.push_back({text.size(), part.size(), 0, 0,
                             digits ? uint32_t(PART_DIGITS) : uint32_t(PART_LETTERS), 0, 0});
            text += part;
            p = end;
        }
        checker.OnToken(TTokenView{text.data(), text.size(), parts}, word.Type);
    }
    const std::u16string punct = U16(punctuation);
    return checker.Check(punct.data(), punct.size());
}

}  // namespace

TEST(SentenceBreak, AnswersAsTheRulesSay) {
    struct TCase {
        TWord Word;
        const char* Punctuation;  // its first unit and the character after it
        int32_t Mode0;
        int32_t Mode1;
    };
    const std::vector<TCase> cases = {
        {{"ул", 1}, ". Л", 7, 5},
        {{"Ул", 1}, ". Л", 7, 5},
        {{"УЛ", 1}, ". Л", 7, 5},
        {{"стр", 1}, ". 5", 7, 5},
        {{"стр", 1}, ". Д", 5, 5},
        {{"стр", 1}, ". \xd9\xa5", 7, 5},  // an Arabic-Indic digit is a decimal digit
        {{"стр", 1}, ". \xc2\xb2", 5, 5},  // a superscript two is not
        {{"тех", 1}, ". Д", 5, 5},         // Cyrillic е: not the entry
        {{"тeх", 1}, ". Д", 7, 5},         // Latin e: the entry
        {{"ул", 1}, ". 5", 7, 5},
        {{"А", 1}, ". С", 7, 7},
        {{"г", 1}, ". М", 7, 7},
        {{"5", 2}, ". Д", 7, 7},
        {{"12", 2}, ". В", 7, 7},
        {{"т|е", 1}, ". Э", 7, 7},
        {{"п|1", 4}, ". Э", 7, 7},
        {{"A-B", 1}, ". N", 7, 7},
        {{"A-B", 1}, ". Д", 5, 5},
        {{"AB-C", 1}, ". N", 5, 5},
        {{"кв-л", 1}, ". Д", 5, 5},
        {{"к-в-л", 1}, ". Д", 5, 5},
        {{"сказал", 1}, ". Д", 5, 5},
        {{"б-р", 1}, ". Д", 5, 5},  // entries with a hyphen never match
        {{"пр-т", 1}, ". Д", 5, 5},
        {{"x-ул", 1}, ". Д", 7, 5},  // only the last part is looked up
        {{"ул5", 4}, ". Д", 5, 5},
        {{"1|5", 3}, ". Д", 7, 7},    // one digit after a full-stop join
        {{nullptr, 0}, ". Д", 5, 5},  // no word yet
        {{nullptr, 0}, ": Д", 7, 7},
        {{nullptr, 0}, "! Д", 5, 5},
        {{nullptr, 0}, "? 5", 5, 5},
        {{nullptr, 0}, "\xe2\x80\xa6 Д", 5, 5},
        {{"ул", 1}, "... Д", 7, 5},  // a full stop first: judged by the full-stop rules
        {{"ул", 1}, ".! Д", 7, 5},
        {{"ул", 1}, "! Д", 5, 5},
    };
    for (const TCase& c : cases) {
        for (int32_t mode : {0, 1}) {
            TSentenceBreakChecker checker(mode);
            EXPECT_EQ(Check(checker, c.Word, c.Punctuation), mode == 0 ? c.Mode0 : c.Mode1)
                << (c.Word.Parts ? c.Word.Parts : "(none)") << " " << c.Punctuation << " mode "
                << mode;
        }
    }
}

TEST(SentenceBreak, ANumberCountsAsFirstWordOnlyUntilAnotherWord) {
    TSentenceBreakChecker checker(0);
    EXPECT_EQ(Check(checker, {"в", 1}, ". Д"), 7);
    EXPECT_EQ(Check(checker, {"2012", 2}, ". З"), 5);  // second word since the start
    checker.OnToken(TTokenView{u". ", 2, {}}, TOKEN_SENTENCE);
    EXPECT_EQ(checker.WordCount(), 0u);
    EXPECT_EQ(Check(checker, {"12", 2}, ". В"), 7);  // first word after a break
    checker.OnToken(TTokenView{u" ", 1, {}}, TOKEN_OTHER);
    EXPECT_EQ(checker.WordCount(), 1u);  // other text changes nothing
    checker.OnToken(TTokenView{u"\n\n", 2, {}}, TOKEN_PARAGRAPH);
    EXPECT_EQ(checker.WordCount(), 0u);
}

TEST(SentenceBreak, LowerCasesTheRememberedLastPartInPlace) {
    TSentenceBreakChecker checker(0);
    EXPECT_EQ(Check(checker, {"Дом-УЛ", 1}, ". Л"), 7);
    EXPECT_EQ(U8(std::u16string(checker.Text(), checker.Length())), "Дом-ул");
}

TEST(SentenceBreak, WorksThroughTheTokenizer) {
    const std::vector<std::tuple<const char*, const char*, const char*>> cases = {
        {"ул. Ленина", "1'ул' 7'. ' 1'Ленина'", "1'ул' 5'. ' 1'Ленина'"},
        {"г. Москва", "1'г' 7'. ' 1'Москва'", "1'г' 7'. ' 1'Москва'"},
        {"т.е. Это", "1'т' 7'.' 1'е' 7'. ' 1'Это'", "1'т' 7'.' 1'е' 7'. ' 1'Это'"},
        {"12. Введение", "2'12' 7'. ' 1'Введение'", "2'12' 7'. ' 1'Введение'"},
        {"в 2012. Затем", "1'в' 7' ' 2'2012' 5'. ' 1'Затем'", "1'в' 7' ' 2'2012' 5'. ' 1'Затем'"},
        {". Далее", "5'. ' 1'Далее'", "5'. ' 1'Далее'"},
        {"Да. Нет. 5", "1'Да' 5'. ' 1'Нет' 5'. ' 2'5'", "1'Да' 5'. ' 1'Нет' 5'. ' 2'5'"},
    };
    for (const auto& [text, mode0, mode1] : cases) {
        EXPECT_EQ(DumpText(text, true, false, 0), mode0) << text;
        EXPECT_EQ(DumpText(text, true, false, 1), mode1) << text;
    }
    // Unsplit, "т.е" is remembered whole: a one-letter last part after a full-stop join.
    EXPECT_EQ(DumpText("т.е. Это", false), "1'т.е' 7'. ' 1'Это'");
    EXPECT_EQ(DumpText("в т.ч. Это", false), "1'в' 7' ' 1'т.ч' 7'. ' 1'Это'");
}

TEST(SentenceBreak, CheckerStateStartsAfreshOnEveryCall) {
    // The same word and full stop on two lines: the second line's checker has seen no word.
    const std::u16string text = U16("ул");
    const std::u16string next = U16(". Ленина");
    TRecorder recorder;
    TTokenizerConfig config;
    config.Handler = &recorder;
    TokenizeWide(config, text.data(), text.size());
    TokenizeWide(config, next.data(), next.size());
    EXPECT_EQ(Dump(recorder.Tokens), "1'ул' 5'. ' 1'Ленина'");
}

TEST(Abbreviations, HoldTheFixedListsInGrownSets) {
    const TAbbreviations& a = TAbbreviations::Instance();
    EXPECT_EQ(&a, &TAbbreviations::Instance());
    EXPECT_EQ(a.Common.Size(), 85u);
    EXPECT_EQ(a.BeforeDigit.Size(), 23u);
    EXPECT_EQ(a.Common.BucketCount(), 97u);
    EXPECT_EQ(a.BeforeDigit.BucketCount(), 29u);
    const std::vector<std::tuple<const char*, bool, bool>> words = {
        {"ул", true, false}, {"тeх", true, false}, {"тех", false, false}, {"м-н.", true, false},
        {"vs", true, false}, {"стр", false, true}, {"vol", false, true},  {"Ул", false, false},
        {"", false, false},  {"у", false, false},
    };
    for (const auto& [word, common, beforeDigit] : words) {
        const std::u16string w = U16(word);
        EXPECT_EQ(a.Common.Contains(w.data(), w.size()), common) << word;
        EXPECT_EQ(a.BeforeDigit.Contains(w.data(), w.size()), beforeDigit) << word;
    }
}

TEST(Abbreviations, GrowThroughThePrimeListAndKeepOneCopy) {
    const std::vector<std::pair<size_t, size_t>> sizes = {
        {0, 7},
        {7, 7},
        {8, 17},
        {18, 29},
        {54, 97},
        {98, 193},
        {4294967291ul, 4294967291ul},
        {4294967292ul, 4294967291ul},
    };
    for (const auto& [count, buckets] : sizes) {
        EXPECT_EQ(TAbbreviationSet::BucketCountFor(count), buckets) << count;
    }
    TAbbreviationSet set;
    std::vector<std::u16string> words;
    for (int i = 0; i < 60; ++i) {
        words.push_back(u"w" + std::u16string(1, char16_t(u'a' + i % 26)) +
                        std::u16string(size_t(i / 26), u'x'));
        set.Add(words.back().data(), words.back().size());
        set.Add(words.back().data(), words.back().size());
        EXPECT_GE(set.BucketCount(), set.Size());
    }
    EXPECT_EQ(set.Size(), 60u);
    EXPECT_EQ(set.BucketCount(), 97u);
    for (const std::u16string& w : words) {
        EXPECT_TRUE(set.Contains(w.data(), w.size()));
    }
    EXPECT_FALSE(set.Contains(u"v", 1));
}

}  // namespace NSentenceBreakTest
