// The word normaliser of every language, over any UTF-16 word, step mask and buffer size:
// no read or write outside the buffers, a length within the buffer, and a 0 unit after the
// output whenever there is room for it.
#include "lemmer/alphabet_registry.h"
#include "lemmer/word_normalizer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) {
        return 0;
    }
    const int language = data[0] % NLemmer::TAlphabetRegistry::LanguageCount;
    const uint64_t mask = data[1] & 0x7F;
    const size_t outSize = data[2] % 64 == 63 ? 0 : data[2] % 64 + (data[2] >> 6) * 64;
    const size_t length = (size - 3) / 2;
    // Exact-size copies so that ASan sees every overrun.
    std::vector<wchar16> word(length);
    if (length != 0) {
        std::memcpy(word.data(), data + 3, length * sizeof(wchar16));
    }
    const NLemmer::TAlphabetWordNormalizer* normalizer =
        NLemmer::GetAlphabetWordNormalizer(language);
    if (normalizer == nullptr) {
        return 0;
    }
    wchar16* out = outSize ? new wchar16[outSize] : nullptr;
    const NLemmer::TNormalizeResult r =
        normalizer->NormalizeWord(word.data(), length, out, outSize, mask);
    if (r.Length > outSize || (r.Length < outSize && out[r.Length] != 0)) {
        abort();
    }
    delete[] out;
    TUtf16String copy(word.data(), length);
    const NLemmer::TNormalizeResult s = normalizer->NormalizeWord(copy, mask);
    if (s.Length != copy.size()) {
        abort();
    }
    normalizer->IsAlphabetic(word.data(), length);
    for (size_t i = 0; i < length && i < 8; ++i) {
        normalizer->ToLowerChar(word[i]);
        normalizer->ToUpperChar(word[i]);
        normalizer->ToTitleChar(word[i]);
    }
    NLemmer::GetWordLanguageMask(word.data(), length, data[1] & 0x80);
    NLemmer::GetWordCharClassFlags(word.data(), length);
    return 0;
}
