// The whole analysis run over any bytes, with any options and any encoding: it ends normally,
// or with a kexception only for malformed UTF-8, and the sanitizers see no fault. The run is
// made without the word cache and with a cache small enough to drop entries: both write the
// same bytes with the same flushes, and fail alike.
#include "analyzer/driver.h"
#include "analyzer/word_analyzer.h"
#include "util/generic/exception.h"
#include "util/stream/memory.h"
#include "util/stream/output.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Keeps what is written, with a mark at each flush.
class TStringSink : public TOutputStream {
public:
    std::string Text;

protected:
    void DoWrite(const void* data, size_t length) override {
        Text.append(static_cast<const char*>(data), length);
    }
    void DoFlush() override { Text += "\0F\0"; }
};

// The output of one run and its error, if any.
std::string Run(const uint8_t* data, size_t size, const TAnalyzerOptions& options,
                size_t cacheBytes) {
    TMemoryInput input(data, size);
    TStringSink output;
    TRussianWordAnalyzer analyzer;
    try {
        RunAnalysis(input, output, &options, &analyzer, cacheBytes);
    } catch (const kexception& e) {
        if (options.Encoding != CODES_UTF8) {
            std::abort();  // only UTF-8 input can end a run
        }
        output.Text += "\0E\0";
        output.Text += e.what();
    }
    return output.Text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    TAnalyzerOptions options;
    const uint8_t flags = data[0];
    options.CopyAll = flags & 1;
    options.WordPerLine = flags & 2;
    options.DictionaryOnly = flags & 4;
    options.LemmasOnly = flags & 8;
    options.Frequency = flags & 16;
    options.SentenceMark = flags & 32;
    options.GrammarInfo = flags & 64;
    options.GlueGrammar = flags & 128;
    options.Encoding = data[1] % CODES_MAX;
    if (Run(data + 2, size - 2, options, 0) != Run(data + 2, size - 2, options, 1000)) {
        std::abort();
    }
    return 0;
}
