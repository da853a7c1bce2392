// dictionary_eval [-h] [-x misses] <dictionary> <word list>
//
// Measures a binary dictionary (gzip-compressed when it ends in ".gz") against a list of
// "wordform TAB lemma TAB part of speech" lines (UTF-8, as tools/opencorpora/convert.py writes
// with --word-list or --held-out-list). Every wordform is analysed as one word token of the
// analyser (its parts split at hyphens and apostrophes) with the dictionary as the Russian main
// dictionary; lemmas are compared as the Russian normaliser writes them, with ё folded to е.
//
// Without -h (coverage): only dictionary analyses count; reports how many wordforms have their
// lemma among them. With -h (held-out words): the analyser's default lookups (dictionary, then
// hypotheses); reports how often the first analysis has the right lemma (top-1), the right
// lemma is among the analyses, and the first analysis has the right part of speech. The first
// analysis of a hyphenated word is the first one covering the whole word. -x writes the
// wordforms that missed (coverage: not found; -h: wrong top-1), whether the lemma is "among"
// the analyses or "absent", and the lemma, part of speech and "?" of a hypothesis that came
// first.
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
#include "tools/tool_main.h"
#include "util/charset/utf8.h"
#include "util/generic/memory_pool.h"
#include "util/stream/buffered.h"
#include "util/stream/file_stream.h"
#include "util/stream/memory.h"
#include "util/stream/std_stream.h"
#include "util/stream/zlib.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const char kUsage[] = "usage: dictionary_eval [-h] [-x misses] <dictionary> <word list>\n";

bool EndsWith(const char* text, const char* tail) {
    const size_t n = std::strlen(text);
    const size_t m = std::strlen(tail);
    return n >= m && std::strcmp(text + n - m, tail) == 0;
}

// The dictionary's bytes, inflated when the name ends in ".gz".
Stroka ReadDictionaryBytes(const char* path) {
    TFileInput file{Stroka(path)};
    if (!EndsWith(path, ".gz")) {
        return file.ReadAll();
    }
    TZLibDecompress in(&file);
    return in.ReadAll();
}

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

struct TWordToken {
    std::u16string Text;
    std::vector<TTokenPart> Parts;

    void Reset(std::u16string text) {
        Text = std::move(text);
        NLemmer::SplitWordParts(Text.data(), Text.size(), Parts);
    }
    TTokenView View() const { return {Text.data(), Text.size(), Parts}; }
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

int Run(int argc, char** argv) {
    bool hypotheses = false;
    const char* missesPath = nullptr;
    const char* names[2] = {nullptr, nullptr};
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-h") == 0) {
            hypotheses = true;
        } else if (std::strcmp(argv[i], "-x") == 0 && i + 1 < argc) {
            missesPath = argv[++i];
        } else if (files < 2 && argv[i][0] != '-') {
            names[files++] = argv[i];
        } else {
            files = -1;
            break;
        }
    }
    if (files != 2) {
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

    TAnalyzeWordOptions options;
    if (!hypotheses) {
        options.DictionaryOnly();
    }
    std::unique_ptr<TFileOutput> misses;
    if (missesPath) {
        misses = std::make_unique<TFileOutput>(Stroka(missesPath));
    }

    TFileInput file{Stroka(names[1])};
    TBufferedInput list(&file, 1 << 20);
    TCounts counts;
    TWordToken token;
    TAnalysisVector out;
    Stroka line;
    while (list.ReadLine(line)) {
        const size_t tab1 = line.find('\t');
        const size_t tab2 = tab1 == Stroka::npos ? Stroka::npos : line.find('\t', tab1 + 1);
        if (tab2 == Stroka::npos) {
            continue;
        }
        const TUtf16String word = DecodeUtf8(line.data(), tab1);
        const TUtf16String lemma16 = DecodeUtf8(line.data() + tab1 + 1, tab2 - tab1 - 1);
        const std::u16string lemma = Fold(lemma16.data(), lemma16.size());
        const Stroka pos(line.data() + tab2 + 1, line.size() - tab2 - 1);
        token.Reset(std::u16string(word.data(), word.size()));
        AnalyzeWord(token.View(), out, TLangMask(1), nullptr, options);
        ++counts.Words;

        const TAnalysisRecord* first = nullptr;
        bool anywhere = false;
        for (const TAnalysisRecord& r : out) {
            if (r.Language != 1 || (!hypotheses && (r.Flags & AF_NOT_FROM_DICTIONARY))) {
                continue;
            }
            if (!first && r.FirstPart == 0 && r.PartCount == token.Parts.size()) {
                first = &r;
            }
            anywhere = anywhere || Fold(r.Lemma, r.LemmaLength) == lemma;
        }
        const bool top1 = first && Fold(first->Lemma, first->LemmaLength) == lemma;
        counts.Anywhere += anywhere;
        counts.Top1 += top1;
        counts.FromDictionary += first && !(first->Flags & AF_NOT_FROM_DICTIONARY);
        counts.PartOfSpeech += first && PartOfSpeech(*first) == pos;
        if (misses && (hypotheses ? !top1 : !anywhere)) {
            *misses << Stroka(line.data(), tab2) << '\t' << pos << '\t'
                    << (anywhere ? "among" : "absent") << '\t';
            if (first) {
                *misses << Utf8(std::u16string(first->Lemma, first->LemmaLength)) << '\t'
                        << PartOfSpeech(*first) << '\t'
                        << (first->Flags & AF_HYPOTHESIS ? "?" : "");
            }
            *misses << '\n';
        }
    }
    if (misses) {
        misses->Finish();
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
    StdOutStream() << report;
    StdOutStream().Flush();
    NLemmer::NPrivate::RussianMainDictionarySlot() = nullptr;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return RunTool("dictionary_eval: ", [&] { return Run(argc, argv); });
}
