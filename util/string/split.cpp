#include "util/string/split.h"

#include <bitset>
#include <cstring>

namespace {
// Collects elements into the output vector and enforces the maximum: once maxFields - 1
// elements are out, the next one is replaced by the whole rest of the text.
template <class TString>
class TCollector {
public:
    using TChar = typename TString::TCharType;

    TCollector(std::vector<TString>& out, const TChar* end, size_t maxFields)
        : Out_(out), End_(end), Left_(maxFields ? maxFields - 1 : SIZE_MAX) {}

    // Adds [b, e); false once the rest of the text has been added and splitting must stop.
    bool Add(const TChar* b, const TChar* e) {
        if (Left_ == 0) {
            Out_.emplace_back(b, static_cast<size_t>(End_ - b));
            return false;
        }
        --Left_;
        Out_.emplace_back(b, static_cast<size_t>(e - b));
        return true;
    }

private:
    std::vector<TString>& Out_;
    const TChar* End_;
    size_t Left_;
};

// The common scan. `findDelimiter(p)` returns the first delimiter at or after p (or end) and
// sets its length.
template <class TString, class TFind>
void SplitImpl(std::vector<TString>& out, const typename TString::TCharType* text, size_t maxFields,
               uint32_t flags, TFind&& findDelimiter) {
    using TTraits = typename TString::TTraitsType;
    if (text == nullptr) {
        return;
    }
    const auto* end = text + TTraits::GetLength(text);
    TCollector<TString> collector(out, end, maxFields);
    const auto* p = text;
    for (;;) {
        size_t delimiterLength = 0;
        const auto* d = findDelimiter(p, end, delimiterLength);
        const auto* next = d + delimiterLength;
        if (d != p || (flags & KEEP_EMPTY_TOKENS)) {
            if (!collector.Add(p, d)) {
                return;
            }
            if (d != end && (flags & KEEP_DELIMITERS) && !collector.Add(d, next)) {
                return;
            }
        }
        if (d == end) {
            return;
        }
        p = next;
    }
}

template <class TString>
void SplitOnSet(std::vector<TString>& out, const typename TString::TCharType* text,
                const typename TString::TCharType* delimiters, size_t maxFields, uint32_t flags) {
    using TChar = typename TString::TCharType;
    using TTraits = typename TString::TTraitsType;
    out.clear();
    const size_t count = TTraits::GetLength(delimiters);
    auto isDelimiter = [&](TChar c) { return TTraits::Find(delimiters, count, c) != nullptr; };
    SplitImpl(out, text, maxFields, flags, [&](const TChar* p, const TChar* end, size_t& len) {
        while (p != end && !isDelimiter(*p)) {
            ++p;
        }
        len = p != end ? 1 : 0;
        return p;
    });
}

template <class TString>
void SplitOnString(std::vector<TString>& out, const typename TString::TCharType* text,
                   const typename TString::TCharType* delimiter, size_t maxFields, uint32_t flags) {
    using TChar = typename TString::TCharType;
    using TTraits = typename TString::TTraitsType;
    const size_t n = TTraits::GetLength(delimiter);
    if (n == 0) {
        return;
    }
    out.clear();
    SplitImpl(out, text, maxFields, flags, [&](const TChar* p, const TChar* end, size_t& len) {
        for (; static_cast<size_t>(end - p) >= n; ++p) {
            if (*p == delimiter[0] && TTraits::Compare(p, delimiter, n) == 0) {
                len = n;
                return p;
            }
        }
        len = 0;
        return end;
    });
}
}  // namespace

void SplitString(std::vector<Stroka>& out, const char* text, const char* delimiters,
                 size_t maxFields, uint32_t flags) {
    out.clear();
    // Membership in a 256-bit set: one test per byte however many delimiters there are.
    std::bitset<256> set;
    for (const char* d = delimiters; d && *d; ++d) {
        set.set(static_cast<unsigned char>(*d));
    }
    SplitImpl(out, text, maxFields, flags, [&](const char* p, const char* end, size_t& len) {
        while (p != end && !set.test(static_cast<unsigned char>(*p))) {
            ++p;
        }
        len = p != end ? 1 : 0;
        return p;
    });
}

void SplitWideString(std::vector<TUtf16String>& out, const wchar16* text, const wchar16* delimiters,
                     size_t maxFields, uint32_t flags) {
    SplitOnSet(out, text, delimiters, maxFields, flags);
}

void SplitByString(std::vector<Stroka>& out, const char* text, const char* delimiter,
                   size_t maxFields, uint32_t flags) {
    SplitOnString(out, text, delimiter, maxFields, flags);
}

void SplitWideByString(std::vector<TUtf16String>& out, const wchar16* text,
                       const wchar16* delimiter, size_t maxFields, uint32_t flags) {
    SplitOnString(out, text, delimiter, maxFields, flags);
}

size_t SplitInPlace(char* text, char delimiter, char** fields, size_t maxFields) {
    if (text == nullptr || maxFields == 0) {
        return 0;
    }
    size_t count = 0;
    fields[count++] = text;
    // The terminating NUL is not a delimiter: cutting there would run past the text.
    if (delimiter == 0) {
        return count;
    }
    for (;;) {
        char* d = strchr(text, delimiter);
        if (d == nullptr) {
            return count;
        }
        *d = 0;
        if (count == maxFields) {
            return count;
        }
        text = d + 1;
        fields[count++] = text;
    }
}
