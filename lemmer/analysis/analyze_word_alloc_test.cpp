// Analysing a word takes nothing from the heap once the buffers have grown: the global
// allocation functions of this test program count what they hand out.
#include "lemmer/analysis/allocation_count_test_helpers.h"
#include "lemmer/analysis/analysis_test_helpers.h"
#include "lemmer/analysis/analyze_word.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Dictionary words, hypotheses, placeholders; letters with marks (й, ё, and a decomposed
// й), capitals, hyphens, Latin and mixed words.
TEST(AnalyzeWordAllocations, NoneOnceTheBuffersHaveGrown) {
    NLemmer::NTest::TAnalysisFixture fixture;
    const std::vector<std::u16string> words = {
        u"стола",    u"Столы",  u"быстро",    u"знающий",        u"бегай",  u"йод",
        u"майка",    u"ёлка",   u"и\u0306од", u"переплавать",    u"хлеб",   u"кот-стол",
        u"кот-хлеб", u"Москва", u"John",      u"don't",          u"x",      u"столу",
        u"ЁЖИК",     u"разный", u"стол2",     u"читающий-бегай", u"мышкой", u"plav",
    };
    TAnalyzeWordOptions options;
    TAnalysisVector out;
    auto analyse = [&](const std::u16string& w) {
        std::vector<TTokenPart> parts;
        for (size_t i = 0; i < w.size();) {
            if (w[i] == u'-' || w[i] == u'\'') {
                ++i;
                continue;
            }
            TTokenPart p;
            p.Pos = i;
            while (i < w.size() && w[i] != u'-' && w[i] != u'\'') {
                ++i;
            }
            p.Len = i - p.Pos;
            parts.push_back(p);
        }
        const TTokenView token{w.data(), w.size(), {parts.data(), parts.size()}};
        const uint64_t before = NLemmer::NTest::AllocationCount();
        AnalyzeWord(token, out, TLangMask(3), nullptr, options);  // Russian and English
        return NLemmer::NTest::AllocationCount() - before;
    };
    for (const std::u16string& w : words) {
        analyse(w);  // grows the result vector and builds what is built on first use
    }
    for (const std::u16string& w : words) {
        EXPECT_EQ(analyse(w), 0u) << "word " << &w - words.data();
        EXPECT_FALSE(out.empty());
    }
}

}  // namespace
