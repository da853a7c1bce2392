// Cross-checks of the dictionary tables: what the matcher relies on without looking again.
#include "lemmer/dictionary/dictionary_check.h"

#include "lemmer/dictionary/rule_record.h"
#include "util/stream/compact_trie_packer.h"

#include <vector>

namespace NByk {

uint64_t StemSlotCount(const TAlphabetTupleCodec& alphabet) {
    const uint64_t n = alphabet.LetterCount;
    if (n == 0) {
        return 0;
    }
    uint64_t slots = 1;
    for (uint32_t i = 0; i < alphabet.TupleLength && n > 1; ++i) {
        slots *= n;
        if (slots > MaxStemSlots) {
            return 0;
        }
    }
    return slots;
}

namespace NRule {
const char* CheckRecord(const unsigned char* r, uint64_t length, uint32_t listCount) {
    if (length < MinLength || length > MaxLength) {
        return "its length is impossible";
    }
    const uint32_t n = Variants(r);
    if (n == 0 || Variant(r) >= n) {
        return "its variant lies outside its variants";
    }
    const uint64_t texts = TextsBegin(r);
    if (texts + 1 > length) {
        return "its header is longer than the record";
    }
    uint64_t previous = texts;
    for (uint32_t i = 0; i <= n; ++i) {
        const uint64_t end = i < n ? TextEnd(r, i) : GrammarOffset(r);
        if (end < previous) {
            return "its texts are out of order";
        }
        previous = end;
    }
    if (previous + GrammarLength(r) + 1 != length) {
        return "its grammar does not end the record";
    }
    if (r[length - 1] != 0) {
        return "its grammar is not terminated";
    }
    for (uint32_t i = 0; i < n; ++i) {
        if (EndingListIndex(r, i) >= listCount) {
            return "it names an ending list that does not exist";
        }
    }
    return nullptr;
}
}  // namespace NRule

void CheckRules(const TRuleRecord* rules, uint32_t count, uint32_t listCount) {
    for (uint32_t id = 0; id < count; ++id) {
        if (rules[id].Length == 0) {
            continue;
        }
        if (const char* why = NRule::CheckRecord(rules[id].Data, rules[id].Length, listCount)) {
            throw TLoadError() << "rule " << id << " (" << rules[id].Length << " bytes): " << why;
        }
    }
}

void CheckEndingTree(const TCharTree& tree, uint32_t endingCount) {
    if (tree.Count && tree.Nodes[0].Char != 0) {
        throw TLoadError() << "ending tree: the root's character is " << tree.Nodes[0].Char
                           << ", not 0";
    }
    for (uint32_t i = 0; i < tree.Count; ++i) {
        const TCharTreeNode& node = tree.Nodes[i];
        if (node.Value != TCharTreeNode::NoValue) {
            const uint32_t low = node.Value & 0xFFFF;
            const uint32_t high = node.Value >> 16;
            if (low >= high || high > endingCount) {
                throw TLoadError() << "ending tree: node " << i << " names endings " << low
                                   << " to " << high << " of " << endingCount;
            }
        }
        if (node.ChildCount == 0) {
            continue;
        }
        const uint64_t first = node.FirstChild;
        if (first <= i || first + node.ChildCount > tree.Count) {
            throw TLoadError() << "ending tree: node " << i << " has children " << first << " to "
                               << first + node.ChildCount - 1 << " of " << tree.Count << " nodes";
        }
        for (uint64_t c = first + 1; c < first + node.ChildCount; ++c) {
            if (tree.Nodes[c - 1].Char >= tree.Nodes[c].Char) {
                throw TLoadError()
                    << "ending tree: the children of node " << i << " are not sorted";
            }
        }
    }
}

uint64_t CheckAlphabet(const TAlphabetTupleCodec& alphabet) {
    const uint32_t n = alphabet.LetterCount;
    if (n == 0 || n > 255) {
        throw TLoadError() << "alphabet: " << n << " letters";
    }
    for (uint32_t unit = 0; unit < 65536; ++unit) {
        const uint8_t index = alphabet.Code[unit];
        if (index != TAlphabetTupleCodec::NoLetter && index >= n) {
            throw TLoadError() << "alphabet: unit " << unit << " has index " << unsigned(index)
                               << " of " << n << " letters";
        }
    }
    const uint64_t slots = StemSlotCount(alphabet);
    if (slots == 0) {
        throw TLoadError() << "alphabet: " << n << " letters to the power " << alphabet.TupleLength
                           << " exceed " << MaxStemSlots << " stem-block slots";
    }
    return slots;
}

void CheckStemBlock(const TStemBlock& block, uint32_t ruleCount, uint64_t slot) {
    for (uint32_t i = 0; i < block.RuleIdCount; ++i) {
        if (block.RuleIds[i] >= ruleCount) {
            throw TLoadError() << "stem block " << slot << ": rule id " << block.RuleIds[i]
                               << " of " << ruleCount << " rules";
        }
    }
    if (block.NodeCount && NStemNode::Char(block.Nodes[0]) != 0) {
        throw TLoadError() << "stem block " << slot << ": the root's character is not 0";
    }
    for (uint32_t i = 0; i < block.NodeCount; ++i) {
        const uint64_t node = block.Nodes[i];
        if (i > 0 && NStemNode::Char(node) == 0) {
            // An end-of-stem node: only ever reached as the first child of an inner node.
            const uint32_t count = NStemNode::RuleIdCount(node);
            if (count == 0) {
                throw TLoadError()
                    << "stem block " << slot << ": stem end " << i << " has no rules";
            }
            if (count == 1 ? NStemNode::InlineRuleId(node) >= ruleCount
                           : uint64_t(NStemNode::FirstChild(node)) + count > block.RuleIdCount) {
                throw TLoadError() << "stem block " << slot << ": the rules of stem end " << i
                                   << " lie outside the block";
            }
            continue;
        }
        const uint32_t count = NStemNode::ChildCount(node);
        if (count == 0) {
            continue;
        }
        const uint64_t first = NStemNode::FirstChild(node);
        if (first <= i || first + count > block.NodeCount) {
            throw TLoadError() << "stem block " << slot << ": node " << i << " has children "
                               << first << " to " << first + count - 1 << " of " << block.NodeCount
                               << " nodes";
        }
        for (uint64_t c = first + 1; c < first + count; ++c) {
            if (NStemNode::Char(block.Nodes[c - 1]) >= NStemNode::Char(block.Nodes[c])) {
                throw TLoadError()
                    << "stem block " << slot << ": the children of node " << i << " are not sorted";
            }
        }
    }
}

void CheckEndingLists(const TEndingList* lists, uint32_t count, uint32_t endingCount) {
    for (uint32_t l = 0; l < count; ++l) {
        const TEndingList& list = lists[l];
        for (uint32_t i = 0; i < list.Count; ++i) {
            if (list.Ids[i] >= endingCount || (i > 0 && list.Ids[i] < list.Ids[i - 1])) {
                throw TLoadError()
                    << "ending list " << l << ": entry " << i << " (" << list.Ids[i]
                    << ") is out of order or beyond the " << endingCount << " endings";
            }
        }
    }
}

namespace {
// The walk of the trie reader, over every record it could ever reach; each position is looked
// at once, so shared subtrees cost nothing more.
class TTrieChecker {
public:
    TTrieChecker(const char* data, size_t length)
        : Data_(reinterpret_cast<const unsigned char*>(data)), Length_(length), Seen_(length) {}

    void Run() {
        if (Length_) {
            Pending_.push_back(0);
        }
        while (!Pending_.empty()) {
            const size_t pos = Pending_.back();
            Pending_.pop_back();
            Need(pos, 1);
            if (!Seen_[pos]) {
                Seen_[pos] = true;
                Record(pos);
            }
        }
    }

private:
    void Need(size_t pos, size_t count) const {
        if (pos > Length_ || count > Length_ - pos) {
            throw TLoadError() << "prefix trie: a record at " << pos << " runs past its " << Length_
                               << " bytes";
        }
    }

    void Follow(size_t from, size_t field, size_t width) {
        const uint64_t offset =
            NCompactTrie::UnpackIntBigEndian(reinterpret_cast<const char*>(Data_ + field), width);
        if (width == 0 || offset == 0) {
            return;
        }
        if (offset >= Length_ - from) {
            throw TLoadError() << "prefix trie: an offset at " << from << " points past its "
                               << Length_ << " bytes";
        }
        Pending_.push_back(from + offset);
    }

    void Record(size_t pos) {
        const unsigned flags = Data_[pos];
        if (flags < 0x40) {
            Need(pos + 1, flags & 7);
            Follow(pos, pos + 1, flags & 7);
            return;
        }
        const size_t left = (flags >> 3) & 7;
        const size_t right = flags & 7;
        Need(pos, 2 + left + right);
        Follow(pos, pos + 2, left);
        Follow(pos, pos + 2 + left, right);
        size_t next = pos + 2 + left + right;
        if (flags & 0x80) {
            Need(next, 1);
            const size_t size = NCompactTrie::PackedValueSize(Data_[next]);
            Need(next, size);
            next += size;
        }
        if (flags & 0x40) {
            Pending_.push_back(next);
        }
    }

    const unsigned char* Data_;
    size_t Length_;
    std::vector<bool> Seen_;
    std::vector<size_t> Pending_;
};
}  // namespace

void CheckPrefixTrie(const char* data, size_t length) {
    TTrieChecker(data, length).Run();
}

void CheckDictionary(const TDictionary& dictionary) {
    CheckRules(dictionary.Rules, dictionary.RuleCount, dictionary.EndingListCount);
    if (dictionary.EndingTree) {
        CheckEndingTree(*dictionary.EndingTree, dictionary.EndingCount);
    }
    if (dictionary.Alphabet) {
        const uint64_t slots = CheckAlphabet(*dictionary.Alphabet);
        if (dictionary.StemSlotCount < slots) {
            throw TLoadError() << "stem-block index: " << dictionary.StemSlotCount
                               << " slots where the alphabet gives " << slots;
        }
        for (uint64_t slot = 0; slot < slots; ++slot) {
            if (const TStemBlock* block = dictionary.StemBlock(slot)) {
                CheckStemBlock(*block, dictionary.RuleCount, slot);
            }
        }
    }
    CheckEndingLists(dictionary.EndingLists, dictionary.EndingListCount, dictionary.EndingCount);
    CheckPrefixTrie(dictionary.PrefixTrie.Data(), dictionary.PrefixTrie.Length());
}

}  // namespace NByk
