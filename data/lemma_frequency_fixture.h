// For tests: a small lemma-frequency table of known values (lemma_frequency_fixture.tsv), built
// and packed like the real one and linked from the data_frequency_fixture library.
#pragma once

#include "util/stream/blob.h"
#include "util/stream/embedded_data.h"

#include <cstdint>

const char* GetLemmaFrequencyFixtureChunk(uint64_t index);

// Decoded on the first call and shared until exit, as the real table is.
inline const TBlob* GetLemmaFrequencyFixtureTable() {
    return GetCompressedStaticData<GetLemmaFrequencyFixtureChunk>();
}
