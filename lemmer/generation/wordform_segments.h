// A view that cuts the normalised word of one analysis into prefix, stem, ending and tail, and
// names one of its form grammars. Non-owning: valid while the record lives unchanged.
#pragma once

#include "lemmer/record/analysis_record.h"

#include "util/generic/string.h"

#include <cstddef>

struct TWordformSegments {
    const TAnalysisRecord* Source = nullptr;
    TWCharRange Prefix;
    TWCharRange Stem;
    TWCharRange Third;   // not filled from a record
    TWCharRange Fourth;  // not filled from a record
    TWCharRange Ending;
    TWCharRange Tail;
    const char* FormGrammar = nullptr;

    // The pieces tile the normalised word in the order prefix, stem, ending, tail; a tail or
    // an ending that does not fit in what is left is empty rather than shortened. FormGrammar
    // is the record's form grammar `formIndex`, null past the last.
    TWordformSegments(const TAnalysisRecord& record, size_t formIndex);
};
