// What the token handler hands to the output: sentence marks, text, words whole or part by part.
#include "analyzer/token_handler.h"

#include "analyzer/analysis_test_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Utf8(const wchar16* text, size_t length) {
    std::string s;
    for (size_t i = 0; i < length; ++i) {
        const char16_t u = text[i];
        if (u < 0x80) {
            s += static_cast<char>(u);
        } else {
            s += static_cast<char>(0xC0 | (u >> 6));
            s += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return s;
}

// Logs the calls: T(text) B W(word:lemma,lemma) E.
class TLogPreprocessor : public NLemmix::IOutputPreprocessor {
public:
    std::string Log;
    void PrintText(const wchar16* text, size_t length) override {
        Log += "T(" + Utf8(text, length) + ")";
    }
    void BeginSentence() override { Log += "B"; }
    void PrintWord(const wchar16* text, size_t length, TAnalysisRecord* first,
                   TAnalysisRecord* last) override {
        Log += "W(" + Utf8(text, length) + ":";
        for (TAnalysisRecord* r = first; r != last; ++r) {
            Log += (r == first ? "" : ",") + Utf8(r->Lemma, r->LemmaLength);
        }
        Log += ")";
    }
    void EndWord() override { Log += "E"; }
};

struct TToken {
    std::u16string Text;
    int32_t Type;
    std::vector<std::pair<uint64_t, uint64_t>> Parts;  // position, length
};

TToken Word(const std::u16string& text) {
    return {text, TOKEN_WORD, {{0, text.size()}}};
}

TToken Text(const std::u16string& text, int32_t type = TOKEN_OTHER) {
    return {text, type, {}};
}

std::string Handle(TFixtureAnalyzer& analyzer, const std::vector<TToken>& tokens,
                   bool dictionaryOnly = false) {
    TAnalyzerOptions options;
    options.DictionaryOnly = dictionaryOnly;
    TLogPreprocessor log;
    NLemmix::TTokenHandler handler(&options, &log, &analyzer);
    for (const TToken& t : tokens) {
        std::vector<TTokenPart> parts;
        for (auto [pos, len] : t.Parts) {
            TTokenPart part;
            part.Pos = pos;
            part.Len = len;
            parts.push_back(part);
        }
        const TTokenView view{t.Text.data(), t.Text.size(), parts};
        handler.OnToken(view, t.Text.size(), t.Type);
    }
    return log.Log;
}

TFixtureAnalyzer HandlerDictionary() {
    TFixtureAnalyzer a;
    a.Words[u"мама"] = {Analysis(u"мама", "\x88")};
    a.Words[u"мыла"] = {Analysis(u"мыть", "\x89"), Analysis(u"мыло", "\x88")};
    a.Words[u"раму"] = {Analysis(u"рама", "\x88")};
    a.Words[u"по-русски"] = {Analysis(u"по-русски", "\x81")};
    a.Words[u"по"] = {Analysis(u"по", "")};
    a.Words[u"русски"] = {Analysis(u"русский", "")};
    a.Words[u"кое"] = {Analysis(u"кое", "")};
    return a;
}

TToken Hyphenated(const std::u16string& left, const std::u16string& right) {
    const std::u16string text = left + u"-" + right;
    return {text, TOKEN_WORD, {{0, left.size()}, {left.size() + 1, right.size()}}};
}

TEST(TokenHandlerTest, HandsOnTextWordsAndSentenceBreaks) {
    const struct {
        const char* Name;
        std::vector<TToken> Tokens;
        const char* Log;
    } cases[] = {
        {"the first word of the input gets no sentence mark; one mark after several breaks",
         {Word(u"мама"), Text(u".", TOKEN_SENTENCE), Text(u" "), Text(u"!", TOKEN_SENTENCE),
          Word(u"раму"), Text(u".", TOKEN_SENTENCE)},
         "W(мама:мама)ET(.)T( )T(!)BW(раму:рама)ET(.)"},
        {"numbers and other tokens are text and keep the sentence state",
         {Text(u".", TOKEN_SENTENCE), Text(u"12", TOKEN_INTEGER), Word(u"мама")},
         "T(.)T(12)BW(мама:мама)E"},
        {"a word without parts, or with one empty part, is text after its sentence mark",
         {Text(u".", TOKEN_SENTENCE), {u"x", TOKEN_WORD, {}}, {u"y", TOKEN_WORD, {{0, 0}}}},
         "T(.)BT(x)T(y)"},
        {"an unknown word goes part by part without its placeholder and with no end of word",
         {Word(u"зюзя")},
         "T()W(зюзя:)"},
        {"analyses of the whole token win over those of its parts",
         {Hyphenated(u"по", u"русски")},
         "W(по-русски:по-русски)E"},
        {"parts analysed alone go part by part; a part without analyses gets none",
         {Hyphenated(u"кое", u"где"), Hyphenated(u"мама", u"мыла")},
         "T()W(кое:кое)T(-)W(где:)ET()W(мама:мама)T(-)W(мыла:мыть,мыло)E"},
    };
    for (const auto& c : cases) {
        TFixtureAnalyzer analyzer = HandlerDictionary();
        EXPECT_EQ(Handle(analyzer, c.Tokens), c.Log) << c.Name;
    }
}

TEST(TokenHandlerTest, PrintsTheGroupCoveringTheFewestPartsUnderThePartsWhereTheyStart) {
    const std::u16string text = u"a-b-c";
    const TToken token{text, TOKEN_WORD, {{0, 1}, {2, 1}, {4, 1}}};
    struct TPairs : TFixtureAnalyzer {
        size_t Analyze(const TTokenView&, bool, TAnalysisVector& records) override {
            records.push_back(Analysis(u"bc", "", 0, {}, 1, 2));
            records.push_back(
                Analysis(u"abc", "", 0, {}, 0, 4));  // not all three parts: not printed
            records.push_back(Analysis(u"ab", "", 0, {}, 0, 2));
            return records.size();
        }
    } pairs;
    EXPECT_EQ(Handle(pairs, {token}), "T()W(a:ab)T(-)W(b:bc)T(-)W(c:)E");
}

TEST(TokenHandlerTest, AsksForDictionaryAnalysesAloneWithDictionaryOnly) {
    TFixtureAnalyzer analyzer = HandlerDictionary();
    EXPECT_EQ(Handle(analyzer, {Word(u"зюзя"), Word(u"мама")}, true), "T()W(зюзя:)W(мама:мама)E");
    EXPECT_EQ(analyzer.DictionaryOnlyCalls, (std::vector<bool>{true, true}));
}

}  // namespace
