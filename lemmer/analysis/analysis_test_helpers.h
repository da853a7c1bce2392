// A small Russian dictionary for the analysis tests, the benchmark and the fuzz target, and a
// guard that makes it the Russian language's main dictionary while it lives.
#pragma once

#include "lemmer/analysis/language_objects.h"
#include "lemmer/analysis/language_registry.h"
#include "lemmer/dictionary/dictionary_test_helpers.h"
#include "lemmer/token/word_parts.h"

#include <algorithm>
#include <string>
#include <vector>

namespace NLemmer::NTest {

// Rule ids of the analysis fixture.
enum EAnalysisRule : uint16_t {
    AR_NOUN,    // стол, хлеб, кот, плав, кот-стол: S m inan
    AR_GERUND,  // плав -> плавать, form "ger"
    AR_ADJ,     // знающ -> знающий: A
    AR_PARTCP,  // знающ, читающ -> знать, читать: V with a participle form
    AR_VERB,    // плав -> плавать: V inf
    AR_BREV,    // быстр -> быстрый: A with a short form
    AR_ADVERB,  // быстр -> быстро: ADV
    AR_IMPER,   // бег -> бегать: V with an imperative form
    AR_COMP,    // сильн -> сильный: A with a comparative form
    AR_COUNT
};

inline void FillAnalysisFixture(NByk::NTest::TFixture& f) {
    f.Alphabet(u"абвгдеёжзийклмнопрстуфхцчшщъыьэюя-", u"аеёиоуыэюя");
    const uint16_t nom = f.Ending(u"", u"", "nom sg");
    const uint16_t ger = f.Ending(u"", u"", "ger");
    const uint16_t gen = f.Ending(u"", u"а", "gen sg");
    const uint16_t inf = f.Ending(u"", u"ать", "inf");
    const uint16_t imper = f.Ending(u"", u"ай", "imper sg 2p");
    const uint16_t compE = f.Ending(u"", u"ее", "comp");
    const uint16_t adjM = f.Ending(u"", u"ий", "m nom sg");
    const uint16_t partM = f.Ending(u"", u"ий", "partcp praes act m nom sg");
    const uint16_t brev = f.Ending(u"", u"о", "brev n sg");
    const uint16_t adv = f.Ending(u"", u"о", "");
    const uint16_t pl = f.Ending(u"", u"ы", "nom pl");
    const uint16_t imperA = f.Ending(u"", u"ый", "m nom sg");
    f.Rule(f.List({nom, gen, pl}), 0, u"", "S m inan");
    f.Rule(f.List({ger}), 0, u"ать", "V ipf");
    f.Rule(f.List({adjM}), 0, u"ий", "A");
    f.Rule(f.List({partM}), 3, u"ать", "V ipf");
    f.Rule(f.List({inf}), 0, u"ать", "V");
    f.Rule(f.List({brev, imperA}), 0, u"ый", "A");
    f.Rule(f.List({adv}), 0, u"о", "ADV");
    f.Rule(f.List({imper, inf}), 0, u"ать", "V");
    f.Rule(f.List({compE, imperA}), 0, u"ый", "A");
    f.Stem(u"стол", {AR_NOUN});
    f.Stem(u"хлеб", {AR_NOUN});
    f.Stem(u"кот", {AR_NOUN});
    f.Stem(u"кот-стол", {AR_NOUN});
    f.Stem(u"плав", {AR_NOUN, AR_GERUND, AR_VERB});
    f.Stem(u"знающ", {AR_ADJ, AR_PARTCP});
    f.Stem(u"читающ", {AR_PARTCP});
    f.Stem(u"быстр", {AR_BREV, AR_ADVERB});
    f.Stem(u"бег", {AR_IMPER});
    f.Stem(u"сильн", {AR_COMP});
    f.Prefix(u"пере");
}

inline std::u16string LemmaOf(const TAnalysisRecord& r) {
    return std::u16string(r.Lemma, r.Lemma + r.LemmaLength);
}

inline std::u16string Source(const TAnalysisRecord& r) {
    return std::u16string(r.Source, r.Source + r.SourceLength);
}

// A token of `text` whose parts are the maximal runs of units other than '-', '\'' and ' ' in
// its first `wordEnd` units; what follows them is the tail.
struct TToken {
    std::u16string Text;
    std::vector<TTokenPart> Parts;

    explicit TToken(std::u16string text, size_t wordEnd = std::u16string::npos)
        : Text(std::move(text)) {
        NLemmer::SplitWordParts(Text.data(), std::min(wordEnd, Text.size()), Parts,
                                [](wchar16 c) { return c == u'-' || c == u'\'' || c == u' '; });
    }
    TTokenView View() const { return {Text.data(), Text.size(), Parts}; }
};

// ASCII as it is, every other unit as "<decimal code>".
inline std::string Escaped(const std::u16string& text) {
    std::string s;
    for (char16_t c : text) {
        s += c < 0x80 ? std::string(1, char(c)) : "<" + std::to_string(int(c)) + ">";
    }
    return s;
}

// "lemma/language/flags/first+count " of each record.
inline std::string Dump(const TAnalysisVector& out) {
    std::string s;
    for (const TAnalysisRecord& r : out) {
        s += Escaped(LemmaOf(r)) + "/" + std::to_string(r.Language) + "/" +
             std::to_string(r.Flags) + "/" + std::to_string(r.FirstPart) + "+" +
             std::to_string(r.PartCount) + " ";
    }
    return s;
}

// Makes a dictionary the Russian main dictionary for the guard's lifetime.
class TRussianDictionaryGuard {
public:
    explicit TRussianDictionaryGuard(const NByk::TDictionary* dictionary)
        : Saved_(NPrivate::RussianMainDictionarySlot()) {
        NPrivate::RussianMainDictionarySlot() = dictionary;
    }
    ~TRussianDictionaryGuard() { NPrivate::RussianMainDictionarySlot() = Saved_; }
    TRussianDictionaryGuard(const TRussianDictionaryGuard&) = delete;
    TRussianDictionaryGuard& operator=(const TRussianDictionaryGuard&) = delete;

private:
    const NByk::TDictionary* Saved_;
};

// The analysis fixture, built once and installed as the Russian dictionary.
class TAnalysisFixture {
public:
    TAnalysisFixture() : Guard_((FillAnalysisFixture(F_), &F_.Build())) {}
    const NByk::TDictionary& Dictionary() const { return F_.Dictionary(); }

private:
    NByk::NTest::TFixture F_;
    TRussianDictionaryGuard Guard_;
};

}  // namespace NLemmer::NTest
