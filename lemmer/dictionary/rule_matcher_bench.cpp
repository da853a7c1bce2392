// Look-ups per second through the rule matcher: words a fixture dictionary knows, and unknown
// words that go through the hypothesis stages; also the load of that dictionary's written form.
// The fixture has the sample's paradigms over 30000 generated stems.
#include "lemmer/dictionary/dictionary_loader.h"
#include "lemmer/dictionary/dictionary_test_helpers.h"
#include "lemmer/dictionary/dictionary_writer.h"
#include "lemmer/dictionary/rule_matcher.h"
#include "util/stream/memory.h"
#include "util/stream/string_stream.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace NByk;

const std::u16string Letters = u"абвгдежзийклмнопрстуфхцчшщыьэюя";
const std::u16string Vowels = u"аеиоуыэюя";

struct TBench {
    NTest::TFixture Fixture;
    std::vector<std::u16string> Known;
    std::vector<std::u16string> Unknown;
    std::string Bytes;

    TBench() {
        NTest::FillSample(Fixture);
        // Endings of the sample's noun, adjective and verb lists, as read.
        const std::vector<std::vector<std::u16string>> endings = {
            {u"", u"а", u"у", u"ы", u"ов", u"е"}, {u"ый", u"ая", u"ое"}, {u"ть", u"ет"}};
        const uint16_t rules[] = {NTest::SR_NOUN, NTest::SR_ADJ, NTest::SR_VERB};
        std::mt19937 random(42);
        auto letter = [&] { return Letters[random() % Letters.size()]; };
        auto stem = [&] {
            std::u16string s;
            const size_t length = 3 + random() % 6;
            for (size_t i = 0; i < length; ++i) {
                s.push_back(i % 2 ? Vowels[random() % Vowels.size()] : letter());
            }
            return s;
        };
        for (int i = 0; i < 30000; ++i) {
            const size_t kind = random() % 3;
            const std::u16string s = stem();
            Fixture.Stem(s, {rules[kind]});
            if (Known.size() < 2000) {
                Known.push_back(s + endings[kind][random() % endings[kind].size()]);
            }
        }
        for (int i = 0; i < 2000; ++i) {
            std::u16string word;
            for (size_t k = 0, n = 4 + random() % 6; k < n; ++k) {
                word.push_back(letter());
            }
            const size_t kind = random() % 3;
            Unknown.push_back(word + endings[kind][random() % endings[kind].size()]);
        }
        Stroka bytes;
        TStringOutput out(bytes);
        WriteDictionary(Fixture.Build(), out);
        Bytes.assign(bytes.data(), bytes.size());
    }
};

const TBench& Bench() {
    static const TBench bench;
    return bench;
}

void Lookups(benchmark::State& state, const std::vector<std::u16string>& words) {
    const TDictionary& d = Bench().Fixture.Dictionary();
    auto match = std::make_unique<TMatchState>();
    size_t i = 0;
    uint64_t results = 0;
    for (auto _ : state) {
        const std::u16string& word = words[i++ % words.size()];
        match->Word = word.data();
        match->Length = static_cast<int32_t>(word.size());
        MatchRules(d, *match);
        EvaluateCandidates(d, *match, MM_DICTIONARY | MM_PREFIX_HYPOTHESES | MM_STEM_HYPOTHESES,
                           nullptr);
        results += match->ResultCount;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["results/word"] = double(results) / double(state.iterations());
}

void BM_DictionaryWords(benchmark::State& state) {
    Lookups(state, Bench().Known);
}
BENCHMARK(BM_DictionaryWords);

void BM_UnknownWords(benchmark::State& state) {
    Lookups(state, Bench().Unknown);
}
BENCHMARK(BM_UnknownWords);

void BM_Load(benchmark::State& state) {
    const std::string& bytes = Bench().Bytes;
    for (auto _ : state) {
        TMemoryPool pool(524288, TMemoryPool::TLinearGrow::Instance());
        TDictionary d;
        TMemoryInput in(bytes.data(), bytes.size());
        LoadDictionary(d, in, pool);
        benchmark::DoNotOptimize(d.RuleCount);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(bytes.size()));
}
BENCHMARK(BM_Load);

}  // namespace

BENCHMARK_MAIN();
