// The concrete languages: Russian (1) with its basic variant (32), English (2) with its basic
// variant (53), and the default language (0); the English contraction table that keeps
// "don't" in one piece; and the Turkish one-unit case maps.
#pragma once

#include "lemmer/analysis/byk_language.h"

#include "util/generic/string.h"

#include <cstdint>
#include <set>
#include <string>

class TRussianBykLanguage : public TBykLanguage {
public:
    TRussianBykLanguage() : TBykLanguage(1) {}
    ~TRussianBykLanguage() override;

    int SpecialParadigmKind(const TAnalysisRecord& record) const override;
    // A filter to the forms of the record's clue grammemes (gender, number, aspect, voice of
    // its first nominative form).
    std::unique_ptr<NLemmer::TGrammarFiltr> CreateParadigmFiltr(
        const TAnalysisRecord& record) const override;
    bool SplitsBetween(const wchar16* text, size_t startA, size_t lengthA, size_t startB,
                       size_t lengthB, bool transliterationPass) const override;
    // Marks rare derived forms and old-orthography words.
    size_t PostProcess(TAnalysisVector& records, size_t first, size_t end,
                       const NLemmer::TNormalizeResult& normalized) const override;
    const NByk::TDictionary* GetMainDictionary() const override;

protected:
    explicit TRussianBykLanguage(uint32_t id) : TBykLanguage(id) {}
};

// Russian under its own id, whose analyses are reported as Russian without post-processing.
class TBasicRussianLanguage final : public TRussianBykLanguage {
public:
    TBasicRussianLanguage() : TRussianBykLanguage(32) {}
    ~TBasicRussianLanguage() override;

    size_t PostProcess(TAnalysisVector& records, size_t first, size_t end,
                       const NLemmer::TNormalizeResult& normalized) const override;
};

// English; this system has no English dictionary, so it gives placeholders only.
class TEnglishBykLanguage : public TBykLanguage {
public:
    TEnglishBykLanguage() : TBykLanguage(2) {}
    ~TEnglishBykLanguage() override;

    int SpecialParadigmKind(const TAnalysisRecord& record) const override;
    bool SplitsBetween(const wchar16* text, size_t startA, size_t lengthA, size_t startB,
                       size_t lengthB, bool transliterationPass) const override;
    const NByk::TDictionary* GetMainDictionary() const override { return nullptr; }

protected:
    explicit TEnglishBykLanguage(uint32_t id) : TBykLanguage(id) {}
};

// English keeping only analyses whose word is the lemma or the lemma with a plural or
// possessive s; its analyses are reported as English.
class TBasicEnglishLanguage final : public TEnglishBykLanguage {
public:
    TBasicEnglishLanguage() : TEnglishBykLanguage(53) {}
    ~TBasicEnglishLanguage() override;

    size_t Lookup(const wchar16* word, size_t length, TAnalysisVector& out,
                  const TRecognizeOptions& options) const override;
    size_t PostProcess(TAnalysisVector& records, size_t first, size_t end,
                       const NLemmer::TNormalizeResult& normalized) const override;
};

// The negated contractions English keeps in one piece, compared case-sensitively.
struct TEnglishContractionTable {
    wchar16 TUnit = u't';
    wchar16 SUnit = u's';
    wchar16 NUnit = u'n';
    wchar16 ApostropheUnit = u'\'';
    std::set<std::u16string> Words;
};
// Built on first use; thread-safe.
const TEnglishContractionTable& GetEnglishContractionTable();

// Case maps with the Turkish dotted and dotless I.
wchar16 TurkishLowerUnit(wchar16 unit);
wchar16 TurkishUpperUnit(wchar16 unit);

namespace NLemmer::NPrivate {

// Builds and registers the five built-in language objects once.
void BuiltInLanguages();

// Replaces the embedded dictionary as the Russian main dictionary while not null; tests point it
// at a fixture.
const NByk::TDictionary*& RussianMainDictionarySlot();

}  // namespace NLemmer::NPrivate
