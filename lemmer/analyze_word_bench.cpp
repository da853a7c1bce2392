// AnalyzeWord over real Russian words (a sample of the dictionary's wordforms,
// lemmer/testdata/russian-words.txt) with the Russian dictionary the product ships: words/s for
// dictionary words and for unknown words, and heap allocations per word after a first round
// that sizes the buffers. Unknown words are the sample's words with one letter changed, kept
// when the dictionary does not know them. A last pair of benchmarks runs the small analysis
// fixture for comparison with older figures.
#include "lemmer/analysis_test_helpers.h"
#include "lemmer/analyze_word.h"
#include "lemmer/dictionary_loader.h"

#include "util/stream/file_stream.h"
#include "util/stream/zlib.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <new>
#include <random>
#include <string>
#include <vector>

namespace {

std::atomic<uint64_t> Allocations{0};

}  // namespace

// Counting replacements of the global allocation functions. g++ sees the replaced delete free
// what its inlined new took from malloc and warns of a mismatch that is none.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t n) {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
#pragma GCC diagnostic pop

namespace {

using TWords = std::vector<std::u16string>;

// The sample's words (two-byte UTF-8 and ASCII are all it holds).
TWords ReadWords(const char* path) {
    std::ifstream in(path);
    TWords words;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::u16string w;
        for (size_t i = 0; i < line.size(); ++i) {
            const unsigned char c = line[i];
            if (c < 0x80) {
                w.push_back(c);
            } else if (i + 1 < line.size()) {
                w.push_back(char16_t(((c & 0x1F) << 6) | (line[++i] & 0x3F)));
            }
        }
        words.push_back(w);
    }
    if (words.empty()) {
        std::abort();
    }
    return words;
}

class TRealDictionary {
public:
    TRealDictionary() : Pool_(1 << 20) {
        TFileInput file(LEMMIX_RUSSIAN_DICTIONARY);
        TZLibDecompress in(&file);
        NByk::LoadDictionary(Dictionary_, in, Pool_);
        NLemmer::NPrivate::RussianMainDictionarySlot() = &Dictionary_;
        const TLanguage* russian = LanguageById(1);
        for (const std::u16string& w : ReadWords(LEMMIX_RUSSIAN_WORDS)) {
            if (russian->IsKnownWord(w.data(), w.size())) {
                Known_.push_back(w);
            }
        }
        // One letter of each word replaced by a letter a few places on in the alphabet.
        std::mt19937 random(17);
        for (std::u16string w : Known_) {
            const size_t at = random() % w.size();
            if (w[at] < u'а' || w[at] > u'я') {
                continue;
            }
            w[at] = char16_t(u'а' + (w[at] - u'а' + 1 + random() % 5) % 32);
            if (!russian->IsKnownWord(w.data(), w.size())) {
                Unknown_.push_back(w);
            }
        }
    }
    const TWords& Known() const { return Known_; }
    const TWords& Unknown() const { return Unknown_; }

private:
    TMemoryPool Pool_;
    NByk::TDictionary Dictionary_;
    TWords Known_;
    TWords Unknown_;
};

const TRealDictionary& RealDictionary() {
    static const TRealDictionary* real = new TRealDictionary();
    return *real;
}

void RunWords(benchmark::State& state, const TWords& words) {
    TAnalyzeWordOptions options;
    TAnalysisVector out;
    std::vector<TTokenPart> parts(words.size());
    for (size_t i = 0; i < words.size(); ++i) {
        parts[i].Len = words[i].size();
    }
    size_t records = 0;
    auto once = [&](size_t i) {
        const TTokenView token{words[i].data(), words[i].size(), {&parts[i], 1}};
        records += AnalyzeWord(token, out, TLangMask(1), nullptr, options);
        benchmark::DoNotOptimize(out.data());
    };
    for (size_t i = 0; i < words.size(); ++i) {
        once(i);  // warms the tables and sizes the buffers
    }
    const uint64_t before = Allocations.load();
    size_t n = 0;
    records = 0;
    for (auto _ : state) {
        once(n % words.size());
        ++n;
    }
    state.SetItemsProcessed(static_cast<int64_t>(n));
    state.counters["allocs/word"] = n ? double(Allocations.load() - before) / double(n) : 0.0;
    state.counters["records/word"] = n ? double(records) / double(n) : 0.0;
    state.counters["words"] = double(words.size());
}

void BM_DictionaryWords(benchmark::State& state) {
    RunWords(state, RealDictionary().Known());
}
void BM_UnknownWords(benchmark::State& state) {
    RunWords(state, RealDictionary().Unknown());
}

const TWords FIXTURE_WORDS = {
    u"Столы",  u"стола", u"хлеб", u"Кот",   u"плав",  u"знающий", u"читающий",
    u"быстро", u"котов", u"стол", u"хлеба", u"бегай", u"бегать",  u"сильный",
};

void BM_FixtureWords(benchmark::State& state) {
    const NByk::TDictionary* saved = NLemmer::NPrivate::RussianMainDictionarySlot();
    {
        NLemmer::NTest::TAnalysisFixture fixture;
        RunWords(state, FIXTURE_WORDS);
    }
    NLemmer::NPrivate::RussianMainDictionarySlot() = saved;
}

BENCHMARK(BM_DictionaryWords);
BENCHMARK(BM_UnknownWords);
BENCHMARK(BM_FixtureWords);

}  // namespace

BENCHMARK_MAIN();
