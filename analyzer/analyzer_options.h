// The options of one analysis run, as the command line sets them. main fills the record; the
// run only reads it.
#pragma once

#include "util/charset/codepage.h"

struct TAnalyzerOptions {
    bool CopyAll = false;           // -c: copy the text between words to the output
    bool WordPerLine = false;       // -n: every word on a line of its own
    bool DictionaryOnly = false;    // -w: only words the dictionary knows
    bool LemmasOnly = false;        // -l: lemmas without the words
    bool Frequency = false;         // -f: lemma frequencies
    bool SentenceMark = false;      // -s: end-of-sentence marks (with -c)
    bool GrammarInfo = false;       // -i: grammatical information
    bool GlueGrammar = false;       // -g: the grammar variants of one lemma together (with -i)
    ECharset Encoding = CODES_WIN;  // -e: decodes the input and encodes the output
};
