// Building a compact trie from text: one entry per line, a UTF-8 key, a TAB and the value as
// an unsigned decimal number. The data sets of the analyser (the lemma-frequency table) are
// made this way; tools/compact_trie wraps it as a command.
#pragma once

#include <cstdint>

class TInputStream;
class TOutputStream;

struct TTrieTextOptions {
    uint32_t BuilderFlags = 0;  // NCompactTrie::EBuilderFlags
    bool Minimize = false;      // share equal subtrees before writing
    bool Verbose = false;       // progress of the builder and minimiser on standard error
};

// Reads every line of `in` (a final CR is dropped; empty lines are skipped), splits it at its
// last TAB into key and value, builds the trie and writes it to `out`; returns its size. A key
// may be empty and may itself contain TABs; a repeated key keeps its last value unless
// UniqueKeys is set. Raises kexception naming the line ("line 3: ...") for a line without a
// TAB, a value that is not an unsigned 64-bit decimal number, a key that is not valid UTF-8,
// and for the builder's own refusals.
uint64_t BuildCompactTrieFromText(TInputStream& in, TOutputStream& out,
                                  const TTrieTextOptions& options = {});
