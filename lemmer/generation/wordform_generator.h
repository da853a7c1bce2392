// Wordform generation: every form of a record's lemma that a grammar filter accepts. For a
// record from a dictionary the forms are those of its paradigm (the rule the record came with);
// for a record without one, the lemma and, when it differs, the analysed word.
//
//     TWordformGenerator generator(record, &dictionary, filter.get());
//     for (TGeneratedForm form; generator.Next(form);) ...
//
// GenerateWordforms (lemmer/analysis/language_registry.h) asks the record's language for its
// generator.
//
// A generator borrows the record and the dictionary (both must outlive it) and owns its filter
// and iterator. One thread at a time. Raises nothing but std::bad_alloc.
#pragma once

#include "lemmer/dictionary/dictionary.h"
#include "lemmer/grammar/grammar_filter.h"
#include "lemmer/record/analysis_record.h"

#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One candidate form as views into the record, the dictionary or the iterator; valid until the
// iterator moves. The text is prefix + stem + flexion + ending + spare + postfix.
struct TWordformPieces {
    enum EPiece { Prefix, Stem, Flexion, Ending, Spare, Postfix, PieceCount };

    const TAnalysisRecord* Record = nullptr;
    TWCharRange Pieces[PieceCount];
    // The form's grammar beyond the lemma's common grammar; null for the forms of a record
    // without a dictionary.
    const char* FormGrammar = nullptr;

    size_t Length() const;
    TUtf16String Text() const;
    // Units in which the two joined texts agree from the start.
    size_t CommonPrefixLength(const TWordformPieces& other) const;
    bool SameText(const TWordformPieces& other) const;
    bool SameText(const wchar16* text, size_t length) const;
};

class IWordformIterator {
public:
    IWordformIterator() = default;
    IWordformIterator(const IWordformIterator&) = delete;
    IWordformIterator& operator=(const IWordformIterator&) = delete;
    virtual ~IWordformIterator() = default;
    // REQUIRES: IsValid().
    virtual void Next() = 0;
    virtual bool IsValid() const = 0;
    // REQUIRES: IsValid().
    virtual const TWordformPieces& Get() const = 0;
};

// The lemma, then the normalised word when it is not empty and its text differs. The last
// TailLength units of each are the postfix.
class TDefaultWordformIterator final : public IWordformIterator {
public:
    explicit TDefaultWordformIterator(const TAnalysisRecord& record);
    void Next() override;
    bool IsValid() const override { return Current_ != nullptr; }
    const TWordformPieces& Get() const override { return *Current_; }

private:
    TWordformPieces Lemma_;
    TWordformPieces Word_;
    const TWordformPieces* Current_ = nullptr;
};

// The forms of the record's paradigm: variant by variant of its rule, in the order of each
// variant's ending list. A variant's stem is the lemma (less its token tail) cut by the
// variant's letter count, followed by the variant's stem tail. A rule id or a rule record the
// dictionary does not hold gives no forms.
class TBykWordformIterator final : public IWordformIterator {
public:
    TBykWordformIterator(const NByk::TDictionary& dictionary, const TAnalysisRecord& record);
    void Next() override;
    bool IsValid() const override { return Variant_ < VariantCount_; }
    const TWordformPieces& Get() const override { return Pieces_; }

private:
    // Moves to the first form of the first non-empty variant from `variant` on.
    void EnterVariant(uint32_t variant);
    void LoadForm();

    const NByk::TDictionary& Dictionary_;
    const TAnalysisRecord& Record_;
    const unsigned char* Rule_ = nullptr;
    uint32_t VariantCount_ = 0;
    uint32_t Variant_ = 0;
    NByk::TEndingList List_;
    uint32_t Position_ = 0;
    std::u16string Flexion_;  // the variant's stem tail (stored unaligned in the rule)
    std::u16string Ending_;   // the ending forwards (stored backwards)
    TWordformPieces Pieces_;
};

// One generated form: its text, the language, the lengths of its parts, the lemma's common
// grammar and the grammars of every form of that text and split (merged when consecutive).
struct TGeneratedForm {
    TUtf16String Text;
    uint32_t Language = 0;
    uint64_t StemLength = 0;  // stem and flexion
    uint64_t PrefixLength = 0;
    uint64_t PostfixLength = 0;
    const char* CommonGrammar = nullptr;
    std::vector<const char*> Grammars;

    void Clear();
};

class TWordformGenerator {
public:
    // Copies the filter (a dummy filter when null) and prepares it with the record; without a
    // dictionary the record's lemma and word are the forms. A filter that refuses the lemma
    // leaves the generator without forms.
    TWordformGenerator(const TAnalysisRecord& record, const NByk::TDictionary* dictionary,
                       const NLemmer::TGrammarFiltr* filter);
    ~TWordformGenerator();
    TWordformGenerator(const TWordformGenerator&) = delete;
    TWordformGenerator& operator=(const TWordformGenerator&) = delete;

    // Fills `out` with the next accepted form and the grammars of the accepted forms right
    // after it that have the same pieces; false when no form is left.
    bool Next(TGeneratedForm& out);
    // False when the filter refused the lemma.
    bool HasIterator() const { return Iterator_ != nullptr; }

private:
    void SkipRejected();

    std::unique_ptr<NLemmer::TGrammarFiltr> Filter_;
    std::unique_ptr<IWordformIterator> Iterator_;
};
