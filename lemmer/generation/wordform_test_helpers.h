// Readable dumps of generated forms for the generation tests: "text:grammar|grammar" with
// grammemes by Latin name.
#pragma once

#include "lemmer/generation/wordform_generator.h"
#include "lemmer/grammar/grammeme_table.h"

#include "util/charset/utf8.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace NLemmer::NTest {

inline std::string ToUtf8(const wchar16* text, size_t length) {
    std::string out;
    for (size_t i = 0; i < length; ++i) {
        uint8_t bytes[4];
        out.append(reinterpret_cast<const char*>(bytes), WriteUtf8Char(text[i], bytes));
    }
    return out;
}

// Latin names of a grammeme string, space-separated, in the string's order.
inline std::string GramNames(const char* grammar) {
    std::string out;
    for (const char* g = grammar ? grammar : ""; *g; ++g) {
        const char* name = TGrammemeTable::Instance().GetLatinName(static_cast<unsigned char>(*g));
        out += out.empty() ? "" : " ";
        out += name ? name : "?";
    }
    return out;
}

// "text:grammar|grammar ..." per form, in generation order.
inline std::string Dump(const std::vector<TGeneratedForm>& forms) {
    std::string out;
    for (const TGeneratedForm& f : forms) {
        out += out.empty() ? "" : " ";
        out += ToUtf8(f.Text.data(), f.Text.size());
        out += ":";
        for (size_t i = 0; i < f.Grammars.size(); ++i) {
            out += i ? "|" : "";
            out += GramNames(f.Grammars[i]);
        }
    }
    return out;
}

}  // namespace NLemmer::NTest

#include "lemmer/alphabet/alphabet_registry.h"
#include "lemmer/alphabet/word_normalizer.h"

#include <set>

namespace NLemmer::NTest {

// A form as the generation tests compare it: "text:names", the grammar beyond the common
// grammar with its Latin names in alphabetical order.
inline std::string FormKey(const std::u16string& text, const std::vector<std::string>& names) {
    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    std::string key = ToUtf8(text.data(), text.size()) + ":";
    for (size_t i = 0; i < sorted.size(); ++i) {
        key += i ? " " : "";
        key += sorted[i];
    }
    return key;
}

inline std::vector<std::string> NamesOf(const char* grammar) {
    std::vector<std::string> names;
    for (const char* g = grammar ? grammar : ""; *g; ++g) {
        const char* name = TGrammemeTable::Instance().GetLatinName(static_cast<unsigned char>(*g));
        names.emplace_back(name ? name : "?");
    }
    return names;
}

// The distinct forms of generated records, one key per grammar.
inline std::set<std::string> FormKeys(const std::vector<TGeneratedForm>& forms) {
    std::set<std::string> keys;
    for (const TGeneratedForm& f : forms) {
        const std::u16string text(f.Text.data(), f.Text.size());
        if (f.Grammars.empty()) {
            keys.insert(FormKey(text, {}));
        }
        for (const char* g : f.Grammars) {
            keys.insert(FormKey(text, NamesOf(g)));
        }
    }
    return keys;
}

// One entry of a dictionary source (UTF-8 entry format) as a reader of the source expects the
// Russian dictionary compiled from it to give it back: texts in the Russian normaliser's form,
// the grammemes all wordforms share as the common grammar, the rest per form.
struct TSourceEntry {
    std::u16string Lemma;
    std::string Common;                 // grammeme codes, ascending
    std::vector<std::u16string> Words;  // the wordforms' texts, in source order
    std::set<std::string> Forms;        // FormKey of each wordform
};

inline std::u16string NormalizeRussian(const std::u16string& text) {
    if (text.empty()) {
        return text;
    }
    std::u16string out(2 * text.size() + 1, 0);
    const TNormalizeResult r = GetAlphabetWordNormalizer(1)->NormalizeWord(
        text.data(), text.size(), out.data(), out.size(), TNormalizationMask(0x1F));
    if (!r.Valid) {
        return text;
    }
    out.resize(r.Length);
    return out;
}

// Reads the entries of a UTF-8 source; throws std::runtime_error on a line it cannot read.
inline std::vector<TSourceEntry> ReadSourceEntries(const std::string& text) {
    std::vector<TSourceEntry> entries;
    std::vector<std::pair<std::u16string, std::string>> forms;  // text, codes
    auto finish = [&]() {
        if (entries.empty() || forms.empty()) {
            return;
        }
        TSourceEntry& e = entries.back();
        e.Common = forms[0].second;
        for (const auto& f : forms) {
            std::string kept;
            for (char c : e.Common) {
                if (f.second.find(c) != std::string::npos) {
                    kept += c;
                }
            }
            e.Common = kept;
        }
        for (const auto& f : forms) {
            std::vector<std::string> names;
            for (char c : f.second) {
                if (e.Common.find(c) == std::string::npos) {
                    names.push_back(NamesOf(std::string(1, c).c_str())[0]);
                }
            }
            e.Words.push_back(f.first);
            e.Forms.insert(FormKey(f.first, names));
        }
        forms.clear();
    };
    size_t pos = 0;
    bool inEntry = false;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        end = end == std::string::npos ? text.size() : end;
        const std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (line.empty()) {
            finish();
            inEntry = false;
            continue;
        }
        if (!inEntry) {
            const TUtf16String lemma = DecodeUtf8(line.data(), line.size());
            entries.push_back(
                {NormalizeRussian(std::u16string(lemma.data(), lemma.size())), "", {}, {}});
            inEntry = true;
            continue;
        }
        const size_t open = line.find('['), close = line.find(']');
        const size_t blank = line.find_first_of(" \t", close);
        if (open == std::string::npos || close == std::string::npos || close < open ||
            blank == std::string::npos) {
            throw std::runtime_error("bad wordform line: " + line);
        }
        std::u16string word;
        for (const auto& [from, to] : {std::pair{size_t(0), open}, std::pair{open + 1, close},
                                       std::pair{close + 1, blank}}) {
            const TUtf16String piece = DecodeUtf8(line.data() + from, to - from);
            word += NormalizeRussian(std::u16string(piece.data(), piece.size()));
        }
        std::string codes;
        const std::string grammar = line.substr(line.find_first_not_of(" \t", blank));
        size_t g = 0;
        while (g <= grammar.size()) {
            size_t stop = grammar.find_first_of("=, ", g);
            stop = stop == std::string::npos ? grammar.size() : stop;
            if (stop > g) {
                const uint32_t code =
                    TGrammemeTable::Instance().FindCode(grammar.data() + g, stop - g);
                if (code == 0) {
                    throw std::runtime_error("unknown grammeme in: " + line);
                }
                codes += static_cast<char>(code);
            }
            g = stop + 1;
        }
        std::sort(codes.begin(), codes.end(), [](char a, char b) {
            return static_cast<unsigned char>(a) < static_cast<unsigned char>(b);
        });
        codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
        forms.emplace_back(word, codes);
    }
    finish();
    return entries;
}

}  // namespace NLemmer::NTest
