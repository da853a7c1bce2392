// The steps of word normalisation and the result of a normalisation call.
#pragma once

#include "util/generic/exception.h"

#include <cstddef>
#include <cstdint>

namespace NLemmer {

// Bit numbers shared by the step mask and the result flags, in the order the steps run.
enum ENormalizationStep : size_t {
    NS_DECOMPOSE = 0,         // compatibility decomposition, marks in canonical order
    NS_COMPOSE = 1,           // composition (by the alphabet when there is one)
    NS_LOWERCASE = 2,         // pre-lower table, lower case, dotted-i repair
    NS_DERENYX = 3,           // look-alike letters of the other script
    NS_CONVERT = 4,           // the language's conversions
    NS_ADVANCED_CONVERT = 5,  // the language hook
    NS_CHECK_ALPHABET = 6,    // mask only: the output must pass IsAlphabetic
    NS_UPPERCASE = 7,         // flags only
    NS_TITLECASE = 8,         // flags only
};

// A set of Bits bits; naming a bit beyond the set raises the standard out-of-range error
// "bitset". Built from an integer, bits beyond the set are dropped.
template <size_t Bits>
class TBoundedBitSet {
public:
    static constexpr uint64_t AllBits = (uint64_t(1) << Bits) - 1;

    constexpr TBoundedBitSet() noexcept = default;
    constexpr TBoundedBitSet(uint64_t bits) noexcept : Bits_(bits & AllBits) {}

    TBoundedBitSet& Set(size_t bit) {
        Bits_ |= Bit(bit);
        return *this;
    }
    TBoundedBitSet& Reset(size_t bit) {
        Bits_ &= ~Bit(bit);
        return *this;
    }
    bool Test(size_t bit) const { return (Bits_ & Bit(bit)) != 0; }
    constexpr bool Empty() const noexcept { return Bits_ == 0; }
    constexpr uint64_t Value() const noexcept { return Bits_; }
    friend constexpr bool operator==(TBoundedBitSet, TBoundedBitSet) noexcept = default;

private:
    static uint64_t Bit(size_t bit) {
        if (bit >= Bits) {
            ThrowRangeError("bitset");
        }
        return uint64_t(1) << bit;
    }

    uint64_t Bits_ = 0;
};

// Steps 0 to 6.
using TNormalizationMask = TBoundedBitSet<7>;
// Steps 0 to 8.
using TNormalizationFlags = TBoundedBitSet<9>;

struct TNormalizeResult {
    // False when a step had to cut its output or reported it incomplete, or when the alphabet
    // check was asked for and failed.
    bool Valid = true;
    // Units written to the caller's buffer, the terminator not counted.
    uint64_t Length = 0;
    // The steps that ran or changed the word.
    TNormalizationFlags Flags;

    TNormalizeResult() = default;
    explicit TNormalizeResult(uint64_t length) : Length(length) {}
};

}  // namespace NLemmer
