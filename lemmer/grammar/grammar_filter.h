// Grammar filters: which generated wordforms of a lemma a caller wants. A language makes one
// (TLanguage::CreateGrammarFiltr from a clue text, TLanguage::CreateParadigmFiltr from a
// record), the caller prepares it with the record whose lemma is to be inflected, and the
// wordform generator (wordform_generator.h) asks it form by form.
//
//     std::unique_ptr<NLemmer::TGrammarFiltr> f = language.CreateGrammarFiltr(clue);
//     f->SetLemma(record);
//     if (f->IsProperLemma()) ... f->IsProperForm(formGrammar) ...
//
// A filter is a plain value: one thread at a time; Clone() gives an independent copy.
#pragma once

#include "lemmer/record/analysis_record.h"

#include "util/generic/string.h"

#include <memory>
#include <vector>

namespace NLemmer {

class TGrammarFiltr {
public:
    virtual ~TGrammarFiltr() = default;

    // Prepares the filter for the record's lemma. The record is not kept.
    virtual void SetLemma(const TAnalysisRecord& record) = 0;
    // Whether the prepared filter can accept any form.
    virtual bool IsProperLemma() const = 0;
    // Whether a form of that grammar (NUL-terminated grammeme string; null is empty) is wanted.
    virtual bool IsProperForm(const char* formGrammar) const = 0;
    // A new filter of the same class and state, owned by the caller.
    virtual std::unique_ptr<TGrammarFiltr> Clone() const = 0;
};

namespace NDetail {

// Accepts every form once prepared, nothing before.
class TDummyGrammarFiltr final : public TGrammarFiltr {
public:
    void SetLemma(const TAnalysisRecord& record) override;
    bool IsProperLemma() const override { return Prepared_; }
    bool IsProperForm(const char* formGrammar) const override;
    std::unique_ptr<TGrammarFiltr> Clone() const override;

private:
    bool Prepared_ = false;
};

// Accepts the forms that carry every grammeme of some clue that the lemma does not fix
// already. A clue with a grammeme of a category the lemma fixes otherwise (f for a masculine
// noun) is dropped; with every clue dropped the filter accepts nothing.
class TClueGrammarFiltr final : public TGrammarFiltr {
public:
    // The clues are the grammeme strings before the first empty one; with none, one empty clue
    // (which accepts every form).
    explicit TClueGrammarFiltr(const std::vector<Stroka>& clues);

    void SetLemma(const TAnalysisRecord& record) override;
    bool IsProperLemma() const override { return !Targets_.empty(); }
    bool IsProperForm(const char* formGrammar) const override;
    std::unique_ptr<TGrammarFiltr> Clone() const override;

    const std::vector<Stroka>& Clues() const { return Clues_; }
    // What a form must hold, one set per clue kept by the last SetLemma.
    const std::vector<Stroka>& Targets() const { return Targets_; }

private:
    std::vector<Stroka> Clues_;
    std::vector<Stroka> Targets_;
};

}  // namespace NDetail
}  // namespace NLemmer
