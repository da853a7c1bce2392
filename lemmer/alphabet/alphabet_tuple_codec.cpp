// The look-up side of the dictionary alphabet.
#include "lemmer/alphabet/alphabet_tuple_codec.h"

#include <algorithm>
#include <cstring>

void TAlphabetTupleCodec::Clear() {
    LetterCount = 1;
    std::memset(Code, NoLetter, sizeof(Code));
    Code[0] = 0;
    std::fill(std::begin(Letters), std::end(Letters), NoUnit);
    Letters[0] = 0;
    std::memset(Flags, 0, sizeof(Flags));
}

uint64_t TAlphabetTupleCodec::EncodeSuffix(const wchar16* text, size_t length) const {
    const size_t n = std::min<size_t>(TupleLength, length);
    uint64_t sum = 0;
    uint64_t weight = 1;
    for (size_t i = 0; i < n; ++i) {
        const uint8_t index = Code[text[length - 1 - i]];
        if (index == NoLetter) {
            return BadTuple;
        }
        sum += index * weight;
        weight *= LetterCount;
    }
    return sum;
}
