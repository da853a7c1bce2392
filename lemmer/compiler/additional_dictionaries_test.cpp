#include "lemmer/compiler/additional_dictionaries.h"

#include "lemmer/compiler/compiler_test_helpers.h"
#include "lemmer/dictionary/rule_matcher.h"
#include "util/stream/memory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

namespace NAdditionalDictionariesTest {
using namespace NCompilerTest;

namespace {

const char kStol[] = "стол\n[стол]\tS,m,inan=nom,sg\n[стол]а\tS,m,inan=gen,sg\n";
const char kMama[] = "мама\n[мам]а\tS,f,anim=nom,sg\n[мам]ы\tS,f,anim=gen,sg\n";

std::unique_ptr<NByk::TDictionaryRegistry> Read(const std::string& text) {
    TMemoryInput in(text.data(), text.size());
    return ReadAdditionalDictionaries(in);
}

bool Knows(const NByk::TDictionaryRegistry& registry, uint32_t language,
           const std::u16string& word) {
    const NByk::TDictionary* d = registry.Find(language);
    if (!d) {
        return false;
    }
    auto state = std::make_unique<NByk::TMatchState>();
    state->Word = reinterpret_cast<const wchar16*>(word.data());
    state->Length = static_cast<int32_t>(word.size());
    NByk::MatchRules(*d, *state);
    return NByk::EvaluateCandidates(*d, *state, NByk::MM_DICTIONARY, nullptr) ==
           NByk::MV_DICTIONARY;
}

std::string Error(const std::string& text) {
    try {
        Read(text);
    } catch (const kexception& e) {
        return e.what();
    }
    return "no error";
}

TEST(AdditionalDictionaries, ArticlesGoToTheLanguageAbove) {
    // Capitals and blanks in the language line; a comment inside an article; articles of one
    // language split by another language; the last article without a blank line after it.
    const std::string text = std::string("# a comment\n\n  @LANGUAGE:   RuS  \r\n") + kStol +
                             "# inside the article\n[стол]у\tS,m,inan=dat,sg\n\n" +
                             "@language: en\nhouse\n[house]\tS,sg=nom\n\n" + "@language: ru\n" +
                             kMama;
    const auto registry = Read(text);
    EXPECT_TRUE(Knows(*registry, 1, u"столу"));
    EXPECT_TRUE(Knows(*registry, 1, u"стола"));
    EXPECT_TRUE(Knows(*registry, 1, u"мамы"));
    EXPECT_TRUE(registry->Find(2) != nullptr);
    EXPECT_EQ(registry->Size(), 2u);
}

TEST(AdditionalDictionaries, LineKinds) {
    // A language line right below an article line is part of the article, which then breaks
    // the entry format and is rejected; no English dictionary comes of it.
    const auto joined = Read(std::string("@language: ru\nстол\n@language: en\n"));
    EXPECT_EQ(joined->Find(2), nullptr);
    EXPECT_FALSE(Knows(*joined, 1, u"стол"));
    // A blank before "#" makes an article line, not a comment.
    EXPECT_EQ(Error("  # no comment\n"), "Bad (or uknown) language for article \"# no comment\"");
    // Only comments and language lines: an empty registry.
    EXPECT_EQ(Read("# one\n@language: ru\n\n# two\n")->Size(), 0u);
    // An article that breaks the format is rejected, and the others of its language stay.
    const auto broken = Read(std::string("@language: ru\nпалец\n[палец\tS=nom\n\n") + kStol);
    EXPECT_FALSE(Knows(*broken, 1, u"палец"));
    EXPECT_TRUE(Knows(*broken, 1, u"стол"));
}

TEST(AdditionalDictionaries, LanguageErrors) {
    const struct {
        std::string Text, Message;
    } cases[] = {
        {std::string(kStol), "Bad (or uknown) language for article \"стол\""},
        {"@language:\n", "Unknown language \"\""},
        {"@language: Klingon\n", "Unknown language \"klingon\""},
        {"@language: ru # Russian\n", "Unknown language \"ru # russian\""},
        {std::string("@language: unknown\n") + kStol,
         "Bad (or uknown) language for article \"стол\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Error(c.Text), c.Message) << c.Text;
    }
}

TEST(AdditionalDictionaries, LoadInstallsAndAFailedLoadKeepsTheRegistry) {
    TScratchDir dir;
    const std::string good = dir.File("good.txt");
    const std::string bad = dir.File("bad.txt");
    std::ofstream(good) << "@language: ru\n" << kStol;
    std::ofstream(bad) << "@language: ru\n" << kMama << "\n@language: nowhere\n";
    EXPECT_EQ(LoadAdditionalDictionaries(good.c_str()), 0);
    const NByk::TDictionaryRegistry* before = NByk::GetDictionaryRegistry();
    ASSERT_NE(before, nullptr);
    EXPECT_TRUE(Knows(*before, 1, u"стола"));
    EXPECT_THROW(LoadAdditionalDictionaries(bad.c_str()), kexception);
    EXPECT_THROW(LoadAdditionalDictionaries(dir.File("missing.txt").c_str()), kexception);
    EXPECT_THROW(LoadAdditionalDictionaries(nullptr), kexception);
    EXPECT_EQ(NByk::GetDictionaryRegistry(), before);
    // A replaced registry stays readable: a reader holding it never sees freed memory.
    std::ofstream(good) << "# nothing\n";
    EXPECT_EQ(LoadAdditionalDictionaries(good.c_str()), 0);
    EXPECT_NE(NByk::GetDictionaryRegistry(), before);
    EXPECT_EQ(NByk::GetDictionaryRegistry()->Size(), 0u);
    EXPECT_TRUE(Knows(*before, 1, u"стола"));
}

}  // namespace

}  // namespace NAdditionalDictionariesTest
