// Powers of ten shared by the two directions of the decimal conversion core.
#pragma once

namespace NDtoa {

// 10^0 .. 10^22: every one of them is exact in a double.
inline constexpr double Tens[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
inline constexpr int TenPMax = 22;

// 10^(16 * 2^i): with Tens they give any power of ten up to 10^511 in at most six products.
inline constexpr double BigTens[] = {1e16, 1e32, 1e64, 1e128, 1e256};
inline constexpr int NBigTens = 5;

}  // namespace NDtoa
