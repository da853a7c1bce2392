// lemma_frequencies: counts the lemma frequencies of a corpus of UTF-8 text files as the
// analyser would print them, and writes the table's text form ("key TAB value", sorted).
//
//     lemma_frequencies OUT.tsv TEXT...
//
// An offline tool: the words are tokenised and analysed exactly as `lemmix` does (the same
// token handler and Russian word analysis, default options), and every key is formed by the
// output preprocessor's own LemmaFrequencyKey. The counting rule is TFrequencyCounter's
// (frequency_counter.h); the value is the count per million words x 100, rounded, at least 1.
//
// The dictionary is the one the analyser embeds (data/russian-dictionary.bin.gz at build time),
// so the table must be recounted whenever that file changes.
#include "analyzer/analyzer_options.h"
#include "analyzer/line_decoder.h"
#include "analyzer/line_reader.h"
#include "analyzer/token_handler.h"
#include "analyzer/word_analyzer.h"
#include "tokenizer/tokenizer.h"
#include "tools/lemma_frequencies/frequency_counter.h"
#include "tools/tool_main.h"
#include "util/stream/file_stream.h"
#include "util/stream/std_stream.h"

#include <string>
#include <vector>

namespace {

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

int Run(int argc, char** argv) {
    int arg = 1;
    if (argc - arg < 2) {
        StdErrStream() << "usage: lemma_frequencies OUT.tsv TEXT...\n";
        return 2;
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
    const auto rows = FrequencyRows(counter.Counts(), counter.Words());
    WriteFileWhole(out, [&](TOutputStream& stream) { WriteFrequencyRows(rows, stream); });
    StdErrStream() << "words\t" << counter.Words() << "\nkeys\t" << rows.size() << "\n";
    for (const auto& [name, count] : counter.Skipped()) {
        std::string utf8;
        for (const char16_t c : name) {
            utf8 += c < 0x80 ? static_cast<char>(c) : '?';  // grammeme names are ASCII
        }
        StdErrStream() << "not counted, name \"" << utf8.c_str() << "\"\t" << count << "\n";
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return RunTool("lemma_frequencies: ", [&] { return Run(argc, argv); });
}
