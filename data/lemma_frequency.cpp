#include "data/lemma_frequency.h"

#include "util/stream/embedded_data.h"

#include <atomic>

namespace {
std::atomic<bool> Decoded{false};
}  // namespace

const TBlob* GetLemmaFrequencyTable() {
    const TBlob* table = GetCompressedStaticData<GetLemmaFrequencyChunk>();
    Decoded.store(true, std::memory_order_release);
    return table;
}

bool LemmaFrequencyTableDecoded() {
    return Decoded.load(std::memory_order_acquire);
}
