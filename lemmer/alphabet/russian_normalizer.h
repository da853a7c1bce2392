// The Russian normaliser: the Russian alphabet and tables, and a hook that rewrites pre-reform
// spelling into the modern one (ѣ, і, a final ъ, and the prefixes written with з before a
// voiceless consonant).
#pragma once

#include "lemmer/alphabet/alphabet_normalizers.h"

namespace NLemmer::NDetail {

class TRussianWordNormalizer : public TRussianBaseNormalizer {
public:
    // Copies the word (cut to outSize, which clears Valid) and rewrites it in place; sets
    // NS_ADVANCED_CONVERT when it changed the word and clears Valid when an і is left. Never
    // declines.
    bool AdvancedConvert(const wchar16* src, size_t length, wchar16* out, size_t outSize,
                         TNormalizeResult& result) const override;
    bool AdvancedConvert(TUtf16String& word, TNormalizeResult& result) const override;
};

// Applies the pre-reform rules to word[0, length) in place and returns the new length; sets
// `changed` when a rule fired and `hasDecimalI` when an і remains.
size_t ModernizeRussianSpelling(wchar16* word, size_t length, bool& changed, bool& hasDecimalI);

}  // namespace NLemmer::NDetail
