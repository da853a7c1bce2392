// Generation over the embedded Russian dictionary: every lemma of a seeded sample of the
// OpenCorpora source the dictionary was compiled from generates exactly its OpenCorpora wordforms
// with their mapped grammar. The sample is made by tools/opencorpora/sample_entries.py.
#include "lemmer/analysis/language_registry.h"
#include "lemmer/generation/wordform_generator.h"
#include "lemmer/generation/wordform_test_helpers.h"

#include "util/testing/gzip_file.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using NLemmer::NTest::FormKeys;
using NLemmer::NTest::ToUtf8;

// The first dictionary analysis of one of the entry's words that has the entry's lemma and
// common grammar and generates exactly the entry's forms; the forms of the closest miss
// otherwise.
bool GeneratesEntry(const NLemmer::NTest::TSourceEntry& e, std::set<std::string>& closest) {
    std::set<std::u16string> tried;
    std::vector<std::u16string> words{e.Lemma};
    words.insert(words.end(), e.Words.begin(), e.Words.end());
    TAnalysisVector records;
    std::vector<TGeneratedForm> forms;
    for (const std::u16string& word : words) {
        if (!tried.insert(word).second) {
            continue;
        }
        records.clear();
        LanguageById(1)->Recognize(
            word.data(), word.size(), records,
            TRecognizeOptions(TRecognizeOptions::Unlimited, RF_DICTIONARY, "", false));
        for (const TAnalysisRecord& r : records) {
            if (std::u16string(r.Lemma, r.LemmaLength) != e.Lemma ||
                std::string(r.CommonGrammar) != e.Common) {
                continue;
            }
            forms.clear();
            GenerateWordforms(r, "", forms);
            std::set<std::string> keys = FormKeys(forms);
            if (keys == e.Forms) {
                return true;
            }
            closest = std::move(keys);
        }
    }
    return false;
}

std::string Difference(const std::set<std::string>& a, const std::set<std::string>& b) {
    std::string out;
    for (const std::string& k : a) {
        if (!b.count(k)) {
            out += " " + k;
        }
    }
    return out;
}

TEST(RussianDictionary, SampledLemmasGenerateTheirOpenCorporaWordforms) {
    const Stroka text = NTesting::ReadGzipFile(
        LEMMIX_SOURCE_DIR "/lemmer/generation/testdata/opencorpora-sample.txt.gz");
    const std::vector<NLemmer::NTest::TSourceEntry> entries =
        NLemmer::NTest::ReadSourceEntries(std::string(text.data(), text.size()));
    ASSERT_EQ(entries.size(), 1000u);
    size_t generated = 0, forms = 0;
    for (const NLemmer::NTest::TSourceEntry& e : entries) {
        std::set<std::string> closest;
        forms += e.Forms.size();
        if (GeneratesEntry(e, closest)) {
            ++generated;
            continue;
        }
        ADD_FAILURE() << ToUtf8(e.Lemma.data(), e.Lemma.size()) << ": missing"
                      << Difference(e.Forms, closest) << "; extra" << Difference(closest, e.Forms);
    }
    EXPECT_EQ(generated, entries.size());
    RecordProperty("forms", static_cast<int>(forms));
}

}  // namespace
