#include "lemmer/compiler/rule_packer.h"

#include "lemmer/compiler/compiler_errors.h"

#include <algorithm>
#include <cstring>

namespace {

[[noreturn]] void ThrowPackingOverflow() {
    throw NByk::TOverflowError() << "Integer overflow occured, while packing data to the "
                                    "byte-string";
}

void CheckByte(uint64_t value) {
    if (value > 0xFF) {
        ThrowPackingOverflow();
    }
}

void CheckUi16(uint64_t value) {
    if (value > 0xFFFF) {
        ThrowPackingOverflow();
    }
}

}  // namespace

TStringDiff SplitCommonPrefix(TUtf16Range a, TUtf16Range b) noexcept {
    size_t c = 0;
    const size_t n = std::min(a.Length, b.Length);
    while (c < n && a.Data[c] == b.Data[c]) {
        ++c;
    }
    return TStringDiff{a.Length - c, TUtf16Range(b.Data + c, b.Length - c)};
}

uint64_t CommonPrefixLength(const TUtf16String& a, const TUtf16String& b) noexcept {
    uint64_t i = 0;
    while (i < a.size() && a[i] != 0) {
        const wchar16 other = i < b.size() ? b[i] : 0;
        if (a[i] != other) {
            break;
        }
        ++i;
    }
    return i;
}

void WriteUi16Checked(char*& out, uint64_t value) {
    CheckUi16(value);
    out[0] = static_cast<char>(value & 0xFF);
    out[1] = static_cast<char>(value >> 8);
    out += 2;
}

void WriteByteChecked(char*& out, uint64_t value) {
    CheckByte(value);
    *out++ = static_cast<char>(value);
}

void TRulePacker::Clear() noexcept {
    Paradigms_.clear();
    LemmaToStem_.clear();
    StemToLemma_.clear();
}

void TRulePacker::AddEntry(TUtf16Range lemma, TUtf16Range stem, uint64_t paradigmId) {
    Paradigms_.push_back(paradigmId);
    LemmaToStem_.push_back(SplitCommonPrefix(lemma, stem));
    StemToLemma_.push_back(SplitCommonPrefix(stem, lemma));
}

uint64_t TRulePacker::MaxLemmaCut() const noexcept {
    uint64_t m = 0;
    for (const TStringDiff& d : LemmaToStem_) {
        m = std::max(m, d.Cut);
    }
    return m;
}

uint64_t TRulePacker::TailUnits() const noexcept {
    uint64_t sum = 0;
    for (const TStringDiff& d : LemmaToStem_) {
        sum += d.Tail.Length;
    }
    return sum;
}

uint64_t TRulePacker::PackedEntrySize(size_t k) const noexcept {
    const uint64_t n = Paradigms_.size();
    return 5 * n + 8 + 2 * StemToLemma_[k].Tail.Length + 2 * TailUnits() + Grammar_.Length;
}

void TRulePacker::CheckFields() const {
    const uint64_t n = Paradigms_.size();
    CheckByte(n);
    CheckByte(Grammar_.Length);
    const uint64_t m = MaxLemmaCut();
    CheckByte(m);
    const uint64_t tails = TailUnits();
    for (size_t k = 0; k < n; ++k) {
        const TStringDiff& back = StemToLemma_[k];
        CheckByte(k);
        CheckByte(m + back.Cut - back.Tail.Length);
        CheckByte(back.Cut);
        // The largest offset written is the grammar offset, the end of the last tail.
        CheckUi16(5 * n + 7 + 2 * back.Tail.Length + 2 * tails);
    }
}

char* TRulePacker::PackEntryToByteString(size_t k, char* out) const {
    const uint64_t n = Paradigms_.size();
    const TStringDiff& back = StemToLemma_[k];
    const uint64_t t = back.Tail.Length;
    WriteByteChecked(out, n);
    WriteByteChecked(out, k);
    WriteByteChecked(out, MaxLemmaCut() + back.Cut - t);
    WriteByteChecked(out, back.Cut);
    for (uint64_t id : Paradigms_) {
        WriteUi16Checked(out, id);
    }
    for (const TStringDiff& d : LemmaToStem_) {
        WriteByteChecked(out, d.Cut);
    }
    uint64_t offset = 5 * n + 7 + 2 * t;
    for (const TStringDiff& d : LemmaToStem_) {
        WriteUi16Checked(out, offset);
        offset += 2 * d.Tail.Length;
    }
    WriteUi16Checked(out, offset);
    WriteByteChecked(out, Grammar_.Length);
    if (t) {
        std::memcpy(out, back.Tail.Data, 2 * t);
        out += 2 * t;
    }
    for (const TStringDiff& d : LemmaToStem_) {
        if (d.Tail.Length) {
            std::memcpy(out, d.Tail.Data, 2 * d.Tail.Length);
            out += 2 * d.Tail.Length;
        }
    }
    for (size_t i = 0; i < Grammar_.Length; ++i) {
        WriteByte(out, static_cast<uint8_t>(Grammar_.Data[i]));
    }
    WriteByte(out, 0);
    return out;
}
