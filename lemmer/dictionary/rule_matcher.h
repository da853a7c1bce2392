// The rule matcher: how a normalised word divides into prefix, stem and ending by one
// dictionary, which rules accept the division, and, for a word the dictionary lacks, which rules
// of similar dictionary words may serve as hypotheses.
//
//     NByk::TMatchState state;            // large (about 20 KB): keep one and reuse it
//     state.Word = word; state.Length = length;
//     if (NByk::MatchRules(dictionary, state)) {
//         uint32_t verdict = NByk::EvaluateCandidates(dictionary, state, mode, filter);
//         for (uint64_t i = 0; i < state.ResultCount; ++i) ... state.Results[i] ...
//     }
//
// The matcher allocates nothing and raises nothing: all its work is in the caller's state, and
// limits cut silently (32 splits, 128 candidates, 128 results). It reads a loaded or a compiled
// dictionary alike; a loaded one has passed the loader's checks, so no input word can make it
// read outside the tables. Any number of threads may match over one dictionary, each with its
// own state.
#pragma once

#include "lemmer/dictionary/dictionary.h"

#include <cstddef>
#include <cstdint>

namespace NByk {

inline constexpr uint32_t MaxMatchSplits = 32;
inline constexpr uint32_t MaxMatchCandidates = 128;
inline constexpr uint32_t MaxMatchResults = 128;
// Deepest stem-tree level that hypothesis collection descends to below a candidate.
inline constexpr uint32_t MaxHypothesisDepth = 256;
// Rule ids are 16-bit: room for the rule bits of any dictionary.
inline constexpr uint32_t MaxRules = 65536;

// Mode bits of EvaluateCandidates.
enum EMatchMode : uint32_t {
    MM_DICTIONARY = 1,         // keep dictionary results
    MM_PREFIX_HYPOTHESES = 2,  // hypotheses on a known word beginning
    MM_STEM_HYPOTHESES = 4,    // hypotheses from rules of similar stems
};

// Verdicts of EvaluateCandidates.
enum EMatchVerdict : uint32_t {
    MV_NONE = 0,
    MV_STEM_HYPOTHESES = 1,
    MV_PREFIX_HYPOTHESES = 2,
    MV_DICTIONARY = 3,
};

// A division of the word: prefix, stem, and the packed range of ending ids the rest spells.
struct TMatchSplit {
    uint32_t PrefixLength;
    uint32_t StemLength;
    uint32_t EndingRange;  // [low 16 bits, high 16 bits)
};

// A stem-block node that confirms the end of a split's stem.
struct TMatchCandidate {
    uint32_t EndingRange;
    uint32_t Node;
    const TStemBlock* Block;
    uint32_t StemEnd;       // prefix length + stem length
    uint32_t StemStart;     // prefix length
    uint32_t Depth;         // stem letters confirmed from its end, the tuple letters included
    uint32_t Unmatched;     // stem length - depth
    uint32_t TupleLetters;  // min(tuple length, stem length)
};

// A rule that accepts a candidate.
struct TMatchResult {
    // The run of the rule's ending list whose entries lie in the candidate's ending range.
    uint32_t RunStart;
    uint32_t RunCount;
    // The lemma's ending (UTF-16 units, possibly unaligned: copy with CopyLemmaEnding).
    const unsigned char* LemmaEndingBegin;
    const unsigned char* LemmaEndingEnd;
    const char* CommonGrammar;  // NUL-terminated, first byte the part of speech
    uint32_t Cut;               // stem letters the lemma drops before its ending
    uint32_t RuleId;
    uint32_t EndingListIndex;
    uint32_t CandidateIndex;

    size_t LemmaEndingLength() const { return (LemmaEndingEnd - LemmaEndingBegin) / 2; }
};

// One lookup's work space, owned by the caller. The caller sets Word and Length; MatchRules
// fills the splits and candidates, EvaluateCandidates the results.
struct TMatchState {
    const wchar16* Word = nullptr;
    int32_t Length = 0;  // a negative length counts as 0
    uint32_t CandidateCount = 0;
    uint64_t ResultCount = 0;
    uint32_t SplitCount = 0;
    TMatchSplit Splits[MaxMatchSplits];
    TMatchCandidate Candidates[MaxMatchCandidates];
    TMatchResult Results[MaxMatchResults];
    // One bit per rule of the dictionary (only the first RuleCount bits are used): tries each
    // rule once per candidate while similar stems are collected.
    uint64_t RuleBits[MaxRules / 64];
    // The path of the hypothesis walk: next and end child of each open node.
    uint32_t WalkNext[MaxHypothesisDepth];
    uint32_t WalkEnd[MaxHypothesisDepth];
};

// Fills the splits and the candidates of state.Word; sets the result count to 0; returns the
// candidate count.
uint32_t MatchRules(const TDictionary& dictionary, TMatchState& state);

// Fills the results from the candidates (mode: EMatchMode bits). `filter` is a NUL-terminated
// string of grammeme codes (null or empty: none) that each result must carry in its common
// grammar or in the form grammar of one of its endings. Returns an EMatchVerdict.
uint32_t EvaluateCandidates(const TDictionary& dictionary, TMatchState& state, uint32_t mode,
                            const char* filter);

// Copies a result's lemma ending into `out` (room for LemmaEndingLength() units); returns the
// units copied.
size_t CopyLemmaEnding(const TMatchResult& result, wchar16* out);

// The ending ids of a result: `count` ids from the returned pointer. Their form grammars are
// dictionary.Endings[id].FormGrammar.
const uint16_t* ResultEndingIds(const TDictionary& dictionary, const TMatchResult& result,
                                uint32_t* count);

// How many walks below stem nodes the dictionary's memo keeps (rule lists and result lists).
size_t HypothesisMemoEntries(const TDictionary& dictionary);

// Whether a grammar string holds a grammeme that bars a rule or an ending from hypotheses:
// 144 "reserved", 145 "abbr", 146 "irreg", 151 "rare", 152 "awkw". Null holds none.
bool HasBarredGrammeme(const char* grammar);

}  // namespace NByk
