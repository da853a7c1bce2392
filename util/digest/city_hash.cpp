// CityHash 1.0: separate mixing paths for inputs of 0, 1-3, 4-8, 9-16, 17-32, 33-64 and
// longer byte counts; the long path keeps 56 bytes of state over 64-byte chunks.
#include "util/digest/city_hash.h"

#include <cstring>

namespace {
const uint64_t k0 = 0xc3a5c85c97cb3127ULL;
const uint64_t k1 = 0xb492b66fbe98f273ULL;
const uint64_t k2 = 0x9ae16a3b2f90404fULL;
const uint64_t k3 = 0xc949d7c7509e6557ULL;

// Loads go through memcpy: inputs are unaligned byte ranges. The host is little-endian
// x86-64, so no byte swap is needed.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "CityHash reads little-endian words");

uint64_t Fetch64(const char* p) {
    uint64_t result;
    memcpy(&result, p, sizeof(result));
    return result;
}

uint32_t Fetch32(const char* p) {
    uint32_t result;
    memcpy(&result, p, sizeof(result));
    return result;
}

// A shift of 0 would make the left shift undefined, hence the separate test.
uint64_t Rotate(uint64_t val, int shift) {
    return shift == 0 ? val : ((val >> shift) | (val << (64 - shift)));
}

// REQUIRES: 1 <= shift <= 63.
uint64_t RotateByAtLeast1(uint64_t val, int shift) {
    return (val >> shift) | (val << (64 - shift));
}

uint64_t ShiftMix(uint64_t val) {
    return val ^ (val >> 47);
}

uint64_t HashLen16(uint64_t u, uint64_t v) {
    return Hash128to64(uint128(u, v));
}

uint64_t HashLen0to16(const char* s, size_t len) {
    if (len > 8) {
        uint64_t a = Fetch64(s);
        uint64_t b = Fetch64(s + len - 8);
        return HashLen16(a, RotateByAtLeast1(b + len, static_cast<int>(len))) ^ b;
    }
    if (len >= 4) {
        uint64_t a = Fetch32(s);
        return HashLen16(len + (a << 3), Fetch32(s + len - 4));
    }
    if (len > 0) {
        uint8_t a = static_cast<uint8_t>(s[0]);
        uint8_t b = static_cast<uint8_t>(s[len >> 1]);
        uint8_t c = static_cast<uint8_t>(s[len - 1]);
        uint32_t y = static_cast<uint32_t>(a) + (static_cast<uint32_t>(b) << 8);
        uint32_t z = static_cast<uint32_t>(len) + (static_cast<uint32_t>(c) << 2);
        return ShiftMix(y * k2 ^ z * k3) * k2;
    }
    return k2;
}

uint64_t HashLen17to32(const char* s, size_t len) {
    uint64_t a = Fetch64(s) * k1;
    uint64_t b = Fetch64(s + 8);
    uint64_t c = Fetch64(s + len - 8) * k2;
    uint64_t d = Fetch64(s + len - 16) * k0;
    return HashLen16(Rotate(a - b, 43) + Rotate(c, 30) + d, a + Rotate(b ^ k3, 20) - c + len);
}

// A 16-byte hash of 48 bytes of input (w, x, y, z) and two seeds; weak on its own, good
// enough inside the chunk loops.
std::pair<uint64_t, uint64_t> WeakHashLen32WithSeeds(uint64_t w, uint64_t x, uint64_t y, uint64_t z,
                                                     uint64_t a, uint64_t b) {
    a += w;
    b = Rotate(b + a + z, 21);
    uint64_t c = a;
    a += x;
    a += y;
    b += Rotate(a, 44);
    return std::make_pair(a + z, b + c);
}

std::pair<uint64_t, uint64_t> WeakHashLen32WithSeeds(const char* s, uint64_t a, uint64_t b) {
    return WeakHashLen32WithSeeds(Fetch64(s), Fetch64(s + 8), Fetch64(s + 16), Fetch64(s + 24), a,
                                  b);
}

uint64_t HashLen33to64(const char* s, size_t len) {
    uint64_t z = Fetch64(s + 24);
    uint64_t a = Fetch64(s) + (len + Fetch64(s + len - 16)) * k0;
    uint64_t b = Rotate(a + z, 52);
    uint64_t c = Rotate(a, 37);
    a += Fetch64(s + 8);
    c += Rotate(a, 7);
    a += Fetch64(s + 16);
    uint64_t vf = a + z;
    uint64_t vs = b + Rotate(a, 31) + c;
    a = Fetch64(s + 16) + Fetch64(s + len - 32);
    z = Fetch64(s + len - 8);
    b = Rotate(a + z, 52);
    c = Rotate(a, 37);
    a += Fetch64(s + len - 24);
    c += Rotate(a, 7);
    a += Fetch64(s + len - 16);
    uint64_t wf = a + z;
    uint64_t ws = b + Rotate(a, 31) + c;
    uint64_t r = ShiftMix((vf + ws) * k2 + (wf + vs) * k0);
    return ShiftMix(r * k0 + vs) * k2;
}

// 128-bit hash of inputs shorter than 128 bytes, built from the short paths and Murmur.
uint128 CityMurmur(const char* s, size_t len, uint128 seed) {
    uint64_t a = Uint128Low64(seed);
    uint64_t b = Uint128High64(seed);
    uint64_t c = 0;
    uint64_t d = 0;
    if (len <= 16) {
        a = ShiftMix(a * k1) * k1;
        c = b * k1 + HashLen0to16(s, len);
        d = ShiftMix(a + (len >= 8 ? Fetch64(s) : c));
    } else {
        c = HashLen16(Fetch64(s + len - 8) + k1, a);
        d = HashLen16(b + len, c + Fetch64(s + len - 16));
        a += d;
        // Consumes 16-byte steps while more than 16 bytes are left unconsumed.
        ptrdiff_t l = static_cast<ptrdiff_t>(len) - 16;
        do {
            a ^= ShiftMix(Fetch64(s) * k1) * k1;
            a *= k1;
            b ^= a;
            c ^= ShiftMix(Fetch64(s + 8) * k1) * k1;
            c *= k1;
            d ^= c;
            s += 16;
            l -= 16;
        } while (l > 0);
    }
    a = HashLen16(a, c);
    b = HashLen16(d, b);
    return uint128(a ^ b, HashLen16(b, a));
}

// One 64-byte step of the long paths, shared by the 64-bit and 128-bit hashes.
struct TLongState {
    uint64_t x, y, z;
    std::pair<uint64_t, uint64_t> v, w;

    void Step(const char* s) {
        x = Rotate(x + y + v.first + Fetch64(s + 16), 37) * k1;
        y = Rotate(y + v.second + Fetch64(s + 48), 42) * k1;
        x ^= w.second;
        y ^= v.first;
        z = Rotate(z ^ w.first, 33);
        v = WeakHashLen32WithSeeds(s, v.second * k1, x + w.first);
        w = WeakHashLen32WithSeeds(s + 32, z + w.second, y);
        std::swap(z, x);
    }
};
}  // namespace

uint64_t CityHash64(const char* s, size_t len) {
    if (len <= 32) {
        return len <= 16 ? HashLen0to16(s, len) : HashLen17to32(s, len);
    }
    if (len <= 64) {
        return HashLen33to64(s, len);
    }

    // The end is hashed first, then the 64-byte chunks from the start; a final partial chunk
    // is covered by the end's state.
    TLongState st;
    st.x = Fetch64(s);
    st.y = Fetch64(s + len - 16) ^ k1;
    st.z = Fetch64(s + len - 56) ^ k0;
    st.v = WeakHashLen32WithSeeds(s + len - 64, len, st.y);
    st.w = WeakHashLen32WithSeeds(s + len - 32, len * k1, k0);
    st.z += ShiftMix(st.v.second) * k1;
    st.x = Rotate(st.z + st.x, 39) * k1;
    st.y = Rotate(st.y, 33) * k1;

    len = (len - 1) & ~static_cast<size_t>(63);
    do {
        st.Step(s);
        s += 64;
        len -= 64;
    } while (len != 0);
    return HashLen16(HashLen16(st.v.first, st.w.first) + ShiftMix(st.y) * k1 + st.z,
                     HashLen16(st.v.second, st.w.second) + st.x);
}

uint64_t CityHash64WithSeed(const char* s, size_t len, uint64_t seed) {
    return CityHash64WithSeeds(s, len, k2, seed);
}

uint64_t CityHash64WithSeeds(const char* s, size_t len, uint64_t seed0, uint64_t seed1) {
    return HashLen16(CityHash64(s, len) - seed0, seed1);
}

uint128 CityHash128WithSeed(const char* s, size_t len, uint128 seed) {
    if (len < 128) {
        return CityMurmur(s, len, seed);
    }

    TLongState st;
    st.x = Uint128Low64(seed);
    st.y = Uint128High64(seed);
    st.z = len * k1;
    st.v.first = Rotate(st.y ^ k1, 49) * k1 + Fetch64(s);
    st.v.second = Rotate(st.v.first, 42) * k1 + Fetch64(s + 8);
    st.w.first = Rotate(st.y + st.z, 35) * k1 + st.x;
    st.w.second = Rotate(st.x + Fetch64(s + 88), 53) * k1;

    do {
        st.Step(s);
        s += 64;
        st.Step(s);
        s += 64;
        len -= 128;
    } while (len >= 128);

    // Up to four 32-byte chunks from the end of the input cover what the loop left.
    st.y += Rotate(st.w.first, 37) * k0 + st.z;
    st.x += Rotate(st.v.first + st.z, 49) * k0;
    for (size_t tailDone = 0; tailDone < len;) {
        tailDone += 32;
        st.y = Rotate(st.y - st.x, 42) * k0 + st.v.second;
        st.w.first += Fetch64(s + len - tailDone + 16);
        st.x = Rotate(st.x, 49) * k0 + st.w.first;
        st.w.first += st.v.first;
        st.v = WeakHashLen32WithSeeds(s + len - tailDone, st.v.first, st.v.second);
    }
    st.x = HashLen16(st.x, st.v.first);
    st.y = HashLen16(st.y, st.w.first);
    return uint128(HashLen16(st.x + st.v.second, st.w.second) + st.y,
                   HashLen16(st.x + st.w.second, st.y + st.v.second));
}

uint128 CityHash128(const char* s, size_t len) {
    if (len >= 16) {
        return CityHash128WithSeed(s + 16, len - 16, uint128(Fetch64(s) ^ k3, Fetch64(s + 8)));
    }
    if (len >= 8) {
        return CityHash128WithSeed(nullptr, 0,
                                   uint128(Fetch64(s) ^ (len * k0), Fetch64(s + len - 8) ^ k1));
    }
    return CityHash128WithSeed(s, len, uint128(k0, k1));
}
