#include "lemmer/generation/wordform_generator.h"

#include "lemmer/dictionary/rule_record.h"

#include <algorithm>
#include <cstring>

size_t TWordformPieces::Length() const {
    size_t n = 0;
    for (const TWCharRange& p : Pieces) {
        n += p.Length;
    }
    return n;
}

TUtf16String TWordformPieces::Text() const {
    TUtf16String text;
    for (const TWCharRange& p : Pieces) {
        if (p.Length) {
            text.append(p.Data, p.Length);
        }
    }
    return text;
}

namespace {

// Walks the joined text of some pieces unit by unit.
class TPieceCursor {
public:
    explicit TPieceCursor(const TWCharRange* pieces) : Pieces_(pieces) { SkipEmpty(); }
    bool AtEnd() const { return Piece_ == TWordformPieces::PieceCount; }
    wchar16 Unit() const { return Pieces_[Piece_].Data[Offset_]; }
    void Advance() {
        ++Offset_;
        SkipEmpty();
    }

private:
    void SkipEmpty() {
        while (Piece_ < TWordformPieces::PieceCount && Offset_ >= Pieces_[Piece_].Length) {
            ++Piece_;
            Offset_ = 0;
        }
    }

    const TWCharRange* Pieces_;
    size_t Piece_ = 0;
    size_t Offset_ = 0;
};

}  // namespace

size_t TWordformPieces::CommonPrefixLength(const TWordformPieces& other) const {
    TPieceCursor a(Pieces);
    TPieceCursor b(other.Pieces);
    size_t n = 0;
    for (; !a.AtEnd() && !b.AtEnd() && a.Unit() == b.Unit(); a.Advance(), b.Advance()) {
        ++n;
    }
    return n;
}

bool TWordformPieces::SameText(const TWordformPieces& other) const {
    const size_t n = Length();
    return n == other.Length() && CommonPrefixLength(other) == n;
}

bool TWordformPieces::SameText(const wchar16* text, size_t length) const {
    if (Length() != length) {
        return false;
    }
    size_t i = 0;
    for (TPieceCursor c(Pieces); !c.AtEnd(); c.Advance(), ++i) {
        if (c.Unit() != text[i]) {
            return false;
        }
    }
    return true;
}

namespace {

TWordformPieces SplitTail(const TAnalysisRecord& record, const wchar16* text, size_t length) {
    TWordformPieces p;
    p.Record = &record;
    const size_t tail = std::min<uint64_t>(record.TailLength, length);
    p.Pieces[TWordformPieces::Stem] = {text, length - tail};
    p.Pieces[TWordformPieces::Postfix] = {text + length - tail, tail};
    return p;
}

}  // namespace

TDefaultWordformIterator::TDefaultWordformIterator(const TAnalysisRecord& record)
    : Lemma_(SplitTail(record, record.Lemma, record.LemmaLength)),
      Word_(SplitTail(record, record.Normalized, record.NormalizedLength)) {
    if (record.LemmaLength != 0) {
        Current_ = &Lemma_;
    } else if (record.NormalizedLength != 0) {
        Current_ = &Word_;
    }
}

void TDefaultWordformIterator::Next() {
    // A record without a normalised word gives no empty form.
    if (Current_ == &Lemma_ && Word_.Length() != 0 && !Lemma_.SameText(Word_)) {
        Current_ = &Word_;
    } else {
        Current_ = nullptr;
    }
}

TBykWordformIterator::TBykWordformIterator(const NByk::TDictionary& dictionary,
                                           const TAnalysisRecord& record)
    : Dictionary_(dictionary), Record_(record) {
    Pieces_.Record = &record;
    if (record.RuleId < dictionary.RuleCount) {
        const NByk::TRuleRecord& rule = dictionary.Rules[record.RuleId];
        // A record that does not hold together gives no forms rather than reads past its end.
        if (rule.Data != nullptr &&
            NByk::NRule::CheckRecord(rule.Data, rule.Length, dictionary.EndingListCount) ==
                nullptr) {
            Rule_ = rule.Data;
            VariantCount_ = NByk::NRule::Variants(Rule_);
        }
    }
    const size_t base = record.LemmaLength - std::min(record.TailLength, record.LemmaLength);
    Pieces_.Pieces[TWordformPieces::Postfix] = {record.Lemma + base, record.LemmaLength - base};
    EnterVariant(0);
}

void TBykWordformIterator::EnterVariant(uint32_t variant) {
    using namespace NByk::NRule;
    for (Variant_ = variant; Variant_ < VariantCount_; ++Variant_) {
        List_ = Dictionary_.EndingLists[EndingListIndex(Rule_, Variant_)];
        if (List_.Count != 0) {
            break;
        }
    }
    if (Variant_ >= VariantCount_) {
        return;
    }
    const uint32_t n = VariantCount_;
    const uint32_t begin = TextEnd(Rule_, Variant_);
    const uint32_t end = Variant_ + 1 < n ? TextEnd(Rule_, Variant_ + 1) : GrammarOffset(Rule_);
    Flexion_.resize((end - begin) / 2);
    std::memcpy(Flexion_.data(), Rule_ + begin, Flexion_.size() * sizeof(wchar16));
    const size_t cut = Rule_[4 + 2 * n + Variant_];
    const size_t base = Pieces_.Pieces[TWordformPieces::Postfix].Data - Record_.Lemma;
    Pieces_.Pieces[TWordformPieces::Stem] = {Record_.Lemma, base - std::min(cut, base)};
    Pieces_.Pieces[TWordformPieces::Flexion] = {Flexion_.data(), Flexion_.size()};
    Position_ = 0;
    LoadForm();
}

void TBykWordformIterator::LoadForm() {
    const uint16_t id = List_.Ids[Position_];
    NByk::TEndingRecord ending;
    if (id < Dictionary_.EndingCount) {
        ending = Dictionary_.Endings[id];
    }
    const wchar16* prefix = NByk::TextOrEmpty(ending.Prefix);
    const wchar16* backwards = NByk::TextOrEmpty(ending.Ending);
    Ending_.assign(backwards, TCharTraits<wchar16>::GetLength(backwards));
    std::reverse(Ending_.begin(), Ending_.end());
    Pieces_.Pieces[TWordformPieces::Prefix] = {prefix, TCharTraits<wchar16>::GetLength(prefix)};
    Pieces_.Pieces[TWordformPieces::Ending] = {Ending_.data(), Ending_.size()};
    Pieces_.FormGrammar = ending.FormGrammar;
}

void TBykWordformIterator::Next() {
    if (++Position_ < List_.Count) {
        LoadForm();
    } else {
        EnterVariant(Variant_ + 1);
    }
}

void TGeneratedForm::Clear() {
    Text = TUtf16String();
    Language = 0;
    StemLength = PrefixLength = PostfixLength = 0;
    CommonGrammar = nullptr;
    Grammars.clear();
}

TWordformGenerator::TWordformGenerator(const TAnalysisRecord& record,
                                       const NByk::TDictionary* dictionary,
                                       const NLemmer::TGrammarFiltr* filter)
    : Filter_(filter ? filter->Clone() : std::make_unique<NLemmer::NDetail::TDummyGrammarFiltr>()) {
    Filter_->SetLemma(record);
    if (!Filter_->IsProperLemma()) {
        return;
    }
    if (dictionary != nullptr) {
        Iterator_ = std::make_unique<TBykWordformIterator>(*dictionary, record);
    } else {
        Iterator_ = std::make_unique<TDefaultWordformIterator>(record);
    }
    SkipRejected();
}

TWordformGenerator::~TWordformGenerator() = default;

void TWordformGenerator::SkipRejected() {
    while (Iterator_->IsValid() && !Filter_->IsProperForm(Iterator_->Get().FormGrammar)) {
        Iterator_->Next();
    }
}

bool TWordformGenerator::Next(TGeneratedForm& out) {
    if (!Iterator_ || !Iterator_->IsValid()) {
        return false;
    }
    using P = TWordformPieces;
    const TWordformPieces& form = Iterator_->Get();
    out.Clear();
    out.Text = form.Text();
    out.Language = form.Record->Language;
    out.StemLength = form.Pieces[P::Stem].Length + form.Pieces[P::Flexion].Length;
    out.PrefixLength = form.Pieces[P::Prefix].Length;
    out.PostfixLength = form.Pieces[P::Postfix].Length;
    out.CommonGrammar = form.Record->CommonGrammar;
    if (form.FormGrammar != nullptr) {
        out.Grammars.push_back(form.FormGrammar);
    }
    // The pieces of the form just filled: their lengths and the joined text (the iterator's
    // views do not outlive the move).
    size_t lengths[P::PieceCount];
    for (size_t i = 0; i < P::PieceCount; ++i) {
        lengths[i] = form.Pieces[i].Length;
    }
    auto samePieces = [&](const TWordformPieces& next) {
        for (size_t i = 0; i < P::PieceCount; ++i) {
            if (next.Pieces[i].Length != lengths[i]) {
                return false;
            }
        }
        return next.SameText(out.Text.data(), out.Text.size());
    };
    Iterator_->Next();
    SkipRejected();
    while (Iterator_->IsValid() && samePieces(Iterator_->Get())) {
        if (Iterator_->Get().FormGrammar != nullptr) {
            out.Grammars.push_back(Iterator_->Get().FormGrammar);
        }
        Iterator_->Next();
        SkipRejected();
    }
    return true;
}
