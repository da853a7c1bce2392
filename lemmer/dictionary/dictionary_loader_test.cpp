#include "lemmer/dictionary/dictionary_loader.h"
#include "lemmer/dictionary/dictionary_check.h"
#include "lemmer/dictionary/dictionary_test_helpers.h"
#include "lemmer/dictionary/dictionary_writer.h"
#include "lemmer/dictionary/rule_matcher.h"
#include "lemmer/dictionary/rule_record.h"
#include "util/stream/compact_trie_format.h"
#include "util/stream/load.h"
#include "util/stream/memory.h"
#include "util/stream/string_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace NDictionaryLoaderTest {
using namespace NByk;
using namespace NByk::NTest;

namespace {

std::string Write(const TDictionary& d) {
    Stroka bytes;
    TStringOutput out(bytes);
    WriteDictionary(d, out);
    return std::string(bytes.data(), bytes.size());
}

struct TLoaded {
    TMemoryPool Pool{65536};
    TDictionary Dictionary;
};

std::unique_ptr<TLoaded> Load(const std::string& bytes) {
    auto loaded = std::make_unique<TLoaded>();
    TMemoryInput in(bytes.data(), bytes.size());
    LoadDictionary(loaded->Dictionary, in, loaded->Pool);
    return loaded;
}

// What the matcher answers for a word in every mode, as text.
std::string Answers(const TDictionary& d, const std::u16string& word) {
    auto state = std::make_unique<TMatchState>();
    std::string out;
    for (uint32_t mode = 1; mode < 8; ++mode) {
        state->Word = word.data();
        state->Length = static_cast<int32_t>(word.size());
        out += std::to_string(MatchRules(d, *state)) + ":";
        out += std::to_string(EvaluateCandidates(d, *state, mode, nullptr)) + "[";
        for (uint64_t i = 0; i < state->ResultCount; ++i) {
            const TMatchResult& r = state->Results[i];
            out += std::to_string(r.RuleId) + "/" + std::to_string(r.CandidateIndex) + "/" +
                   std::to_string(r.RunStart) + "+" + std::to_string(r.RunCount) + " ";
        }
        out += "] ";
    }
    return out;
}

const char16_t* const ProbeWords[] = {
    u"стол",      u"столу",  u"пальцу",      u"красная", u"покраснее", u"делать", u"мелу", u"смелу",
    u"перемосту", u"гмосту", u"супер-столу", u"клиш",    u"",          u"ы",      u"стлу"};

TEST(DictionaryFormat, WrittenDictionaryLoadsAndWritesBackByteForByte) {
    TFixture f;
    FillSample(f);
    const TDictionary& built = f.Build();
    EXPECT_NO_THROW(CheckDictionary(built));
    const std::string bytes = Write(built);
    auto loaded = Load(bytes);
    EXPECT_EQ(Write(loaded->Dictionary), bytes);
    EXPECT_EQ(loaded->Dictionary.EndingCount, built.EndingCount);
    EXPECT_EQ(loaded->Dictionary.RuleCount, SR_COUNT);
    EXPECT_EQ(loaded->Dictionary.RareRuleThreshold, SR_RARE);
    EXPECT_EQ(loaded->Dictionary.StemSlotCount, 35u * 35u);
    for (size_t i = 0; i < std::size(ProbeWords); ++i) {
        EXPECT_EQ(Answers(loaded->Dictionary, ProbeWords[i]), Answers(built, ProbeWords[i]))
            << "word " << i;
    }
}

TEST(DictionaryFormat, EmptyDictionaryRoundTripsWithEmptyTables) {
    const TDictionary empty;
    const std::string bytes = Write(empty);
    // Four empty counts, a tree of no nodes, the empty alphabet, one empty slot, the format
    // byte and a trie of no bytes.
    EXPECT_EQ(bytes.size(), 2u + 4u + 4u + sizeof(TAlphabetTupleCodec) + 1u + 2u + 1u + 4u);
    auto loaded = Load(bytes);
    const TDictionary& d = loaded->Dictionary;
    EXPECT_EQ(d.EndingCount, 0u);
    EXPECT_EQ(d.RuleCount, 0u);
    EXPECT_EQ(d.EndingListCount, 0u);
    EXPECT_EQ(d.EndingTree->Count, 0u);
    EXPECT_EQ(d.StemSlotCount, 1u);
    EXPECT_EQ(d.StemBlock(0), nullptr);
    EXPECT_EQ(d.PrefixTrie.Length(), 0u);
    EXPECT_EQ(Write(d), bytes);
    TMatchState state;
    state.Word = u"слово";
    state.Length = 5;
    EXPECT_EQ(MatchRules(d, state), 0u);
    EXPECT_EQ(EvaluateCandidates(d, state, 7, nullptr), 0u);
}

TEST(DictionaryFormat, EmptyTextsLoadAsSharedEmptyTexts) {
    TFixture f;
    FillSample(f);
    auto loaded = Load(Write(f.Build()));
    const TEndingRecord& nom = loaded->Dictionary.Endings[0];
    ASSERT_NE(nom.Prefix, nullptr);
    ASSERT_NE(nom.Ending, nullptr);
    EXPECT_EQ(nom.Prefix[0], 0);
    EXPECT_EQ(nom.Prefix, loaded->Dictionary.Endings[1].Prefix);
    EXPECT_EQ(std::u16string(loaded->Dictionary.Endings[9].Prefix), u"по");
    EXPECT_EQ(std::u16string(loaded->Dictionary.Endings[4].Ending), u"во");
}

TEST(DictionaryFormat, NullAndSharedEmptyTextsReadAndWriteAlike) {
    // The compiler points empty texts at one shared zero, a hand-made dictionary may leave them
    // null: the writer and the matcher take both as empty.
    TFixture f;
    FillSample(f);
    const TDictionary& shared = f.Build();
    std::vector<TEndingRecord> endings(shared.Endings, shared.Endings + shared.EndingCount);
    for (TEndingRecord& e : endings) {
        e.Prefix = e.Prefix[0] ? e.Prefix : nullptr;
        e.Ending = e.Ending[0] ? e.Ending : nullptr;
        e.FormGrammar = e.FormGrammar[0] ? e.FormGrammar : nullptr;
    }
    TDictionary nulls;
    nulls.Alphabet = shared.Alphabet;
    nulls.EndingTree = shared.EndingTree;
    nulls.StemBlocks = shared.StemBlocks;
    nulls.StemSlotCount = shared.StemSlotCount;
    nulls.PrefixTrie = shared.PrefixTrie;
    nulls.Endings = endings.data();
    nulls.EndingCount = shared.EndingCount;
    nulls.EndingLists = shared.EndingLists;
    nulls.EndingListCount = shared.EndingListCount;
    nulls.Rules = shared.Rules;
    nulls.RuleCount = shared.RuleCount;
    nulls.RareRuleThreshold = shared.RareRuleThreshold;
    EXPECT_EQ(Write(nulls), Write(shared));
    for (size_t i = 0; i < std::size(ProbeWords); ++i) {
        EXPECT_EQ(Answers(nulls, ProbeWords[i]), Answers(shared, ProbeWords[i])) << "word " << i;
    }
}

// Byte offsets of the parts of a written stream.
struct TLayout {
    size_t Rules, Tree, Alphabet, Markers, Lists, Format, Trie;
};

TLayout Layout(const TDictionary& d, const std::string& bytes) {
    TLayout l{};
    l.Format = bytes.size() - 4 - d.PrefixTrie.Length() - 1;
    l.Trie = l.Format + 1;
    size_t pos = 2;
    for (uint32_t i = 0; i < d.EndingCount; ++i) {
        for (int text = 0; text < 2; ++text) {
            while (bytes[pos] || bytes[pos + 1]) {
                pos += 2;
            }
            pos += 2;
        }
        pos = bytes.find('\0', pos) + 1;
    }
    l.Rules = pos;
    pos += 4;
    for (uint32_t i = 0; i < d.RuleCount; ++i) {
        pos += 4 + d.Rules[i].Length;
    }
    l.Tree = pos;
    l.Alphabet = pos + 4 + d.EndingTree->Count * sizeof(TCharTreeNode);
    l.Markers = l.Alphabet + sizeof(TAlphabetTupleCodec);
    l.Lists = l.Format;
    for (uint32_t i = d.EndingListCount; i-- > 0;) {
        l.Lists -= 4 + 2 * d.EndingLists[i].Count;
    }
    l.Lists -= 2;
    return l;
}

TEST(DictionaryFormat, EveryTruncationFailsWithTheLoadErrors) {
    TFixture f;
    FillSmall(f);
    const std::string bytes = Write(f.Build());
    const TLayout layout = Layout(f.Dictionary(), bytes);
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        // Inside the 65536-byte unit map every cut takes the same path: try a few.
        const size_t map = layout.Alphabet + 8;
        if (cut > map + 8 && cut + 8 < map + 65536 && cut % 1021 != 0) {
            continue;
        }
        try {
            Load(bytes.substr(0, cut));
            ADD_FAILURE() << "a stream cut at " << cut << " loaded";
        } catch (const TLoadEOF& e) {
            const std::string what = e.what();
            EXPECT_TRUE(what.rfind("can not load pod type(", 0) == 0 ||
                        what.rfind("can not load pod array(", 0) == 0)
                << cut << ": " << what;
            EXPECT_TRUE(cut < 2 || (cut >= layout.Rules && cut != layout.Format)) << cut;
        } catch (const TLoadError& e) {
            // Only a text of part 1 or the missing format byte end this way.
            EXPECT_TRUE((cut >= 2 && cut < layout.Rules) || cut == layout.Format)
                << cut << ": " << e.what();
            EXPECT_STREQ(e.what(), "");
        }
    }
    EXPECT_NO_THROW(Load(bytes));
}

TEST(DictionaryFormat, ShortReadsNameTheirSizes) {
    TFixture f;
    FillSample(f);
    const std::string bytes = Write(f.Build());
    const TLayout l = Layout(f.Dictionary(), bytes);
    const uint32_t trieLength = static_cast<uint32_t>(f.Dictionary().PrefixTrie.Length());
    ASSERT_GT(trieLength, 3u);
    struct TCase {
        size_t Cut;
        std::string Message;
    } cases[] = {
        {0, "can not load pod type(2, 0 bytes)"},
        {l.Rules + 3, "can not load pod type(2, 1 bytes)"},
        {l.Tree + 2, "can not load pod type(4, 2 bytes)"},
        {l.Tree + 4 + 5, "can not load pod array(" +
                             std::to_string(f.Dictionary().EndingTree->Count * 12) + ", 5 bytes)"},
        {l.Alphabet + 8 + 100, "can not load pod array(65536, 100 bytes)"},
        {l.Markers + 7, "can not load pod array(1225, 7 bytes)"},
        // The trie, once cut short without a word, now fails like every other array.
        {bytes.size() - 3, "can not load pod array(" + std::to_string(trieLength) + ", " +
                               std::to_string(trieLength - 3) + " bytes)"},
    };
    for (const TCase& c : cases) {
        try {
            Load(bytes.substr(0, c.Cut));
            ADD_FAILURE() << c.Message;
        } catch (const TLoadEOF& e) {
            EXPECT_EQ(std::string(e.what()), c.Message);
        }
    }
    // A stream that ends right after part 6 lacks the format byte: not an EOF.
    EXPECT_THROW(Load(bytes.substr(0, l.Format)), TLoadError);
}

TEST(DictionaryFormat, MarkerOtherThanOneIsAnEmptySlotAndFormatByteMustBeOne) {
    TFixture f;
    f.Alphabet(u"аб", u"а");
    f.Ending(u"", u"", "nom");
    f.List({0});
    f.Rule(0, 0, u"", "S");
    f.Stem(u"аб", {0});
    const std::string bytes = Write(f.Build());
    const TLayout l = Layout(f.Dictionary(), bytes);
    // Slots are 3 x 3; "аб" is slot 1 * 3 + 2 = 5; the empty slots read as '0'.
    EXPECT_EQ(bytes.substr(l.Markers, 9), "000001000");
    std::string other = bytes;
    other.replace(l.Markers, 5, "\x01x2 \xFF");
    auto loaded = Load(other);
    for (uint64_t slot = 0; slot < 9; ++slot) {
        EXPECT_EQ(loaded->Dictionary.StemBlock(slot) != nullptr, slot == 5) << slot;
    }
    for (char format : {'\0', '\x02', '1'}) {
        std::string bad = bytes;
        bad[l.Format] = format;
        EXPECT_THROW(Load(bad), TLoadError) << int(format);
    }
}

// Sets `width` bytes at `pos` to a little-endian value.
void Poke(std::string& bytes, size_t pos, uint64_t value, size_t width) {
    for (size_t i = 0; i < width; ++i) {
        bytes[pos + i] = static_cast<char>(value >> (8 * i));
    }
}

TEST(DictionaryFormat, TablesThatDoNotFitTogetherAreRefused) {
    TFixture f;
    FillSample(f);
    const TDictionary& d = f.Build();
    const std::string bytes = Write(d);
    const TLayout l = Layout(d, bytes);
    const size_t rule0 = l.Rules + 4;  // u32 length, then the record
    const size_t node1 = l.Tree + 4 + 12;
    const size_t letters = l.Alphabet + 4;
    size_t block = l.Markers + 35 * 35;  // the first stem block: u32 K, nodes, u32 M, ids
    const uint64_t firstSlot = [&] {
        for (uint64_t s = 0;; ++s) {
            if (d.StemBlock(s)) {
                return s;
            }
        }
    }();
    const TStemBlock& b = *d.StemBlock(firstSlot);
    ASSERT_GT(b.NodeCount, 2u);
    const std::string r0 = "rule 0 (" + std::to_string(d.Rules[0].Length) + " bytes): ";
    struct TCase {
        const char* Name;
        std::function<void(std::string&)> Damage;
        std::string Message;  // empty: any message
    } cases[] = {
        {"rule length below any record", [&](std::string& s) { Poke(s, rule0, 5, 4); },
         "rule 0 (5 bytes): its length is impossible"},
        {"huge rule length", [&](std::string& s) { Poke(s, rule0, 0xFFFFFFF0, 4); },
         "rule 0 (4294967280 bytes): its length is impossible"},
        {"variant beyond the variants", [&](std::string& s) { s[rule0 + 4 + 1] = 1; },
         r0 + "its variant lies outside its variants"},
        {"grammar offset beyond the record",
         [&](std::string& s) { Poke(s, rule0 + 4 + 9, 200, 2); },
         r0 + "its grammar does not end the record"},
        {"text end before the texts", [&](std::string& s) { Poke(s, rule0 + 4 + 7, 3, 2); },
         r0 + "its texts are out of order"},
        {"ending list that does not exist", [&](std::string& s) { Poke(s, rule0 + 4 + 4, 40, 2); },
         r0 + "it names an ending list that does not exist"},
        {"tree child beyond the nodes",
         [&](std::string& s) { Poke(s, l.Tree + 4 + 4, 1u << 30, 4); }, ""},
        {"tree child before its parent", [&](std::string& s) { Poke(s, l.Tree + 4 + 4, 0, 4); },
         ""},
        {"tree value beyond the endings",
         [&](std::string& s) { Poke(s, node1 + 8, 0x7FFF0000, 4); }, ""},
        {"tree root character", [&](std::string& s) { Poke(s, l.Tree + 4, 'a', 2); },
         "ending tree: the root's character is 97, not 0"},
        {"no letters", [&](std::string& s) { Poke(s, letters, 0, 4); }, "alphabet: 0 letters"},
        {"unit index beyond the letters", [&](std::string& s) { s[letters + 4 + 'z'] = 100; },
         "alphabet: unit 122 has index 100 of 35 letters"},
        {"tuple too long", [&](std::string& s) { Poke(s, l.Alphabet, 7, 4); },
         "alphabet: 35 letters to the power 7 exceed 16777216 stem-block slots"},
        {"stem child beyond the block", [&](std::string& s) { Poke(s, block + 4 + 4, 1000, 4); },
         ""},
        {"stem rule beyond the rules",
         [&](std::string& s) {
             // The root's first child: re-point it at an end-of-stem node with rule 999.
             const uint64_t end = NStemNode::Make(0, 1, 999);
             Poke(s, block + 4 + 8 * NStemNode::FirstChild(b.Nodes[0]), end, 8);
         },
         ""},
        {"ending list beyond the endings",
         [&](std::string& s) { Poke(s, l.Lists + 2 + 4, 900, 2); }, ""},
        {"ending list out of order", [&](std::string& s) { Poke(s, l.Lists + 2 + 4, 3, 2); }, ""},
        {"trie offset past its end",
         [&](std::string& s) {
             s[l.Trie + 4] = 1;  // a jump of one offset byte
             s[l.Trie + 5] = static_cast<char>(0xFF);
         },
         ""},
    };
    for (const TCase& c : cases) {
        std::string damaged = bytes;
        c.Damage(damaged);
        try {
            Load(damaged);
            ADD_FAILURE() << c.Name << " loaded";
        } catch (const TLoadError& e) {
            if (!c.Message.empty()) {
                EXPECT_EQ(std::string(e.what()), c.Message) << c.Name;
            } else {
                EXPECT_STRNE(e.what(), "") << c.Name;
            }
        } catch (const TLoadEOF& e) {
            ADD_FAILURE() << c.Name << ": " << e.what();
        }
    }
}

// Sets the 4 bytes at `pos` to a big-endian value, as the trie's offsets are written.
void PokeBigEndian(std::string& bytes, size_t pos, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) {
        bytes[pos + i] = static_cast<char>(value >> (24 - 8 * i));
    }
}

// Byte offset of each stem block in a written stream, by slot.
std::map<uint64_t, size_t> BlockOffsets(const TDictionary& d, const TLayout& l) {
    std::map<uint64_t, size_t> out;
    size_t pos = l.Markers + d.StemSlotCount;
    for (uint64_t slot = 0; slot < d.StemSlotCount; ++slot) {
        if (const TStemBlock* b = d.StemBlock(slot)) {
            out[slot] = pos;
            pos += 4 + 8 * size_t(b->NodeCount) + 4 + 2 * size_t(b->RuleIdCount);
        }
    }
    return out;
}

// The first record of a compact trie below the root that has a right offset, found by walking
// down the first arcs: its position.
size_t FirstInnerRecordWithAnOffset(const std::string& trie) {
    for (size_t pos = 0; pos < trie.size();) {
        const unsigned flags = static_cast<unsigned char>(trie[pos]);
        if (!(flags & 0x40)) {
            break;  // a jump or an arc without a child: the fixtures' tries have none on the way
        }
        if (pos > 0 && (flags & 7) != 0) {
            return pos;
        }
        pos += 2 + ((flags >> 3) & 7) + (flags & 7);
        if (flags & 0x80) {
            pos += NCompactTrie::PackedValueSize(static_cast<unsigned char>(trie[pos]));
        }
    }
    throw std::logic_error("no inner record with an offset");
}

TEST(DictionaryFormat, CrossTableChecksHoldAtTheirExactBounds) {
    TFixture f;
    FillSample(f);
    const TDictionary& d = f.Build();
    const std::string bytes = Write(d);
    const TLayout l = Layout(d, bytes);
    const uint32_t endings = d.EndingCount, rules = d.RuleCount, lists = d.EndingListCount;
    const size_t rule0 = l.Rules + 4 + 4;  // count and threshold, the record's u32 length
    const size_t node1 = l.Tree + 4 + 12;
    const std::map<uint64_t, size_t> blocks = BlockOffsets(d, l);

    // A stem block with a rule-id array, and a stem end with its one rule id inline.
    uint64_t arraySlot = 0, inlineSlot = 0;
    uint32_t inlineNode = 0;
    const TStemBlock* arrayBlock = nullptr;
    for (const auto& [slot, offset] : blocks) {
        const TStemBlock& b = *d.StemBlock(slot);
        if (b.RuleIdCount > 0) {
            arraySlot = slot;
            arrayBlock = &b;
        }
        for (uint32_t i = 1; i < b.NodeCount && inlineNode == 0; ++i) {
            if (NStemNode::Char(b.Nodes[i]) == 0 && NStemNode::RuleIdCount(b.Nodes[i]) == 1) {
                inlineSlot = slot;
                inlineNode = i;
            }
        }
    }
    ASSERT_NE(arrayBlock, nullptr);
    ASSERT_NE(inlineNode, 0u);
    const size_t ruleIds = blocks.at(arraySlot) + 4 + 8 * arrayBlock->NodeCount + 4;
    const size_t stemEnd = blocks.at(inlineSlot) + 4 + 8 * inlineNode;
    const size_t lastListEntry = l.Format - 2;  // the last list ascends: its last id is its largest
    const std::string trie = bytes.substr(l.Trie + 4);
    const size_t trieRecord = FirstInnerRecordWithAnOffset(trie);

    const std::string ofEndings = " of " + std::to_string(endings);
    struct TCase {
        const char* Name;
        std::function<void(std::string&)> Damage;
        std::string Message;  // empty: the dictionary loads
    } cases[] = {
        {"tree value ending at the ending count",
         [&](std::string& s) { Poke(s, node1 + 8, (endings - 1) | (endings << 16), 4); }, ""},
        {"tree value ending one past the ending count",
         [&](std::string& s) { Poke(s, node1 + 8, (endings - 1) | ((endings + 1) << 16), 4); },
         "ending tree: node 1 names endings " + std::to_string(endings - 1) + " to " +
             std::to_string(endings + 1) + ofEndings},
        {"tree value of no endings", [&](std::string& s) { Poke(s, node1 + 8, 3 | (3 << 16), 4); },
         "ending tree: node 1 names endings 3 to 3" + ofEndings},
        {"rule id in the array below the rule count",
         [&](std::string& s) { Poke(s, ruleIds, rules - 1, 2); }, ""},
        {"rule id in the array equal to the rule count",
         [&](std::string& s) { Poke(s, ruleIds, rules, 2); },
         "stem block " + std::to_string(arraySlot) + ": rule id " + std::to_string(rules) + " of " +
             std::to_string(rules) + " rules"},
        {"inline rule id below the rule count",
         [&](std::string& s) { Poke(s, stemEnd, NStemNode::Make(0, 1, rules - 1), 8); }, ""},
        {"inline rule id equal to the rule count",
         [&](std::string& s) { Poke(s, stemEnd, NStemNode::Make(0, 1, rules), 8); },
         "stem block " + std::to_string(inlineSlot) + ": the rules of stem end " +
             std::to_string(inlineNode) + " lie outside the block"},
        {"ending-list entry below the ending count",
         [&](std::string& s) { Poke(s, lastListEntry, endings - 1, 2); }, ""},
        {"ending-list entry equal to the ending count",
         [&](std::string& s) { Poke(s, lastListEntry, endings, 2); },
         "ending list " + std::to_string(lists - 1) + ": entry " +
             std::to_string(d.EndingLists[lists - 1].Count - 1) + " (" + std::to_string(endings) +
             ") is out of order or beyond the " + std::to_string(endings) + " endings"},
        {"rule's list index below the list count",
         [&](std::string& s) { Poke(s, rule0 + 4, lists - 1, 2); }, ""},
        {"rule's list index equal to the list count",
         [&](std::string& s) { Poke(s, rule0 + 4, lists, 2); },
         "rule 0 (" + std::to_string(d.Rules[0].Length) +
             " bytes): it names an ending list that does not exist"},
        // The root record reads well; a record below it points past the end. Only the
        // loader's own walk over every record sees that.
        {"trie offset in an inner record",
         [&](std::string& s) { PokeBigEndian(s, l.Trie + 4 + trieRecord + 2, 0xFFFFFF00); },
         "prefix trie: an offset at " + std::to_string(trieRecord) + " points past its " +
             std::to_string(trie.size()) + " bytes"},
        {"trie offset to the trie's end",
         [&](std::string& s) {
             PokeBigEndian(s, l.Trie + 4 + trieRecord + 2, trie.size() - trieRecord);
         },
         "prefix trie: an offset at " + std::to_string(trieRecord) + " points past its " +
             std::to_string(trie.size()) + " bytes"},
    };
    for (const TCase& c : cases) {
        std::string damaged = bytes;
        c.Damage(damaged);
        try {
            Load(damaged);
            EXPECT_EQ(c.Message, "") << c.Name << " loaded";
        } catch (const TLoadError& e) {
            EXPECT_EQ(std::string(e.what()), c.Message) << c.Name;
        }
    }
}

TEST(DictionaryFormat, RuleLengthsHoldBetweenTheSmallestAndTheLargestRecord) {
    // The smallest record: one variant, no texts, an empty grammar. The largest: its grammar at
    // offset 65535, 255 grammeme bytes long, and the 0 after them.
    std::string smallest = PackRule(0, 0, 0, u"", "");
    ASSERT_EQ(smallest.size(), NRule::MinLength);
    std::string largest = PackRule(0, 0, 0, u"", std::string(255, char(136)));
    largest.replace(12, 0, std::string(65535 - 12, 'x'));  // the variant's stem tail
    Poke(largest, 9, 65535, 2);
    ASSERT_EQ(largest.size(), NRule::MaxLength);
    TFixture f;
    FillSmall(f);
    const uint16_t smallestId = 2;  // after the small dictionary's two rules
    f.RawRule(smallest);
    f.RawRule(largest);
    const TDictionary& d = f.Build();
    ASSERT_EQ(d.RuleCount, smallestId + 2);
    EXPECT_NO_THROW(CheckDictionary(d));
    const std::string bytes = Write(d);
    std::unique_ptr<TLoaded> loaded;
    ASSERT_NO_THROW(loaded = Load(bytes));
    EXPECT_EQ(loaded->Dictionary.Rules[smallestId].Length, NRule::MinLength);
    EXPECT_EQ(loaded->Dictionary.Rules[smallestId + 1].Length, NRule::MaxLength);

    // One byte less or more in the length field, before the record is read.
    const TLayout l = Layout(d, bytes);
    size_t field = l.Rules + 4;
    for (uint16_t id = 0; id < smallestId; ++id) {
        field += 4 + d.Rules[id].Length;
    }
    const size_t largestField = field + 4 + NRule::MinLength;
    try {
        Load(bytes.substr(0, largestField + 4));
        ADD_FAILURE() << "a rule without its bytes loaded";
    } catch (const TLoadEOF& e) {
        EXPECT_EQ(std::string(e.what()), "can not load pod array(65791, 0 bytes)");
    }
    struct TCase {
        size_t Field;
        uint64_t Length;
        uint16_t Id;
    } cases[] = {
        {field, NRule::MinLength - 1, smallestId},
        {largestField, NRule::MaxLength + 1, uint16_t(smallestId + 1)},
    };
    for (const TCase& c : cases) {
        std::string damaged = bytes;
        Poke(damaged, c.Field, c.Length, 4);
        // Refused before the record is read: the same with no record bytes after the field.
        for (const std::string& stream : {damaged, damaged.substr(0, c.Field + 4)}) {
            try {
                Load(stream);
                ADD_FAILURE() << c.Length << " bytes loaded";
            } catch (const TLoadError& e) {
                EXPECT_EQ(std::string(e.what()), "rule " + std::to_string(c.Id) + " (" +
                                                     std::to_string(c.Length) +
                                                     " bytes): its length is impossible");
            }
        }
        // The same record checked in memory.
        std::string record = c.Id == smallestId ? smallest : largest;
        record.resize(c.Length);
        record.back() = 0;
        const TRuleRecord rule{reinterpret_cast<const unsigned char*>(record.data()), c.Length};
        EXPECT_STREQ(NRule::CheckRecord(rule.Data, rule.Length, 2), "its length is impossible");
    }
}

TEST(DictionaryFormat, HugeCountsInAShortStreamTakeNoHugeMemory) {
    // Counts that would ask for gigabytes: the stream ends long before, and the loader finds
    // out before it allocates.
    std::string bytes(2, '\0');     // no endings
    bytes += std::string(4, '\0');  // no rules
    bytes += "\xFF\xFF\xFF\x7F";    // 2^31 tree nodes
    bytes += std::string(100, 'x');
    try {
        Load(bytes);
        FAIL();
    } catch (const TLoadEOF& e) {
        EXPECT_EQ(std::string(e.what()), "can not load pod array(25769803764, 100 bytes)");
    }
}

TEST(DictionaryFormat, FailedLoadLeavesTheDictionaryEmpty) {
    TFixture f;
    FillSample(f);
    const std::string bytes = Write(f.Build());
    TMemoryPool pool(4096);
    TDictionary d;
    TMemoryInput in(bytes.data(), bytes.size() - 1);
    EXPECT_THROW(LoadDictionary(d, in, pool), TLoadEOF);
    EXPECT_EQ(d.Alphabet, nullptr);
    EXPECT_EQ(d.EndingCount, 0u);
    EXPECT_EQ(d.EndingTree, nullptr);
}

}  // namespace

}  // namespace NDictionaryLoaderTest
