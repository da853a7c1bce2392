// Powers of ten shared by the two directions of the decimal conversion core.
#pragma once

#include <cassert>

namespace NDtoa {

// 10^0 .. 10^22: every one of them is exact in a double.
inline constexpr double Tens[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
inline constexpr int TenPMax = 22;

// 10^(16 * 2^i): with Tens they give any power of ten up to 10^511 in at most six products.
inline constexpr double BigTens[] = {1e16, 1e32, 1e64, 1e128, 1e256};
inline constexpr int NBigTens = 5;

// 10^|e| in extended precision (relative error a few units in the last of 64 bits); for
// estimates only. REQUIRES: |e| < 512.
inline long double Pow10L(int e) noexcept {
    static constexpr long double tens[] = {1e0L, 1e1L, 1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,
                                           1e8L, 1e9L, 1e10L, 1e11L, 1e12L, 1e13L, 1e14L, 1e15L};
    static constexpr long double bigTens[] = {1e16L, 1e32L, 1e64L, 1e128L, 1e256L};
    int a = e < 0 ? -e : e;
    assert(a < 512);
    long double p = tens[a & 15];
    a >>= 4;
    for (int i = 0; a && i < NBigTens; a >>= 1, ++i) {
        if (a & 1) {
            p *= bigTens[i];
        }
    }
    return p;
}

}  // namespace NDtoa
