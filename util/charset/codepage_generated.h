// Byte-to-Unicode tables of the single-byte code pages that follow a published mapping. The
// data file is produced once by tools/codepages/gen.py and committed; the build does not run
// the generator. The code-page registry copies these tables into its records.
#pragma once

#include <cstddef>
#include <cstdint>

namespace NCodePageData {

struct TGeneratedPage {
    int Code;               // charset code of the page
    uint32_t Unicode[256];  // character of each byte; U+FFFD where the mapping has none
};

extern const TGeneratedPage GeneratedPages[];
extern const size_t GeneratedPageCount;

}  // namespace NCodePageData
