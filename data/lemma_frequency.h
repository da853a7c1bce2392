// The lemma-frequency table embedded in the analyser: a compact trie from "lemma=PART" (the
// Latin name of the lemma's part of speech) to the lemma's frequency multiplied by 100.
#pragma once

#include "util/stream/blob.h"

#include <cstdint>

// The chunk accessor of the embedded data set (generated at build time).
const char* GetLemmaFrequencyChunk(uint64_t index);

// The inflated table, decoded on the first call in the process and shared until exit.
// Thread-safe. Raises the decoding errors of the embedded data (and a later call tries again).
const TBlob* GetLemmaFrequencyTable();

// Whether GetLemmaFrequencyTable has given the table in this process: a run without -f never
// needs it, and start-up skips the decoding.
bool LemmaFrequencyTableDecoded();
