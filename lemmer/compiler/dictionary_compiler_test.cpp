#include "lemmer/compiler/dictionary_compiler.h"

#include "lemmer/compiler/compiler_test_helpers.h"

#include "util/stream/memory.h"
#include "util/stream/string_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using NCompilerTest::RussianSettings;

const std::string Good = "стол\n[стол]\tS,m,inan=nom,sg\n[стол]а\tS,m,inan=gen,sg\n\n";

struct TRun {
    int64_t Result = 0;
    std::string Messages;
    uint64_t Rejected = 0;
};

TRun Compile(const std::string& source, const TCompilerSettings& settings) {
    Stroka messages;
    TStringOutput out(messages);
    TDictionaryCompiler compiler(&settings, &out);
    TMemoryInput in(source.data(), source.size());
    TRun run;
    run.Result = compiler.CompileStream(in);
    run.Messages.assign(messages.data(), messages.size());
    run.Rejected = compiler.EntriesRejected();
    return run;
}

std::string Repeat(const std::string& piece, size_t times) {
    std::string text;
    for (size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

// 20 one-form stems of Cyrillic letters: one more than an entry may have.
std::string TwentyStems() {
    std::string entry = "аб\n";
    const char* letters[] = {"а", "б", "в", "г", "д", "е", "ж", "з", "и", "й",
                             "к", "л", "м", "н", "о", "п", "р", "с", "т", "у"};
    for (const char* letter : letters) {
        entry += std::string("[") + letter + "]\tS,m,inan=nom,sg\n";
    }
    return entry + "\n";
}

TEST(DictionaryCompilerTest, ReportsEveryRejectionWithItsLineAndGoesOn) {
    const std::string longName(255, 'x');
    const std::string longLemma = Repeat("а", 256);
    struct TCase {
        std::string Entry;
        std::string Message;
    };
    const TCase cases[] = {
        {"ст[ол\n[стол]\tS,m,inan=nom\n\n",
         "There are some bad characters in lemma \"ст[ол\"; skipped."},
        {"стол\nстол\tS,m,inan=nom\n\n",
         "Wordform doesn't have opening bracket; entry \"стол\" skipped."},
        {"стол\n][стол]\tS,m,inan=nom\n\n",
         "There are some bad characters in prefix\"]\"; entry \"стол\" skipped."},
        {"стол\n[стол\tS,m,inan=nom\n\n", "Unclosed bracket in wordform; entry \"стол\" skipped."},
        {"стол\n[ст ол]\tS,m,inan=nom\n\n",
         "There are some bad characters in stem\"ст ол\"; entry \"стол\" skipped."},
        {"стол\n[стол]\n\n", "No space found after stem; entry \"стол\" skipped."},
        {"стол\n[стол]а(б)\tS,m,inan=nom\n\n",
         "There are some bad characters in suffix\"а(б)\"; entry \"стол\" skipped."},
        {"стол\n[стол]\tS,m,inanim=nom\n\n",
         "Invalid grammar feature \"inanim\"; entry \"стол\" skipped."},
        {"стол\n[стол]\tS,муж,неодуш=им\n\n",
         "Invalid grammar feature \"неодуш\"; entry \"стол\" skipped."},
        {"стол\n[стол]\tS,m,,inan=nom\n\n",
         "Invalid grammar feature \",inan\"; entry \"стол\" skipped."},
        {"стол\n[стол]\tS," + longName + "\n\n",
         "Too long grammar feature \"" + longName + "...\"; entry \"стол\" skipped."},
        {"стол\n[стол]\t\u00AD\n\n",
         "No grammar categories assigned to one of the forms; entry \"стол\" skipped."},
        {"стол\n\n", "No forms specified; entry \"стол\" skipped."},
        {"стол\n[стол]\tS,m=nom\n[стол]а\tA=gen\n\n",
         "No common grammar in wordforms; entry \"стол\" skipped."},
        {"стол\n[стол]\tS,m,nom\n[стол]а\tA,m,gen\n\n",
         "Part of speech is not specified; entry \"стол\" skipped."},
        {"стол\n[стол]\tS,V,m\n\n",
         "Non-unique grammar classes in common grammar; entry \"стол\" skipped."},
        {"стол\n[стол]\tS,m=nom,gen,sg\n[стол]у\tS,m=dat,sg\n\n",
         "Repeated grammar class 4 in form \"[стол]\"; entry \"стол\" skipped."},
        {"стол\n[стол]\tS,m=nom,sg\n[стол]а\tS,m=gen,sg,pl\n\n",
         "Repeated grammar class 8 in form \"[стол]а\"; entry \"стол\" skipped."},
        {"стол1\n[стол]1\tS,m,inan=nom,sg\n\n",
         "Found non-alphabetical character in string \"стол1\"; entry \"стол1\" skipped."},
        {"стол\n[стол]q\tS,m,inan=nom,sg\n\n",
         "Found non-alphabetical character in string \"q\"; entry \"стол\" skipped."},
        {"стол\xE0\n[стол]\tS,m,inan=nom,sg\n\n",
         "Found non-alphabetical character in string \"стол\uFFFD\"; entry \"стол\uFFFD\" "
         "skipped."},
        // The entry's own limits reject the entry instead of aborting the compilation.
        {TwentyStems(),
         "Too much stems per dictionary entry (more than 19); entry \"аб\" skipped."},
        {longLemma + "\n[б]\tS,m,inan=nom,sg\n\n",
         "Integer overflow occured, while packing data to the byte-string; entry \"" + longLemma +
             "\" skipped."},
        {"стол\n[стол]\xC0\xAF\tS,m,inan=nom,sg\n\n",
         "Invalid UTF-8 (an overlong form or an encoded surrogate); entry \"стол\" skipped."},
        {"стол\n[стол]\xED\xA0\x80\tS,m,inan=nom,sg\n\n",
         "Invalid UTF-8 (an overlong form or an encoded surrogate); entry \"стол\" skipped."},
        {"\xC0\x80стол\n[стол]\tS,m,inan=nom,sg\n\n",
         "Invalid UTF-8 (an overlong form or an encoded surrogate); entry \"\" skipped."},
        {"стол\n[стол]\t" + Repeat("S,", 257) + "\n\n",
         "Too many grammar features (more than 256) in one form; entry \"стол\" skipped."},
    };
    const TCompilerSettings settings = RussianSettings();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Message);
        const std::string before = Good;
        const size_t line = std::count(before.begin(), before.end(), '\n') +
                            std::count(c.Entry.begin(), c.Entry.end(), '\n');
        const TRun run = Compile(before + c.Entry + Good, settings);
        EXPECT_EQ(run.Messages,
                  "\nAn error occured at line " + std::to_string(line) + "\n" + c.Message + "\n\n");
        EXPECT_EQ(run.Result, 3);
        EXPECT_EQ(run.Rejected, 1u);
    }
}

TEST(DictionaryCompilerTest, ReportsTheLastEntryRejectedAtTheEndOfTheInput) {
    // The input ends while the rest of the bad entry is skipped: the rejection still counts.
    const TCompilerSettings settings = RussianSettings();
    const TRun run = Compile(Good + "стол\n[стол]\n[стол]а\tS", settings);
    EXPECT_EQ(run.Messages,
              "\nAn error occured at line 7\nNo space found after stem; entry \"стол\" "
              "skipped.\n\n");
    EXPECT_EQ(run.Result, 2);
    EXPECT_EQ(run.Rejected, 1u);
}

TEST(DictionaryCompilerTest, FinishResults) {
    const TCompilerSettings settings = RussianSettings();
    struct TCase {
        std::string Source;
        int64_t Result;
        std::string Messages;
    };
    const TCase cases[] = {
        {"", 0, "\nNo dictionary entries were found.\n"},
        {"\n \t\n\n", 0, "\nNo dictionary entries were found.\n"},
        {Good, 1, "\n"},
        {Good + Good + "стол\n", 3,
         "\nAn error occured at line 9\nNo forms specified; entry \"стол\" skipped.\n\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Source);
        const TRun run = Compile(c.Source, settings);
        EXPECT_EQ(run.Result, c.Result);
        EXPECT_EQ(run.Messages, c.Messages);
    }
}

TEST(DictionaryCompilerTest, WritesOneDotPerThousandEntries) {
    const TCompilerSettings settings = RussianSettings();
    for (size_t entries : {999u, 1000u, 2500u}) {
        const TRun run = Compile(Repeat(Good, entries), settings);
        EXPECT_EQ(run.Result, static_cast<int64_t>(entries));
        EXPECT_EQ(run.Messages, std::string(entries / 1000, '.') + "\n");
    }
}

TEST(DictionaryCompilerTest, CountsLinesOverSeparateTexts) {
    const TCompilerSettings settings = RussianSettings();
    Stroka messages;
    TStringOutput out(messages);
    TDictionaryCompiler compiler(&settings, &out);
    EXPECT_TRUE(compiler.CompileEntryFromString(Good.c_str()));
    EXPECT_TRUE(compiler.CompileEntryFromString("стол\n\n"));
    EXPECT_EQ(compiler.EntriesRead(), 2u);
    EXPECT_EQ(compiler.EntriesRejected(), 1u);
    EXPECT_EQ(std::string(messages.data(), messages.size()),
              "\nAn error occured at line 6\nNo forms specified; entry \"стол\" skipped.\n");
    EXPECT_EQ(compiler.Finish(), 2);
    EXPECT_EQ(compiler.FinishedTables().Affixes().Size(), 2u);
}

// Entries of 15999 forms with distinct endings fill the affix table in the 5th entry.
std::string AffixFlood(size_t entries) {
    const char* letters[] = {"а", "б", "в", "г", "д", "е", "ж", "з", "и", "к", "л", "м",
                             "н", "о", "п", "р", "с", "т", "у", "ф", "х", "ц", "ч", "ш"};
    std::string text;
    size_t next = 0;
    for (size_t e = 0; e < entries; ++e) {
        text += "стол\n";
        for (size_t f = 0; f < 15999; ++f, ++next) {
            text += "[стол]";
            for (size_t n = next, i = 0; i < 4; ++i, n /= 24) {
                text += letters[n % 24];
            }
            text += "\tS,m,inan=nom,sg\n";
        }
        text += "\n";
    }
    return text;
}

TEST(DictionaryCompilerTest, AnOverflowAbortsForGood) {
    const TCompilerSettings settings = RussianSettings();
    Stroka messages;
    TStringOutput out(messages);
    TDictionaryCompiler compiler(&settings, &out);
    const std::string flood = AffixFlood(5);
    TMemoryInput in(flood.data(), flood.size());
    EXPECT_EQ(compiler.CompileStream(in), -1);
    EXPECT_EQ(std::string(messages.data(), messages.size()),
              "\nInternal structure overflow at line " + std::to_string(5 * 16001) +
                  ".\nToo much affixes in global table.\nAborted.\n");
    EXPECT_TRUE(compiler.Aborted());
    // The abort stays: a good entry afterwards is not read into the half-written tables.
    messages.clear();
    EXPECT_FALSE(compiler.CompileEntryFromString(Good.c_str()));
    EXPECT_TRUE(compiler.Aborted());
    EXPECT_EQ(compiler.Finish(), -1);
    EXPECT_EQ(std::string(messages.data(), messages.size()), "Aborted.\n");
    EXPECT_EQ(compiler.Tables().Affixes().Size(), 65535u);
}

TEST(DictionaryCompilerTest, AnExhaustedBufferAbortsAndNamesTheEntry) {
    const TCompilerSettings settings = RussianSettings();
    Stroka messages;
    TStringOutput out(messages);
    TDictionaryCompiler compiler(&settings, &out, 256);
    const std::string source = Good + "стол\n[стол]" + Repeat("а", 100) + "\tS,m,inan=nom\n\n";
    TMemoryInput in(source.data(), source.size());
    EXPECT_EQ(compiler.CompileStream(in), -1);
    EXPECT_EQ(std::string(messages.data(), messages.size()),
              "\nInternal buffer exhausted at line 6 while processing entry \"стол\". "
              "Exhaustion while converting to unicode\nAborted.\n");
}

TEST(DictionaryCompilerTest, AnUndecodableCodePageIsAnError) {
    TCompilerSettings settings = RussianSettings();
    for (ECharset code : {-1, 113, 200}) {
        settings.CodePage = code;
        Stroka messages;
        TStringOutput out(messages);
        try {
            TDictionaryCompiler compiler(&settings, &out);
            ADD_FAILURE() << "code page " << code << " accepted";
        } catch (const kexception& e) {
            EXPECT_EQ(
                std::string(e.what()),
                "Can not decode dictionary source lines from code page " + std::to_string(code));
        }
    }
}

}  // namespace
