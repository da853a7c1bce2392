#include "util/string/join.h"

#include "util/generic/exception.h"

TUtf16String JoinStrings(const std::vector<TUtf16String>& v, size_t first, size_t count,
                         const wchar16* delimiter, size_t delimiterLength) {
    if (count == 0 || first >= v.size()) {
        return TUtf16String();
    }
    if (delimiterLength == JoinDelimiterToNul) {
        delimiterLength = TCharTraits<wchar16>::GetLength(delimiter);
    }
    const size_t last = count < v.size() - first ? first + count : v.size();

    // The whole length first: one allocation, and an impossible length is refused before any
    // copying.
    const size_t limit = TUtf16String::max_size();
    size_t total = 0;
    for (size_t i = first; i < last; ++i) {
        const size_t add = v[i].size() + (i > first ? delimiterLength : 0);
        if (add > limit - total) {
            ThrowLengthError("TStringImpl::replace");
        }
        total += add;
    }

    TUtf16String result;
    result.reserve(total);
    result.append(v[first]);
    for (size_t i = first + 1; i < last; ++i) {
        result.append(delimiter, delimiterLength);
        result.append(v[i]);
    }
    return result;
}

TUtf16String JoinStrings(const std::vector<TUtf16String>& v, const wchar16* delimiter,
                         size_t delimiterLength) {
    return JoinStrings(v, 0, v.size(), delimiter, delimiterLength);
}
