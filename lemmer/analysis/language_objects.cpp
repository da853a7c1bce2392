#include "lemmer/analysis/language_objects.h"

#include "lemmer/alphabet/unicode_services.h"
#include "lemmer/dictionary/embedded_dictionary.h"
#include "lemmer/grammar/grammar_filter.h"
#include "lemmer/grammar/grammeme_constants.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

bool IsRussianConsonant(wchar16 u) {
    static constexpr char CONSONANTS[] = "bcdfghjklmnpqrstvwxz";
    return u < 0x80 && u != 0 && std::strchr(CONSONANTS, static_cast<char>(u)) != nullptr;
}

// The derived form a grammar names: participle, gerund or imperative first, else the short
// form, else 0.
unsigned char DerivedFormCode(const char* grammar) {
    if (grammar == nullptr) {
        return 0;
    }
    for (const char* p = grammar; *p != 0; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == NGrammeme::PARTCP || c == NGrammeme::GER || c == NGrammeme::IMPER) {
            return c;
        }
    }
    return GrammarHas(grammar, NGrammeme::BREV) ? NGrammeme::BREV : 0;
}

unsigned char RecordDerivedFormCode(const TAnalysisRecord& r) {
    const unsigned char own = DerivedFormCode(r.CommonGrammar);
    if (own != 0 || r.FormGrammarCount == 0) {
        return own;
    }
    for (size_t i = 0; i < r.FormGrammarCount; ++i) {
        if (DerivedFormCode(r.FormGrammars[i]) == 0) {
            return 0;
        }
    }
    return DerivedFormCode(r.FormGrammars[0]);
}

bool AnyFormHas(const TAnalysisRecord& r, unsigned char code) {
    for (size_t i = 0; i < r.FormGrammarCount; ++i) {
        if (GrammarHas(r.FormGrammars[i], code)) {
            return true;
        }
    }
    return false;
}

// Bits of the parts of speech among the ordinary analyses of a word.
enum : uint32_t {
    PC_ANY = 1,
    PC_ADVERB = 2,
    PC_ADJECTIVE = 4,
    PC_COMPARATIVE = 8,
    PC_NOUN = 16,
};

uint32_t OrdinaryClass(const TAnalysisRecord& r) {
    const unsigned char pos =
        r.CommonGrammar != nullptr ? static_cast<unsigned char>(r.CommonGrammar[0]) : 0;
    switch (pos) {
        case NGrammeme::ADV:
            return PC_ANY | PC_ADVERB;
        case NGrammeme::S:
            return PC_ANY | PC_NOUN;
        case NGrammeme::A:
            return GrammarHas(r.CommonGrammar, NGrammeme::COMP) || AnyFormHas(r, NGrammeme::COMP)
                       ? PC_ANY | PC_ADJECTIVE | PC_COMPARATIVE
                       : PC_ANY | PC_ADJECTIVE;
        default:
            return PC_ANY;
    }
}

bool SameUnits(const wchar16* a, const wchar16* b, size_t n) {
    return n == 0 || std::memcmp(a, b, n * sizeof(wchar16)) == 0;
}

}  // namespace

TRussianBykLanguage::~TRussianBykLanguage() = default;
TBasicRussianLanguage::~TBasicRussianLanguage() = default;
TEnglishBykLanguage::~TEnglishBykLanguage() = default;
TBasicEnglishLanguage::~TBasicEnglishLanguage() = default;

int TRussianBykLanguage::SpecialParadigmKind(const TAnalysisRecord& record) const {
    return RussianParadigmRating(record, nullptr, 0);
}

std::unique_ptr<NLemmer::TGrammarFiltr> TRussianBykLanguage::CreateParadigmFiltr(
    const TAnalysisRecord& record) const {
    char clue[255];
    if (RussianParadigmRating(record, clue, sizeof(clue)) == 0) {
        return nullptr;
    }
    std::unique_ptr<NLemmer::TGrammarFiltr> filter = CreateGrammarFiltr(clue);
    filter->SetLemma(record);
    return filter;
}

bool TRussianBykLanguage::SplitsBetween(const wchar16* text, size_t startA, size_t lengthA,
                                        size_t startB, size_t, bool transliterationPass) const {
    if (!transliterationPass) {
        return true;
    }
    const bool hardSign = startA + lengthA + 1 == startB && text[startA + lengthA] == u'\'' &&
                          lengthA != 0 && IsRussianConsonant(text[startA + lengthA - 1]);
    return !hardSign;
}

const NByk::TDictionary* TRussianBykLanguage::GetMainDictionary() const {
    if (const NByk::TDictionary* replacement = NLemmer::NPrivate::RussianMainDictionarySlot()) {
        return replacement;
    }
    return GetEmbeddedRussianDictionary();
}

size_t TRussianBykLanguage::PostProcess(TAnalysisVector& records, size_t first, size_t end,
                                        const NLemmer::TNormalizeResult& normalized) const {
    const bool oldSpelling = normalized.Flags.Test(NLemmer::NS_ADVANCED_CONVERT);
    bool anyDerived = false;
    bool anyOrdinary = false;
    uint32_t combined = 0;
    for (size_t i = first; i < end; ++i) {
        TAnalysisRecord& r = records[i];
        if (oldSpelling) {
            r.ExtraGrammemes[0] = static_cast<char>(NGrammeme::OBSOL);
            r.ExtraGrammemes[1] = 0;
        }
        if (r.Flags & AF_PLACEHOLDER) {
            continue;
        }
        if (RecordDerivedFormCode(r) != 0) {
            anyDerived = true;
        } else {
            anyOrdinary = true;
            combined |= OrdinaryClass(r);
        }
    }
    if (!anyDerived || !anyOrdinary) {
        return end - first;
    }
    if (combined & PC_NOUN) {
        combined = PC_NOUN;
    }
    for (size_t i = first; i < end; ++i) {
        TAnalysisRecord& r = records[i];
        if (r.Flags & AF_PLACEHOLDER) {
            continue;
        }
        const unsigned char code = RecordDerivedFormCode(r);
        const bool excused = (code == NGrammeme::IMPER && (combined & PC_COMPARATIVE)) ||
                             (code == NGrammeme::BREV && (combined & PC_ADVERB)) ||
                             (code == NGrammeme::PARTCP && (combined & PC_ADJECTIVE));
        if (code != 0 && !excused) {
            r.Flags |= AF_RARE_FORM;
        }
    }
    return end - first;
}

size_t TBasicRussianLanguage::PostProcess(TAnalysisVector& records, size_t first, size_t end,
                                          const NLemmer::TNormalizeResult&) const {
    for (size_t i = first; i < end; ++i) {
        records[i].Language = 1;
    }
    return end - first;
}

int TEnglishBykLanguage::SpecialParadigmKind(const TAnalysisRecord& r) const {
    int rating = std::max(ParadigmRating(r), 0);
    if (rating >= 1 || r.CommonGrammar == nullptr) {
        return rating;
    }
    const char* g = r.CommonGrammar;
    const bool plainDegree = r.FormGrammarCount == 0 ||
                             (!AnyFormHas(r, NGrammeme::COMP) && !AnyFormHas(r, NGrammeme::SUPR));
    if (((GrammarHas(g, NGrammeme::A) || GrammarHas(g, NGrammeme::ADV)) && plainDegree) ||
        (GrammarHas(g, NGrammeme::S) && AnyFormHas(r, NGrammeme::NOM)) ||
        (GrammarHas(g, NGrammeme::V) && AnyFormHas(r, NGrammeme::INF))) {
        rating = 1;
    }
    return rating;
}

bool TEnglishBykLanguage::SplitsBetween(const wchar16* text, size_t startA, size_t lengthA,
                                        size_t startB, size_t lengthB, bool) const {
    const TEnglishContractionTable& t = GetEnglishContractionTable();
    if (lengthB != 1 || lengthA == 0 || startA + lengthA + 1 != startB ||
        text[startA + lengthA] != t.ApostropheUnit) {
        return true;
    }
    const wchar16 b = text[startB];
    if (b == t.SUnit) {
        return false;
    }
    if (b == t.TUnit && text[startA + lengthA - 1] == t.NUnit) {
        const std::u16string word(text + startA, text + startA + lengthA + 2);
        return t.Words.count(word) == 0;
    }
    return true;
}

size_t TBasicEnglishLanguage::Lookup(const wchar16* word, size_t length, TAnalysisVector& out,
                                     const TRecognizeOptions& options) const {
    TRecognizeOptions raised = options;
    if (raised.MaxResults != TRecognizeOptions::Unlimited) {
        raised.MaxResults = raised.MaxResults > TRecognizeOptions::Unlimited - 16
                                ? TRecognizeOptions::Unlimited
                                : raised.MaxResults + 16;
    }
    return TBykLanguage::Lookup(word, length, out, raised);
}

namespace {

bool KeepBasicEnglish(const TAnalysisRecord& r) {
    const size_t l = r.LemmaLength;
    const size_t n = r.NormalizedLength;
    const wchar16* lemma = r.Lemma;
    const wchar16* norm = r.Normalized;
    if (l == n) {
        return SameUnits(lemma, norm, l);
    }
    if (n < 2 || norm[n - 1] != u's') {
        return false;
    }
    if (l + 1 == n && SameUnits(lemma, norm, l)) {
        return true;
    }
    if (n != 2 && l + 2 == n && (norm[n - 2] == u'\'' || norm[n - 2] == u'e')) {
        const bool flies = l >= 2 && norm[l - 1] == u'i' && norm[l] == u'e' && lemma[l - 1] == u'y';
        if (SameUnits(lemma, norm, flies ? l - 1 : l)) {
            return true;
        }
    }
    if (r.Flags & AF_NOT_FROM_DICTIONARY) {
        return false;
    }
    return r.FormGrammarCount != 0 ? AnyFormHas(r, NGrammeme::PL)
                                   : GrammarHas(r.CommonGrammar, NGrammeme::PL);
}

}  // namespace

size_t TBasicEnglishLanguage::PostProcess(TAnalysisVector& records, size_t first, size_t end,
                                          const NLemmer::TNormalizeResult&) const {
    size_t kept = end - first;
    for (size_t i = end; i-- > first;) {
        if (KeepBasicEnglish(records[i])) {
            records[i].Language = 2;
        } else {
            records.erase(records.begin() + static_cast<ptrdiff_t>(i));
            --kept;
        }
    }
    return kept;
}

const TEnglishContractionTable& GetEnglishContractionTable() {
    static const TEnglishContractionTable table = [] {
        static const char* const WORDS[] = {
            "isn't",    "aren't",   "wasn't",   "weren't",  "don't",     "doesn't",
            "didn't",   "can't",    "couldn't", "shan't",   "shouldn't", "won't",
            "wouldn't", "haven't",  "hasn't",   "hadn't",   "needn't",   "daren't",
            "mayn't",   "mightn't", "mustn't",  "oughtn't", "usedn't",
        };
        TEnglishContractionTable t;
        for (const char* w : WORDS) {
            t.Words.insert(std::u16string(w, w + std::strlen(w)));
        }
        return t;
    }();
    return table;
}

wchar16 TurkishLowerUnit(wchar16 unit) {
    if (unit == u'I') {
        return 0x131;
    }
    if (unit == 0x130) {
        return u'i';
    }
    return static_cast<wchar16>(NLemmer::ToLowerCodePoint(unit));
}

wchar16 TurkishUpperUnit(wchar16 unit) {
    if (unit == u'i') {
        return 0x130;
    }
    if (unit == 0x131) {
        return u'I';
    }
    return static_cast<wchar16>(NLemmer::ToUpperCodePoint(unit));
}

namespace NLemmer::NPrivate {

void BuiltInLanguages() {
    // Built in the order 0, 1, 32, 2, 53; the registry keeps them by id whatever the order.
    struct TObjects {
        TDefaultLanguage Default;
        TRussianBykLanguage Russian;
        TBasicRussianLanguage BasicRussian;
        TEnglishBykLanguage English;
        TBasicEnglishLanguage BasicEnglish;
    };
    static const TObjects* objects = new TObjects();  // never destroyed: used until exit
    (void)objects;
}

const NByk::TDictionary*& RussianMainDictionarySlot() {
    static const NByk::TDictionary* dictionary = nullptr;
    return dictionary;
}

}  // namespace NLemmer::NPrivate
