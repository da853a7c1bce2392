// The writers read their source as code points (UTF-32LE), one source character at a time, so
// that when the output fills up exactly the characters not written stay unread; each code
// point is then looked up in the sets of the target through a glibc converter of its own.
#include "util/charset/iconv_layers.h"

#include <strings.h>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

using EStatus = TIconvConverter::EStatus;

// The most bytes one code point takes in a layered encoding, its shift sequence included.
constexpr size_t MAX_POINT_BYTES = 8;
// The most code points one source character decodes to (Big5-HKSCS gives two).
constexpr size_t MAX_SOURCE_POINTS = 4;

const char* const CODE_POINTS = "UTF-32LE";

bool SameName(const char* a, const char* b) {
    return strcasecmp(a, b) == 0;
}

uint32_t ReadUtf32Le(const char* p) {
    const auto* b = reinterpret_cast<const uint8_t*>(p);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

// The bytes of one code point in the encoding of `converter` (opened from UTF-32LE); 0 when
// the encoding lacks it.
size_t Lookup(TIconvConverter& converter, uint32_t cp, char* out, size_t room) {
    char point[4];
    for (int i = 0; i < 4; ++i) {
        point[i] = static_cast<char>(cp >> (8 * i));
    }
    const char* in = point;
    size_t inLeft = sizeof(point);
    char* dst = out;
    size_t dstLeft = room;
    if (converter.Convert(in, inLeft, dst, dstLeft) != TIconvConverter::Done) {
        return 0;
    }
    return room - dstLeft;
}

bool IsGraphic94(uint8_t b) {
    return b >= 0x21 && b <= 0x7E;
}

// Writes a layered encoding from any encoding iconv reads.
class TEncodeLayer : public TIconvLayer {
public:
    explicit TEncodeLayer(const char* from) : Source_(CODE_POINTS, from) {}

    bool Valid() const noexcept override { return Source_.Valid(); }

    // A full output leaves the character that did not fit unread, though the source converter
    // has read it: right for every stateless source, and for the ISO-2022 sources, whose
    // designations read again change nothing.
    EStatus Convert(const char*& src, size_t& srcLeft, char*& dst, size_t& dstLeft) override {
        while (srcLeft) {
            char points[4 * MAX_SOURCE_POINTS];
            const char* in = src;
            size_t inLeft = srcLeft;
            size_t got = 0;
            EStatus status = TIconvConverter::Failed;
            // The least room that one character fits: iconv reads no further than it.
            for (size_t room = 4; room <= sizeof(points); room *= 2) {
                in = src;
                inLeft = srcLeft;
                char* out = points;
                size_t outLeft = room;
                status = Source_.Convert(in, inLeft, out, outLeft);
                got = room - outLeft;
                if (status != TIconvConverter::OutputFull || got || inLeft != srcLeft) {
                    break;
                }
            }
            if (status == TIconvConverter::Failed ||
                (got == 0 && inLeft == srcLeft && status == TIconvConverter::OutputFull)) {
                return TIconvConverter::Failed;
            }
            char bytes[MAX_SOURCE_POINTS * MAX_POINT_BYTES];
            size_t n = 0;
            int shift = Shift_;
            for (size_t i = 0; i + 4 <= got; i += 4) {
                n += Encode(ReadUtf32Le(points + i), shift, bytes + n);
            }
            if (n > dstLeft) {
                return TIconvConverter::OutputFull;
            }
            std::memcpy(dst, bytes, n);
            dst += n;
            dstLeft -= n;
            Shift_ = shift;
            src = in;
            srcLeft = inLeft;
            if (status == TIconvConverter::Incomplete) {
                return status;
            }
        }
        return TIconvConverter::Done;
    }

    // What a source converter held back comes first, then the shift back to the initial
    // state; when both do not fit, nothing is written and a later call writes them.
    EStatus Finish(char*& dst, size_t& dstLeft) override {
        if (!Flushed_) {
            char points[4 * MAX_SOURCE_POINTS];
            char* out = points;
            size_t outLeft = sizeof(points);
            if (Source_.Finish(out, outLeft) != TIconvConverter::Done) {
                return TIconvConverter::Failed;
            }
            for (const char* p = points; p + 4 <= out; p += 4) {
                char bytes[MAX_POINT_BYTES];
                Pending_.append(bytes, Encode(ReadUtf32Le(p), Shift_, bytes));
            }
            Flushed_ = true;
        }
        char reset[MAX_POINT_BYTES];
        const size_t r = Reset(Shift_, reset);
        if (Pending_.size() + r > dstLeft) {
            return TIconvConverter::OutputFull;
        }
        std::memcpy(dst, Pending_.data(), Pending_.size());
        std::memcpy(dst + Pending_.size(), reset, r);
        dst += Pending_.size() + r;
        dstLeft -= Pending_.size() + r;
        Pending_.clear();
        Flushed_ = false;
        Shift_ = 0;
        return TIconvConverter::Done;
    }

protected:
    // Writes cp, with the shift sequence it needs first, and moves the shift state (0 is the
    // initial one); writes nothing for a character the target lacks. At most MAX_POINT_BYTES.
    virtual size_t Encode(uint32_t cp, int& shift, char* out) = 0;
    // Writes what brings `shift` back to the initial state.
    virtual size_t Reset(int shift, char* out) = 0;

private:
    TIconvConverter Source_;
    int Shift_ = 0;
    bool Flushed_ = false;
    std::string Pending_;
};

// HZ: ASCII as it is ("~" doubled), GB2312 as the EUC-CN bytes less their high bits between
// "~{" and "~}".
class THzEncoder final : public TEncodeLayer {
public:
    explicit THzEncoder(const char* from) : TEncodeLayer(from), Gb_("EUC-CN", CODE_POINTS) {}

    bool Valid() const noexcept override { return TEncodeLayer::Valid() && Gb_.Valid(); }

private:
    size_t Encode(uint32_t cp, int& shift, char* out) override {
        size_t n = 0;
        if (cp < 0x80) {
            n = Reset(shift, out);
            shift = 0;
            if (cp == '~') {
                out[n++] = '~';
            }
            out[n++] = static_cast<char>(cp);
            return n;
        }
        char euc[4];
        if (Lookup(Gb_, cp, euc, sizeof(euc)) != 2 || !IsGraphic94(euc[0] & 0x7F) ||
            !IsGraphic94(euc[1] & 0x7F) || !(euc[0] & 0x80) || !(euc[1] & 0x80)) {
            return 0;
        }
        if (!shift) {
            out[n++] = '~';
            out[n++] = '{';
            shift = 1;
        }
        out[n++] = static_cast<char>(euc[0] & 0x7F);
        out[n++] = static_cast<char>(euc[1] & 0x7F);
        return n;
    }

    size_t Reset(int shift, char* out) override {
        if (!shift) {
            return 0;
        }
        out[0] = '~';
        out[1] = '}';
        return 2;
    }

    TIconvConverter Gb_;
};

// ISO-2022-JP-1 with its four sets, each designated to G0 when it is needed; EUC-JP tells which
// set holds a character (one byte below 0x80 for the two JIS X 0201 Roman characters,
// two bytes for JIS X 0208, 0x8F and two bytes for JIS X 0212; its half-width katakana have no
// place here).
class TJp1Encoder final : public TEncodeLayer {
public:
    explicit TJp1Encoder(const char* from) : TEncodeLayer(from), Jp_("EUC-JP", CODE_POINTS) {}

    bool Valid() const noexcept override { return TEncodeLayer::Valid() && Jp_.Valid(); }

private:
    enum ESet { Ascii, Roman, Jis0208, Jis0212 };

    size_t Encode(uint32_t cp, int& shift, char* out) override {
        static const char* const designations[] = {"\x1B(B", "\x1B(J", "\x1B$B", "\x1B$(D"};
        char bytes[2];
        size_t m = 0;
        ESet set = Ascii;
        if (cp < 0x80) {
            if (cp == 0x1B || cp == 0x0E || cp == 0x0F) {
                return 0;  // would read as a shift
            }
            bytes[m++] = static_cast<char>(cp);
        } else {
            char euc[4];
            const size_t k = Lookup(Jp_, cp, euc, sizeof(euc));
            const auto* e = reinterpret_cast<const uint8_t*>(euc);
            if (k == 1 && e[0] < 0x80) {
                set = Roman;
                bytes[m++] = euc[0];
            } else if (k == 2 && e[0] >= 0xA1 && e[1] >= 0xA1) {
                set = Jis0208;
                bytes[m++] = static_cast<char>(e[0] & 0x7F);
                bytes[m++] = static_cast<char>(e[1] & 0x7F);
            } else if (k == 3 && e[0] == 0x8F && e[1] >= 0xA1 && e[2] >= 0xA1) {
                set = Jis0212;
                bytes[m++] = static_cast<char>(e[1] & 0x7F);
                bytes[m++] = static_cast<char>(e[2] & 0x7F);
            } else {
                return 0;
            }
        }
        size_t n = 0;
        if (shift != set) {
            n = std::strlen(designations[set]);
            std::memcpy(out, designations[set], n);
            shift = set;
        }
        std::memcpy(out + n, bytes, m);
        return n + m;
    }

    size_t Reset(int shift, char* out) override {
        if (shift == Ascii) {
            return 0;
        }
        std::memcpy(out, "\x1B(B", 3);
        return 3;
    }

    TIconvConverter Jp_;
};

// Reads HZ: each character goes on to glibc's EUC-CN reader as it is found, so that a full
// output leaves exactly the characters not written unread.
class THzDecoder final : public TIconvLayer {
public:
    explicit THzDecoder(const char* to) : Target_(to, "EUC-CN") {}

    bool Valid() const noexcept override { return Target_.Valid(); }

    EStatus Convert(const char*& src, size_t& srcLeft, char*& dst, size_t& dstLeft) override {
        while (srcLeft) {
            const auto* p = reinterpret_cast<const uint8_t*>(src);
            char euc[2];
            size_t m = 0;  // EUC-CN bytes of the character found
            size_t n = 1;  // bytes it takes in the text
            bool gb = Gb_;
            if (p[0] == '~') {
                if (srcLeft < 2) {
                    return TIconvConverter::Incomplete;
                }
                n = 2;
                if (p[1] == '{' || p[1] == '}') {
                    gb = p[1] == '{';
                } else if (p[1] == '~') {
                    euc[m++] = '~';
                } else if (p[1] != '\n') {
                    n = 1;  // no escape: the tilde is left out
                }
            } else if (p[0] >= 0x80) {
                // 8-bit bytes are no HZ: left out
            } else if (Gb_ && IsGraphic94(p[0])) {
                if (srcLeft < 2) {
                    return TIconvConverter::Incomplete;
                }
                if (IsGraphic94(p[1])) {
                    euc[m++] = static_cast<char>(p[0] | 0x80);
                    euc[m++] = static_cast<char>(p[1] | 0x80);
                    n = 2;
                }
            } else {
                euc[m++] = static_cast<char>(p[0]);
            }
            if (m) {
                const char* in = euc;
                size_t inLeft = m;
                const EStatus status = Target_.Convert(in, inLeft, dst, dstLeft);
                if (status == TIconvConverter::OutputFull || status == TIconvConverter::Failed) {
                    return status;
                }
            }
            Gb_ = gb;
            src += n;
            srcLeft -= n;
        }
        return TIconvConverter::Done;
    }

    EStatus Finish(char*& dst, size_t& dstLeft) override {
        Gb_ = false;
        return Target_.Finish(dst, dstLeft);
    }

private:
    TIconvConverter Target_;
    bool Gb_ = false;
};

template <class TLayer>
std::unique_ptr<TIconvLayer> Open(const char* other) {
    auto layer = std::make_unique<TLayer>(other);
    if (!layer->Valid()) {
        return nullptr;
    }
    return layer;
}

}  // namespace

std::unique_ptr<TIconvLayer> OpenIconvLayer(const char* to, const char* from) {
    if (SameName(to, "HZ")) {
        return Open<THzEncoder>(from);
    }
    if (SameName(to, "ISO-2022-JP-1")) {
        return Open<TJp1Encoder>(from);
    }
    if (SameName(from, "HZ")) {
        return Open<THzDecoder>(to);
    }
    return nullptr;
}

const char* IconvDecoderName(const char* name) noexcept {
    return SameName(name, "ISO-2022-JP-1") ? "ISO-2022-JP-2" : name;
}
