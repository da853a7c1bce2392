// The tuple codec over arbitrary alphabets and words: EncodeSuffix of a word agrees with
// EncodePrefix of the reversed word, and a word of letters encodes to a number below
// letterCount^T.
#include "lemmer/alphabet/alphabet_tuple_codec.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    const uint32_t tupleLength = data[0] % 9;
    const size_t letters = std::min<size_t>(data[1], (size - 2) / 2);
    const size_t units = (size - 2) / 2;
    std::vector<wchar16> all(units);
    if (units != 0) {
        std::memcpy(all.data(), data + 2, units * sizeof(wchar16));
    }
    // 0xFFFF is the codec's "no unit" mark in its letter table, a noncharacter no alphabet holds.
    if (std::find(all.begin(), all.begin() + letters, wchar16(0xFFFF)) != all.begin() + letters) {
        return 0;
    }
    auto codec = std::make_unique<TAlphabetTupleCodec>(tupleLength);
    codec->AddLetters(TUtf16String(all.data(), letters), false);
    std::vector<wchar16> word(all.begin() + letters, all.end());
    const uint64_t suffix = codec->EncodeSuffix(word.data(), word.size());
    std::reverse(word.begin(), word.end());
    const uint64_t prefix = codec->EncodePrefix(word.data(), word.size());
    if (suffix != prefix) {
        abort();
    }
    if (suffix != TAlphabetTupleCodec::BadTuple) {
        long double limit = 1;
        for (uint32_t i = 0; i < tupleLength; ++i) {
            limit *= codec->LetterCount;
        }
        if ((long double)suffix >= limit && tupleLength != 0 && !word.empty()) {
            abort();
        }
    }
    const Stroka encoded = codec->Encode(word.data(), word.size());
    if (!encoded.empty() || word.empty()) {
        const TUtf16String decoded = codec->Decode(encoded.data(), encoded.size());
        if (decoded.size() != word.size()) {
            abort();
        }
    }
    return 0;
}
