// Token reading for the extraction operators and the lenient UTF-8 to UTF-16 decoder.
#include "util/stream/text_input.h"

#include "util/charset/recode_result.h"
#include "util/charset/unicode_utf16.h"
#include "util/charset/utf8.h"
#include "util/convert/cast_exception.h"
#include "util/convert/from_string.h"

#include <cstdint>

namespace {

bool IsBlank(char c) noexcept {
    return c == ' ' || c == '\0' || c == '\n' || c == '\r' || c == '\t';
}

// Reads up to the first non-blank byte; false at end of input.
bool SkipBlanks(TInputStream& in, char& first) {
    do {
        if (!in.ReadChar(first)) {
            return false;
        }
    } while (IsBlank(first));
    return true;
}

// Reads a number token into `token` (MaxNumberTokenLength bytes) and returns its length. A
// longer run is consumed to its end and refused, rather than split into two numbers.
size_t ReadNumberToken(TInputStream& in, char* token) {
    char c;
    if (!SkipBlanks(in, c)) {
        return 0;
    }
    size_t length = 0;
    bool tooLong = false;
    do {
        if (length == MaxNumberTokenLength) {
            tooLong = true;
        } else {
            token[length++] = c;
        }
    } while (in.ReadChar(c) && !IsBlank(c));
    if (tooLong) {
        throw TFromStringException() << "number token longer than 127 bytes";
    }
    return length;
}

template <class T>
TInputStream& ReadNumber(TInputStream& in, T& value) {
    char token[MaxNumberTokenLength];
    const size_t length = ReadNumberToken(in, token);
    value = FromString<T, char>(token, length);
    return in;
}

void ReadWord(TInputStream& in, Stroka& word) {
    char c;
    if (!SkipBlanks(in, c)) {
        return;
    }
    do {
        word.append(c);
    } while (in.ReadChar(c) && !IsBlank(c));
}

// Replaces `target` with the UTF-8 bytes decoded; one unit per byte is always enough.
void DecodeInto(const Stroka& bytes, TUtf16String& target) {
    TUtf16String decoded;
    decoded.ReserveAndResize(bytes.size());
    size_t read = 0, written = 0;
    RecodeToUnicode(bytes.data(), decoded.MutableData(), bytes.size(), bytes.size(), &read,
                    &written);
    decoded.resize(written);
    target = decoded;
}

}  // namespace

TInputStream& operator>>(TInputStream& in, short& value) {
    return ReadNumber(in, value);
}
TInputStream& operator>>(TInputStream& in, unsigned short& value) {
    return ReadNumber(in, value);
}
TInputStream& operator>>(TInputStream& in, int& value) {
    return ReadNumber(in, value);
}
TInputStream& operator>>(TInputStream& in, unsigned int& value) {
    return ReadNumber(in, value);
}
TInputStream& operator>>(TInputStream& in, long& value) {
    return ReadNumber(in, value);
}
TInputStream& operator>>(TInputStream& in, unsigned long& value) {
    return ReadNumber(in, value);
}
TInputStream& operator>>(TInputStream& in, long long& value) {
    return ReadNumber(in, value);
}
TInputStream& operator>>(TInputStream& in, unsigned long long& value) {
    return ReadNumber(in, value);
}
TInputStream& operator>>(TInputStream& in, float& value) {
    return ReadNumber(in, value);
}
TInputStream& operator>>(TInputStream& in, double& value) {
    return ReadNumber(in, value);
}

TInputStream& operator>>(TInputStream& in, long double& value) {
    char token[MaxNumberTokenLength];
    const size_t length = ReadNumberToken(in, token);
    value = FromStringAlias<long double>(token, length);
    return in;
}

TInputStream& operator>>(TInputStream& in, char& value) {
    in.ReadChar(value);
    return in;
}

TInputStream& operator>>(TInputStream& in, signed char& value) {
    in.Read(&value, 1);
    return in;
}

TInputStream& operator>>(TInputStream& in, unsigned char& value) {
    in.Read(&value, 1);
    return in;
}

TInputStream& operator>>(TInputStream& in, Stroka& value) {
    value.clear();
    ReadWord(in, value);
    return in;
}

TInputStream& operator>>(TInputStream& in, TUtf16String& value) {
    Stroka word;
    ReadWord(in, word);
    if (word.empty()) {
        value.clear();
    } else {
        DecodeInto(word, value);
    }
    return in;
}

bool ReadLine(TInputStream& in, TUtf16String& line) {
    Stroka bytes;
    if (!in.ReadLine(bytes)) {
        return false;
    }
    if (bytes.empty()) {
        line.clear();
    } else {
        DecodeInto(bytes, line);
    }
    return true;
}

int RecodeToUnicode(const char* src, wchar16* dst, size_t srcLen, size_t dstLen, size_t* read,
                    size_t* written) {
    const auto* in = reinterpret_cast<const uint8_t*>(src);
    size_t pos = 0, out = 0;
    int status = RECODE_OK;
    // Output full or input used up: done when everything was read, else the output is full.
    const auto finish = [&](int result) {
        *read = pos;
        *written = out;
        return result;
    };
    for (;;) {
        if (out == dstLen || pos == srcLen) {
            return finish(pos == srcLen ? status : RECODE_EOOUTPUT);
        }
        uint32_t cp = 0;
        size_t length = 0;
        const RECODE_RESULT r =
            ReadUtf8Char(in + pos, in + srcLen, cp, length, EUtf8Range::FourBytes);
        if (r == RECODE_EOINPUT) {
            return finish(RECODE_EOINPUT);
        }
        if (r != RECODE_OK) {
            dst[out++] = UNICODE_REPLACEMENT_CHARACTER;
            ++pos;
            status = RECODE_BROKENSYMBOL;
            continue;
        }
        status = RECODE_OK;
        if (cp > 0xFFFF && cp < UNICODE_TABLE_SIZE && dstLen - out < 2) {
            return finish(RECODE_EOOUTPUT);
        }
        out += WriteUtf16CodePoint(cp, dst + out);
        pos += length;
    }
}
