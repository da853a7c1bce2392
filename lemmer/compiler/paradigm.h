// Paradigms: the sorted affix ids of one stem of one entry, held in the tables as text of three
// characters per id (EncodeNumber3) and one 0 byte, so that equal paradigms are equal texts.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes the 16-bit number as three characters of the 64-character alphabet
// "0123456789@ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz" (bits 15-12, 11-6, 5-0)
// and advances out by 3. The character order is the number order.
void EncodeNumber3(char*& out, uint16_t number) noexcept;
// Reads at most three characters of the alphabet into number (16-bit arithmetic), stopping at
// the first other byte, which stays under the cursor; returns the characters read (0 to 3).
size_t DecodeNumber3(const char*& in, uint16_t& number) noexcept;

// A fixed buffer of at most Capacity affix ids. Add raises NByk::TOverflowError
// "Too much endings in paradigm" on the id past the capacity.
class TParadigm {
public:
    static constexpr size_t Capacity = 16000;

    void Clear() noexcept { Count_ = 0; }
    void Add(uint16_t id);
    // Sorts ascending and drops repeated ids.
    void Normalize() noexcept;
    size_t EncodedSize() const noexcept { return 3 * Count_ + 1; }
    // Writes the text and its 0 byte; returns the position after it.
    char* Encode(char* out) const noexcept;
    // Clears, then reads the 0-terminated text group by group; returns the count.
    size_t Decode(const char* text);

    size_t Count() const noexcept { return Count_; }
    const uint16_t* Ids() const noexcept { return Ids_; }

private:
    uint16_t Ids_[Capacity];
    size_t Count_ = 0;
};
