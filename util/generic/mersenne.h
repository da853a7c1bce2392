// The Mersenne Twister generators as published: MT19937-64 (TRndGen<unsigned long>) and
// MT19937 (TRndGen<unsigned int>). A generator that was never seeded seeds itself with 5489 on
// its first draw, as the reference code does. Not thread-safe: each thread owns its generators.
#pragma once

#include <cstddef>
#include <cstdint>

template <class T>
class TRndGen;

template <>
class TRndGen<unsigned long> {
public:
    static constexpr size_t StateSize = 312;

    TRndGen() noexcept = default;
    explicit TRndGen(unsigned long seed) noexcept { Seed(seed); }

    // init_genrand64.
    void Seed(unsigned long seed) noexcept;
    // init_by_array64; REQUIRES: len > 0.
    void SeedByArray(const unsigned long* key, size_t len) noexcept;
    // genrand64_int64.
    unsigned long GenRand() noexcept;

private:
    unsigned long Mt_[StateSize] = {};
    uint32_t Index_ = StateSize + 1;
};

template <>
class TRndGen<unsigned int> {
public:
    static constexpr size_t StateSize = 624;

    TRndGen() noexcept = default;
    explicit TRndGen(unsigned int seed) noexcept { Seed(seed); }

    // init_genrand.
    void Seed(unsigned int seed) noexcept;
    // init_by_array; REQUIRES: len > 0.
    void SeedByArray(const unsigned int* key, size_t len) noexcept;
    // genrand_int32.
    unsigned int GenRand() noexcept;

private:
    unsigned int Mt_[StateSize] = {};
    uint32_t Index_ = StateSize + 1;
};
