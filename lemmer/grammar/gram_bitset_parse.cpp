// Grammeme sets from names (8-bit and UTF-16 text) and from hexadecimal text.
#include "lemmer/grammar/gram_bitset.h"

#include "lemmer/grammar/grammeme_table.h"
#include "util/charset/codepage.h"
#include "util/charset/recode.h"

#include <cstring>

namespace {
// Longest UTF-16 name looked up, and the most delimiter bytes taken for UTF-16 text.
constexpr size_t MaxWideNameLength = 256;
constexpr size_t MaxWideDelimiters = 256;

template <class TChar>
bool IsBlank(TChar c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// [begin, end) without leading and trailing blanks.
template <class TChar>
void Strip(const TChar*& begin, const TChar*& end) {
    while (begin != end && IsBlank(*begin)) {
        ++begin;
    }
    while (end != begin && IsBlank(end[-1])) {
        --end;
    }
}

// Cuts the names out of [begin, end) and hands each to `add`, which sets its bit or raises.
template <class TChar, class TIsDelimiter, class TAdd>
void ForEachName(const TChar* begin, const TChar* end, TIsDelimiter isDelimiter, TAdd add) {
    Strip(begin, end);
    while (begin != end) {
        const TChar* stop = begin;
        while (stop != end && !isDelimiter(*stop)) {
            ++stop;
        }
        add(begin, stop);
        begin = stop == end ? end : stop + 1;
        Strip(begin, end);
    }
}

[[noreturn]] void ThrowUnknown(TCharRange name) {
    throw TGramBitSet::TException() << "Unknown grammem \"" << name << "\"";
}

[[noreturn]] void ThrowUnknown(TWCharRange name) {
    throw TGramBitSet::TException() << "Unknown grammem \"" << name << "\"";
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}
}  // namespace

TGramBitSet TGramBitSet::FromString(TCharRange text, const char* delimiters) {
    const TGrammemeTable& table = TGrammemeTable::Instance();
    const size_t delimiterCount = delimiters ? std::strlen(delimiters) : 0;
    auto isDelimiter = [&](char c) {
        return delimiterCount && std::memchr(delimiters, c, delimiterCount);
    };
    TGramBitSet set;
    const char* begin = text.Data ? text.Data : "";
    const char* end = text.Data ? text.Data + text.Length : begin;
    ForEachName(begin, end, isDelimiter, [&](const char* b, const char* e) {
        const TCharRange name(b, size_t(e - b));
        const uint32_t code = name.empty() ? 0 : table.FindCode(name);
        if (code == 0) {
            ThrowUnknown(name);
        }
        set.Set(code);
    });
    return set;
}

TGramBitSet TGramBitSet::FromStringOrEmpty(TCharRange text, const char* delimiters) {
    try {
        return FromString(text, delimiters);
    } catch (const TException&) {
        return TGramBitSet();
    }
}

TGramBitSet TGramBitSet::FromWideString(TWCharRange text, const char* delimiters) {
    const TGrammemeTable& table = TGrammemeTable::Instance();
    const CodePage& korvel = *CodePageByCharset(CODES_KORVEL);
    wchar16 wideDelimiters[MaxWideDelimiters];
    size_t delimiterCount = 0;
    for (const char* d = delimiters; d && *d && delimiterCount < MaxWideDelimiters; ++d) {
        wideDelimiters[delimiterCount++] =
            static_cast<wchar16>(korvel.Unicode[static_cast<unsigned char>(*d)]);
    }
    auto isDelimiter = [&](wchar16 c) {
        for (size_t i = 0; i < delimiterCount; ++i) {
            if (wideDelimiters[i] == c) {
                return true;
            }
        }
        return false;
    };
    TGramBitSet set;
    static const wchar16 Empty[] = {0};
    const wchar16* begin = text.Data ? text.Data : Empty;
    const wchar16* end = text.Data ? text.Data + text.Length : begin;
    ForEachName(begin, end, isDelimiter, [&](const wchar16* b, const wchar16* e) {
        const TWCharRange name(b, size_t(e - b));
        if (name.empty() || name.size() > MaxWideNameLength) {
            ThrowUnknown(name);
        }
        const Stroka bytes = RecodeFromUtf16(CODES_KORVEL, name.data(), name.size());
        const uint32_t code = table.FindCode(bytes.AsRange());
        if (code == 0) {
            ThrowUnknown(name);
        }
        set.Set(code);
    });
    return set;
}

TGramBitSet TGramBitSet::FromHexString(const Stroka& text) {
    Stroka bytes;
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]);
        const int low = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
        if (high < 0 || low < 0) {
            throw TException() << "String \"" << text << "\" is not a valid hex.";
        }
        bytes.append(static_cast<char>(high * 16 + low));
    }
    return FromCodeRange(bytes.data(), bytes.size());
}
