#include "lemmer/grammar/grammar_filter.h"

#include "lemmer/grammar/grammeme_table.h"

#include <cstring>

namespace NLemmer::NDetail {

void TDummyGrammarFiltr::SetLemma(const TAnalysisRecord&) {
    Prepared_ = true;
}

bool TDummyGrammarFiltr::IsProperForm(const char*) const {
    return Prepared_;
}

std::unique_ptr<TGrammarFiltr> TDummyGrammarFiltr::Clone() const {
    return std::make_unique<TDummyGrammarFiltr>(*this);
}

TClueGrammarFiltr::TClueGrammarFiltr(const std::vector<Stroka>& clues) {
    for (const Stroka& clue : clues) {
        if (clue.empty()) {
            break;
        }
        Clues_.push_back(clue);
    }
    if (Clues_.empty()) {
        Clues_.emplace_back();
    }
}

namespace {

enum class EClueGrammeme { Fixed, Contradicts, Wanted };

// How the lemma's grammar stands to one grammeme of a clue: the first lemma grammeme of the
// same category decides; grammemes of no category decide only by being equal.
EClueGrammeme Compare(unsigned char g, const unsigned char* lemma, const TGrammemeTable& table) {
    const uint32_t mask = table.GetCategoryMask(g);
    for (; *lemma; ++lemma) {
        if (table.GetCategoryMask(*lemma) != mask) {
            continue;
        }
        if (*lemma == g) {
            return EClueGrammeme::Fixed;
        }
        if (mask != 0) {
            return EClueGrammeme::Contradicts;
        }
    }
    return EClueGrammeme::Wanted;
}

}  // namespace

void TClueGrammarFiltr::SetLemma(const TAnalysisRecord& record) {
    Targets_.clear();
    const TGrammemeTable& table = TGrammemeTable::Instance();
    const auto* lemma =
        reinterpret_cast<const unsigned char*>(record.CommonGrammar ? record.CommonGrammar : "");
    for (const Stroka& clue : Clues_) {
        Stroka target;
        bool dropped = false;
        for (char c : clue) {
            const auto g = static_cast<unsigned char>(c);
            const EClueGrammeme how = Compare(g, lemma, table);
            if (how == EClueGrammeme::Contradicts) {
                dropped = true;
                break;
            }
            if (how == EClueGrammeme::Wanted) {
                target.append(&c, 1);
            }
        }
        if (!dropped) {
            Targets_.push_back(target);
        }
    }
}

bool TClueGrammarFiltr::IsProperForm(const char* formGrammar) const {
    const bool emptyForm = formGrammar == nullptr || *formGrammar == 0;
    for (const Stroka& target : Targets_) {
        if (target.empty()) {
            return true;
        }
        if (emptyForm) {
            continue;
        }
        bool all = true;
        for (char g : target) {
            if (std::strchr(formGrammar, g) == nullptr) {
                all = false;
                break;
            }
        }
        if (all) {
            return true;
        }
    }
    return false;
}

std::unique_ptr<TGrammarFiltr> TClueGrammarFiltr::Clone() const {
    return std::make_unique<TClueGrammarFiltr>(*this);
}

}  // namespace NLemmer::NDetail
