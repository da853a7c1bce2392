#include "analyzer/driver.h"

#include "util/generic/string.h"

void RunAnalysis(TInputStream& input, TOutputStream& output, const TAnalyzerOptions* options) {
    Stroka line;
    while (input.ReadLine(line)) {
        if (options->CopyAll) {
            output << line << '\n';
        }
    }
}
