// The building side of the dictionary alphabet: Build, the prefix encoder, letter additions and
// whole-word translation.
#include "lemmer/compiler/alphabet_builder.h"

#include "lemmer/alphabet/unicode_services.h"

#include <map>
#include <vector>

namespace {

constexpr uint8_t CLASS_VOWEL = 0x01;
constexpr uint8_t CLASS_LETTER_OR_SIGN = 0x82;
constexpr uint32_t MAX_LETTER_COUNT = 255;

}  // namespace

void TAlphabetTupleCodec::Build(const uint8_t* classTable, uint32_t tupleLength) {
    TupleLength = tupleLength;
    Clear();
    // Folded unit -> vowel bit of the lowest unit that folds to it.
    std::map<wchar16, bool> folded;
    for (uint32_t u = 0xFFFF; u >= 1; --u) {
        const uint8_t cls = classTable[u];
        if ((cls & CLASS_LETTER_OR_SIGN) == 0) {
            continue;
        }
        const wchar16 lower = static_cast<wchar16>(NLemmer::ToLowerCodePoint(u) & 0xFFFF);
        folded[lower] = (cls & CLASS_VOWEL) != 0;
    }
    for (const auto& [unit, vowel] : folded) {
        if (Code[unit] != NoLetter) {
            continue;
        }
        if (LetterCount >= MAX_LETTER_COUNT) {
            break;
        }
        AddLetter(unit, vowel);
    }
}

uint64_t TAlphabetTupleCodec::EncodePrefix(const wchar16* units, size_t length) const {
    uint64_t sum = 0;
    uint64_t weight = 1;
    for (uint32_t i = 0; i < TupleLength; ++i) {
        const wchar16 unit = i < length ? units[i] : 0;
        const uint8_t index = Code[unit];
        if (index == NoLetter) {
            return BadTuple;
        }
        sum += index * weight;
        weight *= LetterCount;
    }
    return sum;
}

bool TAlphabetTupleCodec::AddLetter(wchar16 unit, bool vowel) {
    if (Code[unit] != NoLetter) {
        return true;
    }
    if (LetterCount >= MAX_LETTER_COUNT) {
        return false;
    }
    const uint8_t index = static_cast<uint8_t>(LetterCount++);
    Code[unit] = index;
    Letters[index] = unit;
    if (vowel) {
        Flags[index] = 1;
    }
    return true;
}

bool TAlphabetTupleCodec::AddLetters(const TUtf16String& text, bool vowel) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (!AddLetter(text[i], vowel)) {
            return false;
        }
    }
    return true;
}

Stroka TAlphabetTupleCodec::Encode(const wchar16* units, size_t length) const {
    Stroka out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        const uint8_t index = Code[units[i]];
        if (index == NoLetter) {
            return Stroka();
        }
        out.append(static_cast<char>(index));
    }
    return out;
}

TUtf16String TAlphabetTupleCodec::Decode(const char* bytes, size_t length) const {
    TUtf16String out;
    for (size_t i = 0; i < length; ++i) {
        const uint16_t unit = Letters[static_cast<uint8_t>(bytes[i])];
        if (unit == NoUnit) {
            return TUtf16String();
        }
        out.append(static_cast<wchar16>(unit));
    }
    return out;
}

void BuildDictionaryAlphabet(TAlphabetTupleCodec& codec, const TCompilerSettings& settings) {
    std::vector<uint8_t> classes(65536);
    const NLemmer::TAlphabet* alphabet =
        settings.Normalizer != nullptr ? settings.Normalizer->Alphabet() : nullptr;
    if (alphabet != nullptr) {
        alphabet->CopyClassTable(classes.data());
    }
    codec.Build(classes.data(), static_cast<uint32_t>(settings.TupleLength));
}
