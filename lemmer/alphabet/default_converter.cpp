// Diacritic folding of the default normaliser.
#include "lemmer/alphabet/default_converter.h"

#include "util/charset/decomposition.h"

namespace NLemmer::NDetail {

TDefaultConverter::TDefaultConverter()
    : TAlphabetWordNormalizer(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr) {}

bool TDefaultConverter::AdvancedConvert(const wchar16* src, size_t length, wchar16* out,
                                        size_t outSize, TNormalizeResult& result) const {
    result.Length = DecomposeUtf16(src, length, out, outSize, true, false);
    if (result.Length < outSize) {
        out[result.Length] = 0;
    }
    return true;
}

bool TDefaultConverter::AdvancedConvert(TUtf16String& word, TNormalizeResult& result) const {
    word = DecomposeUtf16(word, true, false);
    result.Length = word.size();
    return true;
}

}  // namespace NLemmer::NDetail
