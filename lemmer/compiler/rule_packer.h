// Rule records: for one stem of an entry, the packed bytes that turn the stem into the lemma,
// the lemma into every stem of the entry, name each stem's paradigm and carry the entry's
// common grammar. Equal records are one rule, so entries that inflect alike share rules.
//
// Layout of the record of stem k of an entry of n stems (t: the stem-to-lemma tail length of
// stem k; t_i: the lemma-to-stem tail length of stem i; g: grammar length; 16-bit values
// little-endian):
//   0 n | 1 k | 2 root cut | 3 stem-to-lemma cut of k | 4 paradigm id of each stem (2n)
//   | 4+2n lemma-to-stem cut of each stem (n) | 4+3n tail offset of each stem (2n)
//   | 4+5n grammar offset (2) | 6+5n g | 7+5n lemma tail (2t) | stem tails | grammar | 0
#pragma once

#include "lemmer/compiler/table_keys.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// How to turn A into B: cut units off the end of A, then append tail (a view into B).
struct TStringDiff {
    uint64_t Cut = 0;
    TUtf16Range Tail;
};

TStringDiff SplitCommonPrefix(TUtf16Range a, TUtf16Range b) noexcept;
// Units in which a and b agree from the start, a ending at its first 0 unit and b read as 0
// past its end.
uint64_t CommonPrefixLength(const TUtf16String& a, const TUtf16String& b) noexcept;

// Checked writers: a value too wide for its field raises NByk::TOverflowError
// "Integer overflow occured, while packing data to the byte-string" before anything is written.
void WriteUi16Checked(char*& out, uint64_t value);
void WriteByteChecked(char*& out, uint64_t value);
inline void WriteByte(char*& out, uint8_t value) noexcept {
    *out++ = static_cast<char>(value);
}

// Collects the stems of one entry in the entry's stem order. The tails are views into the
// entry's lemma and stems, so a packer lives no longer than its entry's texts.
class TRulePacker {
public:
    explicit TRulePacker(TCharRange grammar) : Grammar_(grammar) {}

    void Clear() noexcept;
    void AddEntry(TUtf16Range lemma, TUtf16Range stem, uint64_t paradigmId);
    // Sets the paradigm id of stem i (the packer may be filled before the ids are known).
    void SetParadigm(size_t i, uint64_t paradigmId) { Paradigms_[i] = paradigmId; }

    size_t StemCount() const noexcept { return Paradigms_.size(); }
    uint64_t PackedEntrySize(size_t k) const noexcept;
    // Raises the overflow error of the checked writers when a field of some record of this
    // entry would not fit, paradigm ids aside (the tables keep them below 65535).
    void CheckFields() const;
    // Writes the record of stem k into PackedEntrySize(k) bytes at out; returns its end.
    char* PackEntryToByteString(size_t k, char* out) const;

private:
    uint64_t MaxLemmaCut() const noexcept;
    uint64_t TailUnits() const noexcept;

    TCharRange Grammar_;
    std::vector<uint64_t> Paradigms_;
    std::vector<TStringDiff> LemmaToStem_;
    std::vector<TStringDiff> StemToLemma_;
};
