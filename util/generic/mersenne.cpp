// MT19937-64 and MT19937, following the reference generators of Matsumoto and Nishimura.
#include "util/generic/mersenne.h"

#include <algorithm>
#include <cassert>

namespace {
constexpr size_t NN = TRndGen<unsigned long>::StateSize;
constexpr size_t MM = 156;
constexpr unsigned long MatrixA64 = 0xB5026F5AA96619E9UL;
constexpr unsigned long UpperMask64 = 0xFFFFFFFF80000000UL;
constexpr unsigned long LowerMask64 = 0x7FFFFFFFUL;

constexpr size_t N = TRndGen<unsigned int>::StateSize;
constexpr size_t M = 397;
constexpr unsigned int MatrixA32 = 0x9908B0DFU;
constexpr unsigned int UpperMask32 = 0x80000000U;
constexpr unsigned int LowerMask32 = 0x7FFFFFFFU;
}  // namespace

void TRndGen<unsigned long>::Seed(unsigned long seed) noexcept {
    Mt_[0] = seed;
    for (size_t i = 1; i < NN; ++i) {
        Mt_[i] = 6364136223846793005UL * (Mt_[i - 1] ^ (Mt_[i - 1] >> 62)) + i;
    }
    Index_ = NN;
}

void TRndGen<unsigned long>::SeedByArray(const unsigned long* key, size_t len) noexcept {
    assert(len > 0);
    Seed(19650218UL);
    size_t i = 1;
    size_t j = 0;
    for (size_t k = std::max(NN, len); k > 0; --k) {
        Mt_[i] =
            (Mt_[i] ^ ((Mt_[i - 1] ^ (Mt_[i - 1] >> 62)) * 3935559000370003845UL)) + key[j] + j;
        ++i;
        ++j;
        if (i >= NN) {
            Mt_[0] = Mt_[NN - 1];
            i = 1;
        }
        if (j >= len) {
            j = 0;
        }
    }
    for (size_t k = NN - 1; k > 0; --k) {
        Mt_[i] = (Mt_[i] ^ ((Mt_[i - 1] ^ (Mt_[i - 1] >> 62)) * 2862933555777941757UL)) - i;
        ++i;
        if (i >= NN) {
            Mt_[0] = Mt_[NN - 1];
            i = 1;
        }
    }
    Mt_[0] = 1UL << 63;
}

unsigned long TRndGen<unsigned long>::GenRand() noexcept {
    static constexpr unsigned long mag01[2] = {0UL, MatrixA64};
    if (Index_ >= NN) {
        if (Index_ == NN + 1) {
            Seed(5489UL);
        }
        size_t i = 0;
        for (; i < NN - MM; ++i) {
            const unsigned long x = (Mt_[i] & UpperMask64) | (Mt_[i + 1] & LowerMask64);
            Mt_[i] = Mt_[i + MM] ^ (x >> 1) ^ mag01[x & 1];
        }
        for (; i < NN - 1; ++i) {
            const unsigned long x = (Mt_[i] & UpperMask64) | (Mt_[i + 1] & LowerMask64);
            Mt_[i] = Mt_[i + MM - NN] ^ (x >> 1) ^ mag01[x & 1];
        }
        const unsigned long x = (Mt_[NN - 1] & UpperMask64) | (Mt_[0] & LowerMask64);
        Mt_[NN - 1] = Mt_[MM - 1] ^ (x >> 1) ^ mag01[x & 1];
        Index_ = 0;
    }
    unsigned long x = Mt_[Index_++];
    x ^= (x >> 29) & 0x5555555555555555UL;
    x ^= (x << 17) & 0x71D67FFFEDA60000UL;
    x ^= (x << 37) & 0xFFF7EEE000000000UL;
    x ^= (x >> 43);
    return x;
}

void TRndGen<unsigned int>::Seed(unsigned int seed) noexcept {
    Mt_[0] = seed;
    for (size_t i = 1; i < N; ++i) {
        Mt_[i] = 1812433253U * (Mt_[i - 1] ^ (Mt_[i - 1] >> 30)) + static_cast<unsigned int>(i);
    }
    Index_ = N;
}

void TRndGen<unsigned int>::SeedByArray(const unsigned int* key, size_t len) noexcept {
    assert(len > 0);
    Seed(19650218U);
    size_t i = 1;
    size_t j = 0;
    for (size_t k = std::max(N, len); k > 0; --k) {
        Mt_[i] = (Mt_[i] ^ ((Mt_[i - 1] ^ (Mt_[i - 1] >> 30)) * 1664525U)) + key[j] +
                 static_cast<unsigned int>(j);
        ++i;
        ++j;
        if (i >= N) {
            Mt_[0] = Mt_[N - 1];
            i = 1;
        }
        if (j >= len) {
            j = 0;
        }
    }
    for (size_t k = N - 1; k > 0; --k) {
        Mt_[i] = (Mt_[i] ^ ((Mt_[i - 1] ^ (Mt_[i - 1] >> 30)) * 1566083941U)) -
                 static_cast<unsigned int>(i);
        ++i;
        if (i >= N) {
            Mt_[0] = Mt_[N - 1];
            i = 1;
        }
    }
    Mt_[0] = 0x80000000U;
}

unsigned int TRndGen<unsigned int>::GenRand() noexcept {
    static constexpr unsigned int mag01[2] = {0U, MatrixA32};
    if (Index_ >= N) {
        if (Index_ == N + 1) {
            Seed(5489U);
        }
        size_t i = 0;
        for (; i < N - M; ++i) {
            const unsigned int y = (Mt_[i] & UpperMask32) | (Mt_[i + 1] & LowerMask32);
            Mt_[i] = Mt_[i + M] ^ (y >> 1) ^ mag01[y & 1];
        }
        for (; i < N - 1; ++i) {
            const unsigned int y = (Mt_[i] & UpperMask32) | (Mt_[i + 1] & LowerMask32);
            Mt_[i] = Mt_[i + M - N] ^ (y >> 1) ^ mag01[y & 1];
        }
        const unsigned int y = (Mt_[N - 1] & UpperMask32) | (Mt_[0] & LowerMask32);
        Mt_[N - 1] = Mt_[M - 1] ^ (y >> 1) ^ mag01[y & 1];
        Index_ = 0;
    }
    unsigned int y = Mt_[Index_++];
    y ^= (y >> 11);
    y ^= (y << 7) & 0x9D2C5680U;
    y ^= (y << 15) & 0xEFC60000U;
    y ^= (y >> 18);
    return y;
}
