// Pre-reform Russian spelling into the modern one.
#include "lemmer/alphabet/russian_normalizer.h"

#include "util/charset/codepage.h"
#include "util/charset/recode.h"
#include "util/system/singleton.h"

#include <algorithm>
#include <cstring>

namespace NLemmer::NDetail {
namespace {

constexpr wchar16 YAT = u'ѣ';
constexpr wchar16 DECIMAL_I = u'і';
constexpr wchar16 HARD_SIGN = u'ъ';
constexpr wchar16 I = u'и';
constexpr wchar16 YE = u'е';
constexpr wchar16 EM = u'м';
constexpr wchar16 ZE = u'з';
constexpr wchar16 ES = u'с';

constexpr const wchar16* VOWELS = u"аaеeиоoуyыэюяйё";
constexpr const wchar16* CONSONANTS = u"бвгджзклмнпрстфхцчшщ";
constexpr const wchar16* VOICELESS = u"пткцчфсшщх";
constexpr const wchar16* ER = u"рp";

// ѣ is held as its byte in the system's own code page, the rest of each word as UTF-8.
constexpr char YAT_KORVEL[] = "\xB9";

TUtf16String Decoded(ECharset code, const char* text) {
    return RecodeToUtf16(code, text, std::strlen(text));
}

// The words in which ѣ becomes и rather than е: онѣ, однѣ, однѣхъ.
struct TPreReformWords {
    static constexpr size_t Count = 3;
    TUtf16String Words[Count];
    // The position of ѣ in each word.
    size_t YatPosition[Count];

    TPreReformWords() {
        const char* heads[Count] = {"он", "одн", "одн"};
        const char* tails[Count] = {"", "", "хъ"};
        const TUtf16String yat = Decoded(CODES_KORVEL, YAT_KORVEL);
        for (size_t i = 0; i < Count; ++i) {
            Words[i] = Decoded(CODES_UTF8, heads[i]);
            YatPosition[i] = Words[i].size();
            Words[i] += yat;
            Words[i] += Decoded(CODES_UTF8, tails[i]);
        }
    }

    // The position of the ѣ when the word is one of the three. The analyser's derenyx step
    // has already turned ѣ into е before the hook runs, so е in that position matches too.
    size_t Match(const wchar16* word, size_t length) const {
        for (size_t i = 0; i < Count; ++i) {
            const TUtf16String& w = Words[i];
            if (w.size() != length) {
                continue;
            }
            bool equal = true;
            for (size_t k = 0; k < length && equal; ++k) {
                equal = word[k] == w[k] || (k == YatPosition[i] && word[k] == YE);
            }
            if (equal) {
                return YatPosition[i];
            }
        }
        return TUtf16String::npos;
    }
};

bool In(const wchar16* set, wchar16 u) {
    for (; *set != 0; ++set) {
        if (*set == u) {
            return true;
        }
    }
    return false;
}

bool StartsWith(const wchar16* word, size_t length, const wchar16* prefix) {
    const size_t n = std::char_traits<wchar16>::length(prefix);
    return n <= length && std::equal(prefix, prefix + n, word);
}

// ѣ and і: the walk of step 2.
bool RewriteLetters(wchar16* w, size_t n) {
    const size_t yat = Singleton<TPreReformWords>()->Match(w, n);
    if (yat != TUtf16String::npos) {
        w[yat] = I;
        return true;
    }
    bool changed = false;
    for (size_t i = 0; i < n; ++i) {
        if (w[i] == YAT) {
            w[i] = YE;
            changed = true;
        } else if (w[i] == DECIMAL_I && i + 1 < n) {
            const wchar16 next = w[i + 1];
            if (In(VOWELS, next) || (i > 0 && w[i - 1] == EM && In(ER, next))) {
                w[i] = I;
                changed = true;
            }
        }
    }
    return changed;
}

// з written before a voiceless consonant in prefixes: возс-, низс-, разс-, розс-, без-, изс-,
// черезс-, чрезс-.
bool RewritePrefix(wchar16* w, size_t n) {
    if (n < 5) {
        return false;
    }
    if (w[2] == ZE) {
        if (StartsWith(w, n, u"возс") || StartsWith(w, n, u"низс") || StartsWith(w, n, u"разс") ||
            StartsWith(w, n, u"розс") || (StartsWith(w, n, u"бе") && In(VOICELESS, w[3]))) {
            w[2] = ES;
            return true;
        }
        return false;
    }
    if (w[2] == ES) {
        if (StartsWith(w, n, u"из")) {
            w[1] = ES;
            return true;
        }
        return false;
    }
    if (n < 7) {
        return false;
    }
    if (w[4] == ZE && StartsWith(w, n, u"черезс")) {
        w[4] = ES;
        return true;
    }
    if (w[4] == ES && StartsWith(w, n, u"чрез")) {
        w[3] = ES;
        return true;
    }
    return false;
}

}  // namespace

size_t ModernizeRussianSpelling(wchar16* w, size_t n, bool& changed, bool& hasDecimalI) {
    changed = RewriteLetters(w, n);
    if (n > 1 && w[n - 1] == HARD_SIGN && In(CONSONANTS, w[n - 2])) {
        --n;
        changed = true;
    }
    hasDecimalI = std::find(w, w + n, DECIMAL_I) != w + n;
    changed = RewritePrefix(w, n) || changed;
    return n;
}

bool TRussianWordNormalizer::AdvancedConvert(const wchar16* src, size_t length, wchar16* out,
                                             size_t outSize, TNormalizeResult& result) const {
    size_t n = std::min(length, outSize);
    if (n < length) {
        result.Valid = false;
    }
    std::copy(src, src + n, out);
    bool changed = false;
    bool hasDecimalI = false;
    n = ModernizeRussianSpelling(out, n, changed, hasDecimalI);
    result.Length = n;
    if (changed) {
        result.Flags.Set(NS_ADVANCED_CONVERT);
    }
    if (hasDecimalI) {
        result.Valid = false;
    }
    if (n < outSize) {
        out[n] = 0;
    }
    return true;
}

bool TRussianWordNormalizer::AdvancedConvert(TUtf16String& word, TNormalizeResult& result) const {
    if (word.empty()) {
        result.Length = 0;
        return true;
    }
    bool changed = false;
    bool hasDecimalI = false;
    const size_t n =
        ModernizeRussianSpelling(word.MutableData(), word.size(), changed, hasDecimalI);
    word.resize(n);
    result.Length = n;
    if (changed) {
        result.Flags.Set(NS_ADVANCED_CONVERT);
    }
    if (hasDecimalI) {
        result.Valid = false;
    }
    return true;
}

}  // namespace NLemmer::NDetail
