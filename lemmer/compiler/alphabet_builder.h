// Building a dictionary's alphabet from the compiler settings: the letters and word signs of
// the settings' normaliser, folded to lower case, with the settings' tuple length.
#pragma once

#include "lemmer/alphabet/alphabet_tuple_codec.h"
#include "lemmer/compiler/compiler_settings.h"

// Builds codec from the class table of the settings' normaliser's alphabet. A normaliser without
// an alphabet (or no normaliser) gives an alphabet of the empty letter alone.
void BuildDictionaryAlphabet(TAlphabetTupleCodec& codec, const TCompilerSettings& settings);
