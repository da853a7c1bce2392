// Language masks: which of the languages 1 to 57 a character or word can belong to.
//
// Bit id-1 stands for language id (1 to 57); id 0 ("no language") has no bit. Every operation
// that names a language by id checks it and raises the standard out-of-range error "bitset"
// for an id outside 1 to 57, so a bad id can never touch a neighbouring bit.
#pragma once

#include "util/generic/exception.h"

#include <cstdint>

class TLangMask {
public:
    static constexpr int MinLanguage = 1;
    static constexpr int MaxLanguage = 57;
    // Bits 0 to 56: every language.
    static constexpr uint64_t AllBits = (uint64_t(1) << MaxLanguage) - 1;

    constexpr TLangMask() noexcept = default;
    constexpr explicit TLangMask(uint64_t bits) noexcept : Bits_(bits) {}

    static constexpr TLangMask All() noexcept { return TLangMask(AllBits); }

    // Raises "bitset" for an id outside 1 to 57.
    TLangMask& SafeSet(int language) {
        Bits_ |= Bit(language);
        return *this;
    }
    TLangMask& SafeReset(int language) {
        Bits_ &= ~Bit(language);
        return *this;
    }
    bool SafeTest(int language) const { return (Bits_ & Bit(language)) != 0; }

    constexpr uint64_t Value() const noexcept { return Bits_; }
    constexpr bool Empty() const noexcept { return Bits_ == 0; }
    constexpr void Reset() noexcept { Bits_ = 0; }

    constexpr TLangMask& operator|=(TLangMask m) noexcept {
        Bits_ |= m.Bits_;
        return *this;
    }
    constexpr TLangMask& operator&=(TLangMask m) noexcept {
        Bits_ &= m.Bits_;
        return *this;
    }
    friend constexpr TLangMask operator|(TLangMask a, TLangMask b) noexcept {
        return TLangMask(a.Bits_ | b.Bits_);
    }
    friend constexpr TLangMask operator&(TLangMask a, TLangMask b) noexcept {
        return TLangMask(a.Bits_ & b.Bits_);
    }
    friend constexpr TLangMask operator~(TLangMask a) noexcept {
        return TLangMask(~a.Bits_ & AllBits);
    }
    friend constexpr bool operator==(TLangMask a, TLangMask b) noexcept = default;

private:
    static uint64_t Bit(int language) {
        if (language < MinLanguage || language > MaxLanguage) {
            ThrowRangeError("bitset");
        }
        return uint64_t(1) << (language - 1);
    }

    uint64_t Bits_ = 0;
};
