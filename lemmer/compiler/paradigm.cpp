#include "lemmer/compiler/paradigm.h"

#include "lemmer/compiler/compiler_errors.h"

#include <algorithm>

namespace {

constexpr char Alphabet[] = "0123456789@ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz";

struct TDigitTable {
    int8_t Digit[256];
    constexpr TDigitTable() : Digit() {
        for (int i = 0; i < 256; ++i) {
            Digit[i] = -1;
        }
        for (int i = 0; i < 64; ++i) {
            Digit[static_cast<unsigned char>(Alphabet[i])] = static_cast<int8_t>(i);
        }
    }
};

constexpr TDigitTable Digits;

}  // namespace

void EncodeNumber3(char*& out, uint16_t number) noexcept {
    out[0] = Alphabet[(number >> 12) & 0xF];
    out[1] = Alphabet[(number >> 6) & 0x3F];
    out[2] = Alphabet[number & 0x3F];
    out += 3;
}

size_t DecodeNumber3(const char*& in, uint16_t& number) noexcept {
    number = 0;
    size_t read = 0;
    while (read < 3) {
        const int digit = Digits.Digit[static_cast<unsigned char>(*in)];
        if (digit < 0) {
            break;
        }
        number = static_cast<uint16_t>((number << 6) + digit);
        ++in;
        ++read;
    }
    return read;
}

void TParadigm::Add(uint16_t id) {
    if (Count_ >= Capacity) {
        throw NByk::TOverflowError() << "Too much endings in paradigm";
    }
    Ids_[Count_++] = id;
}

void TParadigm::Normalize() noexcept {
    std::sort(Ids_, Ids_ + Count_);
    Count_ = static_cast<size_t>(std::unique(Ids_, Ids_ + Count_) - Ids_);
}

char* TParadigm::Encode(char* out) const noexcept {
    for (size_t i = 0; i < Count_; ++i) {
        EncodeNumber3(out, Ids_[i]);
    }
    *out++ = 0;
    return out;
}

size_t TParadigm::Decode(const char* text) {
    Clear();
    uint16_t number = 0;
    while (DecodeNumber3(text, number) != 0) {
        Add(number);
    }
    return Count_;
}
