// CityHash, version 1.0 of the published algorithm: the hash of the string-keyed and
// byte-range-keyed hash tables. Results must stay bit for bit those of the 1.0 reference,
// since hashes may be kept in stored tables; do not "upgrade" the algorithm.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

// A 128-bit hash or seed: first holds the low 64 bits, second the high 64 bits.
using uint128 = std::pair<uint64_t, uint64_t>;

inline uint64_t Uint128Low64(const uint128& x) {
    return x.first;
}

inline uint64_t Uint128High64(const uint128& x) {
    return x.second;
}

// Folds a 128-bit value into 64 bits (the Murmur-inspired reduction of the algorithm).
inline uint64_t Hash128to64(const uint128& x) {
    const uint64_t kMul = 0x9ddfea08eb382d69ULL;
    uint64_t a = (Uint128Low64(x) ^ Uint128High64(x)) * kMul;
    a ^= (a >> 47);
    uint64_t b = (Uint128High64(x) ^ a) * kMul;
    b ^= (b >> 47);
    b *= kMul;
    return b;
}

// All functions are pure and thread-safe; `data` may be unaligned and is read little-endian.
uint64_t CityHash64(const char* data, size_t length);
uint64_t CityHash64WithSeed(const char* data, size_t length, uint64_t seed);
uint64_t CityHash64WithSeeds(const char* data, size_t length, uint64_t seed0, uint64_t seed1);
uint128 CityHash128(const char* data, size_t length);
uint128 CityHash128WithSeed(const char* data, size_t length, uint128 seed);
