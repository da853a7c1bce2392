// lemma_frequencies: counts the lemma frequencies of a corpus of UTF-8 text files as the
// analyser would print them, and writes the table's text form ("key TAB value", sorted).
//
//     lemma_frequencies [-d DICTIONARY.bin.gz] OUT.tsv TEXT...
//
// An offline tool: the words are tokenised and analysed exactly as `lemmix` does (the same
// token handler and Russian word analysis, default options), and every key is formed by the
// output preprocessor's own LemmaFrequencyKey. Counting rule: each word the analyser prints is
// one word of the total; its dictionary analyses give their distinct keys, and each of the n
// keys gets 1/n. Hypotheses, second-dictionary analyses and placeholders give none: a
// hypothesis is a guess from the word's ending, one unknown word yields several invented
// lemmas and its forms yield different ones, so their counts would not add up to any lemma's
// frequency and would only fill the table. The value is the count per million words x 100,
// rounded to the nearest integer, and at least 1.
//
// -d loads a binary dictionary (gzip-compressed) as the Russian main dictionary, for as long
// as the analyser has none of its own.
#include "analyzer/analyzer_options.h"
#include "analyzer/line_decoder.h"
#include "analyzer/line_reader.h"
#include "analyzer/output_preprocessor.h"
#include "analyzer/token_handler.h"
#include "analyzer/word_analyzer.h"
#include "lemmer/dictionary.h"
#include "lemmer/dictionary_loader.h"
#include "lemmer/language_objects.h"
#include "tokenizer/tokenizer.h"
#include "tools/tool_main.h"
#include "util/generic/memory_pool.h"
#include "util/stream/file_stream.h"
#include "util/stream/std_stream.h"
#include "util/stream/zlib.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// The part-of-speech names a key may end with.
constexpr const char16_t* PartsOfSpeech[] = {u"S",    u"V",    u"A",   u"ADV",    u"COM",
                                             u"INTJ", u"PART", u"PR",  u"ADVPRO", u"CONJ",
                                             u"SPRO", u"APRO", u"NUM", u"ANUM"};

bool EndsWithPartOfSpeech(const std::u16string& key) {
    const size_t equals = key.rfind(u'=');
    const std::u16string_view name = std::u16string_view(key).substr(equals + 1);
    return std::any_of(std::begin(PartsOfSpeech), std::end(PartsOfSpeech),
                       [&](const char16_t* pos) { return name == pos; });
}

// Stands where the output preprocessor would: sees every printed word and its analyses.
class TFrequencyCounter : public NLemmix::IOutputPreprocessor {
public:
    void PrintText(const wchar16*, size_t) override {}
    void BeginSentence() override {}
    void EndWord() override {}

    void PrintWord(const wchar16*, size_t, TAnalysisRecord* first, TAnalysisRecord* last) override {
        ++Words_;
        Keys_.clear();
        for (TAnalysisRecord* record = first; record != last; ++record) {
            if (record->Flags & AF_NOT_FROM_DICTIONARY) {
                continue;  // guesses: see the counting rule above
            }
            wchar16 key[NLemmix::LemmaFrequencyKeyCapacity];
            const size_t length = NLemmix::LemmaFrequencyKey(*record, key);
            std::u16string text(key, key + length);
            if (length == 0 || !EndsWithPartOfSpeech(text)) {
                ++Skipped_[text.substr(text.rfind(u'=') + 1)];
                continue;
            }
            if (std::find(Keys_.begin(), Keys_.end(), text) == Keys_.end()) {
                Keys_.push_back(std::move(text));
            }
        }
        for (const std::u16string& key : Keys_) {
            Counts_[key] += 1.0 / static_cast<double>(Keys_.size());
        }
    }

    uint64_t Words() const { return Words_; }
    const std::unordered_map<std::u16string, double>& Counts() const { return Counts_; }
    const std::map<std::u16string, uint64_t>& Skipped() const { return Skipped_; }

private:
    uint64_t Words_ = 0;
    std::vector<std::u16string> Keys_;
    std::unordered_map<std::u16string, double> Counts_;
    std::map<std::u16string, uint64_t> Skipped_;  // by grammeme name
};

void CountFile(const Stroka& path, NLemmix::TTokenHandler& handler) {
    TFileInput input(path);
    TLineReader reader(input, TLineFeedForm::ForCharset(CODES_UTF8));
    TLineDecoder decoder(CODES_UTF8);
    const TTokenizerConfig config{&handler, true};
    std::vector<char> line;
    std::vector<wchar16> units;
    while (reader.Next(line)) {
        decoder.Decode(line.data(), line.size(), units);
        units.push_back(u'\n');
        TokenizeWide(config, units.data(), units.size(), false, 0);
    }
}

std::string Utf8(const std::u16string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

void WriteTable(const TFrequencyCounter& counter, const Stroka& path) {
    std::vector<std::pair<std::string, uint64_t>> rows;
    rows.reserve(counter.Counts().size());
    const double perWord = 1e8 / static_cast<double>(counter.Words());
    for (const auto& [key, count] : counter.Counts()) {
        const double value = std::llround(count * perWord);
        rows.emplace_back(Utf8(key), std::max<uint64_t>(1, static_cast<uint64_t>(value)));
    }
    std::sort(rows.begin(), rows.end());  // bytes of UTF-8: code point order
    WriteFileWhole(path, [&](TOutputStream& out) {
        for (const auto& [key, value] : rows) {
            out << key.c_str() << "\t" << value << "\n";
        }
    });
}

int Run(int argc, char** argv) {
    int arg = 1;
    const char* dictionaryPath = nullptr;
    if (arg + 1 < argc && std::strcmp(argv[arg], "-d") == 0) {
        dictionaryPath = argv[arg + 1];
        arg += 2;
    }
    if (argc - arg < 2) {
        StdErrStream() << "usage: lemma_frequencies [-d DICTIONARY.bin.gz] OUT.tsv TEXT...\n";
        return 2;
    }
    TMemoryPool pool(1 << 20);
    NByk::TDictionary dictionary;
    if (dictionaryPath) {
        TFileInput file{Stroka(dictionaryPath)};
        TZLibDecompress in(&file);
        NByk::LoadDictionary(dictionary, in, pool);
        NLemmer::NPrivate::RussianMainDictionarySlot() = &dictionary;
    }
    const Stroka out = argv[arg++];
    TAnalyzerOptions options;
    options.Encoding = CODES_UTF8;
    TFrequencyCounter counter;
    TRussianWordAnalyzer analyzer;
    NLemmix::TTokenHandler handler(&options, &counter, &analyzer);
    for (; arg < argc; ++arg) {
        CountFile(argv[arg], handler);
    }
    if (counter.Words() == 0) {
        throw kexception() << "no words in the corpus";
    }
    WriteTable(counter, out);
    StdErrStream() << "words\t" << counter.Words() << "\nkeys\t" << counter.Counts().size() << "\n";
    for (const auto& [name, count] : counter.Skipped()) {
        StdErrStream() << "skipped =" << Utf8(name).c_str() << "\t" << count << "\n";
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return RunTool("lemma_frequencies: ", [&] { return Run(argc, argv); });
}
