// AnalyzeWord over real Russian words (the coverage sample of the dictionary's wordforms,
// lemmer/analysis/testdata/russian-wordforms-sample.tsv.gz) with the embedded Russian dictionary:
// words/s for dictionary words and for unknown words, and heap allocations per word after a first
// round that sizes the buffers. Unknown words are the sample's words with one letter changed, kept
// when the dictionary does not know them. The sample's words are spread over the whole
// dictionary, so most of their look-ups miss the caches; frequent words (a Zipf-weighted list
// of the commonest words) show the other end. The last benchmark runs the small analysis
// fixture for comparison with older figures.
#include "lemmer/analysis/allocation_count_test_helpers.h"
#include "lemmer/analysis/analysis_test_helpers.h"
#include "lemmer/analysis/analyze_word.h"

#include "util/charset/utf8.h"
#include "util/testing/gzip_file.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using TWords = std::vector<std::u16string>;

// The first column of the coverage sample's lines ("wordform TAB lemma").
TWords ReadWords(const char* path) {
    const Stroka sample = NTesting::ReadGzipFile(path);
    TWords words;
    size_t start = 0;
    while (start < sample.size()) {
        size_t end = sample.find('\n', start);
        if (end == Stroka::npos) {
            end = sample.size();
        }
        const size_t tab = std::min(sample.find('\t', start), end);
        const TUtf16String word = DecodeUtf8(sample.data() + start, tab - start);
        words.emplace_back(word.data(), word.size());
        start = end + 1;
    }
    if (words.empty()) {
        std::abort();
    }
    return words;
}

class TRealDictionary {
public:
    TRealDictionary() {
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
    TWords Known_;
    TWords Unknown_;
};

const TRealDictionary& RealDictionary() {
    static const TRealDictionary* real = new TRealDictionary();
    return *real;
}

// FNV-1a over what a record says, so that runs of two builds can be compared.
void Digest(uint64_t& h, const void* data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        h = (h ^ static_cast<const unsigned char*>(data)[i]) * 0x100000001B3ull;
    }
}
void Digest(uint64_t& h, const TAnalysisRecord& r) {
    Digest(h, r.Lemma, r.LemmaLength * sizeof(wchar16));
    Digest(h, r.Normalized, r.NormalizedLength * sizeof(wchar16));
    const uint64_t numbers[] = {r.Flags,        r.RuleId,           r.StemDepth,  r.StemStart,
                                r.EndingLength, r.FormGrammarCount, r.TailLength, r.Language};
    Digest(h, numbers, sizeof(numbers));
    const char* grammars[TAnalysisRecord::MaxFormGrammars + 1] = {r.CommonGrammar};
    std::copy(r.FormGrammars, r.FormGrammars + r.FormGrammarCount, grammars + 1);
    for (size_t i = 0; i <= r.FormGrammarCount; ++i) {
        const std::string g = grammars[i] ? grammars[i] : "";
        Digest(h, g.c_str(), g.size() + 1);
    }
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
    uint64_t digest = 0xCBF29CE484222325ull;
    for (size_t i = 0; i < words.size(); ++i) {
        once(i);  // warms the tables and sizes the buffers
        for (const TAnalysisRecord& r : out) {
            Digest(digest, r);
        }
    }
    char label[32];
    std::snprintf(label, sizeof(label), "results %016llx", (unsigned long long)digest);
    state.SetLabel(label);
    const uint64_t before = NLemmer::NTest::AllocationCount();
    size_t n = 0;
    records = 0;
    for (auto _ : state) {
        once(n % words.size());
        ++n;
    }
    state.SetItemsProcessed(static_cast<int64_t>(n));
    state.counters["allocs/word"] =
        n ? double(NLemmer::NTest::AllocationCount() - before) / double(n) : 0.0;
    state.counters["records/word"] = n ? double(records) / double(n) : 0.0;
    state.counters["words"] = double(words.size());
}

void BM_DictionaryWords(benchmark::State& state) {
    RunWords(state, RealDictionary().Known());
}
void BM_UnknownWords(benchmark::State& state) {
    RunWords(state, RealDictionary().Unknown());
}

// The most frequent Russian words, each repeated in proportion to its rank's share of running
// text (Zipf: 1/rank), as a stand-in for text whose words are mostly already in the caches.
TWords FrequentWords() {
    static const char16_t* const BY_RANK[] = {
        u"и",      u"в",       u"не",     u"на",      u"я",       u"что",    u"он",      u"с",
        u"как",    u"а",       u"то",     u"все",     u"она",     u"так",    u"его",     u"но",
        u"да",     u"ты",      u"к",      u"у",       u"же",      u"вы",     u"за",      u"бы",
        u"по",     u"только",  u"ее",     u"мне",     u"было",    u"вот",    u"от",      u"меня",
        u"еще",    u"нет",     u"о",      u"из",      u"ему",     u"теперь", u"когда",   u"даже",
        u"ну",     u"вдруг",   u"ли",     u"если",    u"уже",     u"или",    u"ни",      u"быть",
        u"был",    u"него",    u"до",     u"вас",     u"нибудь",  u"опять",  u"уж",      u"вам",
        u"ведь",   u"там",     u"потом",  u"себя",    u"ничего",  u"ей",     u"может",   u"они",
        u"тут",    u"где",     u"есть",   u"надо",    u"ней",     u"для",    u"мы",      u"тебя",
        u"их",     u"чем",     u"была",   u"сам",     u"чтоб",    u"без",    u"будто",   u"чего",
        u"раз",    u"тоже",    u"себе",   u"под",     u"будет",   u"тогда",  u"кто",     u"этот",
        u"того",   u"потому",  u"этого",  u"какой",   u"совсем",  u"ним",    u"здесь",   u"этом",
        u"один",   u"почти",   u"мой",    u"тем",     u"чтобы",   u"нее",    u"сейчас",  u"были",
        u"куда",   u"зачем",   u"всех",   u"никогда", u"можно",   u"при",    u"наконец", u"два",
        u"об",     u"другой",  u"хоть",   u"после",   u"над",     u"больше", u"тот",     u"через",
        u"эти",    u"нас",     u"про",    u"всего",   u"них",     u"какая",  u"много",   u"разве",
        u"три",    u"эту",     u"моя",    u"впрочем", u"хорошо",  u"свою",   u"этой",    u"перед",
        u"иногда", u"лучше",   u"чуть",   u"том",     u"нельзя",  u"такой",  u"им",      u"более",
        u"всегда", u"конечно", u"всю",    u"между",   u"человек", u"время",  u"жизнь",   u"день",
        u"рука",   u"глаза",   u"сказал", u"знаю",    u"говорит", u"дело",   u"слово",   u"дом",
    };
    constexpr size_t Count = sizeof(BY_RANK) / sizeof(BY_RANK[0]);
    TWords words;
    for (size_t rank = 1; rank <= Count; ++rank) {
        for (size_t k = 0; k < 2 * Count / rank; ++k) {
            words.emplace_back(BY_RANK[rank - 1]);
        }
    }
    std::shuffle(words.begin(), words.end(), std::mt19937(17));
    return words;
}

void BM_FrequentWords(benchmark::State& state) {
    RealDictionary();
    static const TWords words = FrequentWords();
    RunWords(state, words);
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
BENCHMARK(BM_FrequentWords);
BENCHMARK(BM_FixtureWords);

}  // namespace

BENCHMARK_MAIN();
