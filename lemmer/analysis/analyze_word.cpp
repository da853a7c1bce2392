#include "lemmer/analysis/analyze_word.h"

#include "lemmer/analysis/language_registry.h"
#include "lemmer/analysis/prepared_token.h"
#include "lemmer/translit/transliteration.h"

#include <algorithm>
#include <cstring>

namespace {

using NLemmer::TLowerView;
using NLemmer::TPreparedToken;

// Most units a language is given, and most of the written text kept as Source.
constexpr size_t UnitCapacity = 112;
constexpr uint16_t PreferredQuality = 0x8000;
constexpr uint16_t FoundInPreferredDictionary = 0x8003;
constexpr uint32_t EnglishId = 2;
constexpr uint32_t TurkishId = 44;

struct TPassState {
    const TPreparedToken& Token;
    const TAnalyzeWordOptions& Options;
    TAnalysisVector& Out;
    int Pass;
    bool InPreferredList = false;
    uint16_t PartQuality[MAX_TOKEN_PARTS + 1] = {};
};

struct TLanguageContext {
    uint32_t Id;
    const TLanguage* Language;
    uint32_t EffectiveId;
    const TLanguage* Effective;
};

bool InMask(TLangMask mask, uint32_t id) {
    return id >= 1 && id <= 57 && mask.SafeTest(static_cast<int>(id));
}

const TLowerView& ViewFor(const TPreparedToken& token, uint32_t effectiveId) {
    return effectiveId == TurkishId ? token.ViewB : token.ViewA;
}

uint64_t UnitShape(const TPreparedToken& token, size_t firstPart, size_t partCount, bool joined) {
    uint64_t shape = NLemmer::CombineShapes(token.Infos + firstPart, partCount);
    if (joined) {
        shape |= SHAPE_JOINED_UNITS;
    }
    return shape;
}

// Stamps the records [from, end) made for parts [firstPart, firstPart + partCount) and
// attaches the tail when the unit ends at the last part.
void StampUnit(TPassState& s, const TLowerView& view, size_t from, size_t firstPart,
               size_t partCount, bool joined) {
    const TPreparedToken& t = s.Token;
    const TTokenPart& first = t.Parts[firstPart];
    const TTokenPart& last = t.Parts[firstPart + partCount - 1];
    const size_t sourceLength = std::min<size_t>(last.End() - first.Pos, UnitCapacity);
    const uint64_t shape = UnitShape(t, firstPart, partCount, joined);
    const size_t end = s.Out.size();
    for (size_t i = from; i < end; ++i) {
        TAnalysisRecord& r = s.Out[i];
        r.ShapeFlags = shape;
        r.FirstPart = firstPart;
        r.PartCount = partCount;
        SetRecordSourceText(r, t.Text + first.Pos, sourceLength);
    }
    if (firstPart + partCount != view.PartCount || s.Options.TailMode == TM_NONE) {
        return;
    }
    const TTokenPart& vFirst = view.Parts[firstPart];
    const TTokenPart& vLast = view.Parts[firstPart + partCount - 1];
    const size_t rest = std::min<size_t>(view.Text.Size() - vFirst.Pos, UnitCapacity);
    const size_t unit = std::min<size_t>(vLast.End() - vFirst.Pos, UnitCapacity);
    if (rest <= unit) {
        return;
    }
    const wchar16* tail = view.Text.Data() + vFirst.Pos + unit;
    const size_t tailLength = rest - unit;
    if (s.Options.TailMode == TM_APPEND) {
        for (size_t i = from; i < end; ++i) {
            AppendRecordTail(s.Out[i], tail, tailLength);
        }
        return;
    }
    for (size_t i = from; i < end; ++i) {
        const TAnalysisRecord copy = s.Out[i];
        TAnalysisRecord& added = s.Out.emplace_back(copy);
        if (!AppendRecordTail(added, tail, tailLength)) {
            s.Out.pop_back();
        }
    }
}

// A language's analysis of several parts says nothing of each part alone, so it raises none;
// the default language's records (`everyPart`) stand for every part they cover.
void RaiseQualities(TPassState& s, size_t from, bool everyPart) {
    const uint16_t preferred = s.InPreferredList ? PreferredQuality : 0;
    for (size_t i = from; i < s.Out.size(); ++i) {
        const TAnalysisRecord& r = s.Out[i];
        if (r.PartCount >= 2 && !everyPart) {
            continue;
        }
        for (size_t p = r.FirstPart; p < r.FirstPart + r.PartCount && p < MAX_TOKEN_PARTS; ++p) {
            s.PartQuality[p] = std::max<uint16_t>(s.PartQuality[p],
                                                  static_cast<uint16_t>(r.Quality() | preferred));
        }
    }
}

// The view text of parts [first, first + count), cut to what a language is given.
TWCharRange UnitText(const TLowerView& view, size_t first, size_t count) {
    const TTokenPart& a = view.Parts[first];
    const TTokenPart& b = view.Parts[first + count - 1];
    return {view.Text.Data() + a.Pos, std::min<size_t>(b.End() - a.Pos, UnitCapacity)};
}

// Placeholders of the default language, labelled `label`, for the parts still without
// analyses (or for the whole token when it is one unit and no part has any).
void AddDefaultPlaceholders(TPassState& s, uint32_t label, bool onlyUnanalysed) {
    const TLanguage* fallback = LanguageById(0);
    const TLowerView& view = s.Token.ViewA;
    if (fallback == nullptr || view.PartCount == 0) {
        return;
    }
    const TRecognizeOptions options(TRecognizeOptions::Unlimited, RF_PLACEHOLDER,
                                    s.Options.GrammarFilter.c_str(), s.Options.UseRegistry);
    auto one = [&](size_t first, size_t count) {
        const size_t from = s.Out.size();
        const TWCharRange text = UnitText(view, first, count);
        fallback->Recognize(text.Data, text.Length, s.Out, options);
        for (size_t i = from; i < s.Out.size(); ++i) {
            s.Out[i].Language = label;
        }
        StampUnit(s, view, from, first, count, false);
        RaiseQualities(s, from, true);
    };
    if (s.Options.SplitMode == SM_NEVER) {
        const bool none = std::all_of(s.PartQuality, s.PartQuality + view.PartCount,
                                      [](uint16_t q) { return q == 0; });
        if (none || !onlyUnanalysed) {
            one(0, view.PartCount);
        }
        return;
    }
    for (size_t i = 0; i < view.PartCount; ++i) {
        if (!onlyUnanalysed || s.PartQuality[i] == 0) {
            one(i, 1);
        }
    }
}

uint64_t UnitFlags(const TPassState& s, const TLanguageContext& c, size_t splitUnits,
                   uint16_t minimum) {
    const TAnalyzeWordOptions& o = s.Options;
    if (s.Pass != 0) {
        return (InMask(o.FromLatinLanguages, c.Id) ? 1 : 0) |
               (InMask(o.TransliteratedLanguages, c.Id) ? 2 : 0);
    }
    const bool widened = o.LemmaFromWordOutsideMasks && InMask(o.PlaceholderLanguages, c.Id);
    uint64_t flags = InMask(o.DictionaryLanguages, c.Id) || widened ? RF_DICTIONARY : 0;
    if (splitUnits == 1 && minimum != 0x8002) {
        if (InMask(o.SecondDictionaryLanguages, c.Id) || widened) {
            flags |= RF_SECOND_DICTIONARY;
        }
        if (InMask(o.HypothesisLanguages, c.Id) || widened) {
            flags |= RF_HYPOTHESES;
        }
        if (minimum <= PreferredQuality && InMask(o.PlaceholderLanguages, c.Id)) {
            flags |= RF_PLACEHOLDER;
        }
    }
    return flags;
}

// Replaces the lemma of analyses whose kind of lookup the options do not grant the language.
void ApplyLemmaFromWord(TPassState& s, size_t from) {
    const TAnalyzeWordOptions& o = s.Options;
    for (size_t i = from; i < s.Out.size(); ++i) {
        TAnalysisRecord& r = s.Out[i];
        if (!InMask(o.PlaceholderLanguages, r.Language) || (r.Flags & AF_TRANSLIT_MASK) ||
            (r.Flags & AF_PLACEHOLDER)) {
            continue;
        }
        const TLangMask mask = (r.Flags & AF_SECOND_DICTIONARY) ? o.SecondDictionaryLanguages
                               : (r.Flags & AF_HYPOTHESIS)      ? o.HypothesisLanguages
                                                                : o.DictionaryLanguages;
        if (!InMask(mask, r.Language)) {
            SetLemmaFromNormalizedForm(r, true);
        }
    }
}

size_t AnalyzeInLanguage(TPassState& s, const TLanguageContext& c) {
    const TPreparedToken& t = s.Token;
    const TLowerView& view = ViewFor(t, c.EffectiveId);
    const size_t n = view.PartCount;
    const size_t before = s.Out.size();
    if (n == 0) {
        return 0;
    }
    size_t bounds[MAX_TOKEN_PARTS + 1];
    size_t k = 0;
    bounds[0] = 0;
    if (s.Options.SplitMode != SM_NEVER) {
        for (size_t i = 1; i < n; ++i) {
            const TTokenPart& a = view.Parts[i - 1];
            const TTokenPart& b = view.Parts[i];
            if (s.Options.SplitMode == SM_ALWAYS ||
                !InMask(t.Infos[i - 1].Languages, c.EffectiveId) ||
                !InMask(t.Infos[i].Languages, c.EffectiveId) ||
                c.Effective->SplitsBetween(view.Text.Data(), a.Pos, a.Len, b.Pos, b.Len,
                                           s.Pass != 0)) {
                bounds[++k] = i;
            }
        }
    }
    bounds[++k] = n;

    for (size_t j = 0; j < k; ++j) {
        if (!InMask(t.Infos[bounds[j]].Languages, c.EffectiveId)) {
            continue;
        }
        for (size_t len = 1; len <= s.Options.MaxJoinedUnits && j + len <= k; ++len) {
            const size_t firstPart = bounds[j];
            const size_t partCount = bounds[j + len] - firstPart;
            if (!InMask(t.Infos[firstPart + partCount - 1].Languages, c.EffectiveId)) {
                break;
            }
            uint16_t minimum = FoundInPreferredDictionary;
            for (size_t p = firstPart; p < firstPart + partCount; ++p) {
                minimum = std::min(minimum, s.PartQuality[p]);
            }
            if (minimum == FoundInPreferredDictionary) {
                continue;
            }
            const uint64_t flags = UnitFlags(s, c, len, minimum);
            if (flags == 0) {
                continue;
            }
            const TWCharRange text = UnitText(view, firstPart, partCount);
            const size_t from = s.Out.size();
            if (s.Pass == 0) {
                const TRecognizeOptions options(TRecognizeOptions::Unlimited, flags,
                                                s.Options.GrammarFilter.c_str(),
                                                s.Options.UseRegistry);
                c.Language->Recognize(text.Data, text.Length, s.Out, options);
            } else if (s.Pass == 1 && (flags & 2)) {
                const TTranslitLookupFlags lookup{LanguageExclusionFlags(s.Options, c.Id),
                                                  s.Options.GrammarFilter};
                c.Language->RecognizeTransliterated(text.Data, text.Length, s.Out, 4, &lookup);
            } else if (s.Pass == 2 && (flags & 1)) {
                c.Language->RecognizeFromLatin(text.Data, text.Length, s.Out,
                                               TRecognizeOptions::Unlimited,
                                               s.Options.GrammarFilter.c_str());
            }
            StampUnit(s, view, from, firstPart, partCount, len >= 2);
            RaiseQualities(s, from, false);
            if (s.Options.LemmaFromWordOutsideMasks) {
                ApplyLemmaFromWord(s, from);
            }
        }
    }
    return s.Out.size() - before;
}

void AnalyzeId(TPassState& s, uint32_t id) {
    const TLanguage* language = LanguageById(id);
    if (language == nullptr) {
        if (s.Pass == 0 && s.Options.UseDefaultLanguage) {
            AddDefaultPlaceholders(s, id, false);
        }
        return;
    }
    const uint32_t effectiveId = s.Pass == 0 ? id : EnglishId;
    const TLanguage* effective = s.Pass == 2 ? LanguageById(EnglishId) : language;
    AnalyzeInLanguage(s, {id, language, effectiveId, effective != nullptr ? effective : language});
}

void AnalyzeWordPass(TPassState& s, TLangMask candidates, const uint32_t* preferred) {
    const TPreparedToken& t = s.Token;
    if (t.ViewA.Text.Size() == 0 || t.PartCount == 0) {
        return;
    }
    if (s.Pass != 0 && !InMask(t.LanguageUnion, EnglishId)) {
        return;
    }
    TLangMask remaining = candidates;
    if (preferred != nullptr) {
        s.InPreferredList = true;
        for (const uint32_t* p = preferred; *p != 0; ++p) {
            if (!remaining.SafeTest(static_cast<int>(*p))) {
                continue;
            }
            AnalyzeId(s, *p);
            remaining.SafeReset(static_cast<int>(*p));
        }
    }
    s.InPreferredList = false;
    for (uint32_t id = 1; id <= 57; ++id) {
        if (remaining.SafeTest(static_cast<int>(id))) {
            remaining.SafeReset(static_cast<int>(id));
            AnalyzeId(s, id);
        }
    }
    if (s.Pass == 0) {
        AddDefaultPlaceholders(s, 0, true);
    }
}

}  // namespace

bool AppendRecordTail(TAnalysisRecord& r, const wchar16* tail, size_t length) {
    if (r.TailLength != 0) {
        r.LemmaLength -= std::min(r.LemmaLength, r.TailLength);
        r.SourceLength -= std::min(r.SourceLength, r.TailLength);
        r.NormalizedLength -= std::min(r.NormalizedLength, r.TailLength);
        r.Lemma[r.LemmaLength] = 0;
        r.Source[r.SourceLength] = 0;
        r.Normalized[r.NormalizedLength] = 0;
        r.TailLength = 0;
    }
    if (r.LemmaLength + length >= TAnalysisRecord::LemmaCapacity ||
        r.SourceLength + length >= TAnalysisRecord::SourceCapacity ||
        r.NormalizedLength + length >= TAnalysisRecord::NormalizedCapacity) {
        return false;
    }
    auto append = [&](wchar16* text, uint64_t& textLength) {
        std::memcpy(text + textLength, tail, length * sizeof(wchar16));
        textLength += length;
        text[textLength] = 0;
    };
    append(r.Lemma, r.LemmaLength);
    append(r.Source, r.SourceLength);
    append(r.Normalized, r.NormalizedLength);
    r.TailLength = length;
    return true;
}

uint64_t LanguageExclusionFlags(const TAnalyzeWordOptions& o, uint32_t id) {
    if (id < 1 || id > 57) {
        return RF_DICTIONARY | RF_SECOND_DICTIONARY | RF_HYPOTHESES | RF_PLACEHOLDER;
    }
    return (InMask(o.DictionaryLanguages, id) ? 0 : RF_DICTIONARY) |
           (InMask(o.SecondDictionaryLanguages, id) ? 0 : RF_SECOND_DICTIONARY) |
           (InMask(o.HypothesisLanguages, id) ? 0 : RF_HYPOTHESES) |
           (InMask(o.PlaceholderLanguages, id) ? 0 : RF_PLACEHOLDER);
}

size_t AnalyzeWord(const TTokenView& token, TAnalysisVector& out, TLangMask candidates,
                   const uint32_t* preferred, const TAnalyzeWordOptions& options) {
    thread_local TPreparedToken prepared;
    NLemmer::PrepareToken(token, prepared);
    out.clear();
    for (int pass = 0; pass < 3; ++pass) {
        TPassState state{prepared, options, out, pass};
        AnalyzeWordPass(state, candidates, preferred);
    }
    return out.size();
}
