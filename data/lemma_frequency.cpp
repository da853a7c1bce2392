#include "data/lemma_frequency.h"

#include "util/stream/embedded_data.h"

const TBlob* GetLemmaFrequencyTable() {
    return GetCompressedStaticData<GetLemmaFrequencyChunk>();
}
