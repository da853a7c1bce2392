// A slow second reading of the dictionary for tests and fuzzing: what MatchRules and the
// dictionary stage of EvaluateCandidates must give for a word, found by plain scans (every
// sibling looked at, every ending-list entry tried) instead of the matcher's binary searches
// and run expansion, and the properties every hypothesis must have. Compare it with the
// matcher to catch wrong splits, stems, runs or rules, not only crashes.
#pragma once

#include "lemmer/dictionary/dictionary.h"
#include "lemmer/dictionary/rule_matcher.h"
#include "lemmer/dictionary/rule_record.h"
#include "lemmer/grammar/grammeme_table.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace NByk::NOracle {

// A child of ending-tree node `node` with character `ch`, found by looking at every child;
// NoChild when there is none.
inline uint32_t TreeChild(const TCharTree& tree, uint32_t node, uint32_t ch, bool letterOnly) {
    const TCharTreeNode& n = tree.Nodes[node];
    for (uint32_t c = 0; c < n.ChildCount; ++c) {
        const TCharTreeNode& child = tree.Nodes[n.FirstChild + c];
        if (child.Char == ch && !(letterOnly && ch == TCharTreeNode::PrefixMark)) {
            return n.FirstChild + c;
        }
    }
    return TCharTreeNode::NoChild;
}

inline uint32_t StemChild(const TStemBlock& block, uint32_t node, uint32_t ch) {
    const uint64_t word = block.Nodes[node];
    for (uint32_t c = 0; c < NStemNode::ChildCount(word); ++c) {
        if (NStemNode::Char(block.Nodes[NStemNode::FirstChild(word) + c]) == ch) {
            return NStemNode::FirstChild(word) + c;
        }
    }
    return TCharTreeNode::NoChild;
}

// Every division of the word: ending lengths from the shortest, then prefix lengths from the
// shortest; the stem keeps at least one letter. Only the first MaxMatchSplits count.
inline std::vector<TMatchSplit> Splits(const TDictionary& d, const wchar16* word, uint32_t length) {
    std::vector<TMatchSplit> out;
    if (!d.EndingTree || d.EndingTree->Count == 0) {
        return out;
    }
    const TCharTree& tree = *d.EndingTree;
    for (uint32_t e = 0; e < length; ++e) {
        uint32_t node = 0;
        for (uint32_t i = 0; i < e && node != TCharTreeNode::NoChild; ++i) {
            node = TreeChild(tree, node, word[length - 1 - i], true);
        }
        if (node == TCharTreeNode::NoChild) {
            break;
        }
        node = TreeChild(tree, node, TCharTreeNode::PrefixMark, false);
        for (uint32_t p = 0; node != TCharTreeNode::NoChild && p < length - e; ++p) {
            if (tree.Nodes[node].Value != TCharTreeNode::NoValue) {
                out.push_back({p, length - e - p, tree.Nodes[node].Value});
            }
            node =
                p + 1 < length - e ? TreeChild(tree, node, word[p], false) : TCharTreeNode::NoChild;
        }
    }
    if (out.size() > MaxMatchSplits) {
        out.resize(MaxMatchSplits);
    }
    return out;
}

// The stem-block nodes that confirm each split's stem, one per letter, in split order.
inline std::vector<TMatchCandidate> Candidates(const TDictionary& d, const wchar16* word,
                                               const std::vector<TMatchSplit>& splits) {
    std::vector<TMatchCandidate> out;
    if (!d.Alphabet) {
        return out;
    }
    const TAlphabetTupleCodec& a = *d.Alphabet;
    for (const TMatchSplit& s : splits) {
        const uint32_t stemEnd = s.PrefixLength + s.StemLength;
        const uint32_t tuple = std::min(a.TupleLength, s.StemLength);
        uint64_t slot = 0;
        bool letters = true;
        for (uint32_t i = 0; i < tuple; ++i) {
            const uint8_t index = a.Code[word[stemEnd - tuple + i]];
            letters = letters && index != TAlphabetTupleCodec::NoLetter;
            slot = slot * a.LetterCount + index;
        }
        const TStemBlock* block = letters ? d.StemBlock(slot) : nullptr;
        if (!block || block->NodeCount == 0 || NStemNode::Char(block->Nodes[0]) != 0) {
            continue;
        }
        uint32_t node = 0;
        for (uint32_t depth = tuple; out.size() < MaxMatchCandidates; ++depth) {
            out.push_back({s.EndingRange, node, block, stemEnd, s.PrefixLength, depth,
                           s.StemLength - depth, tuple});
            // Unit 0 is no letter: it would name an end-of-stem node.
            if (depth == s.StemLength || word[stemEnd - depth - 1] == 0) {
                break;
            }
            node = StemChild(*block, node, word[stemEnd - depth - 1]);
            if (node == TCharTreeNode::NoChild) {
                break;
            }
        }
    }
    return out;
}

// The rule ids of the stem that ends at a candidate's node.
inline std::vector<uint16_t> StemRules(const TMatchCandidate& c) {
    const uint64_t word = c.Block->Nodes[c.Node];
    if (NStemNode::ChildCount(word) == 0) {
        return {};
    }
    const uint64_t end = c.Block->Nodes[NStemNode::FirstChild(word)];
    if (NStemNode::Char(end) != 0) {
        return {};
    }
    const uint32_t count = NStemNode::RuleIdCount(end);
    if (count == 1) {
        return {NStemNode::InlineRuleId(end)};
    }
    const uint16_t* ids = c.Block->RuleIds + NStemNode::FirstChild(end);
    return std::vector<uint16_t>(ids, ids + count);
}

// One accepted rule, as comparable text: where its lemma ending and common grammar lie in the
// rule record, and the ending-list run.
inline std::string Describe(uint32_t rule, uint32_t candidate, uint32_t runStart, uint32_t runCount,
                            uint32_t cut, const unsigned char* record, const void* lemmaBegin,
                            const void* lemmaEnd, const void* common) {
    const auto at = [record](const void* p) {
        return std::to_string(static_cast<const unsigned char*>(p) - record);
    };
    return std::to_string(rule) + "@" + std::to_string(candidate) + " run " +
           std::to_string(runStart) + "+" + std::to_string(runCount) + " cut " +
           std::to_string(cut) + " lemma " + at(lemmaBegin) + ".." + at(lemmaEnd) + " grammar " +
           at(common);
}

inline std::string Describe(const TDictionary& d, const TMatchResult& r) {
    return Describe(r.RuleId, r.CandidateIndex, r.RunStart, r.RunCount, r.Cut,
                    d.Rules[r.RuleId].Data, r.LemmaEndingBegin, r.LemmaEndingEnd, r.CommonGrammar);
}

// The dictionary stage: the rules of stems that the candidates confirm whole, from the last
// candidate to the first, whose ending list meets the candidate's endings and one of whose
// endings there, with the common grammar, carries every filter grammeme.
inline std::vector<std::string> DictionaryResults(const TDictionary& d,
                                                  const std::vector<TMatchCandidate>& candidates,
                                                  const char* filter) {
    std::vector<std::string> out;
    for (uint32_t ci = static_cast<uint32_t>(candidates.size()); ci-- > 0;) {
        const TMatchCandidate& c = candidates[ci];
        if (c.Unmatched != 0) {
            continue;
        }
        for (uint16_t id : StemRules(c)) {
            if (out.size() == MaxMatchResults) {
                return out;
            }
            if (id >= d.RuleCount || d.Rules[id].Length == 0) {
                continue;
            }
            const unsigned char* r = d.Rules[id].Data;
            const uint16_t listIndex = NRule::EndingListIndex(r, NRule::Variant(r));
            if (listIndex >= d.EndingListCount) {
                continue;
            }
            const TEndingList& list = d.EndingLists[listIndex];
            const uint32_t low = c.EndingRange & 0xFFFF;
            const uint32_t high = c.EndingRange >> 16;
            uint32_t start = 0;
            while (start < list.Count && !(list.Ids[start] >= low && list.Ids[start] < high)) {
                ++start;
            }
            uint32_t count = 0;
            bool passes = false;
            const char* common = reinterpret_cast<const char*>(r + NRule::GrammarOffset(r));
            while (start + count < list.Count && list.Ids[start + count] >= low &&
                   list.Ids[start + count] < high) {
                const char* form = TextOrEmpty(d.Endings[list.Ids[start + count]].FormGrammar);
                bool all = true;
                for (const char* f = filter ? filter : ""; *f; ++f) {
                    all = all && (std::strchr(common, *f) || std::strchr(form, *f));
                }
                passes = passes || all;
                ++count;
            }
            if (count == 0 || !passes) {
                continue;
            }
            const unsigned char* text = r + NRule::TextsBegin(r);
            const uint32_t bytes = NRule::TextEnd(r, 0) - NRule::TextsBegin(r);
            out.push_back(Describe(id, ci, start, count, NRule::Cut(r), r, text,
                                   text + bytes / 2 * 2, common));
        }
    }
    return out;
}

// What is wrong with the matcher's answer for `word` (after MatchRules and EvaluateCandidates
// with `mode` and `filter` gave `verdict`), or an empty text. The splits and candidates must
// be the plain scans' exactly; the dictionary stage's results must be exactly the oracle's;
// a hypothesis must come from a rule allowed for it.
inline std::string Disagreement(const TDictionary& d, const TMatchState& s, uint32_t mode,
                                const char* filter, uint32_t verdict) {
    const uint32_t length = s.Length > 0 ? static_cast<uint32_t>(s.Length) : 0;
    const std::vector<TMatchSplit> splits =
        d.Alphabet ? Splits(d, s.Word, length) : std::vector<TMatchSplit>();
    if (s.SplitCount != splits.size()) {
        return "split count " + std::to_string(s.SplitCount) + ", expected " +
               std::to_string(splits.size());
    }
    for (size_t i = 0; i < splits.size(); ++i) {
        if (std::memcmp(&s.Splits[i], &splits[i], sizeof(TMatchSplit)) != 0) {
            return "split " + std::to_string(i) + " differs";
        }
    }
    const std::vector<TMatchCandidate> candidates = Candidates(d, s.Word, splits);
    if (s.CandidateCount != candidates.size()) {
        return "candidate count " + std::to_string(s.CandidateCount) + ", expected " +
               std::to_string(candidates.size());
    }
    for (size_t i = 0; i < candidates.size(); ++i) {
        const TMatchCandidate& a = s.Candidates[i];
        const TMatchCandidate& b = candidates[i];
        if (a.EndingRange != b.EndingRange || a.Node != b.Node || a.Block != b.Block ||
            a.StemEnd != b.StemEnd || a.StemStart != b.StemStart || a.Depth != b.Depth ||
            a.Unmatched != b.Unmatched || a.TupleLetters != b.TupleLetters) {
            return "candidate " + std::to_string(i) + " differs";
        }
    }
    const std::vector<std::string> dictionary = DictionaryResults(d, candidates, filter);
    if (!dictionary.empty() && (mode & MM_DICTIONARY)) {
        if (verdict != MV_DICTIONARY || s.ResultCount != dictionary.size()) {
            return "verdict " + std::to_string(verdict) + " with " + std::to_string(s.ResultCount) +
                   " results, expected 3 with " + std::to_string(dictionary.size());
        }
        for (size_t i = 0; i < dictionary.size(); ++i) {
            if (Describe(d, s.Results[i]) != dictionary[i]) {
                return "result " + std::to_string(i) + " is " + Describe(d, s.Results[i]) +
                       ", expected " + dictionary[i];
            }
        }
        return "";
    }
    if (verdict == MV_DICTIONARY) {
        return "verdict 3 where the dictionary has nothing to keep";
    }
    if (verdict == MV_NONE && s.ResultCount != 0) {
        return "results with verdict 0";
    }
    if ((verdict == MV_PREFIX_HYPOTHESES && !(mode & MM_PREFIX_HYPOTHESES)) ||
        (verdict == MV_STEM_HYPOTHESES && !(mode & MM_STEM_HYPOTHESES))) {
        return "a hypothesis the mode does not ask for";
    }
    if (verdict != MV_NONE && length < 3) {
        return "a hypothesis for a word shorter than 3 letters";
    }
    for (uint64_t i = 0; i < s.ResultCount; ++i) {
        const TMatchResult& r = s.Results[i];
        const TMatchCandidate& c = s.Candidates[r.CandidateIndex];
        const unsigned char* rule = d.Rules[r.RuleId].Data;
        const char* common = r.CommonGrammar;
        const uint32_t mask = verdict == MV_PREFIX_HYPOTHESES ? POS_MASK_HYPOTHESIS_PREFIX
                              : length <= 4                   ? POS_MASK_HYPOTHESIS_SHORT
                                                              : POS_MASK_HYPOTHESIS_LONG;
        const uint32_t pos = (static_cast<unsigned char>(common[0]) - MinGrammemeCode) & 31;
        if (common[0] == 0 || !((mask >> pos) & 1) || HasBarredGrammeme(common) ||
            c.Depth <= NRule::MinDepth(rule)) {
            return "hypothesis " + std::to_string(i) + " from a rule it may not use";
        }
        if (verdict == MV_STEM_HYPOTHESES && (r.RuleId >= d.RareRuleThreshold ||
                                              c.StemEnd - c.StemStart < 3 || c.TupleLetters < 2)) {
            return "stem hypothesis " + std::to_string(i) + " from a rare rule or a short stem";
        }
        if (verdict == MV_PREFIX_HYPOTHESES) {
            const std::vector<uint16_t> own = StemRules(c);
            if (c.Unmatched == 0 || std::find(own.begin(), own.end(), r.RuleId) == own.end()) {
                return "prefix hypothesis " + std::to_string(i) + " not on its stem";
            }
        }
    }
    return "";
}

}  // namespace NByk::NOracle
