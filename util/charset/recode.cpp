// Recoding between code pages, UTF-8 and UTF-16.
#include "util/charset/recode.h"

#include "util/charset/encoder.h"
#include "util/charset/iconv.h"
#include "util/charset/unicode_utf16.h"
#include "util/charset/utf8.h"
#include "util/generic/exception.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const char UTF16LE[] = "UTF-16LE";

const CodePage& SingleBytePage(ECharset code) {
    const CodePage& page = CodePageRegistry::Instance()[code];
    if (!page.SingleByte()) {
        throw kexception() << "CodePage structure can only be used for single byte encodings";
    }
    return page;
}

// The records "unknown" and "unsupported" are pages without an encoder like any multibyte one.
const Encoder& EncoderOf(ECharset code) {
    const Encoder* encoder =
        CodePageRegistry::Instance()[code].SingleByte() ? EncoderByCharset(code) : nullptr;
    if (!encoder) {
        throw kexception() << "Encoder structure can only be used for single byte encodings";
    }
    return *encoder;
}

RECODE_RESULT Copy(const char* src, char* dst, size_t srcLen, size_t dstLen, size_t& read,
                   size_t& written) {
    const size_t n = std::min(srcLen, dstLen);
    if (src != dst && n) {
        std::memmove(dst, src, n);
    }
    read = written = n;
    return srcLen > dstLen ? RECODE_EOOUTPUT : RECODE_OK;
}

RECODE_RESULT Translate(const uint8_t* table, const char* src, char* dst, size_t srcLen,
                        size_t dstLen, size_t& read, size_t& written) {
    const size_t n = std::min(srcLen, dstLen);
    for (size_t i = 0; i < n; ++i) {
        dst[i] = static_cast<char>(table[static_cast<uint8_t>(src[i])]);
    }
    read = written = n;
    return srcLen > dstLen ? RECODE_EOOUTPUT : RECODE_OK;
}

// UTF-16 units as the bytes of UTF-16LE.
std::vector<char> ToUtf16LeBytes(const wchar16* units, size_t n) {
    std::vector<char> bytes(2 * n);
    for (size_t i = 0; i < n; ++i) {
        bytes[2 * i] = static_cast<char>(units[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(units[i] >> 8);
    }
    return bytes;
}

size_t FromUtf16LeBytes(const char* bytes, size_t n, wchar16* units) {
    for (size_t i = 0; i + 1 < n; i += 2) {
        units[i / 2] = static_cast<wchar16>(static_cast<uint8_t>(bytes[i]) |
                                            (static_cast<uint8_t>(bytes[i + 1]) << 8));
    }
    return n / 2;
}

RECODE_RESULT FromIconvStatus(TIconvConverter::EStatus status) {
    switch (status) {
        case TIconvConverter::Done:
            return RECODE_OK;
        case TIconvConverter::Incomplete:
            return RECODE_EOINPUT;
        case TIconvConverter::OutputFull:
            return RECODE_EOOUTPUT;
        default:
            return RECODE_ERROR;
    }
}

// One iconv pass over the input. The output of a stateful target (ISO-2022-*) is brought back
// to the initial shift state, since the next call starts there, also when the output fills
// up; when the closing shift does not fit, the characters are converted again into less
// room, leaving the rest of the output for the shift, so that fewer are written and read.
// Where not even the end of the text fits (ISO-2022-KR writes a header even for no character),
// the output is full and nothing counts as read.
RECODE_RESULT IconvBuffer(const char* to, const char* from, const char* src, char* dst,
                          size_t srcLen, size_t dstLen, size_t& read, size_t& written) {
    read = written = 0;
    for (size_t room = dstLen;; --room) {
        TIconvConverter converter(to, from);
        if (!converter.Valid()) {
            return RECODE_ERROR;
        }
        const char* in = src;
        size_t inLeft = srcLen;
        char* out = dst;
        size_t outLeft = room;
        const TIconvConverter::EStatus status = converter.Convert(in, inLeft, out, outLeft);
        outLeft += dstLen - room;
        const bool endFits = status == TIconvConverter::Failed ||
                             converter.Finish(out, outLeft) != TIconvConverter::OutputFull;
        if (!endFits && room > 0) {
            continue;
        }
        read = endFits ? srcLen - inLeft : 0;
        written = endFits ? dstLen - outLeft : 0;
        const bool full = room < dstLen || !endFits;
        return FromIconvStatus(full ? TIconvConverter::OutputFull : status);
    }
}

// First step of a two-step recoding: the source as UTF-16 units. A tail that ends inside a
// character is left unread (RECODE_EOINPUT) and the units before it are kept.
RECODE_RESULT DecodeToUnits(ECharset from, const char* src, size_t srcLen,
                            std::vector<wchar16>& units, size_t& read) {
    const CodePage& page = CodePageRegistry::Instance()[from];
    units.clear();
    if (page.SingleByte()) {
        units.reserve(srcLen);
        for (size_t i = 0; i < srcLen; ++i) {
            units.push_back(static_cast<wchar16>(page.Unicode[static_cast<uint8_t>(src[i])]));
        }
        read = srcLen;
        return RECODE_OK;
    }
    if (from == CODES_UTF8) {
        const uint8_t* p = reinterpret_cast<const uint8_t*>(src);
        const uint8_t* end = p + srcLen;
        while (p < end) {
            uint32_t cp = UNICODE_REPLACEMENT_CHARACTER;
            size_t n = 1;
            const RECODE_RESULT r = ReadUtf8Char(p, end, cp, n);
            if (r == RECODE_EOINPUT) {
                break;
            }
            if (r != RECODE_OK) {
                cp = UNICODE_REPLACEMENT_CHARACTER;
            }
            wchar16 buf[2];
            units.insert(units.end(), buf, buf + WriteUtf16CodePoint(cp, buf));
            p += n;
        }
        read = static_cast<size_t>(p - reinterpret_cast<const uint8_t*>(src));
        return read == srcLen ? RECODE_OK : RECODE_EOINPUT;
    }
    std::vector<char> bytes(6 * srcLen + 2);
    size_t written = 0;
    const RECODE_RESULT r =
        IconvBuffer(UTF16LE, page.Name(), src, bytes.data(), srcLen, bytes.size(), read, written);
    if (r == RECODE_ERROR || r == RECODE_EOOUTPUT) {
        return RECODE_ERROR;  // the buffer holds any text, so a full one is an iconv fault
    }
    units.resize(written / 2);
    FromUtf16LeBytes(bytes.data(), written, units.data());
    return r;
}

// Second step: UTF-16 units into the target. consumed counts the units whose characters
// were written.
RECODE_RESULT EncodeUnits(ECharset to, const wchar16* units, size_t n, char* dst, size_t dstLen,
                          size_t& written, size_t& consumed) {
    written = consumed = 0;
    const wchar16* p = units;
    const wchar16* end = p + n;
    RECODE_RESULT result = RECODE_OK;
    if (to == CODES_UTF8) {
        while (p < end) {
            const wchar16* next = p;
            const uint32_t cp = ReadUtf16CodePoint(next, end);
            if (written + Utf8Length(cp) > dstLen) {
                result = RECODE_EOOUTPUT;
                break;
            }
            written += WriteUtf8Char(cp, reinterpret_cast<uint8_t*>(dst) + written);
            p = next;
        }
    } else if (CodePageRegistry::Instance()[to].SingleByte()) {
        const Encoder& encoder = EncoderOf(to);
        while (p < end && written < dstLen) {
            dst[written++] = encoder.Code(ReadUtf16CodePoint(p, end));
        }
        result = p == end ? RECODE_OK : RECODE_EOOUTPUT;
    } else {
        const std::vector<char> bytes = ToUtf16LeBytes(units, n);
        size_t read = 0;
        result = IconvBuffer(NameByCharset(to), UTF16LE, bytes.data(), dst, bytes.size(), dstLen,
                             read, written);
        // An unpaired high surrogate at the end is invalid input: left out like any other.
        p = result == RECODE_EOINPUT ? end : units + read / 2;
        result = result == RECODE_EOINPUT ? RECODE_OK : result;
    }
    consumed = static_cast<size_t>(p - units);
    return result;
}

// Units of the first step for the first m source bytes.
size_t UnitsOfPrefix(ECharset from, const char* src, size_t m) {
    std::vector<wchar16> units;
    size_t read = 0;
    DecodeToUnits(from, src, m, units, read);
    return units.size();
}

// The source bytes behind the first `consumed` units when the second step stopped early: the
// shortest prefix that decodes to all the characters written, so that what was not written is
// not counted as read. (Where one source character gives two units and only the first fits,
// that character is not counted and consumed is lowered to match.)
size_t SourceBytesOf(ECharset from, const char* src, size_t read, size_t& consumed) {
    if (CodePageRegistry::Instance()[from].SingleByte()) {
        return consumed;  // one unit a byte
    }
    // Units grow with the prefix: find the longest prefix within `consumed` units...
    size_t lo = 0, hi = read;
    while (lo < hi) {
        const size_t mid = lo + (hi - lo + 1) / 2;
        if (UnitsOfPrefix(from, src, mid) <= consumed) {
            lo = mid;
        } else {
            hi = mid - 1;
        }
    }
    consumed = UnitsOfPrefix(from, src, lo);
    // ...then the shortest one that still gives as many.
    hi = lo;
    lo = 0;
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (UnitsOfPrefix(from, src, mid) >= consumed) {
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
    return lo;
}

RECODE_RESULT RecodeInTwoSteps(ECharset from, ECharset to, const char* src, char* dst,
                               size_t srcLen, size_t dstLen, size_t& read, size_t& written) {
    std::vector<wchar16> units;
    const RECODE_RESULT first = DecodeToUnits(from, src, srcLen, units, read);
    if (first != RECODE_OK && first != RECODE_EOINPUT) {
        read = 0;
        return first;
    }
    size_t consumed = 0;
    const RECODE_RESULT second =
        EncodeUnits(to, units.data(), units.size(), dst, dstLen, written, consumed);
    if (second == RECODE_ERROR) {
        read = written = 0;  // the target cannot be written at all
        return second;
    }
    if (second == RECODE_EOOUTPUT && consumed < units.size()) {
        const size_t whole = consumed;
        read = SourceBytesOf(from, src, read, consumed);
        if (consumed != whole) {
            EncodeUnits(to, units.data(), consumed, dst, dstLen, written, consumed);
        }
    }
    return second != RECODE_OK ? second : first;
}

}  // namespace

RECODE_RESULT RecodeToUtf8(ECharset from, const char* src, char* dst, size_t srcLen, size_t dstLen,
                           size_t& read, size_t& written) {
    if (from == CODES_UTF8) {
        return Copy(src, dst, srcLen, dstLen, read, written);
    }
    const CodePage& page = SingleBytePage(from);
    read = written = 0;
    uint8_t* out = reinterpret_cast<uint8_t*>(dst);
    for (; read < srcLen; ++read) {
        const uint32_t cp = page.Unicode[static_cast<uint8_t>(src[read])];
        if (written + Utf8Length(cp) > dstLen) {
            return RECODE_EOOUTPUT;
        }
        written += WriteUtf8Char(cp, out + written);
    }
    return RECODE_OK;
}

RECODE_RESULT RecodeFromUtf8(ECharset to, const char* src, char* dst, size_t srcLen, size_t dstLen,
                             size_t& read, size_t& written) {
    if (to == CODES_UTF8) {
        return Copy(src, dst, srcLen, dstLen, read, written);
    }
    const Encoder& encoder = EncoderOf(to);
    read = written = 0;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(src);
    const uint8_t* end = p + srcLen;
    RECODE_RESULT result = RECODE_OK;
    while (p < end) {
        if (written == dstLen) {
            return RECODE_EOOUTPUT;
        }
        uint32_t cp = UNICODE_REPLACEMENT_CHARACTER;
        size_t n = 1;
        result = ReadUtf8Char(p, end, cp, n);
        if (result == RECODE_EOINPUT) {
            return result;
        }
        if (result != RECODE_OK) {
            cp = UNICODE_REPLACEMENT_CHARACTER;
        }
        dst[written++] = encoder.Code(cp);
        p += n;
        read += n;
    }
    return result;
}

RECODE_RESULT Recode(ECharset from, ECharset to, const char* src, char* dst, size_t srcLen,
                     size_t dstLen, size_t& read, size_t& written) {
    read = written = 0;
    if (!ValidCharset(from) || !ValidCharset(to)) {
        return RECODE_ERROR;
    }
    if (from == to) {
        return Copy(src, dst, srcLen, dstLen, read, written);
    }
    const CodePageRegistry& registry = CodePageRegistry::Instance();
    const bool fromTable = from == CODES_UTF8 || registry[from].SingleByte();
    const bool toTable = to == CODES_UTF8 || registry[to].SingleByte();
    if (fromTable && toTable) {
        if (from == CODES_UTF8) {
            return RecodeFromUtf8(to, src, dst, srcLen, dstLen, read, written);
        }
        if (to == CODES_UTF8) {
            return RecodeToUtf8(from, src, dst, srcLen, dstLen, read, written);
        }
        if (from == CODES_KORVEL) {
            return Translate(FromKorvelTable(to), src, dst, srcLen, dstLen, read, written);
        }
        if (to == CODES_KORVEL) {
            return Translate(ToKorvelTable(from), src, dst, srcLen, dstLen, read, written);
        }
        return RecodeInTwoSteps(from, to, src, dst, srcLen, dstLen, read, written);
    }
    // glibc converts between UTF-8 and its pages through Unicode, but between two of its pages
    // it may go directly, with mappings and faults of its own (GB2312 with GBK and Big5); a
    // single-byte page is read and written by our tables; and the ISO-2022-CN-EXT and UHC
    // readers, which cannot skip what the target lacks, are safe only into Unicode. So every
    // other pair goes through UTF-16, and gives what the text read into UTF-8 and written from
    // there gives.
    if (from != CODES_UTF8 && to != CODES_UTF8) {
        return RecodeInTwoSteps(from, to, src, dst, srcLen, dstLen, read, written);
    }
    return IconvBuffer(NameByCharset(to), NameByCharset(from), src, dst, srcLen, dstLen, read,
                       written);
}

TUtf16String RecodeToUtf16(ECharset code, const char* text, size_t length) {
    const CodePage& page = CodePageRegistry::Instance()[code];
    TUtf16String result;
    if (length == 0) {
        return result;
    }
    if (page.SingleByte()) {
        result.ReserveAndResize(length);
        wchar16* out = result.MutableData();
        for (size_t i = 0; i < length; ++i) {
            out[i] = static_cast<wchar16>(page.Unicode[static_cast<uint8_t>(text[i])]);
        }
        return result;
    }
    if (code == CODES_UTF8) {
        return DecodeUtf8(text, length);
    }
    const Stroka bytes = RecodeWithIconv(code, UTF16LE, text, length);
    result.ReserveAndResize(bytes.size() / 2);
    if (bytes.size() >= 2) {
        FromUtf16LeBytes(bytes.data(), bytes.size(), result.MutableData());
    }
    return result;
}

Stroka RecodeFromUtf16(ECharset code, const wchar16* text, size_t length) {
    const CodePage& page = CodePageRegistry::Instance()[code];
    Stroka result;
    if (length == 0) {
        return result;
    }
    const wchar16* end = text + length;
    if (page.SingleByte()) {
        const Encoder& encoder = EncoderOf(code);
        std::vector<char> out;
        out.reserve(length);
        for (const wchar16* p = text; p < end;) {
            out.push_back(encoder.Code(ReadUtf16CodePoint(p, end)));
        }
        return Stroka(out.data(), out.size());
    }
    if (code == CODES_UTF8) {
        std::vector<char> out(3 * length);
        size_t written = 0;
        for (const wchar16* p = text; p < end;) {
            written += WriteUtf8Char(ReadUtf16CodePoint(p, end),
                                     reinterpret_cast<uint8_t*>(out.data()) + written);
        }
        return Stroka(out.data(), written);
    }
    // The stateful pages (ISO-2022-*) may need more than four bytes a unit for their shift
    // sequences, so the output grows as iconv needs.
    const std::vector<char> bytes = ToUtf16LeBytes(text, length);
    return RecodeWithIconv(code, UTF16LE, bytes.data(), bytes.size(), true);
}

namespace {

constexpr wchar16 PLANE_FIRST = 0xF000;
constexpr wchar16 PLANE_LAST = 0xF0FF;

bool Carried(wchar16 unit) {
    return unit >= PLANE_FIRST && unit <= PLANE_LAST;
}

// A run of carried bytes as UTF-8: each well-formed sequence one unit (a code point above
// U+FFFF a blank), each malformed byte U+FFFD.
void DecodeUtf8Run(const std::vector<char>& bytes, std::vector<wchar16>& out) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const uint8_t* end = p + bytes.size();
    while (p < end) {
        uint32_t cp = 0;
        size_t n = 1;
        if (ReadUtf8Char(p, end, cp, n) != RECODE_OK) {
            cp = UNICODE_REPLACEMENT_CHARACTER;
            n = 1;
        }
        out.push_back(cp > 0xFFFF ? u' ' : static_cast<wchar16>(cp));
        p += n;
    }
}

// Each carried byte as one unit, widened as a signed value: what a run that cannot be
// decoded leaves behind.
void WidenRun(const std::vector<char>& bytes, std::vector<wchar16>& out) {
    for (char c : bytes) {
        out.push_back(static_cast<wchar16>(static_cast<int16_t>(static_cast<signed char>(c))));
    }
}

void DecodeRun(const std::vector<char>& bytes, ECharset code, std::vector<wchar16>& out) {
    if (code == CODES_UNKNOWN) {
        for (char c : bytes) {
            out.push_back(static_cast<uint8_t>(c));
        }
        return;
    }
    if (code == CODES_UTF8) {
        DecodeUtf8Run(bytes, out);
        return;
    }
    if (!ValidCharset(code)) {
        WidenRun(bytes, out);
        return;
    }
    const CodePage& page = CodePageRegistry::Instance()[code];
    if (page.SingleByte()) {
        for (char c : bytes) {
            out.push_back(static_cast<wchar16>(page.Unicode[static_cast<uint8_t>(c)]));
        }
        return;
    }
    std::vector<char> utf16(2 * bytes.size() + 2);
    size_t read = 0, written = 0;
    const RECODE_RESULT r = IconvBuffer(UTF16LE, page.Name(), bytes.data(), utf16.data(),
                                        bytes.size(), utf16.size(), read, written);
    if (r != RECODE_OK && r != RECODE_EOINPUT) {
        WidenRun(bytes, out);
        return;
    }
    const size_t first = out.size();
    out.resize(first + written / 2);
    FromUtf16LeBytes(utf16.data(), written, out.data() + first);
}

}  // namespace

void DecodeUnknownPlane(wchar16* begin, wchar16*& end, ECharset code) {
    std::vector<wchar16> out;
    out.reserve(static_cast<size_t>(end - begin));
    std::vector<char> run;
    for (const wchar16* p = begin; p < end;) {
        if (!Carried(*p)) {
            out.push_back(*p++);
            continue;
        }
        run.clear();
        while (p < end && Carried(*p)) {
            run.push_back(static_cast<char>(*p++ - PLANE_FIRST));
        }
        DecodeRun(run, code, out);
    }
    const size_t n = std::min(out.size(), static_cast<size_t>(end - begin));
    std::copy(out.begin(), out.begin() + n, begin);
    end = begin + n;
}
