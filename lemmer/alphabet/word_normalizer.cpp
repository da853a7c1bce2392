// The normalisation pipeline and its single steps.
#include "lemmer/alphabet/word_normalizer.h"

#include "lemmer/alphabet/unicode_services.h"
#include "util/charset/unicode_utf16.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace NLemmer {
namespace {

constexpr size_t INLINE_UNITS = 1024;
constexpr size_t PIPELINE_STEPS = 6;  // NS_DECOMPOSE to NS_ADVANCED_CONVERT
constexpr wchar16 DOT_ABOVE = 0x0307;

// A buffer of the call's frame that moves to the heap for long words.
class TScratch {
public:
    wchar16* Reserve(size_t units) {
        if (units > Capacity_) {
            const size_t capacity = std::max(units, 2 * Capacity_);
            std::unique_ptr<wchar16[]> block(new wchar16[capacity]);
            std::copy(Data_, Data_ + Capacity_, block.get());
            Heap_ = std::move(block);
            Data_ = Heap_.get();
            Capacity_ = capacity;
        }
        return Data_;
    }

private:
    wchar16 Inline_[INLINE_UNITS];
    std::unique_ptr<wchar16[]> Heap_;
    wchar16* Data_ = Inline_;
    size_t Capacity_ = INLINE_UNITS;
};

void Terminate(wchar16* out, size_t length, size_t room) {
    if (length < room) {
        out[length] = 0;
    }
}

size_t CopyCut(const wchar16* src, size_t length, wchar16* out, size_t outSize) {
    const size_t n = std::min(length, outSize);
    // An empty word may come as a null pointer; memmove must not see it.
    if (n != 0) {
        std::memmove(out, src, n * sizeof(wchar16));
    }
    return n;
}

// Runs a buffer operation on a string: the room grows until the output no longer reaches it.
template <class TOp>
TNormalizeResult OnString(TUtf16String& word, TOp op) {
    size_t room = 2 * word.size() + 16;
    for (;;) {
        std::vector<wchar16> out(room);
        TNormalizeResult r = op(word.data(), word.size(), out.data(), room);
        if (r.Length + 2 > room && room < 64 * word.size() + 64) {
            room *= 4;
            continue;
        }
        word.assign(out.data(), r.Length);
        return r;
    }
}

wchar16 CaseChar(const TCharMapTable* table, wchar16 c, uint32_t (*map)(uint32_t)) {
    if (table != nullptr) {
        c = table->Map(c);
    }
    const uint32_t mapped = map(c);
    return mapped <= 0xFFFF ? static_cast<wchar16>(mapped) : c;
}

}  // namespace

size_t RepairDottedI(wchar16* text, size_t n) {
    for (size_t i = n >= 2 ? n - 1 : 0; i-- > 0;) {
        if ((text[i] != u'i' && text[i] != 0x0131) || text[i + 1] <= 0x0200) {
            continue;
        }
        for (size_t j = i + 1; j < n; ++j) {
            if (text[j] == DOT_ABOVE) {
                text[i] = u'i';
                std::memmove(text + j, text + j + 1, (n - j - 1) * sizeof(wchar16));
                --n;
                break;
            }
            if (!IsCombiningMark(text[j])) {
                break;
            }
        }
    }
    return n;
}

TAlphabetWordNormalizer::TAlphabetWordNormalizer(
    const TAlphabet* alphabet, const TCharMapTable* derenyx, const TCharMapTable* convert,
    const TCharMapTable* preLower, const TCharMapTable* preUpper, const TCharMapTable* preTitle)
    : Alphabet_(alphabet),
      Derenyx_(derenyx),
      Convert_(convert),
      PreLower_(preLower),
      PreUpper_(preUpper),
      PreTitle_(preTitle) {}

TAlphabetWordNormalizer::~TAlphabetWordNormalizer() = default;

bool TAlphabetWordNormalizer::IsAlphabetic(const wchar16* word, size_t length) const {
    if (Alphabet_ == nullptr) {
        return true;
    }
    for (size_t i = 0; i < length; ++i) {
        if (((*Alphabet_)[word[i]] & (ALPHA_LETTER | ALPHA_WORD_SIGN)) == 0) {
            return false;
        }
    }
    return true;
}

bool TAlphabetWordNormalizer::AdvancedConvert(const wchar16*, size_t, wchar16*, size_t,
                                              TNormalizeResult&) const {
    return false;
}

bool TAlphabetWordNormalizer::AdvancedConvert(TUtf16String&, TNormalizeResult&) const {
    return false;
}

void TAlphabetWordNormalizer::StepDecompose(const wchar16* in, size_t length, wchar16* out,
                                            size_t room, TNormalizeResult& r) const {
    const TUnicodeNormResult d = DecomposeWord(in, length, out, room);
    r.Length = d.Length;
    r.Valid = r.Valid && d.Complete;
    r.Flags.Set(NS_DECOMPOSE);
}

void TAlphabetWordNormalizer::StepCompose(const wchar16* in, size_t length, wchar16* out,
                                          size_t room, TNormalizeResult& r) const {
    if (Alphabet_ != nullptr) {
        const TAlphabetComposeResult c = ComposeWordByAlphabet(*Alphabet_, in, length, out, room);
        r.Length = c.Written;
        r.Valid = r.Valid && c.Complete;
        if (c.Changed) {
            r.Flags.Set(NS_COMPOSE);
        }
        return;
    }
    const TUnicodeNormResult c = ComposeWord(in, length, out, room);
    r.Length = c.Length;
    r.Valid = r.Valid && c.Complete;
    r.Flags.Set(NS_COMPOSE);
}

bool TAlphabetWordNormalizer::StepLowercase(const wchar16* in, size_t length, wchar16* out,
                                            size_t room, TNormalizeResult& r) const {
    if (length > room) {
        length = room;
        r.Valid = false;
    }
    if (PreLower_ != nullptr) {
        const TCharMapTranslation t = PreLower_->Translate(in, length, out, room);
        r.Valid = r.Valid && t.Complete;
        length = ToLowerUtf16(out, t.Length, out);
    } else {
        length = ToLowerUtf16(in, length, out);
    }
    const size_t repaired = RepairDottedI(out, length);
    r.Length = repaired;
    r.Flags.Set(NS_LOWERCASE);
    return repaired != length;
}

bool TAlphabetWordNormalizer::RunStep(size_t step, const wchar16* in, size_t length, wchar16* out,
                                      size_t room, TNormalizeResult& r) const {
    switch (step) {
        case NS_DECOMPOSE:
            StepDecompose(in, length, out, room, r);
            return true;
        case NS_COMPOSE:
            StepCompose(in, length, out, room, r);
            return true;
        case NS_LOWERCASE:
            StepLowercase(in, length, out, room, r);
            return true;
        case NS_DERENYX:
        case NS_CONVERT: {
            const TCharMapTable* table = step == NS_DERENYX ? Derenyx_ : Convert_;
            if (table == nullptr) {
                return false;
            }
            const TCharMapTranslation t = table->Translate(in, length, out, room);
            r.Length = t.Length;
            r.Valid = r.Valid && t.Complete;
            if (t.Changed) {
                r.Flags.Set(step);
            }
            return true;
        }
        default:
            return AdvancedConvert(in, length, out, room, r);
    }
}

TNormalizeResult TAlphabetWordNormalizer::NormalizeWord(const wchar16* src, size_t length,
                                                        wchar16* out, size_t outSize,
                                                        TNormalizationMask mask) const {
    TNormalizeResult r(length);
    uint64_t working = mask.Value() & ((uint64_t(1) << PIPELINE_STEPS) - 1);
    TScratch scratch[2];
    const wchar16* current = src;
    int currentScratch = -1;  // -1: the source or the caller's buffer
    bool inOutput = false;
    for (size_t step = 0; step < PIPELINE_STEPS && working != 0; ++step) {
        const uint64_t bit = uint64_t(1) << step;
        if ((working & bit) == 0) {
            continue;
        }
        working &= ~bit;
        const bool last = working == 0;
        const int target = currentScratch == 0 ? 1 : 0;
        size_t room = outSize;
        wchar16* dest = out;
        if (!last) {
            room = (step == NS_DECOMPOSE ? 4 : 2) * outSize;
            dest = scratch[target].Reserve(room);
        }
        if (RunStep(step, current, r.Length, dest, room, r)) {
            Terminate(dest, r.Length, room);
            current = dest;
            inOutput = last;
            currentScratch = last ? -1 : target;
        }
        if (!r.Valid) {
            break;
        }
    }
    if (!inOutput) {
        // A cut here is silent: the steps themselves had room enough.
        r.Length = CopyCut(current, r.Length, out, outSize);
    }
    Terminate(out, r.Length, outSize);
    if (mask.Test(NS_CHECK_ALPHABET) && r.Valid) {
        r.Valid = IsAlphabetic(out, r.Length);
    }
    return r;
}

TNormalizeResult TAlphabetWordNormalizer::Decompose(const wchar16* src, size_t length, wchar16* out,
                                                    size_t outSize) const {
    TNormalizeResult r(length);
    StepDecompose(src, length, out, outSize, r);
    Terminate(out, r.Length, outSize);
    return r;
}

TNormalizeResult TAlphabetWordNormalizer::Compose(const wchar16* src, size_t length, wchar16* out,
                                                  size_t outSize) const {
    TNormalizeResult r(length);
    StepCompose(src, length, out, outSize, r);
    r.Flags.Set(NS_COMPOSE);
    Terminate(out, r.Length, outSize);
    return r;
}

TNormalizeResult TAlphabetWordNormalizer::ToLower(const wchar16* src, size_t length, wchar16* out,
                                                  size_t outSize) const {
    TNormalizeResult r(length);
    StepLowercase(src, length, out, outSize, r);
    Terminate(out, r.Length, outSize);
    return r;
}

TNormalizeResult TAlphabetWordNormalizer::TranslateOrCopy(const TCharMapTable* table, size_t flag,
                                                          const wchar16* src, size_t length,
                                                          wchar16* out, size_t outSize) const {
    TNormalizeResult r(length);
    if (table != nullptr) {
        const TCharMapTranslation t = table->Translate(src, length, out, outSize);
        r.Length = t.Length;
        r.Valid = t.Complete;
        r.Flags.Set(flag);
    } else {
        r.Length = CopyCut(src, length, out, outSize);
        r.Valid = r.Length == length;
    }
    Terminate(out, r.Length, outSize);
    return r;
}

TNormalizeResult TAlphabetWordNormalizer::Derenyx(const wchar16* src, size_t length, wchar16* out,
                                                  size_t outSize) const {
    return TranslateOrCopy(Derenyx_, NS_DERENYX, src, length, out, outSize);
}

TNormalizeResult TAlphabetWordNormalizer::Convert(const wchar16* src, size_t length, wchar16* out,
                                                  size_t outSize) const {
    return TranslateOrCopy(Convert_, NS_CONVERT, src, length, out, outSize);
}

TNormalizeResult TAlphabetWordNormalizer::ApplyAdvancedConvert(const wchar16* src, size_t length,
                                                               wchar16* out, size_t outSize) const {
    TNormalizeResult r(length);
    if (AdvancedConvert(src, length, out, outSize, r)) {
        r.Flags.Set(NS_ADVANCED_CONVERT);
    } else {
        r.Length = CopyCut(src, length, out, outSize);
        r.Valid = r.Length == length;
    }
    Terminate(out, r.Length, outSize);
    return r;
}

TNormalizeResult TAlphabetWordNormalizer::ToUpper(const wchar16* src, size_t length, wchar16* out,
                                                  size_t outSize) const {
    TNormalizeResult r(length);
    if (length > outSize) {
        length = outSize;
        r.Valid = false;
    }
    if (PreUpper_ != nullptr) {
        const TCharMapTranslation t = PreUpper_->Translate(src, length, out, outSize);
        r.Valid = r.Valid && t.Complete;
        r.Length = ToUpperUtf16(out, t.Length, out);
    } else {
        r.Length = ToUpperUtf16(src, length, out);
    }
    r.Flags.Set(NS_UPPERCASE);
    Terminate(out, r.Length, outSize);
    return r;
}

TNormalizeResult TAlphabetWordNormalizer::ToTitle(const wchar16* src, size_t length, wchar16* out,
                                                  size_t outSize) const {
    TNormalizeResult r(length);
    if (length > outSize) {
        length = outSize;
        r.Valid = false;
    }
    // The first character: one unit or a surrogate pair, with the marks that follow it.
    size_t first = 0;
    if (length > 0) {
        ReadUtf16CodePoint(src, length, 0, &first);
        while (first < length && IsCombiningMark(src[first])) {
            ++first;
        }
    }
    size_t head = first;
    if (PreTitle_ != nullptr) {
        const TCharMapTranslation t = PreTitle_->Translate(src, first, out, outSize);
        r.Valid = r.Valid && t.Complete;
        head = t.Length;
    } else if (first != 0) {
        std::memmove(out, src, first * sizeof(wchar16));
    }
    head = ToTitleUtf16(out, head, out);
    TNormalizeResult rest(length - first);
    const bool repaired =
        StepLowercase(src + first, length - first, out + head, outSize - head, rest);
    r.Valid = r.Valid && rest.Valid;
    r.Length = head + rest.Length;
    r.Flags.Set(NS_TITLECASE);
    if (repaired) {
        r.Flags.Set(NS_LOWERCASE);
    }
    Terminate(out, r.Length, outSize);
    return r;
}

TNormalizeResult TAlphabetWordNormalizer::NormalizeWord(TUtf16String& word,
                                                        TNormalizationMask mask) const {
    return OnString(word, [&](const wchar16* s, size_t n, wchar16* o, size_t room) {
        return NormalizeWord(s, n, o, room, mask);
    });
}

#define LEMMER_STRING_FORM(Name)                                                         \
    TNormalizeResult TAlphabetWordNormalizer::Name(TUtf16String& word) const {           \
        return OnString(word, [&](const wchar16* s, size_t n, wchar16* o, size_t room) { \
            return Name(s, n, o, room);                                                  \
        });                                                                              \
    }
LEMMER_STRING_FORM(Decompose)
LEMMER_STRING_FORM(Compose)
LEMMER_STRING_FORM(ToLower)
LEMMER_STRING_FORM(Derenyx)
LEMMER_STRING_FORM(Convert)
LEMMER_STRING_FORM(ToUpper)
LEMMER_STRING_FORM(ToTitle)
#undef LEMMER_STRING_FORM

TNormalizeResult TAlphabetWordNormalizer::ApplyAdvancedConvert(TUtf16String& word) const {
    TNormalizeResult r(word.size());
    if (AdvancedConvert(word, r)) {
        r.Flags.Set(NS_ADVANCED_CONVERT);
    }
    return r;
}

wchar16 TAlphabetWordNormalizer::ToLowerChar(wchar16 c) const {
    return CaseChar(PreLower_, c, ToLowerCodePoint);
}
wchar16 TAlphabetWordNormalizer::ToUpperChar(wchar16 c) const {
    return CaseChar(PreUpper_, c, ToUpperCodePoint);
}
wchar16 TAlphabetWordNormalizer::ToTitleChar(wchar16 c) const {
    return CaseChar(PreTitle_, c, ToTitleCodePoint);
}

}  // namespace NLemmer
