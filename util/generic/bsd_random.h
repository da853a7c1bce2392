// The 4.3BSD `random` additive-feedback generator, kept so that the entropy pool is shuffled the
// way the library always shuffled it. Types 0 to 4 use tables of 0, 7, 15, 31 and 63 state words;
// a new generator is type 3 with the published initial table. Not thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>

class TBsdRandom {
public:
    TBsdRandom() noexcept;

    TBsdRandom(const TBsdRandom&) = delete;
    TBsdRandom& operator=(const TBsdRandom&) = delete;

    // srandom: fills the table from the seed and discards 10 x degree outputs.
    void Srandom(unsigned long seed) noexcept;
    // random: the next value in [0, 2^31).
    long Random() noexcept;

    // initstate: switches to the caller's state buffer of n bytes (the type chosen by its size;
    // a state word takes 8 bytes, so every size limit is twice the one of 32-bit tables: 16 bytes
    // for type 0, then 64, 128, 256 and 512) and seeds it. Returns the previous state buffer, or
    // null and changes nothing when n is below 16.
    // REQUIRES: state 8-byte aligned and kept alive while in use.
    char* InitState(unsigned long seed, char* state, size_t n) noexcept;
    // setstate: switches to a buffer that InitState prepared (its first word holds the type and
    // the rear position). Returns the previous buffer, or null and changes nothing when the
    // first word is not a valid type and position.
    char* SetState(char* state) noexcept;

private:
    void SaveRear() noexcept;

    int64_t Own_[32];  // the type word, then the default table
    int64_t* State_;   // the table: one word after the buffer's start
    int Type_;
    int Degree_;
    int Separation_;
    int Front_;
    int Rear_;
};
