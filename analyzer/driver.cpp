#include "analyzer/driver.h"

#include "analyzer/analysis_printer.h"
#include "analyzer/line_decoder.h"
#include "analyzer/line_reader.h"
#include "analyzer/output_preprocessor.h"
#include "analyzer/printed_word_cache.h"
#include "analyzer/token_handler.h"
#include "analyzer/word_analyzer.h"
#include "tokenizer/tokenizer.h"
#include "util/generic/string.h"

#include <vector>

namespace {

// The run's input, which hands the output over before every read: a read may wait for a user
// who is waiting for the analysis of the lines before it.
class TOutputFirstInput : public TInputStream {
public:
    TOutputFirstInput(TInputStream& input, TAnalysisPrinter& printer)
        : Input_(input), Printer_(printer) {}

protected:
    size_t DoRead(void* buffer, size_t length) override {
        Printer_.Flush();
        return Input_.Read(buffer, length);
    }

private:
    TInputStream& Input_;
    TAnalysisPrinter& Printer_;
};

}  // namespace

void RunAnalysis(TInputStream& input, TOutputStream& output, const TAnalyzerOptions* options,
                 NLemmix::IWordAnalyzer* analyzer, size_t wordCacheBytes) {
    TAnalysisPrinter printer(options, &output);
    NLemmix::TBasicPreprocessor preprocessor(options, &printer);
    NLemmix::TPrintedWordCache cache(&printer, wordCacheBytes);
    NLemmix::TTokenHandler handler(options, &preprocessor, analyzer, &cache);
    const TTokenizerConfig config{&handler, true};
    TOutputFirstInput outputFirst(input, printer);
    TLineReader reader(outputFirst, TLineFeedForm::ForCharset(options->Encoding));
    TLineDecoder decoder(options->Encoding);
    std::vector<char> line;
    std::vector<wchar16> units;
    try {
        while (reader.Next(line)) {
            decoder.Decode(line.data(), line.size(), units);
            units.push_back(u'\n');
            TokenizeWide(config, units.data(), units.size(), false, 0);
        }
    } catch (...) {
        // What the earlier lines (and the failed word, up to the failure) wrote reaches the
        // stream before the error ends the run.
        printer.WritePending();
        throw;
    }
    printer.WritePending();
}

void RunAnalysis(TInputStream& input, TOutputStream& output, const TAnalyzerOptions* options) {
    TRussianWordAnalyzer analyzer;
    RunAnalysis(input, output, options, &analyzer);
}
