// The parts of transliteration that do not depend on the language class.
#include "lemmer/translit/transliteration.h"

#include "lemmer/alphabet/alphabet_registry.h"

#include <string>

namespace NTranslitPrivate {

size_t TextLength(const wchar16* text) {
    return std::char_traits<wchar16>::length(text);
}

bool SameText(TWCharRange a, TWCharRange b) {
    return a.Length == b.Length &&
           std::char_traits<wchar16>::compare(a.Data, b.Data, a.Length) == 0;
}

bool NormalizeAsEnglish(const wchar16* word, size_t length, wchar16 (&out)[56],
                        NLemmer::TNormalizeResult& result) {
    const NLemmer::TAlphabetWordNormalizer* english =
        NLemmer::GetAlphabetWordNormalizer(EnglishLanguageId);
    if (english == nullptr) {
        return false;
    }
    NLemmer::TNormalizationMask steps;
    steps.Set(NLemmer::NS_COMPOSE)
        .Set(NLemmer::NS_DERENYX)
        .Set(NLemmer::NS_CONVERT)
        .Set(NLemmer::NS_ADVANCED_CONVERT)
        .Set(NLemmer::NS_CHECK_ALPHABET);
    result = english->NormalizeWord(word, length, out, 56, steps);
    return result.Valid;
}

}  // namespace NTranslitPrivate

uint32_t RankingBound(uint32_t firstScore) {
    const long double bound = static_cast<long double>(firstScore) * 2.7182818459045 + 0.5L;
    return bound > 4294967295.0L ? 0xFFFFFFFF : static_cast<uint32_t>(bound);
}
