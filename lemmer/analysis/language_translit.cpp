// The transliterating recognition of every language: the algorithms of transliteration.h run
// over the language objects, their records and their registry.
#include "lemmer/analysis/language_registry.h"

#include "lemmer/translit/transliteration.h"

#include <array>

namespace {

// A language object seen through the interface the transliteration algorithms use.
class TTranslitView {
public:
    using TRecord = TAnalysisRecord;
    using TRecordVector = TAnalysisVector;

    explicit TTranslitView(const TLanguage* language = nullptr) : Language_(language) {}

    uint32_t Id() const { return Language_->Id(); }
    const TTranslitView* LanguageById(size_t id) const {
        // One view per registered language, made on first use; the registry is complete by then.
        static const std::array<TTranslitView, TRegisteredLanguages::IdCount> views = [] {
            std::array<TTranslitView, TRegisteredLanguages::IdCount> all;
            for (uint32_t i = 0; i < all.size(); ++i) {
                all[i] = TTranslitView(::LanguageById(i));
            }
            return all;
        }();
        return id < views.size() && views[id].Language_ != nullptr ? &views[id] : nullptr;
    }
    const TTranslitTable* GetTranslitTable() const { return Language_->GetTranslitTable(); }
    std::unique_ptr<TUntransliter> CreateUntransliter(const TUtf16String& word) const {
        return Language_->CreateUntransliter(word);
    }
    size_t ClearAndRecognize(const wchar16* text, size_t length, TAnalysisVector& out,
                             const TTranslitRecognizeOptions& o) const {
        TRecognizeOptions options(o.MaxCount != 0 ? o.MaxCount : TRecognizeOptions::Unlimited,
                                  o.Lookup, o.GrammarFilter.c_str(), true);
        options.AlreadyNormalized = o.Normalized;
        return Language_->ClearAndRecognize(text, length, out, options);
    }
    size_t AddUnknownWordAnalysis(const wchar16* text, size_t length, TAnalysisVector& out,
                                  size_t maxResults) const {
        return ::AddUnknownWordAnalysis(text, length, out, maxResults);
    }
    size_t PostProcess(TAnalysisVector& records, size_t start, size_t count,
                       const NLemmer::TNormalizeResult& normalized) const {
        return Language_->PostProcess(records, start, start + count, normalized);
    }

    static uint32_t Flags(const TAnalysisRecord& r) { return r.Flags; }
    static void SetFlags(TAnalysisRecord& r, uint32_t flags) { r.Flags = flags; }
    static void SetLanguage(TAnalysisRecord& r, uint32_t id) { r.Language = id; }
    static void SetSource(TAnalysisRecord& r, const wchar16* text, size_t length) {
        SetRecordSourceText(r, text, length);
    }
    static void SetNormalized(TAnalysisRecord& r, const wchar16* text, size_t length) {
        SetRecordText(r, text, length);
    }
    static void SetTranslatedLemma(TAnalysisRecord& r, const wchar16* text, size_t length) {
        SetRecordLemma(r, text, length, 0, 0, 0, TranslationCommonGrammar);
        if (r.FormGrammarCount < TAnalysisRecord::MaxFormGrammars) {
            r.FormGrammars[r.FormGrammarCount++] = "";
        }
    }
    static void SetLemmaFromNormalizedForm(TAnalysisRecord& r) {
        ::SetLemmaFromNormalizedForm(r, true);
    }
    static TWCharRange Lemma(const TAnalysisRecord& r) { return r.LemmaText(); }
    static TWCharRange Source(const TAnalysisRecord& r) { return r.SourceText(); }
    static TWCharRange Normalized(const TAnalysisRecord& r) { return r.NormalizedText(); }
    static bool RecordLess(const TAnalysisRecord& a, const TAnalysisRecord& b) {
        return AnalysisRecordLess(a, b);
    }

private:
    const TLanguage* Language_;
};

static_assert(CTranslitLanguage<TTranslitView>);

}  // namespace

size_t TLanguage::RecognizeFromLatin(const wchar16* word, size_t length, TAnalysisVector& out,
                                     size_t maxResults, const char*) const {
    return ::RecognizeFromLatin(TTranslitView(this), word, length, out, maxResults);
}

size_t TLanguage::RecognizeToLatin(const wchar16* word, size_t length, TAnalysisVector& out,
                                   size_t maxResults, const char*) const {
    return ::RecognizeToLatin(TTranslitView(this), word, length, out, maxResults);
}

size_t TLanguage::RecognizeTransliterated(const wchar16* word, size_t length, TAnalysisVector& out,
                                          size_t maxResults,
                                          const TTranslitLookupFlags* lookup) const {
    return ::RecognizeTransliterated(TTranslitView(this), word, length, out, maxResults, lookup);
}

std::unique_ptr<TUntransliter> TLanguage::CreateUntransliter(const TUtf16String&) const {
    return nullptr;
}

const TTranslitTable* TLanguage::GetTranslitTable() const {
    return nullptr;
}
