#include "tokenizer/char_class.h"

#include "tokenizer/char_class_generated.h"

namespace {

struct TCharClassTable {
    uint8_t Classes[65536];

    TCharClassTable() {
        using namespace NTokenizerGenerated;
        for (size_t i = 0; i < CHAR_CLASS_RUN_COUNT; ++i) {
            const TCharClassRun& run = CHAR_CLASS_RUNS[i];
            for (uint32_t u = run.First; u <= run.Last; ++u) {
                Classes[u] = run.Class;
            }
        }
    }
};

}  // namespace

const uint8_t* CharClassTable() {
    static const TCharClassTable table;
    return table.Classes;
}
