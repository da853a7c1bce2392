// Case mapping, NFKD and NFKC over the process-wide Unicode tables.
#include "lemmer/alphabet/unicode_services.h"

#include "util/charset/composition.h"
#include "util/charset/unicode_utf16.h"

#include <algorithm>
#include <vector>

const TUnicodeCharInfo* GetUnicodeCharInfo(uint32_t cp) {
    return &UnicodeCharInfo(cp);
}

namespace NLemmer {
namespace {

constexpr uint32_t REPLACEMENT = UNICODE_REPLACEMENT_CHARACTER;

// Reads one code point at src[i] and advances i; a broken high surrogate reads as U+FFFD and
// consumes that unit alone. `broken` is set for such a unit.
uint32_t ReadCodePoint(const wchar16* src, size_t length, size_t& i, bool* broken = nullptr) {
    size_t units = 0;
    const uint32_t cp = ReadUtf16CodePoint(src, length, i, &units);
    if (broken && units == 1 && IsHighSurrogate(src[i])) {
        *broken = true;
    }
    i += units;
    return cp;
}

size_t UnitsOf(uint32_t cp) {
    return cp >= 0x10000 ? 2 : 1;
}

// Writes cp at out[pos]; a value beyond the code space becomes U+FFFD. The caller checked room.
size_t WriteCodePoint(uint32_t cp, wchar16* out) {
    return WriteUtf16CodePoint(cp, out);
}

uint32_t Sanitize(uint32_t cp) {
    return cp < UNICODE_TABLE_SIZE ? cp : REPLACEMENT;
}

template <class TMapFirst, class TMapRest>
size_t MapCase(const wchar16* src, size_t length, wchar16* out, TMapFirst first, TMapRest rest) {
    size_t i = 0;
    size_t written = 0;
    bool atStart = true;
    while (i < length) {
        const uint32_t cp = ReadCodePoint(src, length, i);
        const uint32_t mapped = Sanitize(atStart ? first(cp) : rest(cp));
        atStart = false;
        // Reading never falls behind writing unless a mapping grows; then stop rather than
        // overwrite units not yet read.
        if (written + UnitsOf(mapped) > (out == src ? i : length)) {
            break;
        }
        written += WriteCodePoint(mapped, out + written);
    }
    return written;
}

struct TCodePointClass {
    uint32_t CodePoint;
    uint8_t Class;
};

// The code points of one word: in place for words of any ordinary length (a letter with a
// mark, such as й, decomposes on every look-up), on the heap beyond.
class TCodePointList {
public:
    TCodePointList() = default;
    TCodePointList(const TCodePointList&) = delete;
    TCodePointList& operator=(const TCodePointList&) = delete;

    void push_back(TCodePointClass c) {
        if (Size_ == Capacity_) {
            Grow();
        }
        Data_[Size_++] = c;
    }
    size_t size() const { return Size_; }
    bool empty() const { return Size_ == 0; }
    TCodePointClass& operator[](size_t i) { return Data_[i]; }
    TCodePointClass* begin() { return Data_; }
    TCodePointClass* end() { return Data_ + Size_; }
    const TCodePointClass* begin() const { return Data_; }
    const TCodePointClass* end() const { return Data_ + Size_; }
    // Only ever shrinks.
    void resize(size_t n) { Size_ = std::min(n, Size_); }

private:
    void Grow() {
        std::vector<TCodePointClass> larger(Capacity_ * 2);
        std::copy(begin(), end(), larger.begin());
        Heap_.swap(larger);
        Data_ = Heap_.data();
        Capacity_ = Heap_.size();
    }

    static constexpr size_t InPlace = 192;
    TCodePointClass InPlace_[InPlace];
    std::vector<TCodePointClass> Heap_;
    TCodePointClass* Data_ = InPlace_;
    size_t Size_ = 0;
    size_t Capacity_ = InPlace;
};

uint8_t CombiningClassOf(uint32_t cp) {
    return GetUnicodeCharInfo(cp)->CombiningClass();
}

// Quick test of the decomposed (NFKD) or composed (NFKC) form: each code point has the
// stability bit and the marks are in canonical order. A broken surrogate fails the test so
// that it is replaced by U+FFFD.
bool PassesQuickTest(const wchar16* src, size_t length, uint32_t stableBit, bool zeroResets) {
    uint8_t previous = 0;
    size_t i = 0;
    while (i < length) {
        bool broken = false;
        const uint32_t cp = ReadCodePoint(src, length, i, &broken);
        if (broken) {
            return false;
        }
        const TUnicodeCharInfo* info = GetUnicodeCharInfo(cp);
        const uint8_t cls = info->CombiningClass();
        if (!(info->Info & stableBit)) {
            return false;
        }
        if (cls < previous && !(zeroResets && cls == 0)) {
            return false;
        }
        previous = cls;
    }
    return true;
}

TUnicodeNormResult CopyCut(const wchar16* src, size_t length, wchar16* out, size_t outSize) {
    TUnicodeNormResult r;
    r.Length = std::min(length, outSize);
    // Never leave half of a surrogate pair behind.
    if (r.Length < length && r.Length > 0 && IsHighSurrogate(src[r.Length - 1])) {
        --r.Length;
    }
    std::copy(src, src + r.Length, out);
    r.Complete = r.Length == length;
    return r;
}

// Full decomposition of every code point with canonical ordering of each run of marks.
void DecomposeToList(const wchar16* src, size_t length, TCodePointList& list) {
    const TDecompositionDescriptor& table = CompatDecompositionTable();
    size_t i = 0;
    while (i < length) {
        const uint32_t cp = ReadCodePoint(src, length, i);
        const uint32_t* d = DecompositionOf(table, cp);
        if (d == nullptr) {
            list.push_back({cp, CombiningClassOf(cp)});
            continue;
        }
        for (; *d != 0; ++d) {
            list.push_back({*d, CombiningClassOf(*d)});
        }
    }
    for (size_t start = 0; start < list.size();) {
        if (list[start].Class == 0) {
            ++start;
            continue;
        }
        size_t end = start;
        while (end < list.size() && list[end].Class != 0) {
            ++end;
        }
        // Runs of marks are short: an insertion sort is stable and, unlike std::stable_sort,
        // takes no buffer from the heap. Long runs keep the n log n sort.
        if (end - start > 16) {
            std::stable_sort(list.begin() + start, list.begin() + end,
                             [](const TCodePointClass& a, const TCodePointClass& b) {
                                 return a.Class < b.Class;
                             });
            start = end;
            continue;
        }
        for (size_t i = start + 1; i < end; ++i) {
            const TCodePointClass c = list[i];
            size_t j = i;
            for (; j > start && list[j - 1].Class > c.Class; --j) {
                list[j] = list[j - 1];
            }
            list[j] = c;
        }
        start = end;
    }
}

TUnicodeNormResult WriteList(const TCodePointList& list, wchar16* out, size_t outSize) {
    TUnicodeNormResult r;
    r.Changed = true;
    for (const TCodePointClass& c : list) {
        const uint32_t cp = Sanitize(c.CodePoint);
        if (r.Length + UnitsOf(cp) > outSize) {
            r.Complete = false;
            break;
        }
        r.Length += WriteCodePoint(cp, out + r.Length);
    }
    return r;
}

// Unicode canonical composition over a decomposed, canonically ordered list.
void ComposeList(TCodePointList& list) {
    if (list.empty()) {
        return;
    }
    const TCompositionTable& pairs = CompositionTable();
    size_t starter = 0;
    bool haveStarter = list[0].Class == 0;
    int lastClass = haveStarter ? 0 : 256;
    size_t kept = 1;
    for (size_t i = 1; i < list.size(); ++i) {
        const TCodePointClass c = list[i];
        const bool unblocked = lastClass < c.Class || lastClass == 0;
        if (haveStarter && unblocked) {
            const uint32_t composed = pairs.Composition(list[starter].CodePoint, c.CodePoint);
            if (composed != 0) {
                list[starter].CodePoint = composed;
                continue;
            }
        }
        if (c.Class == 0) {
            starter = kept;
            haveStarter = true;
        }
        lastClass = c.Class;
        list[kept++] = c;
    }
    list.resize(kept);
}

}  // namespace

uint32_t ToLowerCodePoint(uint32_t cp) {
    return cp + static_cast<uint32_t>(GetUnicodeCharInfo(cp)->LowerDelta);
}
uint32_t ToUpperCodePoint(uint32_t cp) {
    return cp + static_cast<uint32_t>(GetUnicodeCharInfo(cp)->UpperDelta);
}
uint32_t ToTitleCodePoint(uint32_t cp) {
    return cp + static_cast<uint32_t>(GetUnicodeCharInfo(cp)->TitleDelta);
}

size_t ToLowerUtf16(const wchar16* src, size_t length, wchar16* out) {
    return MapCase(src, length, out, ToLowerCodePoint, ToLowerCodePoint);
}
size_t ToUpperUtf16(const wchar16* src, size_t length, wchar16* out) {
    return MapCase(src, length, out, ToUpperCodePoint, ToUpperCodePoint);
}
size_t ToTitleUtf16(const wchar16* src, size_t length, wchar16* out) {
    return MapCase(src, length, out, ToTitleCodePoint, ToLowerCodePoint);
}

TUnicodeNormResult DecomposeWord(const wchar16* src, size_t length, wchar16* out, size_t outSize) {
    if (PassesQuickTest(src, length, UNICODE_NFKD_STABLE, true)) {
        TUnicodeNormResult r = CopyCut(src, length, out, outSize);
        r.Changed = true;
        return r;
    }
    TCodePointList list;
    DecomposeToList(src, length, list);
    return WriteList(list, out, outSize);
}

TUnicodeNormResult ComposeWord(const wchar16* src, size_t length, wchar16* out, size_t outSize) {
    if (PassesQuickTest(src, length, UNICODE_NFKC_STABLE, false)) {
        TUnicodeNormResult r = CopyCut(src, length, out, outSize);
        r.Changed = true;
        return r;
    }
    TCodePointList list;
    DecomposeToList(src, length, list);
    ComposeList(list);
    return WriteList(list, out, outSize);
}

}  // namespace NLemmer
