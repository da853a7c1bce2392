// Grammeme sets: building from codes, walking the set, and writing it as codes, hexadecimal
// text and names.
#include "lemmer/grammar/gram_bitset.h"

#include "lemmer/grammar/grammeme_table.h"
#include "util/stream/string_stream.h"

TGramBitSet TGramBitSet::FromCodes(const char* grammar) {
    TGramBitSet set;
    AddCodes(grammar, set);
    return set;
}

TGramBitSet TGramBitSet::FromCodeRange(const char* bytes, size_t length) {
    TGramBitSet set;
    for (size_t i = 0; bytes && i < length; ++i) {
        set.Set(static_cast<unsigned char>(bytes[i]));
    }
    return set;
}

void TGramBitSet::AddCodes(const char* grammar, TGramBitSet& set) {
    for (const char* p = grammar; p && *p; ++p) {
        set.Set(static_cast<unsigned char>(*p));
    }
}

void TGramBitSet::AddGrammars(const char* common, const char* form, TGramBitSet& set) {
    AddCodes(common, set);
    AddCodes(form, set);
}

uint64_t TGramBitSet::FindNext(int64_t bit) const noexcept {
    if (bit < -1 || bit > 126) {
        return BitCount;
    }
    // The search runs on through word 1 whatever word the start lies in.
    for (uint64_t from = uint64_t(bit + 1); from < BitCount; from = (from | 63) + 1) {
        const uint64_t rest = Words_[from >> 6] >> (from & 63);
        if (rest) {
            return from + std::countr_zero(rest);
        }
    }
    return BitCount;
}

void TGramBitSet::ToCodes(Stroka& out) const {
    for (uint64_t bit = FindFirst(); bit < BitCount; bit = FindNext(int64_t(bit))) {
        out.append(static_cast<char>(bit + FirstCode));
    }
}

Stroka TGramBitSet::ToHexString() const {
    static constexpr char Digits[] = "0123456789ABCDEF";
    Stroka codes;
    ToCodes(codes);
    Stroka hex;
    for (char code : codes) {
        const unsigned byte = static_cast<unsigned char>(code);
        hex.append(Digits[byte >> 4]);
        hex.append(Digits[byte & 15]);
    }
    return hex;
}

void TGramBitSet::ToText(TOutputStream& out, const char* separator, bool latin) const {
    const TGrammemeTable& table = TGrammemeTable::Instance();
    bool first = true;
    for (uint64_t bit = FindFirst(); bit < BitCount; bit = FindNext(int64_t(bit))) {
        const uint32_t code = uint32_t(bit + FirstCode);
        if (!first && separator && *separator) {
            out << separator;
        }
        first = false;
        const char* name = latin ? table.GetLatinName(code) : table.GetCyrillicName(code);
        if (*name) {
            out << name;
        }
    }
}

Stroka TGramBitSet::ToString(const char* separator, bool latin) const {
    TStringStream stream;
    ToText(stream, separator, latin);
    return stream.Str();
}
