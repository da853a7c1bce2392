// Encoders of the single-byte pages and the table builders.
#include "util/charset/encoder.h"

#include "util/charset/unicode_table.h"
#include "util/convert/int_to_string.h"
#include "util/generic/exception.h"
#include "util/stream/std_stream.h"
#include "util/system/singleton.h"

#include <atomic>
#include <cstring>
#include <memory>

namespace {

const uint8_t ZERO_PAGE[256] = {};

constexpr uint32_t UNDEFINED = 0xFFFD;

bool IsLetterOrNumber(uint32_t category) {
    switch (category) {
        case UC_UPPER:
        case UC_LOWER:
        case UC_TITLE:
        case UC_MODIFIER_LETTER:
        case UC_DIGIT:
        case UC_OTHER_NUMBER:
            return true;
        default:
            return false;
    }
}

bool IsPlainLetterOrDigit(uint32_t category) {
    return category == UC_UPPER || category == UC_LOWER || category == UC_DIGIT;
}

// The upper-case hexadecimal text of a value, without leading zeros.
template <class T>
Stroka HexText(T value) {
    char buf[256];
    return Stroka(buf, IntToString<T, 16>(value, buf, sizeof(buf)));
}

// The built-in encoders, one per single-byte code, each made when it is first asked for: a run
// uses two or three of them.
class TEncoders {
public:
    // Null for a multibyte code.
    const Encoder* Get(ECharset code) {
        if (const Encoder* encoder = ByCode_[code].load(std::memory_order_acquire)) {
            return encoder;
        }
        const CodePage& page = CodePageRegistry::Instance()[code];
        if (!page.SingleByte()) {
            return nullptr;
        }
        TSpinLockGuard guard(Lock_);
        if (!Built_[code]) {
            // Where several bytes share a character the lowest keeps it, without a word.
            Built_[code] = std::make_unique<TCodePageEncoder>(page, code == CODES_KORVEL, false);
            ByCode_[code].store(&Built_[code]->Get(), std::memory_order_release);
        }
        return &Built_[code]->Get();
    }

private:
    std::atomic<const Encoder*> ByCode_[CODES_MAX] = {};
    std::unique_ptr<TCodePageEncoder> Built_[CODES_MAX];
    TSpinLockWord Lock_ = 0;
};

}  // namespace

char Encoder::Code(uint32_t cp) const {
    if (uint8_t byte = Lookup(cp)) {
        return static_cast<char>(byte);
    }
    if (cp == 0) {
        return 0;
    }
    return Replacement[UnicodeCategory(cp)];
}

const Encoder* EncoderByCharset(ECharset code) {
    if (!ValidCharset(code)) {
        ThrowInvalidCharset(code);
    }
    return Singleton<TEncoders>()->Get(code);
}

TCodePageEncoder::TCodePageEncoder(const CodePage& record) : Record_(record) {
    for (size_t i = 0; i < 256; ++i) {
        Encoder_.Pages[i] = ZERO_PAGE;
        Owned_[i] = nullptr;
    }
    Encoder_.Replacement = record.Replacement;
    Encoder_.ZeroPage = ZERO_PAGE;
}

TCodePageEncoder::TCodePageEncoder(const CodePage& record, bool related, bool warn)
    : TCodePageEncoder(record) {
    Quiet_ = !warn;
    for (uint32_t b = 1; b < 256; ++b) {
        const uint32_t cp = record.Unicode[b];
        if (cp != UNDEFINED && cp <= 0xFFFF) {
            Set(cp, static_cast<uint8_t>(b));
        }
    }
    if (related) {
        AddRelated();
    }
    Quiet_ = false;
}

TCodePageEncoder::~TCodePageEncoder() {
    for (uint8_t* page : Owned_) {
        delete[] page;
    }
}

void TCodePageEncoder::Set(uint32_t cp, uint8_t byte) {
    if (cp > 0xFFFF) {
        return;
    }
    const size_t high = cp >> 8;
    if (!Owned_[high]) {
        Owned_[high] = new uint8_t[256]();
        Encoder_.Pages[high] = Owned_[high];
    }
    uint8_t& entry = Owned_[high][cp & 0xFF];
    if (entry == 0) {
        entry = byte;
        return;
    }
    if (entry >= 0x80 && byte != 0 && !Quiet_) {
        TOutputStream& err = StdErrStream();
        err << "WARNING: Only lower part of ASCII should have duplicate encodings "
            << Record_.Name() << " " << HexText<unsigned int>(cp) << " "
            << HexText<unsigned char>(byte) << " " << HexText<unsigned char>(entry);
        err << Endl;
    }
}

// A letter or number the page lacks takes the byte of the first character of its
// compatibility decomposition when that is a plain letter or digit the page holds (U+00C0
// is written as "A", U+00BD as "1"). The parenthesized numbers U+2474 to U+2487 take their
// first digit, and the full-width quotes U+FF02 and U+FF07 the ASCII ones.
void TCodePageEncoder::AddRelated() {
    const TUnicodeDataDescriptor& props = UnicodeDataTable();
    const TDecompositionDescriptor& compat = CompatDecompositionTable();
    for (uint32_t cp = 1; cp < 0xFFFF; ++cp) {
        if (Encoder_.Lookup(cp) || !props.Contains(cp)) {
            continue;
        }
        const uint32_t* decomposition = DecompositionOf(compat, cp);
        if (!decomposition || !decomposition[0]) {
            continue;
        }
        uint32_t first = decomposition[0];
        if (cp >= 0x2474 && cp <= 0x2487) {
            first = decomposition[1];
        } else if (cp == 0xFF02 || cp == 0xFF07) {
            // taken as they are: the decomposition is the ASCII quote itself
        } else if (!IsLetterOrNumber(props[cp].Category()) || !props.Contains(first) ||
                   !IsPlainLetterOrDigit(props[first].Category())) {
            continue;
        }
        if (uint8_t byte = Encoder_.Lookup(first)) {
            Set(cp, byte);
        }
    }
}

void EncodeUtf32(const Encoder& encoder, const uint32_t* src, char* dst, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        dst[i] = encoder.Code(src[i]);
    }
}

char* EncodeUtf32(const Encoder& encoder, const uint32_t* src, char* dst) {
    do {
        *dst++ = encoder.Code(*src);
    } while (*src++ != 0);
    return dst;
}

namespace {

const Encoder& EncoderOfTarget(const CodePage& page) {
    if (!page.SingleByte()) {
        throw kexception() << "Encoder structure can only be used for single byte encodings";
    }
    return *EncoderByCharset(page.Code);
}

}  // namespace

void BuildMappedTable(const CodePage& page, uint32_t (*f)(uint32_t), uint8_t* table) {
    const Encoder& encoder = EncoderOfTarget(page);
    table[0] = 0;
    for (size_t b = 1; b < 256; ++b) {
        const uint8_t byte = encoder.Lookup(f(page.Unicode[b]));
        table[b] = byte ? byte : static_cast<uint8_t>(b);
    }
}

void BuildTranslationTable(const CodePage& from, const CodePage& to, uint8_t* table) {
    const Encoder& encoder = EncoderOfTarget(to);
    for (size_t b = 0; b < 256; ++b) {
        table[b] = static_cast<uint8_t>(encoder.Code(from.Unicode[b]));
    }
}
