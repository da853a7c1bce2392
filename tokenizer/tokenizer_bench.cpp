// Tokenising speed over 10 MB of Russian-like running text (UTF-8 size), one line per call as
// the analyser does it, with a handler that does nothing: the floor of every analysis run. And
// 600 kB of touching letters and digits ("1a1a..."), as one line and in lines of 120 units: the
// scan is linear when the one line takes about the time of the short ones.
#include "tokenizer/tokenizer.h"

#include "util/charset/utf8.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

class TNullHandler : public ITokenHandler {
public:
    void OnToken(const TTokenView& token, size_t sourceLength, int32_t type) override {
        Units += sourceLength + static_cast<size_t>(type) + token.Parts.size();
    }
    size_t Units = 0;
};

struct TText {
    std::vector<std::u16string> Lines;
    size_t Utf8Bytes = 0;
};

// Sentences of common Russian words with capitals, commas, hyphenated words, numbers,
// abbreviations and quotes, cut into lines of about 70 to 200 characters.
const TText& RussianText() {
    static const TText text = [] {
        static const char* const WORDS[] = {
            "и",           "в",
            "не",          "на",
            "что",         "он",
            "с",           "как",
            "это",         "по",
            "но",          "они",
            "к",           "из",
            "у",           "было",
            "сказал",      "время",
            "человек",     "дело",
            "жизнь",       "день",
            "рука",        "работа",
            "слово",       "место",
            "лицо",        "друг",
            "глаз",        "вопрос",
            "дом",         "сторона",
            "страна",      "мир",
            "случай",      "голова",
            "ребёнок",     "сила",
            "конец",       "вид",
            "система",     "часть",
            "город",       "отношение",
            "женщина",     "деньги",
            "земля",       "машина",
            "вода",        "отец",
            "проблема",    "час",
            "право",       "нога",
            "решение",     "дверь",
            "образ",       "история",
            "государство", "кто-то",
            "по-русски",   "северо-запад",
            "т.е.",        "ул.",
            "стр.",        "2012",
            "3.14",        "«Да»",
            "(кстати)",    "—",
            "XX",          "Москва",
        };
        constexpr size_t WORD_COUNT = sizeof(WORDS) / sizeof(WORDS[0]);
        std::mt19937 rng(42);
        TText out;
        std::string line;
        bool capital = true;
        while (out.Utf8Bytes < 10u << 20) {
            std::string word = WORDS[rng() % WORD_COUNT];
            if (capital && static_cast<unsigned char>(word[0]) == 0xD0) {
                // The first letters used here are in U+0430..U+043F: upper case is 0x20 less.
                const unsigned second = static_cast<unsigned char>(word[1]);
                if (second >= 0xB0 && second <= 0xBF) {
                    word[1] = static_cast<char>(second - 0x20);
                }
            }
            capital = false;
            line += word;
            const unsigned r = rng() % 100;
            if (r < 8) {
                line += ". ";
                capital = true;
            } else if (r < 14) {
                line += ", ";
            } else if (r < 15) {
                line += "! ";
                capital = true;
            } else {
                line += ' ';
            }
            if (line.size() > 70 + rng() % 130) {
                const TUtf16String wide = DecodeUtf8(line.data(), line.size());
                out.Lines.emplace_back(wide.data(), wide.size());
                out.Lines.back() += u'\n';
                out.Utf8Bytes += line.size() + 1;
                line.clear();
            }
        }
        return out;
    }();
    return text;
}

void BM_TokenizeRussianText(benchmark::State& state) {
    const TText& text = RussianText();
    TNullHandler handler;
    TTokenizerConfig config;
    config.Handler = &handler;
    for (auto _ : state) {
        for (const std::u16string& line : text.Lines) {
            TokenizeWide(config, line.data(), line.size());
        }
    }
    benchmark::DoNotOptimize(handler.Units);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.Utf8Bytes));
}
BENCHMARK(BM_TokenizeRussianText)->Unit(benchmark::kMillisecond);

// state.range(0): the units of a line, the line feed included.
void BM_TokenizeTouchingParts(benchmark::State& state) {
    constexpr size_t Units = 600000;
    const size_t lineUnits = static_cast<size_t>(state.range(0));
    std::vector<std::u16string> lines;
    for (size_t done = 0; done < Units; done += lineUnits) {
        std::u16string line;
        for (size_t i = 0; i + 1 < std::min(lineUnits, Units - done); ++i) {
            line += (done + i) % 2 ? u'a' : u'1';
        }
        lines.push_back(line + u'\n');
    }
    TNullHandler handler;
    TTokenizerConfig config;
    config.Handler = &handler;
    for (auto _ : state) {
        for (const std::u16string& line : lines) {
            TokenizeWide(config, line.data(), line.size());
        }
    }
    benchmark::DoNotOptimize(handler.Units);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Units));
}
BENCHMARK(BM_TokenizeTouchingParts)->Arg(120)->Arg(600000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
