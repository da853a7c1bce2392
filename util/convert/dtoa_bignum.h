// Arbitrary-precision unsigned integers for the decimal conversion core.
//
// Big integers live in the storage of a conversion closure and are never freed one by one:
// an operation that needs a bigger or a fresh integer allocates a new one and the old one is
// simply dropped with the closure. Multiplication by powers of five goes through a
// process-wide cache of 625^(2^i), built once per process under a lock and read without one.
#pragma once

#include "util/convert/dtoa_closure.h"

#include <cstdint>

namespace NDtoa {

// An unsigned integer of Wds 32-bit words, least significant first, in room for 2^K words.
// Next links the cached powers of five and is null elsewhere.
struct TBigint {
    TBigint* Next;
    int K;
    int MaxWds;
    int Sign;
    int Wds;

    uint32_t* X() noexcept { return reinterpret_cast<uint32_t*>(this + 1); }
    const uint32_t* X() const noexcept { return reinterpret_cast<const uint32_t*>(this + 1); }
    bool IsZero() const noexcept { return Wds == 1 && X()[0] == 0; }
};
static_assert(sizeof(TBigint) % 8 == 0, "words follow the header with natural alignment");

// A zero with room for 2^k words.
TBigint* Balloc(TParserClosure& c, int k);
TBigint* FromUint64(TParserClosure& c, uint64_t v);
TBigint* Copy(TParserClosure& c, const TBigint* b);

// b * m + a; reuses b when it has room, else returns a bigger copy.
TBigint* MultAdd(TParserClosure& c, TBigint* b, uint32_t m, uint32_t a);
TBigint* Mult(TParserClosure& c, const TBigint* a, const TBigint* b);
// b * 5^e (e >= 0).
TBigint* Pow5Mult(TParserClosure& c, TBigint* b, int e);
// A new integer b * 2^n (n >= 0).
TBigint* LShift(TParserClosure& c, const TBigint* b, int n);
// 5^e5 * 2^e2 as a new integer.
TBigint* Pow52(TParserClosure& c, int e5, int e2);

int Cmp(const TBigint* a, const TBigint* b) noexcept;
// Sign of a + m - s, without allocating.
int CmpSum(const TBigint* a, const TBigint* m, const TBigint* s) noexcept;
// |a - b| as a new integer, with Sign set when a < b.
TBigint* Diff(TParserClosure& c, const TBigint* a, const TBigint* b);

// REQUIRES: b < 10 * s, and the top word of s below 2^28 (see NormalizeShift).
// Returns floor(b / s) and leaves the remainder in b.
int QuoRem(TBigint* b, const TBigint* s) noexcept;
// The left shift that brings the top word of s to 28 significant bits.
int NormalizeShift(const TBigint* s) noexcept;

// Number of significant bits of a non-zero 32-bit word.
inline int BitLength(uint32_t w) noexcept {
    return 32 - __builtin_clz(w);
}

}  // namespace NDtoa
