// The compiler's building side end to end: a source compiles into a dictionary that the rule
// matcher answers from, the written file loads and answers alike, and the limits and faults of
// building leave nothing half-built.
#include "lemmer/compiler/compiler_errors.h"
#include "lemmer/compiler/compiler_test_helpers.h"
#include "lemmer/compiler/dictionary_compiler.h"
#include "lemmer/dictionary/dictionary_check.h"
#include "lemmer/dictionary/dictionary_loader.h"
#include "lemmer/dictionary/dictionary_test_helpers.h"
#include "lemmer/dictionary/dictionary_writer.h"
#include "lemmer/dictionary/rule_matcher.h"
#include "util/charset/utf8.h"
#include "util/stream/buffer_stream.h"
#include "util/stream/memory.h"
#include "util/stream/null.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace NDictionaryBuildTest {
using namespace NCompilerTest;

namespace {

struct TForm {
    std::u16string Word;
    std::u16string Lemma;
    std::string Grammar;  // grammeme codes of the common and the form grammar, sorted
};

std::u16string Wide(const std::string& utf8) {
    const TUtf16String w = DecodeUtf8(utf8.data(), utf8.size());
    return std::u16string(reinterpret_cast<const char16_t*>(w.data()), w.size());
}

std::string Narrow(const std::u16string& wide) {
    std::string out;
    for (const char16_t unit : wide) {
        uint8_t bytes[4];
        out.append(reinterpret_cast<const char*>(bytes), WriteUtf8Char(unit, bytes));
    }
    return out;
}

std::string SortedCodes(std::string codes) {
    std::sort(codes.begin(), codes.end());
    return codes;
}

// Every wordform of the entry-format source with its lemma and grammar.
std::vector<TForm> ReadForms(const std::string& source) {
    std::vector<TForm> forms;
    std::istringstream in(source);
    std::string line;
    std::u16string lemma;
    while (std::getline(in, line)) {
        if (line.empty()) {
            lemma.clear();
            continue;
        }
        if (lemma.empty()) {
            lemma = Wide(line);
            continue;
        }
        const size_t tab = line.find('\t');
        std::string text = line.substr(0, tab);
        text.erase(
            std::remove_if(text.begin(), text.end(), [](char c) { return c == '[' || c == ']'; }),
            text.end());
        std::string names = line.substr(tab + 1);
        std::replace(names.begin(), names.end(), ',', ' ');
        std::replace(names.begin(), names.end(), '=', ' ');
        // The Russian normaliser writes ё as е, in the dictionary as in the words looked up.
        std::u16string word = Wide(text);
        std::replace(word.begin(), word.end(), u'ё', u'е');
        forms.push_back({word, lemma, SortedCodes(NByk::NTest::Gram(names))});
    }
    return forms;
}

class TMatcher {
public:
    explicit TMatcher(const NByk::TDictionary& d) : D_(d) {}

    // Verdict and (lemma, grammar) of every result.
    uint32_t Match(const std::u16string& word, uint32_t mode,
                   std::set<std::pair<std::u16string, std::string>>& found) {
        S_->Word = reinterpret_cast<const wchar16*>(word.data());
        S_->Length = static_cast<int32_t>(word.size());
        NByk::MatchRules(D_, *S_);
        const uint32_t verdict = NByk::EvaluateCandidates(D_, *S_, mode, nullptr);
        for (uint64_t i = 0; i < S_->ResultCount; ++i) {
            const NByk::TMatchResult& r = S_->Results[i];
            const NByk::TMatchCandidate& c = S_->Candidates[r.CandidateIndex];
            std::u16string ending(r.LemmaEndingLength(), u'\0');
            NByk::CopyLemmaEnding(r, reinterpret_cast<wchar16*>(ending.data()));
            const std::u16string lemma =
                word.substr(c.StemStart, c.Depth + c.Unmatched - r.Cut) + ending;
            uint32_t n = 0;
            const uint16_t* ids = NByk::ResultEndingIds(D_, r, &n);
            for (uint32_t k = 0; k < n; ++k) {
                found.emplace(lemma, SortedCodes(std::string(r.CommonGrammar) +
                                                 D_.Endings[ids[k]].FormGrammar));
            }
        }
        return verdict;
    }

private:
    const NByk::TDictionary& D_;
    std::unique_ptr<NByk::TMatchState> S_ = std::make_unique<NByk::TMatchState>();
};

void ExpectEveryFormFound(const NByk::TDictionary& d, const std::vector<TForm>& forms) {
    TMatcher matcher(d);
    for (const TForm& form : forms) {
        std::set<std::pair<std::u16string, std::string>> found;
        const uint32_t verdict = matcher.Match(form.Word, NByk::MM_DICTIONARY, found);
        EXPECT_EQ(verdict, NByk::MV_DICTIONARY) << Narrow(form.Word);
        EXPECT_TRUE(found.count({form.Lemma, form.Grammar}))
            << Narrow(form.Word) << " -> " << Narrow(form.Lemma);
    }
}

// The same, for the dictionary written to its file and loaded again.
void ExpectEveryFormFoundWhenLoaded(const NByk::TDictionary& d, const std::vector<TForm>& forms) {
    TBufferOutput file;
    NByk::WriteDictionary(d, file);
    TMemoryInput in(file.Range().data(), file.Range().size());
    TMemoryPool pool(1 << 16);
    NByk::TDictionary loaded;
    NByk::LoadDictionary(loaded, in, pool);
    ExpectEveryFormFound(loaded, forms);
}

struct TBuilt {
    TMemoryPool Pool{1 << 16};
    TDictionaryStorage Storage{&Pool};
    std::unique_ptr<NByk::TDictionary> Dictionary;
    std::string Messages;
};

std::unique_ptr<TBuilt> CompileText(const std::string& source, const std::string& prefixes = "",
                                    uint64_t threshold = 0, uint64_t tupleLength = 2) {
    auto built = std::make_unique<TBuilt>();
    TCompilerSettings settings = RussianSettings();
    settings.RuleThreshold = threshold;
    settings.TupleLength = tupleLength;
    TBufferOutput messages;
    TDictionaryCompiler compiler(&settings, &messages);
    if (!prefixes.empty()) {
        TMemoryInput in(prefixes.data(), prefixes.size());
        compiler.CompilePrefixes(in);
    }
    TMemoryInput in(source.data(), source.size());
    EXPECT_GT(compiler.CompileStream(in), 0);
    EXPECT_EQ(compiler.EntriesRejected(), 0u);
    built->Dictionary = compiler.BuildDictionary(built->Storage);
    built->Messages.assign(messages.Range().data(), messages.Range().size());
    return built;
}

TEST(DictionaryBuild, SampleSourceAnswersEveryWordformBeforeAndAfterWriting) {
    const std::string source = ReadFile(TestData("sample-entries.dict"));
    const std::vector<TForm> forms = ReadForms(source);
    ASSERT_GT(forms.size(), 100u);
    const auto built = CompileText(source, "под\nне\n");
    const NByk::TDictionary& d = *built->Dictionary;
    NByk::CheckDictionary(d);
    EXPECT_EQ(d.StemSlotCount, uint64_t(d.Alphabet->LetterCount) * d.Alphabet->LetterCount);
    ExpectEveryFormFound(d, forms);

    ExpectEveryFormFoundWhenLoaded(d, forms);

    // The statistics lines of the build, in their order.
    const std::string& m = built->Messages;
    size_t at = 0;
    for (const char* line :
         {"Statistic: Alphabet: Character Count: ", "Statistic: Alphabet: Tuple Length: 2\n",
          "Statistic: Affixes: ", "Statistic: Paradigms: ", "Statistic: Rules: ",
          "Statistic: Rules: Last Non Rare: ", "Statistic: Stems: "}) {
        at = m.find(line, at);
        ASSERT_NE(at, std::string::npos) << line;
    }
}

TEST(DictionaryBuild, UnknownWordsGetHypotheses) {
    const auto built = CompileText(ReadFile(TestData("sample-entries.dict")), "под\n");
    TMatcher matcher(*built->Dictionary);
    std::set<std::pair<std::u16string, std::string>> found;
    // A known word beginning before a dictionary word.
    EXPECT_EQ(matcher.Match(u"подстолом", NByk::MM_DICTIONARY | NByk::MM_PREFIX_HYPOTHESES, found),
              NByk::MV_PREFIX_HYPOTHESES);
    EXPECT_TRUE(found.count({u"подстол", SortedCodes(NByk::NTest::Gram("S m inan ins sg"))}));
    // A stem like a dictionary stem takes that stem's rules.
    found.clear();
    EXPECT_EQ(matcher.Match(u"шмолами", NByk::MM_DICTIONARY | NByk::MM_STEM_HYPOTHESES, found),
              NByk::MV_STEM_HYPOTHESES);
    EXPECT_TRUE(found.count({u"шмол", SortedCodes(NByk::NTest::Gram("S m inan ins pl"))}));
}

// A tuple of 0 or 1 letters gives the index one slot per letter. With 0 every stem is in the
// block of slot 0; the file keeps the one slot that letters ^ 0 gives, and loads alike.
TEST(DictionaryBuild, ShortTuplesGiveOneSlotPerLetter) {
    const std::string sample = ReadFile(TestData("sample-entries.dict"));
    const std::vector<TForm> forms = ReadForms(sample);
    for (const uint64_t tuple : {0u, 1u}) {
        SCOPED_TRACE(tuple);
        const auto built = CompileText(sample, "", 0, tuple);
        const NByk::TDictionary& d = *built->Dictionary;
        ASSERT_GT(d.Alphabet->LetterCount, 1u);
        EXPECT_EQ(d.StemSlotCount, d.Alphabet->LetterCount);
        EXPECT_EQ(built->Storage.StemBlockCount(), d.Alphabet->LetterCount);
        uint64_t used = 0;
        for (uint64_t slot = 0; slot < d.StemSlotCount; ++slot) {
            used += d.StemBlock(slot) != nullptr;
        }
        if (tuple == 0) {
            EXPECT_EQ(used, 1u);
            EXPECT_NE(d.StemBlock(0), nullptr);
        } else {
            EXPECT_GT(used, 1u);
        }
        NByk::CheckDictionary(d);
        ExpectEveryFormFound(d, forms);

        ExpectEveryFormFoundWhenLoaded(d, forms);
    }
}

// 32000 stems in one block are accepted; the 32001st refuses the build, naming the block, and
// the storage keeps what it held: a dictionary built into it before still answers.
TEST(DictionaryBuild, FullBlockRefusesTheBuildAndLeavesTheStorageAsItWas) {
    const std::u16string letters = u"абвгдежзийклмнопрстуфхцчшщъыьэюя";
    auto source = [&](size_t stems) {
        std::string text;
        for (size_t i = 0; i < stems; ++i) {
            std::u16string stem = {letters[i % 32], letters[i / 32 % 32], letters[i / 1024]};
            stem += u"ав";
            const std::string s = Narrow(stem);
            text += s + "\n[" + s + "]\tS,m,inan=nom,sg\n\n";
        }
        return text;
    };
    EXPECT_NE(CompileText(source(32000))->Dictionary, nullptr);

    const std::string sample = ReadFile(TestData("sample-entries.dict"));
    const auto built = CompileText(sample);
    const uint64_t blocks = built->Storage.StemBlockCount();
    NByk::TStemBlock* const* slots = built->Storage.StemBlocks();

    TCompilerSettings settings = RussianSettings();
    TNullOutput messages;
    TDictionaryCompiler compiler(&settings, &messages);
    const std::string full = source(32001);
    TMemoryInput in(full.data(), full.size());
    ASSERT_EQ(compiler.CompileStream(in), 32001);
    try {
        compiler.BuildDictionary(built->Storage);
        ADD_FAILURE() << "built";
    } catch (const NByk::TOverflowError& e) {
        EXPECT_STREQ(e.what(), "Too many stems in the block \"ва\"\n");
    }
    EXPECT_EQ(built->Storage.StemBlockCount(), blocks);
    EXPECT_EQ(built->Storage.StemBlocks(), slots);
    ExpectEveryFormFound(*built->Dictionary, ReadForms(sample));
}

// A tuple length whose slot count (letters ^ length) is beyond any dictionary is refused
// before the slot array is allocated.
TEST(DictionaryBuild, OverlongTupleLengthIsRefused) {
    for (const uint64_t tuple : {uint64_t(5), uint64_t(1) << 33, ~uint64_t(0)}) {
        TCompilerSettings settings = RussianSettings();
        settings.TupleLength = tuple;
        TNullOutput messages;
        TDictionaryCompiler compiler(&settings, &messages);
        const std::string entry = "стол\n[стол]\tS,m,inan=nom,sg\n\n";
        TMemoryInput in(entry.data(), entry.size());
        ASSERT_EQ(compiler.CompileStream(in), 1);
        TMemoryPool pool(4096);
        TDictionaryStorage storage(&pool);
        EXPECT_THROW(compiler.BuildDictionary(storage), NByk::TCompileError) << tuple;
        EXPECT_EQ(storage.StemBlocks(), nullptr);
    }
}

TEST(DictionaryBuild, BuildingNeedsAFinishedCompilation) {
    TCompilerSettings settings = RussianSettings();
    TNullOutput messages;
    TDictionaryCompiler compiler(&settings, &messages);
    TMemoryPool pool(4096);
    TDictionaryStorage storage(&pool);
    EXPECT_THROW(compiler.BuildDictionary(storage), NByk::TCompileError);
    EXPECT_EQ(compiler.Finish(), 0);
    EXPECT_THROW(compiler.BuildDictionary(storage), NByk::TCompileError);
}

bool HasPrefix(const NByk::TDictionary& d, const std::u16string& key) {
    const char* value = nullptr;
    return d.PrefixTrie.Find(reinterpret_cast<const wchar16*>(key.data()), key.size(), &value);
}

TEST(DictionaryPrefixes, LinesBecomeLowerCaseKeys) {
    const std::string entry = "стол\n[стол]\tS,m,inan=nom,sg\n\n";
    // Lines differing only in case are one key (the report counts lines added); an empty line
    // is the empty key.
    const auto built = CompileText(entry, "Под\nпод\r\nНЕ\n\n");
    EXPECT_NE(built->Messages.find("Compiled prefixes: 4 entries.\n"), std::string::npos)
        << built->Messages;
    EXPECT_TRUE(HasPrefix(*built->Dictionary, u"под"));
    EXPECT_TRUE(HasPrefix(*built->Dictionary, u"не"));
    EXPECT_FALSE(HasPrefix(*built->Dictionary, u"Под"));
    // Without a prefix list the trie is the saved root alone: no key, not even the empty one.
    const auto bare = CompileText(entry);
    EXPECT_FALSE(HasPrefix(*bare->Dictionary, u"под"));
    EXPECT_FALSE(HasPrefix(*bare->Dictionary, u""));
    NByk::CheckDictionary(*bare->Dictionary);
}

TEST(DictionaryPrefixes, CodePagesOfPrefixLines) {
    TCompilerSettings settings = RussianSettings();
    TBufferOutput messages;
    TDictionaryCompiler compiler(&settings, &messages);
    // An empty list still reports.
    TMemoryInput none("", 0);
    EXPECT_EQ(compiler.CompilePrefixes(none), 0);
    EXPECT_NE(std::string(messages.Range().data(), messages.Range().size())
                  .find("Compiled prefixes: 0 entries.\nCompiled prefixes: 1 nodes in trie.\n"),
              std::string::npos);
    // Malformed UTF-8 is refused.
    EXPECT_ANY_THROW(compiler.AddPrefix(Stroka("\xD0")));
    // A single-byte page: one unit per byte (cp1251 "ПОД").
    settings.CodePage = CODES_WIN;
    compiler.AddPrefix(Stroka("\xCF\xCE\xC4"));
    EXPECT_EQ(compiler.PrefixCount(), 1u);
    // A code page outside the table is refused before it is looked up.
    for (const ECharset bad : {ECharset(-1), ECharset(CODES_MAX), ECharset(100000)}) {
        settings.CodePage = bad;
        EXPECT_ANY_THROW(compiler.AddPrefix(Stroka("под")));
    }
    EXPECT_EQ(compiler.PrefixCount(), 1u);
}

// The build compiles the same source with the dictionary_compile tool: its file is the one the
// library writes.
TEST(DictionaryBuild, ToolWritesWhatTheLibraryBuilds) {
    const auto built = CompileText(ReadFile(TestData("sample-entries.dict")));
    TBufferOutput file;
    NByk::WriteDictionary(*built->Dictionary, file);
    const std::string tool = ReadFile(LEMMIX_SAMPLE_DICTIONARY);
    ASSERT_FALSE(tool.empty());
    EXPECT_TRUE(tool == std::string(file.Range().data(), file.Range().size()));
}

}  // namespace

}  // namespace NDictionaryBuildTest
