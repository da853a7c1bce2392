// The analysis record: one analysis of one word (or segment of a token) in one language, as
// recognition appends it to a TAnalysisVector. A record is a plain, fixed-size value: it owns
// nothing, is copied byte for byte, and its grammar pointers point into a loaded dictionary's
// tables, which live as long as the process.
//
//     TAnalysisVector records;
//     LanguageById(1)->Recognize(word, length, records, TRecognizeOptions(...));
//     for (const TAnalysisRecord& r : records) ... r.Lemma, r.CommonGrammar, r.FormGrammars ...
#pragma once

#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <type_traits>
#include <vector>

// How an analysis was obtained (TAnalysisRecord::Flags). One of the lookup values (0 main
// dictionary, 1 or 5 hypothesis, 2 or 6 second dictionary, 8 placeholder) plus any later bit.
enum EAnalysisFlags : uint32_t {
    AF_HYPOTHESIS = 0x1,
    AF_SECOND_DICTIONARY = 0x2,
    AF_KNOWN_BEGINNING = 0x4,  // with 1: the word begins like a known word; with 2: see above
    AF_PLACEHOLDER = 0x8,
    AF_RARE_FORM = 0x10,
    AF_FROM_LATIN = 0x10000,
    AF_TO_LATIN = 0x20000,
    AF_TRANSLITERATED = 0x40000,
    AF_LEMMA_FROM_WORD = 0x100000,
    AF_REGISTRY_DICTIONARY = 0x1000000,
};
inline constexpr uint32_t AF_TRANSLIT_MASK = AF_FROM_LATIN | AF_TO_LATIN | AF_TRANSLITERATED;
// The bits that make the printer show the lemma as a hypothesis ("?").
inline constexpr uint32_t AF_NOT_FROM_DICTIONARY =
    AF_HYPOTHESIS | AF_SECOND_DICTIONARY | AF_PLACEHOLDER;

// ShapeFlags bit of a segment that spans several split units of its token.
inline constexpr uint64_t SHAPE_JOINED_UNITS = 0x400;

struct TAnalysisRecord {
    static constexpr size_t LemmaCapacity = 56;       // 55 units and a NUL
    static constexpr size_t SourceCapacity = 112;     // 111 units and a NUL
    static constexpr size_t NormalizedCapacity = 56;  // 55 units and a NUL
    static constexpr size_t MaxFormGrammars = 36;

    wchar16 Lemma[LemmaCapacity];
    uint64_t LemmaLength;
    // Units of the token tail appended to Lemma, Source and Normalized; 0 when none.
    uint64_t TailLength;
    uint32_t Language;  // 0: the default language
    uint32_t RuleId;    // 0 for placeholders
    uint32_t Flags;     // EAnalysisFlags
    uint32_t StemDepth;
    // Grammar shared by all forms of the lemma, first byte the part of speech; "" for
    // placeholders, null only before the record is filled.
    const char* CommonGrammar;
    const char* FormGrammars[MaxFormGrammars];
    uint64_t FormGrammarCount;
    uint64_t StemStart;     // prefix length of the normalised word before the stem
    uint64_t EndingLength;  // units of the normalised word after the stem
    wchar16 Source[SourceCapacity];
    uint64_t SourceLength;
    wchar16 Normalized[NormalizedCapacity];
    uint64_t NormalizedLength;
    uint64_t ShapeFlags;
    uint64_t FirstPart;
    uint64_t PartCount;
    // Up to two further grammeme codes, NUL-terminated (for example obsol).
    char ExtraGrammemes[3];

    TAnalysisRecord() { Init(); }
    // Every field as after construction.
    void Init();

    TWCharRange LemmaText() const { return {Lemma, LemmaLength}; }
    TWCharRange SourceText() const { return {Source, SourceLength}; }
    TWCharRange NormalizedText() const { return {Normalized, NormalizedLength}; }

    // Quality the analysis passes rate a record with: 1 placeholder, 2 hypothesis or second
    // dictionary, 3 main dictionary.
    uint16_t Quality() const;
};
static_assert(std::is_trivially_copyable_v<TAnalysisRecord>);

// Recognition only appends; the caller clears.
using TAnalysisVector = std::vector<TAnalysisRecord>;

// Options of one recognition call.
inline constexpr uint64_t RF_DICTIONARY = 4;         // main (and registry) dictionary
inline constexpr uint64_t RF_SECOND_DICTIONARY = 8;  // also the second dictionary
inline constexpr uint64_t RF_HYPOTHESES = 16;        // hypotheses for unknown words
inline constexpr uint64_t RF_PLACEHOLDER = 32;       // a placeholder when nothing was found

struct TRecognizeOptions {
    static constexpr uint64_t Unlimited = ~uint64_t(0);

    uint64_t MaxResults = Unlimited;  // 0: not even a placeholder
    uint64_t Flags = 0;               // RF_* bits
    const char* GrammarFilter = "";   // NUL-terminated; "" is no filter
    bool UseRegistry = true;          // consult the registry's additional dictionary
    bool AlreadyNormalized = false;

    TRecognizeOptions() = default;
    TRecognizeOptions(uint64_t maxResults, uint64_t flags, const char* grammarFilter,
                      bool useRegistry)
        : MaxResults(maxResults),
          Flags(flags),
          GrammarFilter(grammarFilter != nullptr ? grammarFilter : ""),
          UseRegistry(useRegistry) {}
};

// Copies at most 55 units as the lemma and sets the four match fields.
void SetRecordLemma(TAnalysisRecord& record, const wchar16* text, size_t length, uint32_t ruleId,
                    size_t stemStart, size_t endingLength, const char* commonGrammar);
void SetRecordMatch(TAnalysisRecord& record, uint32_t ruleId, size_t stemStart, size_t endingLength,
                    const char* commonGrammar);
// At most 111 units into Source.
void SetRecordSourceText(TAnalysisRecord& record, const wchar16* text, size_t length);
// At most 55 units into Normalized.
void SetRecordText(TAnalysisRecord& record, const wchar16* text, size_t length);
// Makes the lemma the normalised form (renormalised by the record language's convert, hook and
// alphabet steps when `renormalise` and that result is valid); sets AF_LEMMA_FROM_WORD when the
// lemma changes.
void SetLemmaFromNormalizedForm(TAnalysisRecord& record, bool renormalise);

// Strict order: lemma units (unsigned; a prefix first), then language, then rule id.
bool AnalysisRecordLess(const TAnalysisRecord& a, const TAnalysisRecord& b);
struct TAnalysisRecordLess {
    bool operator()(const TAnalysisRecord& a, const TAnalysisRecord& b) const {
        return AnalysisRecordLess(a, b);
    }
};

// Records ordered by AnalysisRecordLess; operator[] inserts a zero value.
template <class TValue>
using TAnalysisMap = std::map<TAnalysisRecord, TValue, TAnalysisRecordLess>;

// Empties `out` and collects the first record of every distinct lemma of [begin, end) in
// order; returns the count.
size_t CollectDistinctLemmas(const TAnalysisRecord* begin, const TAnalysisRecord* end,
                             std::vector<const TAnalysisRecord*>& out);

// True when the grammeme string (NUL-terminated; null is empty) holds `code`.
bool GrammarHas(const char* grammar, unsigned char code);
