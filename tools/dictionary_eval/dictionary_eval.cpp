// dictionary_eval [-h | -l] [-x misses] <dictionary> <word list>
//
// Measures a binary dictionary (gzip-compressed when it ends in ".gz") against a list of
// "wordform TAB lemma TAB part of speech" lines (UTF-8, as tools/opencorpora/convert.py writes
// with --word-list, --held-out-list or --sample-list). Every wordform is analysed as one word
// token of the analyser (its parts split at hyphens and apostrophes) with the dictionary as the
// Russian main dictionary; lemmas are compared as the Russian normaliser writes them, with ё
// folded to е.
//
// Without -h or -l (coverage): only dictionary analyses count; reports how many wordforms have
// their lemma among them. With -h (held-out words): the analyser's default lookups (dictionary,
// then hypotheses); reports how often the first analysis has the right lemma (top-1), the right
// lemma is among the analyses, and the first analysis has the right part of speech. The first
// analysis of a hyphenated word is the first one covering the whole word. -x writes the
// wordforms that missed (coverage: not found; -h: wrong top-1), whether the lemma is "among"
// the analyses or "absent", and the lemma, part of speech and "?" of a hypothesis that came
// first.
//
// With -l (own lemmas): only dictionary analyses that cover the whole word count. Every
// distinct lemma of the list, analysed as a word, must have itself with the list's part of
// speech among its analyses (the analysis of its own entry), and every wordform its lemma;
// reports both shares. -x writes every miss: "lemma" or "wordform", the line's fields, and the
// distinct lemmas the analyses gave, joined by "|" ("-" when there were none).
//
// An offline tool: it installs the dictionary through the Russian language's private slot, the
// same seam the tests use, rather than through the embedded dictionary.
#include "lemmer/alphabet/alphabet_registry.h"
#include "lemmer/alphabet/word_normalizer.h"
#include "lemmer/analysis/analyze_word.h"
#include "lemmer/analysis/language_objects.h"
#include "lemmer/dictionary/dictionary.h"
#include "lemmer/dictionary/dictionary_loader.h"
#include "lemmer/grammar/gram_codes.h"
#include "lemmer/record/analysis_record.h"
#include "lemmer/token/word_parts.h"
#include "tools/dictionary_file.h"
#include "tools/tool_main.h"
#include "util/charset/utf8.h"
#include "util/generic/memory_pool.h"
#include "util/stream/buffered.h"
#include "util/stream/file_stream.h"
#include "util/stream/memory.h"
#include "util/stream/std_stream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

const char kUsage[] = "usage: dictionary_eval [-h | -l] [-x misses] <dictionary> <word list>\n";

// A lemma as the analyser writes it (the Russian normaliser with its hook: lower case, the
// pre-reform spellings modernised, one apostrophe) with ё as е: how lemmas are compared.
std::u16string Fold(const wchar16* text, size_t length) {
    static const NLemmer::TAlphabetWordNormalizer* const normalizer =
        NLemmer::GetAlphabetWordNormalizer(1);
    TUtf16String word(text, length);
    normalizer->NormalizeWord(word, 0x3F);
    std::u16string s(word.data(), word.size());
    for (char16_t& c : s) {
        if (c == u'ё') {
            c = u'е';
        }
    }
    return s;
}

std::u16string FoldedLemma(const TAnalysisRecord& r) {
    return Fold(r.Lemma, r.LemmaLength);
}

std::u16string FoldedText(const Stroka& utf8) {
    const TUtf16String s = DecodeUtf8(utf8.data(), utf8.size());
    return Fold(s.data(), s.size());
}

struct TWordToken {
    std::u16string Text;
    std::vector<TTokenPart> Parts;

    void Reset(std::u16string text) {
        Text = std::move(text);
        NLemmer::SplitWordParts(Text.data(), Text.size(), Parts);
    }
    TTokenView View() const { return {Text.data(), Text.size(), Parts}; }
    bool IsWhole(const TAnalysisRecord& r) const {
        return r.FirstPart == 0 && r.PartCount == Parts.size();
    }
};

Stroka PartOfSpeech(const TAnalysisRecord& r) {
    if (!r.CommonGrammar || !*r.CommonGrammar) {
        return Stroka();
    }
    const char pos[2] = {r.CommonGrammar[0], 0};
    return GramCodesToText(pos, 0, false);
}

Stroka Utf8(const std::u16string& s) {
    Stroka out;
    for (char16_t c : s) {
        uint8_t bytes[4];
        out.append(reinterpret_cast<const char*>(bytes), WriteUtf8Char(c, bytes));
    }
    return out;
}

// One line of the word list, split at its two tabs.
struct TListLine {
    Stroka Word;
    Stroka Lemma;
    Stroka Pos;

    bool Parse(const Stroka& line) {
        const size_t tab1 = line.find('\t');
        const size_t tab2 = tab1 == Stroka::npos ? Stroka::npos : line.find('\t', tab1 + 1);
        if (tab2 == Stroka::npos) {
            return false;
        }
        Word = Stroka(line.data(), tab1);
        Lemma = Stroka(line.data() + tab1 + 1, tab2 - tab1 - 1);
        Pos = Stroka(line.data() + tab2 + 1, line.size() - tab2 - 1);
        return true;
    }
};

std::u16string Utf16(const Stroka& text) {
    const TUtf16String s = DecodeUtf8(text.data(), text.size());
    return std::u16string(s.data(), s.size());
}

// Analyses one word after another with the options of the run.
class TAnalyzer {
public:
    explicit TAnalyzer(const TAnalyzeWordOptions& options) : Options_(options) {}

    const TAnalysisVector& Analyze(const std::u16string& word) {
        Token_.Reset(word);
        AnalyzeWord(Token_.View(), Out_, TLangMask(1), nullptr, Options_);
        return Out_;
    }
    const TWordToken& Token() const { return Token_; }

    // The dictionary analyses in Russian that cover the last word whole.
    template <class TVisit>
    void ForWholeDictionaryAnalyses(TVisit visit) const {
        for (const TAnalysisRecord& r : Out_) {
            if (r.Language == 1 && !(r.Flags & AF_NOT_FROM_DICTIONARY) && Token_.IsWhole(r)) {
                visit(r);
            }
        }
    }

private:
    TAnalyzeWordOptions Options_;
    TWordToken Token_;
    TAnalysisVector Out_;
};

struct TCounts {
    uint64_t Words = 0;
    uint64_t FromDictionary = 0;  // the first analysis comes from the dictionary
    uint64_t Anywhere = 0;
    uint64_t Top1 = 0;
    uint64_t PartOfSpeech = 0;
};

double Percent(uint64_t part, uint64_t whole) {
    return whole ? 100.0 * double(part) / double(whole) : 0.0;
}

// Coverage, or with `hypotheses` the held-out measures; returns the report line.
Stroka MeasureList(TBufferedInput& list, bool hypotheses, TOutputStream* misses) {
    TAnalyzeWordOptions options;
    if (!hypotheses) {
        options.DictionaryOnly();
    }
    TAnalyzer analyzer(options);
    TCounts counts;
    Stroka line;
    TListLine fields;
    while (list.ReadLine(line)) {
        if (!fields.Parse(line)) {
            continue;
        }
        const std::u16string lemma = FoldedText(fields.Lemma);
        const TAnalysisVector& out = analyzer.Analyze(Utf16(fields.Word));
        ++counts.Words;

        const TAnalysisRecord* first = nullptr;
        bool anywhere = false;
        for (const TAnalysisRecord& r : out) {
            if (r.Language != 1 || (!hypotheses && (r.Flags & AF_NOT_FROM_DICTIONARY))) {
                continue;
            }
            if (!first && analyzer.Token().IsWhole(r)) {
                first = &r;
            }
            anywhere = anywhere || FoldedLemma(r) == lemma;
        }
        const bool top1 = first && FoldedLemma(*first) == lemma;
        counts.Anywhere += anywhere;
        counts.Top1 += top1;
        counts.FromDictionary += first && !(first->Flags & AF_NOT_FROM_DICTIONARY);
        counts.PartOfSpeech += first && PartOfSpeech(*first) == fields.Pos;
        if (misses && (hypotheses ? !top1 : !anywhere)) {
            *misses << fields.Word << '\t' << fields.Lemma << '\t' << fields.Pos << '\t'
                    << (anywhere ? "among" : "absent") << '\t';
            if (first) {
                *misses << Utf8(std::u16string(first->Lemma, first->LemmaLength)) << '\t'
                        << PartOfSpeech(*first) << '\t'
                        << (first->Flags & AF_HYPOTHESIS ? "?" : "");
            }
            *misses << '\n';
        }
    }

    char report[512];
    if (hypotheses) {
        std::snprintf(report, sizeof(report),
                      "words %llu  from dictionary %.2f%%  top-1 lemma %.2f%%  lemma anywhere "
                      "%.2f%%  part of speech %.2f%%\n",
                      static_cast<unsigned long long>(counts.Words),
                      Percent(counts.FromDictionary, counts.Words),
                      Percent(counts.Top1, counts.Words), Percent(counts.Anywhere, counts.Words),
                      Percent(counts.PartOfSpeech, counts.Words));
    } else {
        std::snprintf(report, sizeof(report), "words %llu  found %llu  coverage %.4f%%\n",
                      static_cast<unsigned long long>(counts.Words),
                      static_cast<unsigned long long>(counts.Anywhere),
                      Percent(counts.Anywhere, counts.Words));
    }
    return report;
}

// The own-lemma check of one word: whether a whole dictionary analysis has `lemma` (and, when
// `pos` is given, that part of speech); on a miss, writes `kind`, `fields` and the lemmas the
// analyses gave to `misses`.
bool HasOwnLemma(TAnalyzer& analyzer, const std::u16string& word, const Stroka& lemmaText,
                 const Stroka* pos, const char* kind, const Stroka& fields, TOutputStream* misses) {
    const std::u16string lemma = FoldedText(lemmaText);
    analyzer.Analyze(word);
    bool found = false;
    std::vector<std::u16string> given;
    analyzer.ForWholeDictionaryAnalyses([&](const TAnalysisRecord& r) {
        const std::u16string got = FoldedLemma(r);
        found = found || (got == lemma && (!pos || PartOfSpeech(r) == *pos));
        if (std::find(given.begin(), given.end(), got) == given.end()) {
            given.push_back(got);
        }
    });
    if (!found && misses) {
        *misses << kind << '\t' << fields << '\t';
        for (size_t i = 0; i < given.size(); ++i) {
            *misses << (i ? "|" : "") << Utf8(given[i]);
        }
        *misses << (given.empty() ? "-" : "") << '\n';
    }
    return found;
}

// The own-lemma check of every wordform of the list and of every distinct lemma with its part
// of speech; returns the report line.
Stroka MeasureOwnLemmas(TBufferedInput& list, TOutputStream* misses) {
    TAnalyzeWordOptions options;
    options.DictionaryOnly();
    TAnalyzer analyzer(options);
    uint64_t words = 0;
    uint64_t wordsFound = 0;
    uint64_t lemmas = 0;
    uint64_t lemmasFound = 0;
    std::set<std::pair<Stroka, Stroka>> seen;
    Stroka line;
    TListLine fields;
    while (list.ReadLine(line)) {
        if (!fields.Parse(line)) {
            continue;
        }
        ++words;
        wordsFound += HasOwnLemma(analyzer, Utf16(fields.Word), fields.Lemma, nullptr, "wordform",
                                  line, misses);
        if (seen.insert({fields.Lemma, fields.Pos}).second) {
            ++lemmas;
            lemmasFound += HasOwnLemma(analyzer, Utf16(fields.Lemma), fields.Lemma, &fields.Pos,
                                       "lemma", fields.Lemma + "\t" + fields.Pos, misses);
        }
    }
    char report[512];
    std::snprintf(report, sizeof(report),
                  "lemmas %llu  own lemma %llu  %.4f%%  wordforms %llu  own lemma %llu  %.4f%%\n",
                  static_cast<unsigned long long>(lemmas),
                  static_cast<unsigned long long>(lemmasFound), Percent(lemmasFound, lemmas),
                  static_cast<unsigned long long>(words),
                  static_cast<unsigned long long>(wordsFound), Percent(wordsFound, words));
    return report;
}

int Run(int argc, char** argv) {
    bool hypotheses = false;
    bool ownLemmas = false;
    const char* missesPath = nullptr;
    const char* names[2] = {nullptr, nullptr};
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-h") == 0) {
            hypotheses = true;
        } else if (std::strcmp(argv[i], "-l") == 0) {
            ownLemmas = true;
        } else if (std::strcmp(argv[i], "-x") == 0 && i + 1 < argc) {
            missesPath = argv[++i];
        } else if (files < 2 && argv[i][0] != '-') {
            names[files++] = argv[i];
        } else {
            files = -1;
            break;
        }
    }
    if (files != 2 || (hypotheses && ownLemmas)) {
        StdErrStream() << kUsage;
        StdErrStream().Flush();
        return 2;
    }

    const Stroka bytes = ReadDictionaryBytes(names[0]);
    TMemoryPool pool(1 << 20);
    NByk::TDictionary dictionary;
    {
        TMemoryInput in(bytes.data(), bytes.size());
        NByk::LoadDictionary(dictionary, in, pool);
    }
    NLemmer::NPrivate::RussianMainDictionarySlot() = &dictionary;

    std::unique_ptr<TFileOutput> misses;
    if (missesPath) {
        misses = std::make_unique<TFileOutput>(Stroka(missesPath));
    }
    TFileInput file{Stroka(names[1])};
    TBufferedInput list(&file, 1 << 20);
    const Stroka report = ownLemmas ? MeasureOwnLemmas(list, misses.get())
                                    : MeasureList(list, hypotheses, misses.get());
    if (misses) {
        misses->Finish();
    }
    StdOutStream() << report;
    StdOutStream().Flush();
    NLemmer::NPrivate::RussianMainDictionarySlot() = nullptr;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return RunTool("dictionary_eval: ", [&] { return Run(argc, argv); });
}
