// Dictionaries built by hand for the tests, the benchmark and the fuzz corpus of the dictionary
// format and the matcher: endings, rules, ending lists and stems are given as plain texts, and
// the builder lays out the ending tree, the stem blocks, the alphabet and the prefix trie the
// way the loader expects them.
//
//     NByk::NTest::TFixture f;
//     f.Alphabet(u"абвгдеёжзийклмнопрстуфхцчшщъыьэюя-", u"аеёиоуыэюя");
//     f.Ending(u"", u"у", "dat sg");
//     f.List({0});
//     f.Rule(0, 0, u"", "S m");
//     f.Stem(u"стол", {0});
//     const NByk::TDictionary& d = f.Build();
#pragma once

#include "lemmer/dictionary/dictionary.h"
#include "lemmer/grammar/grammeme_table.h"
#include "util/stream/compact_trie_packer.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace NByk::NTest {

// Grammeme codes of space-separated Latin names, as a grammar string.
inline std::string Gram(const std::string& names) {
    std::string out;
    size_t pos = 0;
    while (pos < names.size()) {
        size_t end = names.find(' ', pos);
        if (end == std::string::npos) {
            end = names.size();
        }
        if (end > pos) {
            const uint32_t code =
                TGrammemeTable::Instance().FindCode(names.data() + pos, end - pos);
            if (!code) {
                throw std::invalid_argument("no grammeme " + names.substr(pos, end - pos));
            }
            out.push_back(static_cast<char>(code));
        }
        pos = end + 1;
    }
    return out;
}

// A rule record of one variant; `ending` is the lemma's ending.
inline std::string PackRule(uint32_t minDepth, uint32_t cut, uint16_t list,
                            const std::u16string& ending, const std::string& grammar) {
    std::string r;
    auto u16 = [&r](uint32_t v) {
        r.push_back(static_cast<char>(v & 0xFF));
        r.push_back(static_cast<char>(v >> 8));
    };
    r += {1, 0, static_cast<char>(minDepth), static_cast<char>(cut)};
    u16(list);
    r.push_back(0);  // letter count of the variant
    const uint32_t textEnd = 12 + 2 * static_cast<uint32_t>(ending.size());
    u16(textEnd);
    u16(textEnd);  // the variant's stem tail is empty, so the grammar follows text 0
    r.push_back(static_cast<char>(grammar.size()));
    for (char16_t u : ending) {
        u16(u);
    }
    r += grammar;
    r.push_back(0);
    return r;
}

// The compact-trie bytes of a set of keys (value 0 each): every node's arcs are chained through
// right offsets, which is all the reader needs.
class TTrieBytes {
public:
    void Add(const std::u16string& key) {
        size_t node = 0;
        for (size_t i = 0; i < 2 * key.size(); ++i) {
            const unsigned char byte = i % 2 ? key[i / 2] & 0xFF : key[i / 2] >> 8;
            if (i + 1 == 2 * key.size()) {
                Nodes_[node][byte].Value = true;
                break;
            }
            if (!Nodes_[node][byte].Child) {
                Nodes_[node][byte].Child = Nodes_.size();
                Nodes_.emplace_back();
            }
            node = Nodes_[node][byte].Child;
        }
    }

    std::string Bytes() const { return Encode(0); }

private:
    struct TArc {
        bool Value = false;
        size_t Child = 0;
    };

    std::string Encode(size_t node) const {
        std::string rest;
        const auto& arcs = Nodes_[node];
        for (auto it = arcs.rbegin(); it != arcs.rend(); ++it) {
            const std::string child = it->second.Child ? Encode(it->second.Child) : "";
            std::string value;
            if (it->second.Value) {
                value.resize(TCompactTriePacker<unsigned long>::MeasureLeaf(0));
                TCompactTriePacker<unsigned long>::PackLeaf(value.data(), 0, value.size());
            }
            const bool right = !rest.empty();
            const uint32_t size = 2 + (right ? 4 : 0) + value.size() + child.size();
            std::string record;
            record.push_back(static_cast<char>((it->second.Value ? 0x80 : 0) |
                                               (it->second.Child ? 0x40 : 0) | (right ? 4 : 0)));
            record.push_back(static_cast<char>(it->first));
            if (right) {
                for (int shift = 24; shift >= 0; shift -= 8) {
                    record.push_back(static_cast<char>(size >> shift));
                }
            }
            rest = record + value + child + rest;
        }
        return rest;
    }

    std::vector<std::map<unsigned char, TArc>> Nodes_ =
        std::vector<std::map<unsigned char, TArc>>(1);
};

// A dictionary described entry by entry. Endings with the same prefix and ending must be given
// one after another; lists must ascend. Build() may be called once.
class TFixture {
public:
    void Alphabet(const std::u16string& letters, const std::u16string& vowels, uint32_t tuple = 2) {
        Codec_ = std::make_unique<TAlphabetTupleCodec>(tuple);
        for (char16_t u : letters) {
            if (Codec_->Code[u] == TAlphabetTupleCodec::NoLetter) {
                const uint32_t index = Codec_->LetterCount++;
                Codec_->Code[u] = static_cast<uint8_t>(index);
                Codec_->Letters[index] = u;
                Codec_->Flags[index] = vowels.find(u) != std::u16string::npos;
            }
        }
    }
    // Returns the ending id. `ending` is written as read; the dictionary keeps it backwards.
    uint16_t Ending(const std::u16string& prefix, const std::u16string& ending,
                    const std::string& grammarNames) {
        Endings_.push_back(
            {prefix, std::u16string(ending.rbegin(), ending.rend()), Gram(grammarNames)});
        return static_cast<uint16_t>(Endings_.size() - 1);
    }
    uint16_t List(const std::vector<uint16_t>& ids) {
        Lists_.push_back(ids);
        return static_cast<uint16_t>(Lists_.size() - 1);
    }
    uint16_t Rule(uint16_t list, uint32_t cut, const std::u16string& lemmaEnding,
                  const std::string& grammarNames, uint32_t minDepth = 0) {
        Rules_.push_back(PackRule(minDepth, cut, list, lemmaEnding, Gram(grammarNames)));
        return static_cast<uint16_t>(Rules_.size() - 1);
    }
    void RawRule(const std::string& bytes) { Rules_.push_back(bytes); }
    void RareFrom(uint16_t threshold) { Threshold_ = threshold; }
    void Stem(const std::u16string& stem, std::vector<uint16_t> rules) {
        std::sort(rules.begin(), rules.end());
        auto& ids = Stems_[stem];
        ids.insert(ids.end(), rules.begin(), rules.end());
        std::sort(ids.begin(), ids.end());
    }
    // Flag bits (NStemNode::NoHypotheses, FirstChildOnly) of the node where `stem` ends.
    void StemFlags(const std::u16string& stem, uint64_t flags) { Flags_[stem] |= flags; }
    void Prefix(const std::u16string& beginning) { Trie_.Add(beginning); }

    const TDictionary& Build() {
        if (!Codec_) {
            Alphabet(u"", u"");
        }
        D_.Alphabet = Codec_.get();
        BuildEndings();
        BuildRules();
        BuildLists();
        BuildEndingTree();
        BuildStemBlocks();
        TrieBytes_ = Trie_.Bytes();
        D_.PrefixTrie.Init(TBlob::NoCopy(TrieBytes_.data(), TrieBytes_.size()));
        return D_;
    }

    const TDictionary& Dictionary() const { return D_; }
    TDictionary& MutableDictionary() { return D_; }

private:
    struct TEndingText {
        std::u16string Prefix, Ending;
        std::string Grammar;
    };
    struct TNode {
        std::map<char16_t, size_t> Kids;
        uint32_t Value = TCharTreeNode::NoValue;
        std::vector<uint16_t> Rules;
        uint64_t Flags = 0;
    };
    struct TBlock {
        std::vector<TNode> Nodes = std::vector<TNode>(1);
        std::vector<uint64_t> Words;
        std::vector<uint16_t> Ids;
        TStemBlock Block;
    };

    static size_t Descend(std::vector<TNode>& nodes, size_t node, char16_t ch) {
        auto it = nodes[node].Kids.find(ch);
        if (it != nodes[node].Kids.end()) {
            return it->second;
        }
        nodes.emplace_back();
        nodes[node].Kids[ch] = nodes.size() - 1;
        return nodes.size() - 1;
    }

    void BuildEndings() {
        for (const TEndingText& e : Endings_) {
            EndingRecords_.push_back(
                {Text(e.Prefix), Text(e.Ending),
                 e.Grammar.empty() ? "" : Grammars_.emplace_back(e.Grammar).c_str()});
        }
        D_.Endings = EndingRecords_.data();
        D_.EndingCount = static_cast<uint16_t>(EndingRecords_.size());
    }

    const wchar16* Text(const std::u16string& s) { return Texts_.emplace_back(s).c_str(); }

    void BuildRules() {
        for (const std::string& r : Rules_) {
            RuleRecords_.push_back({reinterpret_cast<const unsigned char*>(r.data()), r.size()});
        }
        D_.Rules = RuleRecords_.data();
        D_.RuleCount = static_cast<uint16_t>(RuleRecords_.size());
        D_.RareRuleThreshold = Threshold_ ? Threshold_ : D_.RuleCount;
    }

    void BuildLists() {
        for (const auto& ids : Lists_) {
            ListRecords_.push_back({static_cast<uint32_t>(ids.size()), ids.data()});
        }
        D_.EndingLists = ListRecords_.data();
        D_.EndingListCount = static_cast<uint16_t>(ListRecords_.size());
    }

    void BuildEndingTree() {
        std::vector<TNode> nodes(1);
        for (size_t low = 0; low < Endings_.size();) {
            size_t high = low + 1;
            while (high < Endings_.size() && Endings_[high].Prefix == Endings_[low].Prefix &&
                   Endings_[high].Ending == Endings_[low].Ending) {
                ++high;
            }
            size_t node = 0;
            for (char16_t u : Endings_[low].Ending + u'\xFFFF' + Endings_[low].Prefix) {
                node = Descend(nodes, node, u);
            }
            nodes[node].Value = static_cast<uint32_t>(low | (high << 16));
            low = high;
        }
        // Breadth first: every run of children lies after its parent.
        std::vector<size_t> order{0};
        TreeNodes_.resize(nodes.size());
        TreeNodes_[0] = {0, 0, TCharTreeNode::NoChild, nodes[0].Value};
        for (size_t i = 0; i < order.size(); ++i) {
            const TNode& n = nodes[order[i]];
            TCharTreeNode& out = TreeNodes_[i];
            out.ChildCount = static_cast<uint16_t>(n.Kids.size());
            out.FirstChild = n.Kids.empty() ? TCharTreeNode::NoChild : uint32_t(order.size());
            for (const auto& [ch, kid] : n.Kids) {
                TreeNodes_[order.size()] = {ch, 0, TCharTreeNode::NoChild, nodes[kid].Value};
                order.push_back(kid);
            }
        }
        Tree_ = {TreeNodes_.data(), uint32_t(TreeNodes_.size()), uint32_t(TreeNodes_.size())};
        D_.EndingTree = &Tree_;
    }

    void BuildStemBlocks() {
        D_.StemSlotCount = StemSlotCount(*Codec_);
        Slots_.assign(D_.StemSlotCount, nullptr);
        std::map<uint64_t, TBlock> blocks;
        for (const auto& [stem, rules] : Stems_) {
            const uint64_t slot = Codec_->EncodeSuffix(stem.data(), stem.size());
            if (slot >= Slots_.size()) {
                throw std::invalid_argument("a stem with letters outside the alphabet");
            }
            TBlock& block = blocks[slot];
            const size_t tuple = std::min<size_t>(Codec_->TupleLength, stem.size());
            size_t node = 0;
            for (size_t i = stem.size() - tuple; i-- > 0;) {
                node = Descend(block.Nodes, node, stem[i]);
            }
            block.Nodes[node].Rules = rules;
            auto flags = Flags_.find(stem);
            if (flags != Flags_.end()) {
                block.Nodes[node].Flags = flags->second;
            }
        }
        for (auto& [slot, block] : blocks) {
            LayOut(block);
            Blocks_.push_back(std::move(block));
            TBlock& b = Blocks_.back();
            b.Block = {b.Words.data(), uint32_t(b.Words.size()), uint32_t(b.Words.size()),
                       b.Ids.data(),   uint32_t(b.Ids.size()),   uint32_t(b.Ids.size())};
            Slots_[slot] = &b.Block;
        }
        D_.StemBlocks = Slots_.data();
    }

    static void LayOut(TBlock& block) {
        std::vector<size_t> order{0};
        std::vector<size_t> slotOf(block.Nodes.size());
        block.Words.assign(1, 0);
        for (size_t i = 0; i < order.size(); ++i) {
            const TNode& n = block.Nodes[order[i]];
            const uint32_t first = uint32_t(block.Words.size());
            const uint32_t count = uint32_t(n.Kids.size() + (n.Rules.empty() ? 0 : 1));
            uint64_t& word = block.Words[slotOf[order[i]]];
            const uint16_t ch = static_cast<uint16_t>(word);
            word = NStemNode::Make(ch, count, count ? first : 0) | n.Flags;
            if (!n.Rules.empty()) {
                const uint32_t k = uint32_t(n.Rules.size());
                uint32_t third = n.Rules[0];
                if (k > 1) {
                    third = uint32_t(block.Ids.size());
                    block.Ids.insert(block.Ids.end(), n.Rules.begin(), n.Rules.end());
                }
                block.Words.push_back(NStemNode::Make(0, k, third));
            }
            for (const auto& [ch2, kid] : n.Kids) {
                slotOf[kid] = block.Words.size();
                block.Words.push_back(ch2);
                order.push_back(kid);
            }
        }
    }

    std::unique_ptr<TAlphabetTupleCodec> Codec_;
    std::vector<TEndingText> Endings_;
    std::vector<std::string> Rules_;
    std::vector<std::vector<uint16_t>> Lists_;
    std::map<std::u16string, std::vector<uint16_t>> Stems_;
    std::map<std::u16string, uint64_t> Flags_;
    uint16_t Threshold_ = 0;
    TTrieBytes Trie_;

    std::deque<std::u16string> Texts_;
    std::deque<std::string> Grammars_;
    std::vector<TEndingRecord> EndingRecords_;
    std::vector<TRuleRecord> RuleRecords_;
    std::vector<TEndingList> ListRecords_;
    std::vector<TCharTreeNode> TreeNodes_;
    TCharTree Tree_;
    std::deque<TBlock> Blocks_;
    std::vector<TStemBlock*> Slots_;
    std::string TrieBytes_;
    TDictionary D_;
};

}  // namespace NByk::NTest

namespace NByk::NTest {

// Rule ids of the sample dictionary.
enum ESampleRule : uint16_t {
    SR_NOUN,           // стол: S, no cut
    SR_ADJ,            // красный: A, lemma ending "ый"
    SR_VERB,           // делать: V, lemma ending "ть"
    SR_NOUN_CUT,       // палец: S, cut 2, lemma ending "ец"
    SR_NOUN_BARRED,    // вуз: common grammar with "abbr"
    SR_NOUN_RAREFORM,  // тишь: one ending's form grammar has "rare"
    SR_MASK_A,         // the part-of-speech mask: A, V, ADV, PR over the noun endings
    SR_MASK_V,
    SR_MASK_ADV,
    SR_MASK_PR,
    SR_DEEP,  // needs more than 5 confirmed letters
    SR_RARE,  // мост: at the rare-rule threshold
    SR_COUNT
};

// A small Russian-like dictionary that exercises every path of the matcher.
inline void FillSample(TFixture& f) {
    f.Alphabet(u"абвгдеёжзийклмнопрстуфхцчшщъыьэюя-", u"аеёиоуыэюя");
    const uint16_t nom = f.Ending(u"", u"", "nom sg");
    const uint16_t gen = f.Ending(u"", u"а", "gen sg");
    const uint16_t dat = f.Ending(u"", u"у", "dat sg");
    const uint16_t pl = f.Ending(u"", u"ы", "nom pl");
    const uint16_t genpl = f.Ending(u"", u"ов", "gen pl");
    const uint16_t abl = f.Ending(u"", u"е", "abl sg");
    const uint16_t am = f.Ending(u"", u"ый", "m nom sg");
    const uint16_t af = f.Ending(u"", u"ая", "f nom sg");
    const uint16_t an = f.Ending(u"", u"ое", "n nom sg");
    const uint16_t comp = f.Ending(u"по", u"ее", "comp");
    const uint16_t inf = f.Ending(u"", u"ть", "inf");
    const uint16_t pres = f.Ending(u"", u"ет", "praes sg 3p");
    const uint16_t rareIns = f.Ending(u"", u"ью", "ins sg rare");
    const uint16_t nouns = f.List({nom, gen, dat, pl, genpl, abl});
    const uint16_t adjs = f.List({am, af, an, comp});
    const uint16_t verbs = f.List({inf, pres});
    const uint16_t rareForm = f.List({nom, rareIns});
    f.Rule(nouns, 0, u"", "S m inan");
    f.Rule(adjs, 0, u"ый", "A");
    f.Rule(verbs, 0, u"ть", "V");
    f.Rule(nouns, 2, u"ец", "S m anim");
    f.Rule(nouns, 0, u"", "S m abbr");
    f.Rule(rareForm, 0, u"ь", "S f");
    f.Rule(nouns, 0, u"", "A");
    f.Rule(nouns, 0, u"", "V");
    f.Rule(nouns, 0, u"", "ADV");
    f.Rule(nouns, 0, u"", "PR");
    f.Rule(nouns, 0, u"", "S n", 5);
    f.Rule(nouns, 0, u"", "S m");
    f.RareFrom(SR_RARE);
    f.Stem(u"стол", {SR_NOUN});
    f.Stem(u"слон", {SR_NOUN});
    f.Stem(u"котл", {SR_NOUN});
    f.Stem(u"хвост", {SR_NOUN});
    f.Stem(u"пальц", {SR_NOUN_CUT});
    f.Stem(u"красн", {SR_ADJ});
    f.Stem(u"дела", {SR_VERB});
    f.Stem(u"чита", {SR_VERB});
    f.Stem(u"вуз", {SR_NOUN_BARRED});
    f.Stem(u"тиш", {SR_NOUN_RAREFORM});
    f.Stem(u"бел", {SR_NOUN, SR_MASK_A, SR_MASK_V, SR_MASK_ADV, SR_MASK_PR});
    f.Stem(u"окно", {SR_DEEP});
    f.Stem(u"мост", {SR_RARE});
    f.Prefix(u"пере");
    f.Prefix(u"супер");
}

// Every part present, each as small as it can be, so that every cut can be tried.
inline void FillSmall(TFixture& f) {
    f.Alphabet(u"абв", u"а");
    f.Ending(u"", u"", "nom");
    f.Ending(u"", u"а", "gen");
    f.Ending(u"б", u"а", "gen");
    f.List({0, 1});
    f.List({2});
    f.Rule(0, 0, u"", "S");
    f.Rule(1, 1, u"в", "A");
    f.Stem(u"аба", {0});
    f.Stem(u"вба", {0, 1});
    f.Stem(u"б", {1});
    f.Prefix(u"ва");
}

}  // namespace NByk::NTest
