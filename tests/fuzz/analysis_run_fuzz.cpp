// The whole analysis run over any bytes, with any options and any encoding: it ends normally,
// or with a kexception only for malformed UTF-8, and the sanitizers see no fault.
#include "analyzer/driver.h"
#include "util/generic/exception.h"
#include "util/stream/memory.h"
#include "util/stream/output.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

class TStringSink : public TOutputStream {
public:
    std::string Text;

protected:
    void DoWrite(const void* data, size_t length) override {
        Text.append(static_cast<const char*>(data), length);
    }
};

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
    TMemoryInput input(data + 2, size - 2);
    TStringSink output;
    try {
        RunAnalysis(input, output, &options);
    } catch (const kexception&) {
        if (options.Encoding != CODES_UTF8) {
            std::abort();  // only UTF-8 input can end a run
        }
    }
    return 0;
}
