// The word normaliser of every language, over any UTF-16 word, step mask and buffer size:
// no read or write outside the buffers, a length within the buffer, and a 0 unit after the
// output whenever there is room for it. And the result is right: the buffer and string forms
// agree when neither was cut, normalising a valid result again changes nothing (but for what
// the order of the steps leaves to a second pass, and where a table step deleted a unit), a
// word that passed the alphabet check is text of the language's alphabet, and well-formed
// UTF-16 stays so.
#include "lemmer/alphabet/alphabet_registry.h"
#include "lemmer/alphabet/word_normalizer.h"
#include "util/charset/language.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const uint64_t DECOMPOSE = 1 << NLemmer::NS_DECOMPOSE;
const uint64_t COMPOSE = 1 << NLemmer::NS_COMPOSE;
const uint64_t LOWERCASE = 1 << NLemmer::NS_LOWERCASE;
const uint64_t HOOK = 1 << NLemmer::NS_ADVANCED_CONVERT;
const uint64_t CHECK_ALPHABET = 1 << NLemmer::NS_CHECK_ALPHABET;
const uint64_t DERENYX = 1 << NLemmer::NS_DERENYX;
const uint64_t CONVERT = 1 << NLemmer::NS_CONVERT;

// No unpaired surrogate.
bool WellFormed(const wchar16* w, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (w[i] >= 0xD800 && w[i] < 0xDC00 && i + 1 < n && w[i + 1] >= 0xDC00 &&
            w[i + 1] < 0xE000) {
            ++i;
        } else if (w[i] >= 0xD800 && w[i] < 0xE000) {
            return false;
        }
    }
    return true;
}

// What a second pass makes of the valid result `word` of `source`, where each step ran once,
// in its order:
// - lower-casing comes after composition, so where it changed the word, a capital that does
//   not compose with the mark after it can leave a small letter that does (İ + U+0301 becomes
//   i + U+0301, J + U+030C j + U+030C), which the next pass composes;
// - lower-casing's dotted-i repair takes one U+0307 from the marks after each i or ı a pass,
//   so where they hold another, the next pass takes that one;
// - the unknown language's hook comes last: it decomposes, drops the marks and lower-cases, so
//   nothing composes after it; but ẞ becomes ß by lower-casing and 𝚤 becomes ı by
//   decomposition, and only the next pass folds these to ss and i.
TUtf16String SecondPass(const NLemmer::TAlphabetWordNormalizer& normalizer, int language,
                        uint64_t mask, const TUtf16String& source, TUtf16String word) {
    if (language == LANG_UNK && (mask & HOOK)) {
        TUtf16String folded;
        for (const wchar16 c : word) {
            if (c == 0x00DF) {
                folded.append(u"ss", 2);
            } else {
                folded.push_back(c == 0x0131 ? u'i' : c);
            }
        }
        return folded;
    }
    if ((mask & COMPOSE) && (mask & LOWERCASE)) {
        TUtf16String composed = source;
        normalizer.NormalizeWord(composed, mask & (DECOMPOSE | COMPOSE));
        TUtf16String lowered = composed;
        normalizer.ToLower(lowered);
        if (lowered != composed) {
            normalizer.Compose(word);
        }
    }
    if (mask & LOWERCASE) {
        word.resize(NLemmer::RepairDottedI(word.MutableData(), word.size()));
    }
    return word;
}

}  // namespace

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
    TUtf16String copy(word.data(), length);
    const NLemmer::TNormalizeResult s = normalizer->NormalizeWord(copy, mask);
    if (s.Length != copy.size()) {
        abort();
    }
    // A valid result with two units to spare was not cut, so both forms made the same word.
    // (The final copy and the default normaliser's folding cut without making the result
    // invalid, the folding before a surrogate pair that does not fit.)
    if (r.Valid && s.Valid && r.Length + 1 < outSize &&
        (r.Length != s.Length || (r.Length && std::memcmp(out, copy.data(), 2 * r.Length)))) {
        abort();
    }
    delete[] out;
    if ((mask & CHECK_ALPHABET) && s.Valid && !normalizer->IsAlphabetic(copy.data(), copy.size())) {
        abort();
    }
    if (WellFormed(word.data(), length) && !WellFormed(copy.data(), copy.size())) {
        abort();
    }
    // A valid result is stable: normalising it again changes nothing but what SecondPass
    // tells. Not so where a table step deleted a unit (every table deletes U+FFFF, the Turkish
    // pre-lower table among them; conversions delete stress marks and apostrophes): the marks on
    // either side meet and are ordered and composed again on the next pass. Nor with the look-alike
    // step, which decides by the script of the letters around and so may decide again once it has
    // changed some.
    const bool tableMayDelete =
        (mask & (DERENYX | CONVERT)) || std::find(word.begin(), word.end(), 0xFFFF) != word.end();
    TUtf16String again = copy;
    normalizer->NormalizeWord(again, mask);
    const TUtf16String source(word.data(), length);
    if (s.Valid && !tableMayDelete &&
        again != SecondPass(*normalizer, language, mask, source, copy)) {
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
