// Building alphabets and composing words by them.
#include "lemmer/alphabet/alphabet.h"

#include "lemmer/alphabet/unicode_services.h"
#include "lemmer/alphabet/unit_sort.h"

#include "util/charset/unicode_table.h"
#include "util/digest/city_hash.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

namespace NLemmer {
namespace {

constexpr size_t MIN_CLUSTER = 64;

const uint8_t ZERO_PAGE[TAlphabet::PageUnits] = {};

}  // namespace

size_t TLetterForms::THash::operator()(std::u16string_view s) const noexcept {
    return CityHash64(reinterpret_cast<const char*>(s.data()), s.size() * sizeof(wchar16));
}

void TLetterForms::Insert(std::u16string form, wchar16 letter) {
    Longest_ = std::max(Longest_, form.size());
    Forms_.insert_or_assign(std::move(form), letter);
}

wchar16 TLetterForms::Find(const wchar16* units, size_t n) const {
    const auto it = Forms_.find(std::u16string_view(units, n));
    return it == Forms_.end() ? 0 : it->second;
}

TAlphabet::TAlphabet() : Forms_(std::make_unique<TLetterForms>()) {
    Clear();
}

TAlphabet::~TAlphabet() = default;

void TAlphabet::Clear() {
    for (size_t high = 0; high < std::size(Pages_); ++high) {
        Pages_[high] = ZERO_PAGE;
        Owned_[high].reset();
    }
}

uint8_t& TAlphabet::Flags(wchar16 unit) {
    std::unique_ptr<uint8_t[]>& page = Owned_[unit >> 8];
    if (!page) {
        page = std::make_unique<uint8_t[]>(PageUnits);
        Pages_[unit >> 8] = page.get();
    }
    return page[unit & 0xFF];
}

void TAlphabet::CopyClassTable(uint8_t* table) const {
    for (size_t high = 0; high < std::size(Pages_); ++high) {
        std::memcpy(table + high * PageUnits, Pages_[high], PageUnits);
    }
}

void TAlphabet::SetFlags(wchar16 unit, uint8_t bits, uint8_t mask) {
    uint8_t& flags = Flags(unit);
    flags = static_cast<uint8_t>((flags & ~mask) | (bits & mask));
}

void TAlphabet::AddFlagsIfNone(wchar16 unit, uint8_t bits, uint8_t absent) {
    if (((*this)[unit] & absent) == 0) {
        Flags(unit) |= bits;
    }
}

void FlagVariants(TAlphabet& flags, const uint32_t* decomposition, uint8_t letterFlag,
                  uint8_t variantFlag) {
    for (const uint32_t* c = decomposition; *c != 0; ++c) {
        if (*c > 0xFFFF) {
            continue;
        }
        const wchar16 u = static_cast<wchar16>(*c);
        if (IsCombiningMark(*c)) {
            flags.Flags(u) |= variantFlag | ALPHA_IGNORABLE | ALPHA_FORM_MARK;
        } else if ((flags[u] & letterFlag) == 0) {
            flags.Flags(u) |= variantFlag;
        }
    }
}

void FlagLetters(TAlphabet& flags, TLetterForms& forms, const wchar16* letters, uint8_t letterFlag,
                 uint8_t variantFlag) {
    const TDecompositionDescriptor& table = CompatDecompositionTable();
    for (const wchar16* p = letters; p != nullptr && *p != 0; ++p) {
        const wchar16 u = *p;
        uint8_t& f = flags.Flags(u);
        f = static_cast<uint8_t>((f & ~variantFlag) | letterFlag);
        const uint32_t* d = DecompositionOf(table, u);
        if (d == nullptr) {
            continue;
        }
        FlagVariants(flags, d, letterFlag, variantFlag);
        std::u16string form;
        for (; *d != 0; ++d) {
            if (*d <= 0xFFFF) {
                form.push_back(static_cast<wchar16>(*d));
            }
        }
        SortUnits(reinterpret_cast<uint16_t*>(form.data()),
                  reinterpret_cast<uint16_t*>(form.data() + form.size()));
        forms.Insert(std::move(form), u);
    }
}

void BuildAlphabet(TAlphabet& alphabet, const wchar16* vowels, const wchar16* consonants,
                   const wchar16* extraLetters, const wchar16* ignorableMarks,
                   const wchar16* wordSigns) {
    alphabet.Forms_ = std::make_unique<TLetterForms>();
    alphabet.Clear();
    try {
        TAlphabet& flags = alphabet;
        TLetterForms& forms = *alphabet.Forms_;
        FlagLetters(flags, forms, consonants, ALPHA_LETTER, ALPHA_LETTER_VARIANT);
        FlagLetters(flags, forms, vowels, ALPHA_VOWEL | ALPHA_LETTER, ALPHA_LETTER_VARIANT);
        FlagLetters(flags, forms, extraLetters, ALPHA_EXTRA, ALPHA_EXTRA_VARIANT);
        for (const wchar16* p = ignorableMarks; p != nullptr && *p != 0; ++p) {
            flags.Flags(*p) |= ALPHA_IGNORABLE;
        }
        for (const wchar16* p = wordSigns; p != nullptr && *p != 0; ++p) {
            flags.Flags(*p) |= ALPHA_WORD_SIGN;
        }
    } catch (...) {
        alphabet.Forms_ = std::make_unique<TLetterForms>();
        alphabet.Clear();
        throw;
    }
}

TAlphabetComposeResult ComposeByAlphabet(const TAlphabet& alphabet, const wchar16* src,
                                         size_t sourceLength, wchar16* out, size_t outSize) {
    if (sourceLength == 0) {
        return {0, 0, true, false};
    }
    // Without room not even the first unit can be written; nothing is taken from the source.
    if (outSize == 0) {
        return {0, 0, false, false};
    }
    const TLetterForms& forms = alphabet.Forms();
    const size_t capacity = std::max(forms.LongestForm() + 1, MIN_CLUSTER);
    wchar16 small[MIN_CLUSTER];
    std::vector<wchar16> large;
    wchar16* cluster = small;
    if (capacity > MIN_CLUSTER) {
        large.resize(capacity);
        cluster = large.data();
    }
    cluster[0] = src[0];
    size_t k = 1;
    size_t i = 1;
    // Marks the alphabet ignores: those of a letter's form are kept for the look-up, the
    // others are dropped.
    while (i < sourceLength && k < capacity && (alphabet[src[i]] & ALPHA_IGNORABLE)) {
        if (alphabet[src[i]] & ALPHA_FORM_MARK) {
            cluster[k++] = src[i];
        }
        ++i;
    }
    if (k == 1 && src[0] != 0) {
        out[0] = src[0];
        return {1, i, true, false};
    }
    if (k <= forms.LongestForm()) {
        wchar16 sorted[MIN_CLUSTER];
        std::vector<wchar16> sortedLarge;
        wchar16* key = sorted;
        if (k > MIN_CLUSTER) {
            sortedLarge.resize(k);
            key = sortedLarge.data();
        }
        std::copy(cluster, cluster + k, key);
        SortUnits(reinterpret_cast<uint16_t*>(key), reinterpret_cast<uint16_t*>(key + k));
        if (const wchar16 letter = forms.Find(key, k)) {
            out[0] = letter;
            return {1, i, true, true};
        }
    }
    while (i < sourceLength && k < capacity && IsCombiningMark(src[i])) {
        const uint8_t f = alphabet[src[i]];
        if (!((f & ALPHA_IGNORABLE) && !(f & ALPHA_FORM_MARK))) {
            cluster[k++] = src[i];
        }
        ++i;
    }
    const TUnicodeNormResult composed = ComposeWord(cluster, k, out, outSize);
    return {composed.Length, i, false, true};
}

TAlphabetComposeResult ComposeWordByAlphabet(const TAlphabet& alphabet, const wchar16* src,
                                             size_t sourceLength, wchar16* out, size_t outSize) {
    TAlphabetComposeResult total;
    while (total.Written < outSize && total.Consumed < sourceLength) {
        const TAlphabetComposeResult r =
            ComposeByAlphabet(alphabet, src + total.Consumed, sourceLength - total.Consumed,
                              out + total.Written, outSize - total.Written);
        total.Written += r.Written;
        total.Consumed += r.Consumed;
        total.Complete = total.Complete && r.Complete;
        total.Changed = total.Changed || r.Changed;
    }
    // Output that ran out before the source did is a cut, not a finished word.
    if (total.Consumed < sourceLength) {
        total.Complete = false;
    }
    return total;
}

}  // namespace NLemmer
