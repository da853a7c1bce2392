// The language classes: one process-wide object per language id, found with LanguageById, that
// recognises a word (normalise, look up, placeholder, stamp, post-process), decides where a
// token splits, and post-processes new analyses.
//
//     const TLanguage* russian = LanguageById(1);
//     TAnalysisVector records;
//     russian->Recognize(word, length, records, MakeRecognizeOptions(3, "", true));
//
// The five built-in objects (ids 0, 1, 2, 32, 53) are built and registered on the first query
// of the registry and live until the process ends. After that, queries only read: any number of
// threads may recognise with them. Recognition raises what the language's lookup raises
// (dictionary construction, std::bad_alloc); records appended before stay in the vector.
#pragma once

#include "lemmer/alphabet/lang_mask.h"
#include "lemmer/alphabet/normalize_result.h"
#include "lemmer/record/analysis_record.h"

#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace NLemmer {
class TGrammarFiltr;
}
class TWordformGenerator;
class TTranslitTable;
class TUntransliter;
struct TTranslitLookupFlags;

class TLanguage {
public:
    explicit TLanguage(uint32_t id, bool doNotRegister = false);
    virtual ~TLanguage() = 0;
    TLanguage(const TLanguage&) = delete;
    TLanguage& operator=(const TLanguage&) = delete;

    uint32_t Id() const { return Id_; }

    // Whether the word (any case) is in the language's main dictionary.
    virtual bool IsKnownWord(const wchar16* word, size_t length) const;
    // The record is of this language and not obtained through transliteration.
    virtual bool IsOwnAnalysis(const TAnalysisRecord& record) const;
    // Fingerprint texts of the language's dictionaries, "" when it has none.
    virtual Stroka DictionaryFingerprint() const;
    // 0 to 3: how good a lemma the record's paradigm gives.
    virtual int SpecialParadigmKind(const TAnalysisRecord& record) const;

    // Wordform generation (wordform_generator.h); the analysis itself never calls these.
    // A filter of forms by a clue (grammeme string); here one that accepts every form once
    // prepared.
    virtual std::unique_ptr<NLemmer::TGrammarFiltr> CreateGrammarFiltr(const char* clue) const;
    // A filter prepared with the record for the forms worth generating from it; null when the
    // record's paradigm is not worth it (SpecialParadigmKind 0).
    virtual std::unique_ptr<NLemmer::TGrammarFiltr> CreateParadigmFiltr(
        const TAnalysisRecord& record) const;
    // A generator of the record's forms that `filter` (copied; null: every form) admits; here
    // the record's lemma and word, as there is no dictionary. The record must outlive it.
    virtual std::unique_ptr<TWordformGenerator> CreateWordformGenerator(
        const TAnalysisRecord& record, const NLemmer::TGrammarFiltr* filter) const;

    // Normalises the word, looks it up, adds a placeholder on request, stamps language and
    // texts into the new records, post-processes them and cuts them to options.MaxResults.
    // Returns the number of records appended. Not virtual: every language shares it.
    size_t Recognize(const wchar16* word, size_t length, TAnalysisVector& out,
                     const TRecognizeOptions& options) const;
    // Analyses of a word through the language's translation table (transliteration.h): an
    // English word translated into the language (flag 0x10000), or a word of the language
    // translated into English (0x20000). The grammar filter is not used. Without a table they
    // append nothing, as for every language of this system.
    virtual size_t RecognizeFromLatin(const wchar16* word, size_t length, TAnalysisVector& out,
                                      size_t maxResults, const char* grammarFilter) const;
    virtual size_t RecognizeToLatin(const wchar16* word, size_t length, TAnalysisVector& out,
                                    size_t maxResults, const char* grammarFilter) const;
    // Analyses of a Latin word rendered in the language's script by its untransliterator
    // (flag 0x40000), at most maxResults, post-processed; `lookup` (may be null) names the
    // lookups whose lemmas are replaced by the normalised form and the grammar filter. Without
    // an untransliterator: 0 for a word English does not accept, else PostProcess over nothing.
    virtual size_t RecognizeTransliterated(const wchar16* word, size_t length, TAnalysisVector& out,
                                           size_t maxResults,
                                           const TTranslitLookupFlags* lookup) const;

    // Whether parts A and B of a token (positions in `text`) are analysed apart.
    virtual bool SplitsBetween(const wchar16* text, size_t startA, size_t lengthA, size_t startB,
                               size_t lengthB, bool transliterationPass) const;
    // Post-processes the new records [first, end); returns how many of them remain.
    virtual size_t PostProcess(TAnalysisVector& records, size_t first, size_t end,
                               const NLemmer::TNormalizeResult& normalized) const;
    // Looks the normalised word up; returns the number of records appended.
    virtual size_t Lookup(const wchar16* word, size_t length, TAnalysisVector& out,
                          const TRecognizeOptions& options) const;
    // The language's untransliterator, reset for the word; null (every language of this system).
    virtual std::unique_ptr<TUntransliter> CreateUntransliter(const TUtf16String& word) const;
    // The language's translation table to and from English; null (every language of this
    // system).
    virtual const TTranslitTable* GetTranslitTable() const;

    size_t ClearAndRecognize(const wchar16* word, size_t length, TAnalysisVector& out,
                             const TRecognizeOptions& options) const;
    size_t ClearAndRecognizeFromLatin(const wchar16* word, size_t length, TAnalysisVector& out,
                                      size_t maxResults, const char* grammarFilter) const;
    size_t ClearAndRecognizeToLatin(const wchar16* word, size_t length, TAnalysisVector& out,
                                    size_t maxResults, const char* grammarFilter) const;

private:
    uint32_t Id_;
};

// The language without a dictionary (id 0): its recognition gives at most the placeholder.
class TDefaultLanguage final : public TLanguage {
public:
    TDefaultLanguage() : TLanguage(0) {}
    ~TDefaultLanguage() override;
};

// 2 for a record of a content word (A, ADV, S, V) that is its own lemma, else 0.
int ParadigmRating(const TAnalysisRecord& record);

// Appends the placeholder of an unanalysed word (lemma = word, flag 8) unless maxResults is 0.
size_t AddUnknownWordAnalysis(const wchar16* word, size_t length, TAnalysisVector& out,
                              uint64_t maxResults);

// Options by analysis level: 0 dictionary, 1 plus second dictionary, 2 plus hypotheses,
// anything else plus placeholder.
TRecognizeOptions MakeRecognizeOptions(int level, const char* grammarFilter, bool useRegistry);

// The registry of language objects, ordered by id.
struct TRegisteredLanguages {
    static constexpr size_t IdCount = 58;
    const TLanguage* ById[IdCount] = {};
    std::vector<const TLanguage*> List;
    TLangMask Mask;
};

// Adds a language: into List after the languages of smaller or equal id, into Mask (ids 1 to
// 57) and into ById (replacing an earlier language of the same id). Ids above 57 are refused
// with the standard out-of-range error "bitset". Every language object registers itself.
void RegisterLanguage(const TLanguage* language);

namespace NLemmer::NPrivate {
// The languages registered so far, without building the built-in ones
// (language_registry.h gives the whole registry).
const TRegisteredLanguages& RegisteredLanguagesSoFar();
// Puts `language` in the registry under `id` in place of the object there, which it returns;
// the list and the mask stay as they are. Tests stand a watched language in for a registered
// one this way and put the registered one back. Not thread-safe.
const TLanguage* ReplaceLanguageById(uint32_t id, const TLanguage* language);
}  // namespace NLemmer::NPrivate
