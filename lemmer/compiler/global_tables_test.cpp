#include "lemmer/compiler/global_tables.h"

#include "lemmer/compiler/compiler_test_helpers.h"
#include "lemmer/compiler/dictionary_compiler.h"
#include "lemmer/compiler/table_dumps.h"

#include "lemmer/grammar/gram_codes.h"

#include "util/generic/exception.h"
#include "util/stream/memory.h"
#include "util/stream/null.h"
#include "util/stream/string_stream.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using NCompilerTest::ReadFile;
using NCompilerTest::RussianSettings;
using NCompilerTest::TestData;

const char* const LogNames[] = {"trace",           "rule-renumeration", "table-affixes",
                                "table-paradigms", "table-rules",       "table-stems"};

// Compiles a source held in a string; the compiler keeps the tables.
struct TCompiled {
    explicit TCompiled(const std::string& source, const TCompilerSettings& settings)
        : Settings(settings), Compiler(&Settings, &Messages) {
        TMemoryInput in(source.data(), source.size());
        Result = Compiler.CompileStream(in);
    }

    const TGlobalTables& Tables() const { return Compiler.Tables(); }

    TCompilerSettings Settings;
    Stroka Text;
    TStringOutput Messages{Text};
    TDictionaryCompiler Compiler;
    int64_t Result = 0;
};

std::u16string Reversed(std::u16string s) {
    return std::u16string(s.rbegin(), s.rend());
}

// The record of the rule that the stem (as written) was given, if the stem is in the tables.
TCharRange RuleOfStem(const TGlobalTables& tables, const std::u16string& stem) {
    const std::u16string key = Reversed(stem);
    for (uint64_t id = 0; id < tables.Stems().Size(); ++id) {
        const TStemKey& k = tables.Stems().Key(id);
        if (std::u16string(k.ReversedStem.Data, k.ReversedStem.Length) == key) {
            return tables.Rules().Key(k.RuleId);
        }
    }
    ADD_FAILURE() << "no such stem";
    return TCharRange();
}

struct TRecordHead {
    int Stems, Index, RootCut, Cut;
    std::u16string LemmaTail;
    std::string Grammar;
};

TRecordHead ReadHead(TCharRange record) {
    const auto* b = reinterpret_cast<const uint8_t*>(record.Data);
    TRecordHead head{b[0], b[1], b[2], b[3], u"", ""};
    const size_t n = b[0];
    const size_t tail = 7 + 5 * n;
    const size_t firstStemTail = b[4 + 3 * n] | (b[5 + 3 * n] << 8);
    for (size_t at = tail; at < firstStemTail; at += 2) {
        head.LemmaTail += static_cast<char16_t>(b[at] | (b[at + 1] << 8));
    }
    const size_t g = b[6 + 5 * n];
    const std::string codes(record.Data + record.Length - 1 - g, g);
    head.Grammar = GramCodesToText(codes.c_str(), 0, false).c_str();
    return head;
}

TEST(GlobalTablesTest, SampleEntriesMatchTheGoldenDumps) {
    NCompilerTest::TScratchDir dir;
    TCompilerSettings settings = RussianSettings();
    settings.DumpTables = true;
    settings.BasePath = dir.File("sample").c_str();
    const TCompiled compiled(ReadFile(TestData("sample-entries.dict")), settings);
    EXPECT_EQ(compiled.Result, 13);
    EXPECT_EQ(std::string(compiled.Text.data(), compiled.Text.size()), "\n");

    Stroka statistics;
    TStringOutput out(statistics);
    const TGlobalTables& tables = compiled.Tables();
    WriteStatistic(out, "Affixes", tables.Affixes().Size());
    WriteStatistic(out, "Paradigms", tables.Paradigms().Size());
    WriteStatistic(out, "Rules", tables.Rules().Size());
    WriteStatistic(out, "Rules: Last Non Rare", tables.NonRareRuleCount());
    WriteStatistic(out, "Stems", tables.Stems().Size());
    std::vector<std::pair<std::string, std::string>> files = {
        {"sample-entries.statistics", std::string(statistics.data(), statistics.size())}};
    for (const char* name : LogNames) {
        files.emplace_back(std::string("sample-entries.") + name + ".log",
                           ReadFile(dir.File(std::string("sample.") + name + ".log")));
    }
    const bool update = std::getenv("LEMMIX_UPDATE_GOLDEN") != nullptr;
    for (const auto& [name, text] : files) {
        SCOPED_TRACE(name);
        const std::string golden = TestData("golden/" + name);
        if (update) {
            std::ofstream(golden, std::ios::binary) << text;
        }
        EXPECT_EQ(text, ReadFile(golden));
    }
}

TEST(GlobalTablesTest, StemsCutsAndGrammarOfSampleEntries) {
    const TCompiled compiled(ReadFile(TestData("sample-entries.dict")), RussianSettings());
    ASSERT_EQ(compiled.Result, 13);
    const TGlobalTables& tables = compiled.Tables();
    struct TCase {
        std::u16string Stem;
        TRecordHead Head;
    };
    // палец: stems палец (0) and пальц (1); пальц less 2 units plus "ец" is the lemma.
    // идти: stems ид (0) and ш (1); ш shares nothing with the lemma.
    const TCase cases[] = {
        {u"палец", {2, 0, 2, 0, u"", "S,m,inan"}},
        {u"пальц", {2, 1, 2, 2, u"ец", "S,m,inan"}},
        {u"ид", {2, 0, 2, 0, u"ти", "V,ipf,intr"}},
        {u"ш", {2, 1, 1, 1, u"идти", "V,ipf,intr"}},
        {u"стол", {1, 0, 0, 0, u"", "S,m,inan"}},
        {u"е", {3, 0, 1, 1, u"он", "SPRO,sg,3p,m"}},  // ё reads as е: stems е, и, он
    };
    for (const TCase& c : cases) {
        const TRecordHead head = ReadHead(RuleOfStem(tables, c.Stem));
        EXPECT_EQ(head.Stems, c.Head.Stems);
        EXPECT_EQ(head.Index, c.Head.Index);
        EXPECT_EQ(head.RootCut, c.Head.RootCut);
        EXPECT_EQ(head.Cut, c.Head.Cut);
        EXPECT_TRUE(head.LemmaTail == c.Head.LemmaTail);
        EXPECT_EQ(head.Grammar, c.Head.Grammar);
    }
}

const std::string Table = "стол\n[стол]\tS,m,inan=nom,sg\n[стол]а\tS,m,inan=gen,sg\n\n";

TEST(GlobalTablesTest, AnEntryPastItsOwnLimitsLeavesTheTablesAsTheyWere) {
    const TCompilerSettings settings = RussianSettings();
    TGlobalTables tables(&settings, &NullStream());
    std::vector<std::u16string> texts;  // the entry's texts live as long as the test
    texts.reserve(64);
    const auto text = [&](const std::u16string& s) {
        texts.push_back(s);
        return TUtf16Range(texts.back().data(), texts.back().size());
    };
    const char grammar[] = {'\x88'};
    const TCharRange common(grammar, 1), none;
    std::vector<TEntryParser::TWordform> forms;
    forms.push_back({text(u"стол"), TUtf16Range(), text(u"а"), none});
    tables.AddDictionaryEntry(text(u"стол"), common, forms);
    const auto snapshot = [&] {
        return std::vector<uint64_t>{tables.Affixes().Size(),   tables.Paradigms().Size(),
                                     tables.Rules().Size(),     tables.Stems().Size(),
                                     tables.Affixes().Count(0), tables.Rules().Count(0)};
    };
    const std::vector<uint64_t> before = snapshot();

    std::vector<TEntryParser::TWordform> many = forms;  // a known affix first
    for (char16_t c = u'а'; many.size() < 20; ++c) {
        many.push_back({text(std::u16string(1, c)), TUtf16Range(), text(u"ы"), none});
    }
    EXPECT_THROW(tables.AddDictionaryEntry(text(u"стол"), common, many),
                 NByk::TInvalidEntryException);
    EXPECT_EQ(snapshot(), before);

    std::vector<TEntryParser::TWordform> longLemma = forms;
    longLemma.push_back({text(u"б"), TUtf16Range(), text(u"ы"), none});
    EXPECT_THROW(tables.AddDictionaryEntry(text(std::u16string(256, u'а')), common, longLemma),
                 NByk::TInvalidEntryException);
    EXPECT_EQ(snapshot(), before);

    many.pop_back();  // 19 stems pass
    tables.AddDictionaryEntry(text(u"стол"), common, many);
    EXPECT_EQ(tables.Stems().Size(), before[3] + 19);
    EXPECT_EQ(tables.Affixes().Count(0), 2u);
}

TEST(GlobalTablesTest, NumbersStemsByTextAndSharesAffixesAndRules) {
    // б comes first in the source but is stem 1; the repeated form adds one affix twice;
    // пол inflects like стол and shares its rule.
    const TCompiled compiled(Table +
                                 "аб\n[б]\tS,m,inan=nom,sg\n[а]ы\tS,m,inan=gen,sg\n"
                                 "[а]ы\tS,m,inan=gen,sg\n\n"
                                 "пол\n[пол]\tS,m,inan=nom,sg\n[пол]а\tS,m,inan=gen,sg\n\n",
                             RussianSettings());
    ASSERT_EQ(compiled.Result, 3);
    const TGlobalTables& tables = compiled.Tables();
    EXPECT_EQ(ReadHead(RuleOfStem(tables, u"а")).Index, 0);
    EXPECT_EQ(ReadHead(RuleOfStem(tables, u"б")).Index, 1);
    EXPECT_EQ(RuleOfStem(tables, u"стол").Data, RuleOfStem(tables, u"пол").Data);
    EXPECT_EQ(tables.Rules().Size(), 3u);
    EXPECT_EQ(tables.Rules().Count(0), 2u);  // the shared rule, first after renumbering
    EXPECT_EQ(tables.Affixes().Size(), 3u);  // "", "а" of nom and gen, "ы" of gen
    // Affix order: longer reversed suffixes first, so "ы" and "а" before the empty suffix.
    EXPECT_EQ(tables.Affixes().Key(2).ReversedSuffix.Length, 0u);
    uint64_t total = 0;
    for (uint64_t id = 0; id < tables.Affixes().Size(); ++id) {
        total += tables.Affixes().Count(id);
    }
    EXPECT_EQ(total, 7u);
    // The paradigm of а holds the repeated affix once: one id, three characters and a 0.
    EXPECT_EQ(tables.Paradigms().Size(), 3u);
}

TEST(GlobalTablesTest, TheRuleThresholdSplitsRareRules) {
    const std::string source = Table + "пол\n[пол]\tS,m,inan=nom,sg\n[пол]а\tS,m,inan=gen,sg\n\n" +
                               "аб\n[аб]\tS,m,inan=nom,sg\n\n";
    for (const auto& [threshold, nonRare] :
         std::vector<std::pair<uint64_t, uint64_t>>{{0, 2}, {1, 1}, {2, 0}, {5, 0}}) {
        TCompilerSettings settings = RussianSettings();
        settings.RuleThreshold = threshold;
        const TCompiled compiled(source, settings);
        EXPECT_EQ(compiled.Tables().NonRareRuleCount(), nonRare) << threshold;
    }
}

TEST(GlobalTablesTest, DumpsOnlyOnRequestAndNumbersAlike) {
    NCompilerTest::TScratchDir dir;
    const std::string source = ReadFile(TestData("sample-entries.dict"));
    TCompilerSettings quiet = RussianSettings();
    quiet.BasePath = dir.File("quiet").c_str();
    TCompiled a(source, quiet);
    TCompilerSettings loud = quiet;
    loud.DumpTables = true;
    loud.BasePath = dir.File("loud").c_str();
    TCompiled b(source, loud);
    EXPECT_TRUE(std::filesystem::exists(dir.File("loud.table-stems.log")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("quiet.table-stems.log")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("quiet.trace.log")));
    ASSERT_EQ(a.Tables().Stems().Size(), b.Tables().Stems().Size());
    for (uint64_t id = 0; id < a.Tables().Stems().Size(); ++id) {
        EXPECT_EQ(a.Tables().Stems().Key(id).RuleId, b.Tables().Stems().Key(id).RuleId);
    }
    // A second finalisation changes nothing.
    const uint64_t rule = b.Tables().Stems().Key(0).RuleId;
    b.Compiler.Tables().DumpTables();
    EXPECT_EQ(b.Tables().Stems().Key(0).RuleId, rule);
    EXPECT_EQ(MakeLogFileName(TCompilerSettings(), "trace"), Stroka("unknown.trace.log"));
}

TEST(GlobalTablesTest, AFailedDumpCanBeRepeatedWithoutRenumberingTwice) {
    NCompilerTest::TScratchDir dir;
    TCompilerSettings settings = RussianSettings();
    settings.DumpTables = true;
    settings.BasePath = dir.File("gone/sample").c_str();
    // The trace file opens with the tables.
    EXPECT_THROW(TGlobalTables(&settings, &NullStream()), TFileError);

    std::filesystem::create_directory(dir.File("gone"));
    TDictionaryCompiler compiler(&settings, &NullStream());
    const std::string source = ReadFile(TestData("sample-entries.dict"));
    TMemoryInput in(source.data(), source.size());
    while (compiler.CompileEntry(in)) {
    }
    std::filesystem::remove_all(dir.File("gone"));
    EXPECT_THROW(compiler.Finish(), TFileError);
    EXPECT_FALSE(compiler.Tables().Dumped());
    std::filesystem::create_directory(dir.File("gone"));
    compiler.Tables().DumpTables();
    EXPECT_TRUE(compiler.Tables().Dumped());
    EXPECT_EQ(ReadFile(dir.File("gone/sample.table-rules.log")),
              ReadFile(TestData("golden/sample-entries.table-rules.log")));
    EXPECT_EQ(ReadFile(dir.File("gone/sample.table-paradigms.log")),
              ReadFile(TestData("golden/sample-entries.table-paradigms.log")));
}

TEST(GlobalTablesTest, TheAffixTableHoldsAtMost65535) {
    const TCompilerSettings settings = RussianSettings();
    TGlobalTables tables(&settings, &NullStream());
    std::u16string suffix(3, u'а');
    for (uint32_t i = 0; i < 65535; ++i) {
        suffix[0] = static_cast<char16_t>(0x400 + i % 256);
        suffix[1] = static_cast<char16_t>(0x400 + i / 256);
        ASSERT_EQ(tables.AddAffix(TUtf16Range(), TUtf16Range(suffix.data(), 3), TCharRange()), i);
    }
    for (uint32_t known : {0u, 70000u}) {
        suffix[0] = static_cast<char16_t>(0x400 + known % 256);
        suffix[1] = static_cast<char16_t>(0x400 + known / 256);
        try {
            tables.AddAffix(TUtf16Range(), TUtf16Range(suffix.data(), 3), TCharRange());
            ADD_FAILURE();
        } catch (const NByk::TOverflowError& e) {
            EXPECT_STREQ(e.what(), "Too much affixes in global table.");
        }
    }
    EXPECT_EQ(tables.Affixes().Count(0), 1u);
}

TEST(GlobalTablesTest, PaddedNumbers) {
    Stroka text;
    TStringOutput out(text);
    out << TPaddedNumber{7, 6, ' '} << "|" << TPaddedNumber{1234567, 6, ' '} << "|"
        << TPaddedNumber{0, 3, '0'};
    EXPECT_EQ(text, Stroka("     7|1234567|000"));
}

}  // namespace
