// The rule matcher: endings from the ending tree, stems from the stem blocks, rules from the
// rule table, all inside the caller's state.
#include "lemmer/dictionary/rule_matcher.h"

#include "lemmer/dictionary/hypothesis_memo.h"
#include "lemmer/dictionary/rule_record.h"
#include "lemmer/grammar/grammeme_table.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace NByk {

namespace {

// Walks shorter than this many nodes are cheaper to repeat than to look up.
constexpr uint32_t MemoWalkLength = 16;

constexpr uint32_t NotFound = ~uint32_t(0);
constexpr uint32_t ShortestHypothesisWord = 3;
constexpr uint32_t ShortestHypothesisStem = 3;

struct TBarredTable {
    bool Barred[256] = {};
    TBarredTable() {
        for (unsigned code : {144u, 145u, 146u, 151u, 152u}) {
            Barred[code] = true;
        }
    }
};
const TBarredTable BarredGrammemes;

bool InMask(uint32_t mask, char code) {
    return (mask >> ((uint32_t(static_cast<unsigned char>(code)) - MinGrammemeCode) & 31)) & 1;
}

// Binary search of the ending-tree nodes [begin, end) for a character.
uint32_t FindTreeChild(const TCharTreeNode* nodes, uint32_t begin, uint32_t end, uint16_t ch) {
    if (end - begin <= 8) {
        for (; begin < end; ++begin) {
            if (nodes[begin].Char >= ch) {
                return nodes[begin].Char == ch ? begin : NotFound;
            }
        }
        return NotFound;
    }
    while (begin < end) {
        const uint32_t mid = begin + (end - begin) / 2;
        if (nodes[mid].Char < ch) {
            begin = mid + 1;
        } else if (nodes[mid].Char > ch) {
            end = mid;
        } else {
            return mid;
        }
    }
    return NotFound;
}

uint32_t FindStemChild(const uint64_t* nodes, uint32_t begin, uint32_t end, uint16_t ch) {
    // Most nodes have few children, and a scan of adjacent words costs less than the
    // mispredicted branches of a search.
    if (end - begin <= 12) {
        for (; begin < end; ++begin) {
            const uint16_t c = NStemNode::Char(nodes[begin]);
            if (c >= ch) {
                return c == ch ? begin : NotFound;
            }
        }
        return NotFound;
    }
    while (begin < end) {
        const uint32_t mid = begin + (end - begin) / 2;
        const uint16_t c = NStemNode::Char(nodes[mid]);
        if (c < ch) {
            begin = mid + 1;
        } else if (c > ch) {
            end = mid;
        } else {
            return mid;
        }
    }
    return NotFound;
}

// Below a prefix mark, the word's first letters spell prefixes; each valued node is a split.
uint32_t FindPrefixes(const TCharTreeNode* nodes, uint32_t node, const wchar16* word,
                      uint32_t remaining, TMatchSplit* out, uint32_t room) {
    uint32_t written = 0;
    for (uint32_t p = 0;; ++p) {
        const TCharTreeNode& n = nodes[node];
        if (n.Value != TCharTreeNode::NoValue) {
            if (written == room) {
                break;
            }
            out[written++] = {p, remaining - p, n.Value};
        }
        // A longer prefix must still leave one stem letter.
        if (p + 1 >= remaining || n.ChildCount == 0) {
            break;
        }
        node = FindTreeChild(nodes, n.FirstChild, n.FirstChild + n.ChildCount, word[p]);
        if (node == NotFound) {
            break;
        }
    }
    return written;
}

// Walks the ending tree from the word's last letter; shortest ending first.
uint32_t FindEndings(const TCharTree* tree, const wchar16* word, uint32_t length,
                     TMatchSplit* splits) {
    if (!tree || tree->Count == 0 || length == 0) {
        return 0;
    }
    const TCharTreeNode* nodes = tree->Nodes;
    uint32_t count = 0;
    uint32_t node = 0;
    for (uint32_t consumed = 0;; ++consumed) {
        const TCharTreeNode& n = nodes[node];
        if (n.ChildCount == 0) {
            break;
        }
        const uint32_t begin = n.FirstChild;
        uint32_t end = begin + n.ChildCount;
        if (nodes[end - 1].Char == TCharTreeNode::PrefixMark) {
            --end;
            count += FindPrefixes(nodes, end, word, length - consumed, splits + count,
                                  MaxMatchSplits - count);
        }
        // The stem keeps at least the word's first letter.
        if (length - consumed == 1) {
            break;
        }
        node = FindTreeChild(nodes, begin, end, word[length - 1 - consumed]);
        if (node == NotFound) {
            break;
        }
    }
    return count;
}

class TMatcher {
public:
    TMatcher(const TDictionary& dictionary, TMatchState& state)
        : D_(dictionary), S_(state), Length_(state.Length > 0 ? uint32_t(state.Length) : 0) {}

    uint32_t Match() {
        S_.CandidateCount = 0;
        S_.ResultCount = 0;
        S_.SplitCount = 0;
        if (!D_.Alphabet) {
            return 0;
        }
        S_.SplitCount = FindEndings(D_.EndingTree, S_.Word, Length_, S_.Splits);
        // The blocks of all splits are fetched from memory side by side before any is walked:
        // with a large dictionary each is a cache miss, and the walks cannot overlap.
        const TStemBlock* blocks[MaxMatchSplits];
        for (uint32_t i = 0; i < S_.SplitCount; ++i) {
            const TMatchSplit& split = S_.Splits[i];
            blocks[i] = D_.StemBlock(
                D_.Alphabet->EncodeSuffix(S_.Word + split.PrefixLength, split.StemLength));
            if (blocks[i]) {
                __builtin_prefetch(blocks[i]);
            }
        }
        for (uint32_t i = 0; i < S_.SplitCount; ++i) {
            if (blocks[i] && blocks[i]->NodeCount) {
                __builtin_prefetch(blocks[i]->Nodes);
            }
        }
        for (uint32_t i = 0; i < S_.SplitCount && S_.CandidateCount < MaxMatchCandidates; ++i) {
            if (blocks[i] && blocks[i]->NodeCount) {
                WalkStemBlock(*blocks[i], S_.Splits[i]);
            }
        }
        return S_.CandidateCount;
    }

    uint32_t Evaluate(uint32_t mode, const char* filter) {
        Filter_ = filter ? filter : "";
        S_.ResultCount = 0;
        for (uint32_t ci = S_.CandidateCount; ci-- > 0 && S_.ResultCount < MaxMatchResults;) {
            if (S_.Candidates[ci].Unmatched == 0) {
                MatchDictionaryStem(ci, 0);
            }
        }
        if (S_.ResultCount) {
            if (mode & MM_DICTIONARY) {
                return MV_DICTIONARY;
            }
            S_.ResultCount = 0;
        }
        if (!(mode & (MM_PREFIX_HYPOTHESES | MM_STEM_HYPOTHESES)) ||
            Length_ < ShortestHypothesisWord) {
            return MV_NONE;
        }
        const uint32_t stemMask =
            Length_ <= 4 ? POS_MASK_HYPOTHESIS_SHORT : POS_MASK_HYPOTHESIS_LONG;
        uint32_t verdict = MV_NONE;
        uint32_t best = 0;
        for (uint32_t ci = S_.CandidateCount; ci-- > 0 && S_.ResultCount < MaxMatchResults;) {
            const TMatchCandidate& c = S_.Candidates[ci];
            const uint32_t stemLength = c.StemEnd - c.StemStart;
            if (stemLength < ShortestHypothesisStem || !HasVowel(c.StemStart, stemLength)) {
                continue;
            }
            if ((mode & MM_PREFIX_HYPOTHESES) && TryPrefixHypothesis(ci, true)) {
                for (uint32_t cj = ci; cj-- > 0 && S_.ResultCount < MaxMatchResults;) {
                    TryPrefixHypothesis(cj, false);
                }
                return MV_PREFIX_HYPOTHESES;
            }
            if (!(mode & MM_STEM_HYPOTHESES) || c.TupleLetters <= 1) {
                continue;
            }
            const uint32_t tail = Length_ - c.Unmatched - c.StemStart;
            if (tail > best) {
                const uint64_t saved = S_.ResultCount;
                S_.ResultCount = 0;
                if (CollectStemHypotheses(ci, stemMask)) {
                    best = tail;
                    verdict = MV_STEM_HYPOTHESES;
                } else {
                    S_.ResultCount = saved;
                }
            } else if (tail == best) {
                CollectStemHypotheses(ci, stemMask);
            }
        }
        return verdict;
    }

private:
    void WalkStemBlock(const TStemBlock& block, const TMatchSplit& split) {
        const uint32_t stemEnd = split.PrefixLength + split.StemLength;
        const uint32_t tuple = std::min(D_.Alphabet->TupleLength, split.StemLength);
        uint32_t node = 0;
        uint16_t wanted = 0;
        for (uint32_t depth = tuple; S_.CandidateCount < MaxMatchCandidates;) {
            const uint64_t word = block.Nodes[node];
            if (NStemNode::Char(word) != wanted) {
                break;
            }
            S_.Candidates[S_.CandidateCount++] = {
                split.EndingRange,        node, &block, stemEnd, split.PrefixLength, depth,
                split.StemLength - depth, tuple};
            if (++depth > split.StemLength) {
                break;
            }
            wanted = S_.Word[stemEnd - depth];
            const uint32_t count = NStemNode::ChildCount(word);
            // Unit 0 would lead into an end-of-stem node, which is no letter.
            if (wanted == 0 || count == 0) {
                break;
            }
            const uint32_t first = NStemNode::FirstChild(word);
            node = count == 1 ? first : FindStemChild(block.Nodes, first, first + count, wanted);
            if (node == NotFound) {
                break;
            }
        }
    }

    bool HasVowel(uint32_t start, uint32_t length) const {
        const TAlphabetTupleCodec& a = *D_.Alphabet;
        for (uint32_t i = start; i < start + length; ++i) {
            const uint8_t index = a.Code[S_.Word[i]];
            if (index != TAlphabetTupleCodec::NoLetter && a.Flags[index]) {
                return true;
            }
        }
        return false;
    }

    // The rule ids of a candidate's stem end, or null when no stem ends at its node.
    const uint16_t* StemRules(const TMatchCandidate& c, uint32_t* count, uint16_t* single) const {
        const uint64_t word = c.Block->Nodes[c.Node];
        if (NStemNode::ChildCount(word) == 0) {
            return nullptr;
        }
        const uint64_t end = c.Block->Nodes[NStemNode::FirstChild(word)];
        if (NStemNode::Char(end) != 0) {
            return nullptr;
        }
        *count = NStemNode::RuleIdCount(end);
        if (*count == 1) {
            *single = NStemNode::InlineRuleId(end);
            return single;
        }
        return c.Block->RuleIds + NStemNode::FirstChild(end);
    }

    bool MatchDictionaryStem(uint32_t ci, uint32_t mask) {
        uint32_t count = 0;
        uint16_t single = 0;
        const uint16_t* ids = StemRules(S_.Candidates[ci], &count, &single);
        bool accepted = false;
        for (uint32_t i = 0; ids && i < count && S_.ResultCount < MaxMatchResults; ++i) {
            accepted |= TryRule(ids[i], ci, mask, false);
        }
        return accepted;
    }

    bool TryRule(uint16_t ruleId, uint32_t ci, uint32_t mask, bool similarStem) {
        TMatchResult& result = S_.Results[S_.ResultCount];
        if (CheckRule(ruleId, S_.Candidates[ci], result, mask, similarStem) != 0) {
            return false;
        }
        result.CandidateIndex = ci;
        ++S_.ResultCount;
        return true;
    }

    // 0 accepts; otherwise why not: 1 too shallow, 2 no ending, 3 part of speech, 4 rare,
    // 5 grammar.
    int CheckRule(uint16_t ruleId, const TMatchCandidate& c, TMatchResult& result, uint32_t mask,
                  bool similarStem) const {
        if (ruleId >= D_.RuleCount || D_.Rules[ruleId].Length < NRule::MinLength) {
            return 2;
        }
        const unsigned char* r = D_.Rules[ruleId].Data;
        const char* common = reinterpret_cast<const char*>(r + NRule::GrammarOffset(r));
        if (mask) {
            if (similarStem && ruleId >= D_.RareRuleThreshold) {
                return 4;
            }
            if (c.Depth <= NRule::MinDepth(r)) {
                return 1;
            }
            if (common[0] == 0 || !InMask(mask, common[0])) {
                return 3;
            }
            if (HasBarredGrammeme(common)) {
                return 5;
            }
        }
        const uint32_t listIndex = NRule::EndingListIndex(r, NRule::Variant(r));
        if (listIndex >= D_.EndingListCount) {
            return 2;
        }
        const TEndingList& list = D_.EndingLists[listIndex];
        const uint16_t low = c.EndingRange & 0xFFFF;
        const uint32_t high = c.EndingRange >> 16;
        const uint16_t* first = std::lower_bound(list.Ids, list.Ids + list.Count, low);
        const uint16_t* last = first;
        while (last != list.Ids + list.Count && *last < high) {
            ++last;
        }
        if (first == last) {
            return 2;
        }
        if (!CheckFormGrammar(first, last, common, mask != 0)) {
            return 5;
        }
        const uint32_t textsBegin = NRule::TextsBegin(r);
        const uint32_t textEnd = std::max<uint32_t>(NRule::TextEnd(r, 0), textsBegin);
        result.RunStart = static_cast<uint32_t>(first - list.Ids);
        result.RunCount = static_cast<uint32_t>(last - first);
        result.LemmaEndingBegin = r + textsBegin;
        result.LemmaEndingEnd = r + textsBegin + ((textEnd - textsBegin) & ~1u);
        result.CommonGrammar = common;
        result.Cut = NRule::Cut(r);
        result.RuleId = ruleId;
        result.EndingListIndex = listIndex;
        return 0;
    }

    // One ending of the run must carry every filter grammeme the common grammar lacks and, for a
    // hypothesis, no barred grammeme.
    bool CheckFormGrammar(const uint16_t* first, const uint16_t* last, const char* common,
                          bool hypothesis) const {
        uint64_t missing[4] = {};
        bool anyMissing = false;
        for (const char* f = Filter_; *f; ++f) {
            if (!std::strchr(common, *f)) {
                const unsigned char code = static_cast<unsigned char>(*f);
                missing[code / 64] |= uint64_t(1) << (code % 64);
                anyMissing = true;
            }
        }
        for (const uint16_t* id = first; id != last; ++id) {
            const char* form = *id < D_.EndingCount ? TextOrEmpty(D_.Endings[*id].FormGrammar) : "";
            if (hypothesis && HasBarredGrammeme(form)) {
                continue;
            }
            if (!anyMissing) {
                return true;
            }
            uint64_t have[4] = {};
            for (const char* g = form; *g; ++g) {
                const unsigned char code = static_cast<unsigned char>(*g);
                have[code / 64] |= uint64_t(1) << (code % 64);
            }
            if (!(missing[0] & ~have[0]) && !(missing[1] & ~have[1]) && !(missing[2] & ~have[2]) &&
                !(missing[3] & ~have[3])) {
                return true;
            }
        }
        return false;
    }

    bool HasPrefixInTrie(const wchar16* key, size_t length) const {
        size_t found = 0;
        const char* value = nullptr;
        try {
            return D_.PrefixTrie.FindLongestPrefix(key, length, &found, &value) && found == length;
        } catch (const TCompactTrieError&) {
            return false;  // a trie the loader never checked (a compiled one) that is corrupt
        }
    }

    bool TryPrefixHypothesis(uint32_t ci, bool reset) {
        const TMatchCandidate& c = S_.Candidates[ci];
        if (c.Unmatched == 0) {
            return false;
        }
        const uint32_t headEnd = c.StemStart + c.Unmatched;
        if (!HasPrefixInTrie(S_.Word + c.StemStart, c.Unmatched) &&
            (S_.Word[headEnd - 1] != '-' || !HasPrefixInTrie(S_.Word, headEnd - 1))) {
            return false;
        }
        const uint64_t saved = S_.ResultCount;
        if (reset) {
            S_.ResultCount = 0;
        }
        if (!MatchDictionaryStem(ci, POS_MASK_HYPOTHESIS_PREFIX)) {
            S_.ResultCount = saved;
            return false;
        }
        return true;
    }

    // Rules of the stems below a candidate's node, each tried once, in the order of the walk.
    uint32_t CollectStemHypotheses(uint32_t ci, uint32_t mask) {
        const TMatchCandidate& c = S_.Candidates[ci];
        THypothesisMemo* memo = D_.HypothesisMemo.get();
        THypothesisMemo::TKey key{c.Block, c.Node, mask, 0, 0};
        const std::vector<uint16_t>* rules = memo ? memo->FindRules(key) : nullptr;
        if (rules == nullptr) {
            uint32_t visited = 0;
            const uint32_t added = WalkStemHypotheses(ci, mask, visited);
            if (memo && visited >= MemoWalkLength) {
                std::vector<uint16_t> collected;
                WalkStemHypotheses(ci, mask, visited, &collected);
                memo->AddRules(key, std::move(collected));
            }
            return added;
        }
        if (*Filter_ != 0) {
            return TryRules(*rules, ci, mask);
        }
        key.Depth = c.Depth;
        key.EndingRange = c.EndingRange;
        const std::vector<TMatchResult>* results = memo->FindResults(key);
        if (results == nullptr) {
            std::vector<TMatchResult> accepted;
            TMatchResult result;
            for (const uint16_t rule : *rules) {
                if (CheckRule(rule, c, result, mask, true) == 0) {
                    accepted.push_back(result);
                }
            }
            results = memo->AddResults(key, std::move(accepted));
            if (results == nullptr) {
                return TryRules(*rules, ci, mask);
            }
        }
        uint32_t added = 0;
        for (size_t i = 0; i < results->size() && S_.ResultCount < MaxMatchResults; ++i) {
            TMatchResult& r = S_.Results[S_.ResultCount++];
            r = (*results)[i];
            r.CandidateIndex = ci;
            ++added;
        }
        return added;
    }

    uint32_t TryRules(const std::vector<uint16_t>& rules, uint32_t ci, uint32_t mask) {
        uint32_t added = 0;
        for (size_t i = 0; i < rules.size() && S_.ResultCount < MaxMatchResults; ++i) {
            added += TryRule(rules[i], ci, mask, true);
        }
        return added;
    }

    // Whether a rule can make a stem-similarity hypothesis of part-of-speech mask `mask` for
    // some candidate: what CheckRule asks of the rule alone.
    bool HypothesisRule(uint16_t ruleId, uint32_t mask) const {
        if (ruleId >= D_.RuleCount || D_.Rules[ruleId].Length < NRule::MinLength ||
            ruleId >= D_.RareRuleThreshold) {
            return false;
        }
        const unsigned char* r = D_.Rules[ruleId].Data;
        const char* common = reinterpret_cast<const char*>(r + NRule::GrammarOffset(r));
        return common[0] != 0 && InMask(mask, common[0]) && !HasBarredGrammeme(common);
    }

    // The walk below a candidate's node: subtrees flagged to yield nothing are skipped, and a
    // node flagged so descends into one child. Each rule is tried once (rule bits); with
    // `collect`, nothing is tried and every rule a hypothesis could use is appended to it
    // instead. Counts the nodes visited.
    uint32_t WalkStemHypotheses(uint32_t ci, uint32_t mask, uint32_t& visited,
                                std::vector<uint16_t>* collect = nullptr) {
        std::memset(S_.RuleBits, 0, (size_t(D_.RuleCount) + 63) / 64 * sizeof(uint64_t));
        const TMatchCandidate& c = S_.Candidates[ci];
        const uint64_t* nodes = c.Block->Nodes;
        uint32_t added = 0;
        uint32_t top = 0;
        uint32_t node = c.Node;
        visited = 0;
        for (;; ++visited) {
            const uint64_t word = nodes[node];
            const uint32_t count = NStemNode::ChildCount(word);
            if (!(word & NStemNode::NoHypotheses) && count) {
                const uint32_t first = NStemNode::FirstChild(word);
                uint32_t begin = first;
                if (NStemNode::Char(nodes[first]) == 0) {
                    added += TryStemEnd(ci, nodes[first], *c.Block, mask, collect);
                    ++begin;
                }
                if (!collect && S_.ResultCount >= MaxMatchResults) {
                    break;
                }
                const uint32_t end = (word & NStemNode::FirstChildOnly) ? begin + 1 : first + count;
                if (begin < first + count && top < MaxHypothesisDepth) {
                    S_.WalkNext[top] = begin;
                    S_.WalkEnd[top] = std::min(end, first + count);
                    ++top;
                }
            }
            while (top > 0 && S_.WalkNext[top - 1] == S_.WalkEnd[top - 1]) {
                --top;
            }
            if (top == 0) {
                break;
            }
            node = S_.WalkNext[top - 1]++;
        }
        return added;
    }

    uint32_t TryStemEnd(uint32_t ci, uint64_t end, const TStemBlock& block, uint32_t mask,
                        std::vector<uint16_t>* collect) {
        const uint32_t count = NStemNode::RuleIdCount(end);
        const uint16_t single = NStemNode::InlineRuleId(end);
        const uint16_t* ids = count == 1 ? &single : block.RuleIds + NStemNode::FirstChild(end);
        uint32_t added = 0;
        for (uint32_t i = 0; i < count && (collect || S_.ResultCount < MaxMatchResults); ++i) {
            uint64_t& bits = S_.RuleBits[ids[i] / 64];
            const uint64_t bit = uint64_t(1) << (ids[i] % 64);
            if (bits & bit) {
                continue;
            }
            bits |= bit;
            if (!collect) {
                added += TryRule(ids[i], ci, mask, true);
            } else if (HypothesisRule(ids[i], mask)) {
                collect->push_back(ids[i]);
            }
        }
        return added;
    }

    const TDictionary& D_;
    TMatchState& S_;
    const uint32_t Length_;
    const char* Filter_ = "";
};

}  // namespace

size_t HypothesisMemoEntries(const TDictionary& dictionary) {
    return dictionary.HypothesisMemo ? dictionary.HypothesisMemo->Entries() : 0;
}

bool HasBarredGrammeme(const char* grammar) {
    for (const char* g = grammar; g && *g; ++g) {
        if (BarredGrammemes.Barred[static_cast<unsigned char>(*g)]) {
            return true;
        }
    }
    return false;
}

uint32_t MatchRules(const TDictionary& dictionary, TMatchState& state) {
    return TMatcher(dictionary, state).Match();
}

uint32_t EvaluateCandidates(const TDictionary& dictionary, TMatchState& state, uint32_t mode,
                            const char* filter) {
    return TMatcher(dictionary, state).Evaluate(mode, filter);
}

size_t CopyLemmaEnding(const TMatchResult& result, wchar16* out) {
    const size_t length = result.LemmaEndingLength();
    if (length) {
        std::memcpy(out, result.LemmaEndingBegin, length * sizeof(wchar16));
    }
    return length;
}

const uint16_t* ResultEndingIds(const TDictionary& dictionary, const TMatchResult& result,
                                uint32_t* count) {
    *count = result.RunCount;
    return dictionary.EndingLists[result.EndingListIndex].Ids + result.RunStart;
}

}  // namespace NByk
