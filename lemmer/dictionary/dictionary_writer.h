// Writing a dictionary in its binary form (the layout is in dictionary_loader.h). The loader
// reads what the writer writes, and a loaded dictionary writes back byte for byte.
#pragma once

#include "lemmer/dictionary/dictionary.h"
#include "util/stream/output.h"

namespace NByk {

// Writes parts 1 to 8 of a loaded or compiled dictionary. Null and empty texts are written
// alike; a dictionary without alphabet is written with the empty one (one stem-block slot),
// without ending tree as a tree of no nodes. Raises kexception when the alphabet gives more
// than MaxStemSlots slots or a table is too long for its field; the output stream's errors
// pass through.
void WriteDictionary(const TDictionary& dictionary, TOutputStream& out);

}  // namespace NByk
