// The alphabet registry and the word-level language and shape questions.
#include "lemmer/alphabet/alphabet_registry.h"

#include "lemmer/alphabet/alphabet_normalizers.h"
#include "lemmer/alphabet/default_converter.h"
#include "lemmer/alphabet/russian_normalizer.h"
#include "lemmer/alphabet/unicode_services.h"

#include "util/charset/language.h"
#include "util/system/singleton.h"

#include <atomic>

namespace NLemmer {
namespace {

using namespace NDetail;

struct TRegistration {
    int Language;
    const TAlphabetWordNormalizer* (*Normalizer)();
};

// In order of the alphabets' names; the masks do not depend on the order.
const TRegistration REGISTRATIONS[] = {
    {LANG_ARM, AlphabetNormalizer<TArmenianNormalizer>},
    {LANG_BASIC_RUS, AlphabetNormalizer<TBasicRussianNormalizer>},
    {LANG_BLR, AlphabetNormalizer<TBelarusianNormalizer>},
    {LANG_BUL, AlphabetNormalizer<TBulgarianNormalizer>},
    {LANG_CHU, AlphabetNormalizer<TChurchSlavonicNormalizer>},
    {LANG_CZE, AlphabetNormalizer<TCzechNormalizer>},
    {LANG_BASIC_ENG, AlphabetNormalizer<TEnglishNormalizer>},
    {LANG_ENG, AlphabetNormalizer<TEnglishNormalizer>},
    {LANG_FRE, AlphabetNormalizer<TFrenchNormalizer>},
    {LANG_GER, AlphabetNormalizer<TGermanNormalizer>},
    {LANG_ITA, AlphabetNormalizer<TItalianNormalizer>},
    {LANG_KAZ, AlphabetNormalizer<TKazakhNormalizer>},
    {LANG_POL, AlphabetNormalizer<TPolishNormalizer>},
    {LANG_POR, AlphabetNormalizer<TPortugueseNormalizer>},
    {LANG_RUM, AlphabetNormalizer<TRomanianNormalizer>},
    {LANG_RUS, AlphabetNormalizer<TRussianWordNormalizer>},
    {LANG_SPA, AlphabetNormalizer<TSpanishNormalizer>},
    {LANG_TAT, AlphabetNormalizer<TTatarNormalizer>},
    {LANG_TUR, AlphabetNormalizer<TTurkishNormalizer>},
    {LANG_UKR, AlphabetNormalizer<TUkrainianNormalizer>},
};

// After the first build the accessors read the registry through this pointer without a lock.
std::atomic<const TAlphabetRegistry*> RegistryPointer{nullptr};

}  // namespace

namespace {
const TLangMask EmptyMaskPage[256] = {};
}  // namespace

TAlphabetRegistry::TMaskTable::TMaskTable() noexcept {
    for (const TLangMask*& page : Pages_) {
        page = EmptyMaskPage;
    }
}

void TAlphabetRegistry::TMaskTable::Add(wchar16 u, TLangMask mask) {
    std::unique_ptr<TLangMask[]>& page = Owned_[u >> 8];
    if (!page) {
        page = std::make_unique<TLangMask[]>(256);
        Pages_[u >> 8] = page.get();
    }
    page[u & 0xFF] |= mask;
}

TAlphabetRegistry::TAlphabetRegistry() {
    Normalizers_[LANG_UNK] = AlphabetNormalizer<TDefaultConverter>();
    for (const TRegistration& r : REGISTRATIONS) {
        Register(r.Language, r.Normalizer());
    }
}

void TAlphabetRegistry::Register(int language, const TAlphabetWordNormalizer* normalizer) {
    Normalizers_[language] = normalizer;
    const TLangMask bit = TLangMask().SafeSet(language);
    const TAlphabet& alphabet = *normalizer->Alphabet();
    // Only the alphabet's own pages can hold a unit it knows; unit 0 is never registered.
    for (size_t high = 0; high < 65536 / TAlphabet::PageUnits; ++high) {
        const uint8_t* page = alphabet.Page(high);
        if (page == nullptr) {
            continue;
        }
        for (size_t low = 0; low < TAlphabet::PageUnits; ++low) {
            const uint8_t f = page[low];
            const wchar16 u = static_cast<wchar16>(high * TAlphabet::PageUnits + low);
            if (f == 0 || u == 0) {
                continue;
            }
            Accept_.Add(u, bit);
            if ((f & (ALPHA_LETTER | ALPHA_LETTER_VARIANT)) && !(f & ALPHA_IGNORABLE)) {
                Distinctive_.Add(u, bit);
                if (f & ALPHA_LETTER) {
                    Letter_.Add(u, bit);
                }
            }
        }
    }
}

const TAlphabetWordNormalizer* TAlphabetRegistry::Normalizer(int language) const {
    if (language < 0 || language >= LanguageCount) {
        return nullptr;
    }
    return Normalizers_[language];
}

const TAlphabetRegistry& TAlphabetRegistry::Instance() {
    const TAlphabetRegistry* registry = RegistryPointer.load(std::memory_order_acquire);
    if (registry == nullptr) {
        registry = Singleton<TAlphabetRegistry>();
        RegistryPointer.store(registry, std::memory_order_release);
    }
    return *registry;
}

const TAlphabetWordNormalizer* GetAlphabetWordNormalizer(int language) {
    return TAlphabetRegistry::Instance().Normalizer(language);
}

TLangMask GetWordLanguageMask(const wchar16* word, size_t length, bool skipDigits) {
    if (length == 0) {
        return TLangMask();
    }
    const TAlphabetRegistry& registry = TAlphabetRegistry::Instance();
    TLangMask all = TLangMask::All();
    TLangMask any;
    bool counted = false;
    for (size_t i = 0; i < length; ++i) {
        const wchar16 u = word[i];
        if (skipDigits && CharCategory(u) == UC_DIGIT) {
            continue;
        }
        counted = true;
        all &= registry.Accept(u);
        any |= registry.Distinctive(u);
    }
    if (!counted) {
        return TLangMask();
    }
    return all & any;
}

TLangMask GetCharLanguageValue(wchar16 unit) {
    return TAlphabetRegistry::Instance().Letter(unit);
}

uint64_t GetWordCharClassFlags(const wchar16* word, size_t length) {
    if (length == 0) {
        return 0x1FF;
    }
    uint64_t flags = 0x3FF;
    for (size_t i = 0; i < length; ++i) {
        const wchar16 u = word[i];
        const bool first = i == 0;
        flags &= ~uint64_t(u < 0x80 ? WCC_NO_ASCII : WCC_ASCII);
        const uint32_t category = CharCategory(u);
        if (category == UC_LOWER) {
            flags &= ~uint64_t(WCC_NO_LOWER | WCC_DIGITS_ONLY);
            if (first) {
                flags &= ~uint64_t(WCC_TITLE | WCC_NO_SIGN_DIGIT_FIRST);
            }
        } else if (category == UC_UPPER) {
            flags &= ~uint64_t(WCC_LOWER | WCC_DIGITS_ONLY);
            flags &= ~uint64_t(first ? WCC_NO_SIGN_DIGIT_FIRST : WCC_TITLE);
        } else if (category == UC_DIGIT) {
            flags &= ~uint64_t(WCC_LOWER | WCC_LETTERS_ONLY);
            flags &= ~uint64_t(first ? WCC_NO_SIGN_LETTER_FIRST : WCC_TITLE);
        } else if (category >= UC_MARK_NONSPACING && category <= UC_MARK_SPACING) {
            // Marks belong to the letter or digit before them.
        } else {
            flags &= ~uint64_t(WCC_LOWER | WCC_NO_SIGN_DIGIT_FIRST | WCC_DIGITS_ONLY |
                               WCC_NO_SIGN_LETTER_FIRST | WCC_LETTERS_ONLY);
            if (first) {
                flags &= ~uint64_t(WCC_TITLE);
            }
        }
    }
    if (flags & (WCC_TITLE | WCC_NO_LOWER | WCC_LOWER)) {
        flags &= ~uint64_t(WCC_MIXED);
    }
    return flags;
}

}  // namespace NLemmer
