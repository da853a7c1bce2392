// Untransliteration of any Latin-1 text with a small Latin-to-Cyrillic rule set and n-gram model.
// Answers come cheapest first, render the whole word and keep within the bound; for words of up
// to six units they are exactly the renderings an exhaustive walk over the rules finds, with the
// same costs.
//
// Input: byte 0 picks the bound (0: none), the rest is the word, one unit per byte.
#include "lemmer/alphabet/alphabet_registry.h"
#include "lemmer/translit/untranslit_rules.h"
#include "lemmer/translit/untransliterator.h"

#include "util/string/case.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

struct TRule {
    std::u16string Key, Text;
    uint32_t Cost;
};

const std::vector<TRule>& Rules() {
    static const std::vector<TRule> rules = {
        {u"a", u"а", 0}, {u"b", u"б", 0},  {u"v", u"в", 0},   {u"w", u"в", 2},  {u"g", u"г", 0},
        {u"d", u"д", 0}, {u"e", u"е", 0},  {u"e", u"э", 2},   {u"yo", u"ё", 1}, {u"zh", u"ж", 0},
        {u"z", u"з", 0}, {u"i", u"и", 0},  {u"i", u"й", 3},   {u"y", u"ы", 1},  {u"y", u"й", 1},
        {u"k", u"к", 0}, {u"l", u"л", 0},  {u"m", u"м", 0},   {u"n", u"н", 0},  {u"o", u"о", 0},
        {u"p", u"п", 0}, {u"r", u"р", 0},  {u"s", u"с", 0},   {u"t", u"т", 0},  {u"u", u"у", 0},
        {u"f", u"ф", 0}, {u"kh", u"х", 0}, {u"h", u"х", 1},   {u"h", u"", 4},   {u"ts", u"ц", 1},
        {u"c", u"ц", 1}, {u"c", u"к", 2},  {u"ch", u"ч", 0},  {u"sh", u"ш", 0}, {u"shch", u"щ", 0},
        {u"'", u"ь", 1}, {u"''", u"ъ", 1}, {u"yu", u"ю", 0},  {u"ya", u"я", 0}, {u"x", u"кс", 1},
        {u"q", u"к", 3}, {u"j", u"дж", 2}, {u"ia", u"ия", 2},
    };
    return rules;
}

constexpr std::u16string_view Alphabet = u" абвгдеёжзийклмнопрстуфхцчшщъыьэюя";

struct TData {
    TUntranslitRules Rules;
    TNgramModel Model{9};
    std::map<uint32_t, uint32_t> Costs;  // the oracle's copy of the model

    TData() {
        for (const TRule& r : ::Rules()) {
            Rules.Add(r.Key, r.Text, r.Cost);
        }
        for (size_t i = 0; i < Alphabet.size(); ++i) {
            Model.SetCode(Alphabet[i], uint8_t(i + 1));
        }
        // A few windows priced below and above the default, some of four units.
        const std::pair<std::u16string_view, uint32_t> grams[] = {
            {u" прив", 1}, {u"ривет", 0}, {u"вет ", 2},   {u" мир ", 0}, {u" да  ", 1},
            {u"ыыыы", 50}, {u"щщщщ", 60}, {u"ъъъъъ", 70}, {u" шчк", 0},  {u"жыть", 0},
        };
        for (const auto& [gram, cost] : grams) {
            Model.Add(gram, cost);
            Costs[Key(gram)] = cost;
        }
        Costs[0] = 9;
    }

    static uint32_t Key(std::u16string_view units) {
        uint32_t key = 0;
        for (size_t i = 0; i < units.size(); ++i) {
            const size_t code = Alphabet.find(units[i]);
            if (code == Alphabet.npos) {
                return 0;
            }
            key += uint32_t(code + 1) << (6 * i);
        }
        return key;
    }

    uint32_t Window(std::u16string_view w) const {
        auto five = Costs.find(Key(w));
        if (five != Costs.end()) {
            return five->second;
        }
        auto four = Costs.find(Key(w.substr(0, 4)));
        return four != Costs.end() ? four->second : Costs.at(0);
    }

    // The model's cost of a whole rendering, which does not depend on how it was cut.
    uint32_t TextCost(const std::u16string& t) const {
        if (t.empty()) {
            return 0;
        }
        if (t.size() <= 3) {
            return Window((u" " + t + u"    ").substr(0, 5));
        }
        uint32_t cost = Window(u" " + t.substr(0, 4));
        for (size_t i = 4; i < t.size(); ++i) {
            cost += Window(std::u16string_view(t).substr(i - 4, 5));
        }
        return cost + Window(t.substr(t.size() - 4) + u" ");
    }

    // Every rendering of word[from..] by the rules, appended to `out` with its cost.
    void Walk(const std::u16string& word, size_t from, std::u16string& text, uint32_t cost,
              std::vector<std::pair<std::u16string, uint32_t>>& out) const {
        if (from == word.size()) {
            out.emplace_back(text, cost + TextCost(text));
            return;
        }
        for (const TRule& r : ::Rules()) {
            if (word.compare(from, r.Key.size(), r.Key) == 0) {
                const size_t mark = text.size();
                text += r.Text;
                Walk(word, from + r.Key.size(), text, cost + r.Cost, out);
                text.resize(mark);
            }
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TData model;
    if (size < 1) {
        return 0;
    }
    const uint32_t bound = data[0] < 128 ? 0 : data[0] - 120;
    std::u16string word(data + 1, data + size);
    TUtf16String wide(word.data(), word.size());

    TUntransliter u(model.Rules.Nodes(), model.Rules.Lists(), model.Model.Entries(),
                    model.Model.Size(), model.Model.CodeMap());
    u.Reset(wide);
    const size_t end = std::min(word.size(), word.find(u'\0'));
    std::vector<std::pair<std::u16string, uint32_t>> answers;
    uint32_t last = 0;
    for (auto a = u.GetNextAnswer(bound); !a.Empty(); a = u.GetNextAnswer(bound)) {
        if (word.size() > UntranslitMaxWordLength || a.Consumed != end || a.Cost < last ||
            (bound != 0 && UntranslitScore(a.Cost, a.Consumed) > bound)) {
            abort();
        }
        last = a.Cost;
        answers.emplace_back(std::u16string(a.Text.data(), a.Text.size()), a.Cost);
        if (answers.size() > 5000) {
            abort();  // the rules cannot render six units in this many ways
        }
        if (end > 6 && answers.size() == 50) {
            break;
        }
    }
    if (end == 0 || end > 6 || bound != 0 || end != word.size()) {
        return 0;
    }

    // The exhaustive walk, in the case of the word.
    TUtf16String lower = wide;
    ToLower(lower);
    std::vector<std::pair<std::u16string, uint32_t>> expected;
    std::u16string text;
    model.Walk(std::u16string(lower.data(), lower.size()), 0, text, 0, expected);
    const uint64_t flags = NLemmer::GetWordCharClassFlags(wide.data(), wide.size());
    for (auto& [t, cost] : expected) {
        TUtf16String cased(t.data(), t.size());
        if (flags & NLemmer::WCC_NO_LOWER) {
            ToUpper(cased);
        } else if (flags & NLemmer::WCC_TITLE) {
            ToTitle(cased);
        }
        t.assign(cased.data(), cased.size());
    }
    std::sort(expected.begin(), expected.end());
    std::sort(answers.begin(), answers.end());
    if (answers != expected) {
        abort();
    }
    return 0;
}
