// The morphological analysis of one word token: which runs of the token's parts are analysed as
// one unit in each candidate language, the recognition of every unit, the tail after the last
// part, and placeholders of the default language for parts no language analysed.
//
//     TAnalyzeWordOptions options;               // the defaults of the analyser
//     TAnalysisVector records;
//     AnalyzeWord(token, records, TLangMask(1), nullptr, options);
//
// Records come in the order they were made: pass by pass, preferred languages first, then the
// candidates by ascending id, then the default-language placeholders (Language 0); within a
// language by unit (first split unit, then length). The caller filters, sorts and prints.
#pragma once

#include "lemmer/alphabet/lang_mask.h"
#include "lemmer/record/analysis_record.h"

#include "lemmer/token/token.h"

#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>

enum ETailMode : int32_t {
    TM_COPY = 0,    // keep each analysis and add a copy with the tail
    TM_APPEND = 1,  // append the tail to the analysis itself
    TM_NONE = 2,    // never append tails
};

enum ESplitMode : int32_t {
    SM_BY_RULES = 0,  // split where the part alphabets or the language's rule say
    SM_NEVER = 1,     // the token is one unit
    SM_ALWAYS = 2,    // split between every two parts
};

struct TAnalyzeWordOptions {
    // Most split units one analysed unit may span; 0: no language analyses anything.
    uint64_t MaxJoinedUnits = 3;
    // Grammeme codes every analysis must carry (NUL-terminated; empty: no filter).
    Stroka GrammarFilter;
    int32_t TailMode = TM_APPEND;
    int32_t SplitMode = SM_BY_RULES;
    TLangMask DictionaryLanguages = TLangMask::All();
    TLangMask SecondDictionaryLanguages = TLangMask::All();
    TLangMask HypothesisLanguages = TLangMask::All();
    TLangMask PlaceholderLanguages = TLangMask::All();
    TLangMask FromLatinLanguages;       // pass 2
    TLangMask TransliteratedLanguages;  // pass 1
    bool UseRegistry = true;
    // A requested language without a language object gives placeholders in that language.
    bool UseDefaultLanguage = false;
    // A language in PlaceholderLanguages gets every kind of lookup, and analyses of a kind whose
    // mask lacks it get the word as lemma.
    bool LemmaFromWordOutsideMasks = false;

    // Dictionary words only (the command line's -w): no second dictionary, no hypotheses, no
    // placeholders in any language.
    void DictionaryOnly() {
        SecondDictionaryLanguages.Reset();
        HypothesisLanguages.Reset();
        PlaceholderLanguages.Reset();
    }
};

// Analyses a word token in the languages of `candidates` (and first in `preferred`, a
// 0-terminated id list, or null) into `out`, which is emptied first. Returns out.size().
// Raises "bitset" for a preferred id outside 1 to 57, and what the languages raise.
// Parts beyond the 63rd are merged into the 63rd; parts are clamped to the text.
size_t AnalyzeWord(const TTokenView& token, TAnalysisVector& out, TLangMask candidates,
                   const uint32_t* preferred, const TAnalyzeWordOptions& options);

// Replaces the record's tail: removes an earlier one, then appends `tail` to the lemma, source
// and normalised forms when all three keep room. False, leaving no tail, when one has none.
bool AppendRecordTail(TAnalysisRecord& record, const wchar16* tail, size_t length);

// The lookups a language's mask entries exclude: 4 dictionary, 8 second dictionary,
// 16 hypotheses, 32 placeholder; all four for an id outside 1 to 57.
uint64_t LanguageExclusionFlags(const TAnalyzeWordOptions& options, uint32_t id);
