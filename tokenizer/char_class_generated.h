// The generated character-class runs of the scanner (tokenizer/char_class_generated.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

namespace NTokenizerGenerated {

struct TCharClassRun {
    uint16_t First;
    uint16_t Last;
    uint8_t Class;
};

extern const size_t CHAR_CLASS_RUN_COUNT;
extern const TCharClassRun CHAR_CLASS_RUNS[];

}  // namespace NTokenizerGenerated
