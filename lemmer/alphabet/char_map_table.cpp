// Construction and translation of the unit translation tables.
#include "lemmer/alphabet/char_map_table.h"

#include <algorithm>

namespace NLemmer {
namespace {

constexpr wchar16 EXCEPTION_MARK = 0xFFFF;

size_t Length(const wchar16* s) {
    return TCharTraits<wchar16>::GetLength(s);
}

}  // namespace

TCharMapTable::TCharMapTable(const wchar16* from, const wchar16* to, const wchar16* del,
                             const wchar16* exceptionKeys,
                             const wchar16* const* exceptionReplacements) {
    ExceptionCount_ = Length(exceptionKeys);
    Set(EXCEPTION_MARK, 0);
    if (from != nullptr && to != nullptr) {
        for (size_t n = 0; from[n] != 0 && to[n] != 0; ++n) {
            Set(from[n], to[n]);
        }
    }
    if (ExceptionCount_ > 0) {
        Exceptions_.reset(new TException[ExceptionCount_]);
        for (size_t i = 0; i < ExceptionCount_; ++i) {
            Exceptions_[i] = {exceptionKeys[i], exceptionReplacements[i]};
            Set(exceptionKeys[i], EXCEPTION_MARK);
        }
        std::sort(Exceptions_.get(), Exceptions_.get() + ExceptionCount_,
                  [](const TException& a, const TException& b) { return a.Key < b.Key; });
    }
    for (size_t n = 0; del != nullptr && del[n] != 0; ++n) {
        Set(del[n], 0);
    }
}

void TCharMapTable::Set(wchar16 unit, wchar16 value) {
    std::unique_ptr<wchar16[]>& page = Pages_[unit >> 8];
    if (!page) {
        page = std::make_unique_for_overwrite<wchar16[]>(256);
        const wchar16 base = static_cast<wchar16>(unit & 0xFF00);
        for (size_t i = 0; i < 256; ++i) {
            page[i] = static_cast<wchar16>(base + i);
        }
    }
    page[unit & 0xFF] = value;
}

const wchar16* TCharMapTable::Exception(wchar16 key) const {
    const TException* begin = Exceptions_.get();
    const TException* end = begin + ExceptionCount_;
    const TException* it =
        std::lower_bound(begin, end, key, [](const TException& e, wchar16 k) { return e.Key < k; });
    return it != end && it->Key == key ? it->Replacement : nullptr;
}

TCharMapTranslation TCharMapTable::Translate(const wchar16* src, size_t length, wchar16* out,
                                             size_t outSize) const {
    TCharMapTranslation r;
    if (length == 0 || outSize == 0 || src[0] == 0) {
        if (outSize != 0) {
            out[0] = 0;
        }
        r.Complete = length == 0;
        r.Changed = length != 0;
        return r;
    }
    size_t i = 0;
    for (; i < length && r.Length < outSize && src[i] != 0; ++i) {
        const wchar16 u = src[i];
        const wchar16 m = Map(u);
        if (m != u) {
            r.Changed = true;
        }
        if (m == EXCEPTION_MARK) {
            const wchar16* rep = Exception(u);
            for (; rep != nullptr && *rep != 0 && r.Length < outSize; ++rep) {
                out[r.Length++] = *rep;
            }
        } else if (m != 0) {
            out[r.Length++] = m;
        }
    }
    if (r.Length < outSize) {
        out[r.Length] = 0;
    }
    r.Consumed = i;
    r.Complete = i == length;
    r.Changed = r.Changed || !r.Complete;
    return r;
}

size_t TCharMapTable::Translate(const wchar16* src, wchar16* out) const {
    size_t n = 0;
    for (; *src != 0; ++src) {
        const wchar16 m = Map(*src);
        if (m == EXCEPTION_MARK) {
            for (const wchar16* rep = Exception(*src); rep != nullptr && *rep != 0; ++rep) {
                out[n++] = *rep;
            }
        } else if (m != 0) {
            out[n++] = m;
        }
    }
    out[n] = 0;
    return n;
}

}  // namespace NLemmer
