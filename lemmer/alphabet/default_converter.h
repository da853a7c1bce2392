// The normaliser of language 0 (no language): no alphabet and no tables; its hook folds a word
// into lower-case text without diacritics.
#pragma once

#include "lemmer/alphabet/word_normalizer.h"

namespace NLemmer::NDetail {

class TDefaultConverter : public TAlphabetWordNormalizer {
public:
    TDefaultConverter();

    // ä ö ü become "ae" "oe" "ue", ß "ss", İ and ı plain I and i; Й й Ї ї stay whole; every
    // other character is replaced by its compatibility decomposition; marks are dropped and
    // the rest lower-cased. Always returns true; sets no flag and leaves Valid alone, even
    // when the output was cut.
    bool AdvancedConvert(const wchar16* src, size_t length, wchar16* out, size_t outSize,
                         TNormalizeResult& result) const override;
    bool AdvancedConvert(TUtf16String& word, TNormalizeResult& result) const override;
};

}  // namespace NLemmer::NDetail
