// Seeded pseudo-random byte strings for the tests of streams, blobs and digests: the same seed
// gives the same bytes on every run, so a failure can be repeated.
#pragma once

#include <cstddef>
#include <random>
#include <string>

namespace NStreamTest {
inline std::string RandomBytes(size_t length, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(length, '\0');
    for (auto& c : s) {
        c = static_cast<char>(rng());
    }
    return s;
}
}  // namespace NStreamTest
