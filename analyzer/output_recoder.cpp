#include "analyzer/output_recoder.h"

#include "util/charset/encoder.h"
#include "util/charset/recode.h"
#include "util/charset/utf8.h"
#include "util/generic/exception.h"

#include <cstring>

namespace {

bool IsHigh(wchar16 unit) {
    return unit >= 0xD800 && unit < 0xDC00;
}

bool IsLow(wchar16 unit) {
    return unit >= 0xDC00 && unit < 0xE000;
}

// The code point at text[i] (a pair is one; a broken high surrogate is U+FFFD); advances i.
uint32_t NextCodePoint(const wchar16* text, size_t length, size_t& i) {
    const wchar16 unit = text[i++];
    if (!IsHigh(unit)) {
        return unit;
    }
    if (i < length && IsLow(text[i])) {
        return 0x10000 + ((static_cast<uint32_t>(unit) - 0xD800) << 10) + (text[i++] - 0xDC00);
    }
    return 0xFFFD;
}

// Grows `out` by `extra` bytes and returns where they start.
char* Extend(Stroka& out, size_t extra) {
    const size_t old = out.size();
    out.ReserveAndResize(old + extra);
    return out.MutableData() + old;
}

}  // namespace

TOutputRecoder::TOutputRecoder(ECharset code) : Page_(*CodePageByCharset(code)) {
    if (!ValidCharset(code)) {
        ThrowInvalidCharset(code);
    }
    Encoder_ = EncoderByCharset(code);
    if (!Encoder_ && Page_.Code != CODES_UTF8) {
        LearnAsciiForms();
    }
}

void TOutputRecoder::OpenConverter() {
    auto converter = std::make_unique<TIconvConverter>(Page_.Name(), "UTF-16LE");
    if (!converter->Valid()) {
        throw kexception() << "Can not convert from UTF-16LE to " << Page_.Name();
    }
    Converter_ = std::move(converter);
}

void TOutputRecoder::LearnAsciiForms() {
    // The width of a character is what one more of it adds: a page may put a header before
    // every piece (ISO-2022-KR) and still write ASCII one byte a character.
    const wchar16 probe[] = {u'{', u'{'};
    Stroka one, two;
    try {
        AppendUtf16(probe, 1, one);
        AppendUtf16(probe, 2, two);
    } catch (const kexception&) {
        return;  // a page iconv cannot write fails with the first text, as it always did
    }
    if (two.size() <= one.size() + 1) {
        return;
    }
    AsciiForms_.resize(128);
    for (wchar16 c = 0; c < 128; ++c) {
        // Each piece ends in the initial state, so a character's form does not depend on what
        // stands before it.
        AppendUtf16(&c, 1, AsciiForms_[c]);
    }
}

void TOutputRecoder::AppendAscii(const char* text, size_t length, Stroka& out) const {
    if (AsciiForms_.empty()) {
        out.append(text, length);
        return;
    }
    for (size_t i = 0; i < length; ++i) {
        out.append(AsciiForms_[static_cast<unsigned char>(text[i]) & 0x7F]);
    }
}

TOutputRecoder::~TOutputRecoder() = default;

void TOutputRecoder::AppendUtf16(const wchar16* text, size_t length, Stroka& out) {
    if (length == 0) {
        return;
    }
    const size_t start = out.size();
    if (Encoder_) {
        char* dst = Extend(out, length);
        size_t n = 0;
        for (size_t i = 0; i < length;) {
            dst[n++] = Encoder_->Code(NextCodePoint(text, length, i));
        }
        out.ReserveAndResize(start + n);
        return;
    }
    if (Page_.Code == CODES_UTF8) {
        uint8_t* dst = reinterpret_cast<uint8_t*>(Extend(out, 3 * length));
        size_t n = 0;
        for (size_t i = 0; i < length;) {
            n += WriteUtf8Char(NextCodePoint(text, length, i), dst + n);
        }
        out.ReserveAndResize(start + n);
        return;
    }
    if (!Converter_) {
        OpenConverter();
    }
    const char* in = reinterpret_cast<const char*>(text);
    size_t inLeft = length * sizeof(wchar16);
    size_t room = 3 * length + 8;
    size_t produced = 0;
    bool converted = false;
    while (true) {
        out.ReserveAndResize(start + room);
        char* cursor = out.MutableData() + start + produced;
        size_t left = room - produced;
        TIconvConverter::EStatus status =
            converted ? TIconvConverter::Done : Converter_->Convert(in, inLeft, cursor, left);
        if (status == TIconvConverter::Done || status == TIconvConverter::Incomplete) {
            converted = true;  // an incomplete tail (a lone high surrogate) is dropped
            status = Converter_->Finish(cursor, left);
        }
        produced = room - left;
        if (status == TIconvConverter::Done) {
            out.ReserveAndResize(start + produced);
            return;
        }
        if (status != TIconvConverter::OutputFull) {
            out.ReserveAndResize(start + produced);
            throw kexception() << "Unknown iconv error";
        }
        room *= 2;
    }
}

void TOutputRecoder::AppendKorvel(const char* text, size_t length, Stroka& out) {
    if (Page_.Code == CODES_KORVEL) {
        out.append(text, length);
        return;
    }
    const size_t start = out.size();
    size_t room = Encoder_ ? length : 3 * length + 8;
    while (true) {
        char* dst = Extend(out, room);
        size_t read = 0, written = 0;
        const RECODE_RESULT result =
            Recode(CODES_KORVEL, Page_.Code, text, dst, length, room, read, written);
        if (result == RECODE_OK && written <= room) {
            out.ReserveAndResize(start + written);
            return;
        }
        out.ReserveAndResize(start);
        if (result != RECODE_EOOUTPUT || Encoder_) {
            throw kexception() << "Recode failed";
        }
        room *= 2;
    }
}
