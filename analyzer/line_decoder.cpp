#include "analyzer/line_decoder.h"

#include "util/charset/utf8.h"
#include "util/generic/exception.h"

#include <cstring>

TLineDecoder::TLineDecoder(ECharset code) : Page_(*CodePageByCharset(code)) {
    if (!ValidCharset(code)) {
        ThrowInvalidCharset(code);
    }
}

TLineDecoder::~TLineDecoder() = default;

void TLineDecoder::Decode(const char* bytes, size_t length, std::vector<wchar16>& units) {
    if (Page_.SingleByte()) {
        units.resize(length);
        const unsigned char* in = reinterpret_cast<const unsigned char*>(bytes);
        for (size_t i = 0; i < length; ++i) {
            units[i] = static_cast<wchar16>(Page_.Unicode[in[i]]);
        }
    } else if (Page_.Code == CODES_UTF8) {
        DecodeUtf8Line(bytes, length, units);
    } else {
        DecodeWithIconv(bytes, length, units);
    }
}

void TLineDecoder::DecodeUtf8Line(const char* bytes, size_t length, std::vector<wchar16>& units) {
    units.resize(length);  // never more units than bytes
    const uint8_t* p = reinterpret_cast<const uint8_t*>(bytes);
    const uint8_t* end = p + length;
    size_t n = 0;
    while (p != end) {
        if (*p < 0x80) {
            units[n++] = *p++;
            continue;
        }
        uint32_t cp = 0;
        size_t read = 0;
        if (ReadUtf8Char(p, end, cp, read) != RECODE_OK) {
            DecodeUtf8(bytes, length);  // raises with the offset and the text of the line
            throw kexception() << "failed to decode UTF-8 string at pos "
                               << static_cast<uint64_t>(p -
                                                        reinterpret_cast<const uint8_t*>(bytes));
        }
        p += read;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            units[n++] = static_cast<wchar16>(0xD800 + (cp >> 10));
            units[n++] = static_cast<wchar16>(0xDC00 + (cp & 0x3FF));
        } else {
            units[n++] = static_cast<wchar16>(cp);
        }
    }
    units.resize(n);
}

void TLineDecoder::DecodeWithIconv(const char* bytes, size_t length, std::vector<wchar16>& units) {
    if (!Converter_) {
        auto converter = std::make_unique<TIconvConverter>("UTF-16LE", Page_.Name());
        if (!converter->Valid()) {
            throw kexception() << "Can not convert from " << Page_.Name() << " to UTF-16LE";
        }
        Converter_ = std::move(converter);
    }
    // One unit per byte holds every line of the table's pages; the room grows if one does not.
    units.resize(length + 1);
    const char* in = bytes;
    size_t inLeft = length;
    size_t produced = 0;
    while (true) {
        char* out = reinterpret_cast<char*>(units.data() + produced);
        size_t outLeft = (units.size() - produced) * sizeof(wchar16);
        const size_t room = outLeft;
        TIconvConverter::EStatus status = Converter_->Convert(in, inLeft, out, outLeft);
        if (status == TIconvConverter::Done || status == TIconvConverter::Incomplete) {
            // Back to the initial state, so the next line starts afresh; a tail cut off by the
            // end of the line is dropped.
            status = Converter_->Finish(out, outLeft);
        }
        produced += (room - outLeft) / sizeof(wchar16);
        if (status == TIconvConverter::Done) {
            break;
        }
        if (status != TIconvConverter::OutputFull) {
            throw kexception() << "Unknown iconv error";
        }
        units.resize(units.size() * 2);
    }
    units.resize(produced);
}
